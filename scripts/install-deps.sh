#!/bin/sh
# Installs what a fresh Debian 12 machine lacks to build, test, demonstrate and
# sign the project, then checks that every command and file the scripts use is
# really there. Idempotent: installs only missing packages. Needs root (or sudo).
set -eu

# wine64 alone has no wine, wineboot or winepath command (they come with wine),
# and --no-install-recommends leaves out Wine's own fonts (fonts-wine).
# libdeflate-dev: zl32's encoder; libssl-dev: its reading of signatures
# (libcrypto); dpkg-dev and groff-base: its Debian package (dependencies from
# dpkg-shlibdeps) and the check of its manual page.
packages="cmake ninja-build g++ clang python3 zlib1g-dev libdeflate-dev libssl-dev googletest
  dpkg-dev groff-base
  g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64
  mingw-w64-x86-64-dev libz-mingw-w64-dev
  wine wine64 fonts-wine xvfb imagemagick procps util-linux strace
  osslsigncode openssl git"

missing=""
for p in $packages; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing="$missing $p"
done

if [ -n "$missing" ]; then
  as_root=""
  [ "$(id -u)" -eq 0 ] || as_root="sudo"
  echo "Installing:$missing"
  $as_root apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $as_root apt-get install -y -qq --no-install-recommends $missing >/dev/null
fi

# Commands, not package names: a package that is installed but no longer brings
# a command (or a command that was only ever there by hand) shows up here.
absent=""
for c in cmake ninja g++ clang clang++ python3 \
  x86_64-w64-mingw32-gcc-posix x86_64-w64-mingw32-g++-posix x86_64-w64-mingw32-windres \
  x86_64-w64-mingw32-objdump x86_64-w64-mingw32-strip \
  wine wineboot winepath wineserver Xvfb convert flock setsid pgrep strace truncate realpath script \
  osslsigncode openssl git dpkg-shlibdeps groff objdump gzip; do
  command -v "$c" >/dev/null 2>&1 || absent="$absent $c"
done
[ -f /usr/x86_64-w64-mingw32/lib/libz.a ] || absent="$absent /usr/x86_64-w64-mingw32/lib/libz.a"
[ -f /usr/src/googletest/CMakeLists.txt ] || absent="$absent /usr/src/googletest"
[ -f /usr/include/libdeflate.h ] || absent="$absent /usr/include/libdeflate.h"
[ -f /usr/include/openssl/pkcs7.h ] || absent="$absent /usr/include/openssl/pkcs7.h"
ls /usr/share/wine/fonts/tahoma.ttf /usr/share/wine/fonts/marlett.ttf >/dev/null 2>&1 ||
  absent="$absent Wine's fonts (/usr/share/wine/fonts/tahoma.ttf, marlett.ttf)"
if [ -n "$absent" ]; then
  echo "install-deps.sh: still missing after installing:$absent" >&2
  exit 1
fi
