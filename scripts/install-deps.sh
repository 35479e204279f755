#!/bin/sh
# Installs what a fresh Debian 12 machine lacks to build and test the project.
# Idempotent: installs only missing packages. Needs root (or sudo).
set -eu
packages="cmake ninja-build g++ clang python3 zlib1g-dev googletest
  g++-mingw-w64-x86-64-posix libz-mingw-w64-dev binutils-mingw-w64-x86-64
  wine64 xvfb imagemagick procps"

missing=""
for p in $packages; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing="$missing $p"
done
[ -z "$missing" ] && exit 0

as_root=""
[ "$(id -u)" -eq 0 ] || as_root="sudo"
echo "Installing:$missing"
$as_root apt-get update -qq
DEBIAN_FRONTEND=noninteractive $as_root apt-get install -y -qq --no-install-recommends $missing >/dev/null
