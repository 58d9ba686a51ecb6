#!/usr/bin/env bash
# The Windows download: `cpack --preset windows` zips one folder holding this
# build's tavrin.exe, a README.txt with Windows line ends and, built with
# emscripten where it is installed, tavrin.html.
#   windows_zip.sh SOURCE_DIR TAVRIN_EXE
set -euo pipefail
source=$1
exe=$2
fail() { echo "windows_zip: $*" >&2; exit 1; }

cd "$source"
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' build/windows/CMakeCache.txt)
folder=tavrin-$version-windows-x64
rm -f "build/windows/$folder.zip"
cpack --preset windows >/dev/null
zip=build/windows/$folder.zip
[ -f "$zip" ] || fail "no $zip was made"

tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
python3 -m zipfile -e "$zip" "$tmp"
found=$(cd "$tmp" && find . -type f | sort | tr '\n' ' ')
# tavrin.html, Tavrin in the browser, where the build machine has emscripten.
[ "$found" = "./$folder/README.txt ./$folder/tavrin.exe " ] ||
  [ "$found" = "./$folder/README.txt ./$folder/tavrin.exe ./$folder/tavrin.html " ] || fail "the zip holds: $found"
cmp "$exe" "$tmp/$folder/tavrin.exe" || fail "the zipped tavrin.exe is not the one built"
readme=$tmp/$folder/README.txt
[ "$(grep -c $'\r$' "$readme")" -eq "$(wc -l <"$readme")" ] || fail "README.txt has lines without CR LF"
grep -q "TAVRIN $version" "$readme" && grep -q 'tvtest\.htm' "$readme" || fail "README.txt lacks the version or tvtest.htm"
echo "windows_zip: $zip holds tavrin.exe and README.txt"
