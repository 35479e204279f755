#!/bin/sh
# Builds everything and runs every test: the portable core natively (plain and
# with AddressSanitizer/UBSan), then the Windows programs under Wine.
set -eu
cd "$(dirname "$0")/.."
sh scripts/install-deps.sh

# The programs build alone, without the tests, as a packager or a release builds them.
cmake --preset native-programs
cmake --build --preset native-programs
cmake --preset win64-programs
cmake --build --preset win64-programs
# Two builds of the release programs from copies at other paths are the same bytes.
sh scripts/check-reproducible.sh

cmake --preset native
cmake --build --preset native
ctest --preset native

cmake --preset native-asan
cmake --build --preset native-asan
ctest --preset native-asan

cmake --preset win64
cmake --build --preset win64
status=0
ctest --preset win64 || status=$?
sh scripts/stop-wine.sh build/win64
exit $status
