#!/usr/bin/env bash
# The Windows download as the README makes it: `cmake --workflow --preset
# windows-zip` builds the program alone, without tests, and zips one folder
# holding that build's tavrin.exe, a README.txt with Windows line ends and,
# where the build machine has emscripten, tavrin.html.
#   windows_zip.sh SOURCE_DIR
set -euo pipefail
source=$1
fail() { echo "windows_zip: $*" >&2; exit 1; }

cd "$source"
rm -f build/windows-release/tavrin-*-windows-x64.zip
cmake --workflow --preset windows-zip >/dev/null
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' build/windows-release/CMakeCache.txt)
folder=tavrin-$version-windows-x64
zip=build/windows-release/$folder.zip
exe=build/windows-release/app/tavrin.exe
[ -f "$zip" ] || fail "no $zip was made"
! grep -q '^TAVRIN_BUILD_TESTS:BOOL=ON' build/windows-release/CMakeCache.txt || fail "the zip's build has tests"
[ ! -e build/windows-release/googletest ] || fail "the zip's build built GoogleTest"

tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
python3 -m zipfile -e "$zip" "$tmp"
found=$(cd "$tmp" && find . -type f | sort | tr '\n' ' ')
# tavrin.html, Tavrin in the browser, is built beside the program where
# emscripten is installed, and then the zip must carry that very file.
html=build/windows-release/web/tavrin.html
if command -v em++ >/dev/null; then
  [ "$found" = "./$folder/README.txt ./$folder/tavrin.exe ./$folder/tavrin.html " ] || fail "the zip holds: $found"
  cmp "$html" "$tmp/$folder/tavrin.html" || fail "the zipped tavrin.html is not the one built"
else
  [ "$found" = "./$folder/README.txt ./$folder/tavrin.exe " ] || fail "the zip holds: $found"
fi
cmp "$exe" "$tmp/$folder/tavrin.exe" || fail "the zipped tavrin.exe is not the one built"
readme=$tmp/$folder/README.txt
[ "$(grep -c $'\r$' "$readme")" -eq "$(wc -l <"$readme")" ] || fail "README.txt has lines without CR LF"
grep -q "TAVRIN $version" "$readme" && grep -q 'tvtest\.htm' "$readme" || fail "README.txt lacks the version or tvtest.htm"
echo "windows_zip: $zip holds: $found"
