#!/bin/sh
# zl32 installed as a command-line tool. `cmake --install` of a native build
# puts bin/zl32 and share/man/man1/zl32.1 in place and nothing else; the manual
# page renders without a warning, carries the program's version and names every
# command and option that `zl32 --help` lists. `cpack -G DEB` makes a package of
# /usr/bin/zl32 and the compressed page whose dependencies name the package of
# every library the program links, and the program unpacked from it runs.
#
# Usage: check-install.sh <native build folder>
set -eu
build=$(cd "$1" && pwd)
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
fail() {
  echo "FAIL: $*"
  exit 1
}
files_below() { (cd "$1" && find . -type f | sort | tr '\n' ' '); }

# --- cmake --install --------------------------------------------------------
cmake --install "$build" --prefix "$scratch/prefix" >/dev/null
installed=$(files_below "$scratch/prefix")
[ "$installed" = "./bin/zl32 ./share/man/man1/zl32.1 " ] || fail "installed: $installed"
zl32="$scratch/prefix/bin/zl32"
page="$scratch/prefix/share/man/man1/zl32.1"
version=$("$zl32" --version)
grep -q "^\.TH ZL32 1 \"\" \"$version\"" "$page" || fail "the page's title line is not for $version"
warnings=$(groff -man -Tutf8 -ww -z "$page" 2>&1)
[ -z "$warnings" ] || fail "groff: $warnings"
groff -man -Tascii -P-cbou "$page" >"$scratch/page.txt" 2>/dev/null
for word in $("$zl32" --help | grep -o -e '--[a-z]*' -e ' -[a-z]\b' -e 'zl32 [a-z]*' | sort -u | tr ' ' '_'); do
  word=$(echo "$word" | tr '_' ' ' | sed 's/^ //')
  grep -q -F -e "$word" "$scratch/page.txt" || fail "the manual page does not mention '$word' from --help"
done
echo "installed: $installed($version)"

# --- cpack -G DEB -----------------------------------------------------------
(cd "$build" && cpack -G DEB -B "$scratch/package" >"$scratch/cpack.log" 2>&1) || {
  cat "$scratch/cpack.log"
  fail "cpack"
}
deb=$(ls "$scratch"/package/*.deb)
[ "$(dpkg-deb -f "$deb" Package)" = zl32 ] || fail "package name $(dpkg-deb -f "$deb" Package)"
dpkg-deb -x "$deb" "$scratch/root"
packed=$(files_below "$scratch/root")
[ "$packed" = "./usr/bin/zl32 ./usr/share/man/man1/zl32.1.gz " ] || fail "packed: $packed"
gzip -dc "$scratch/root/usr/share/man/man1/zl32.1.gz" | cmp -s - "$page" || fail "the packed page differs"
[ "$("$scratch/root/usr/bin/zl32" --version)" = "$version" ] || fail "the packed program does not run"
depends=$(dpkg-deb -f "$deb" Depends)
arch=$(dpkg --print-architecture)
for library in $(objdump -p "$scratch/root/usr/bin/zl32" | awk '/NEEDED/ { print $2 }'); do
  owner=$(dpkg -S "*/$library" 2>/dev/null | sed -n "s/^\([^:]*\):$arch: .*/\1/p" | head -n 1)
  [ -n "$owner" ] || fail "no package holds $library"
  echo "$depends" | tr ',' '\n' | grep -q "^ *$owner\( \|$\)" || fail "$library ($owner) is not in Depends: $depends"
done
echo "package: $(basename "$deb"): $packed"
echo "Depends: $depends"
