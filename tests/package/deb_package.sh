#!/usr/bin/env bash
# The Debian package as a user meets it: made by `cmake --workflow --preset
# deb` from the release build, checked by lintian, appstreamcli and
# desktop-file-validate, installed with dpkg (tavrin.html too, where
# emscripten is installed), its programs run from /usr/bin (tavrin until its
# main dialog maps on a private Xvfb display), then removed again so the
# machine is left as it was.
#   deb_package.sh SOURCE_DIR TAVRIN_CLI WITH_XVFB
# TAVRIN_CLI is this build's tavrin-cli, whose texts the installed one must
# match. Exit status 77 (skipped) where the package cannot be installed here.
set -euo pipefail

if [ "${1:-}" = --show ]; then
  # On the Xvfb display: start the program, wait for its main dialog, press Escape, expect a clean exit.
  "$2" 2>"$3" &
  pid=$!
  windows=$(timeout 20 xdotool search --sync --onlyvisible --name '^Tavrin$') ||
    { echo "the main dialog never mapped" >&2; kill "$pid"; exit 1; }
  xdotool windowfocus --sync "${windows%%$'\n'*}" key Escape
  for _ in $(seq 100); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
  if kill -0 "$pid" 2>/dev/null; then echo "Escape did not end tavrin" >&2; kill "$pid"; exit 1; fi
  wait "$pid"
  exit
fi

source=$1
cli=$2
with_xvfb=$3
fail() { echo "deb_package: $*" >&2; exit 1; }

cd "$source"
rm -f build/release/tavrin_*.deb
cmake --workflow --preset deb >/dev/null
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' build/release/CMakeCache.txt)
deb=build/release/tavrin_${version}-1_amd64.deb
[ -f "$deb" ] || fail "no $deb was made"
[ "$(dpkg-deb -f "$deb" Version)" = "$version-1" ] || fail "the package's version is not $version-1"
# dpkg-shlibdeps found the libraries the programs link.
depends=$(dpkg-deb -f "$deb" Depends)
for library in libc6 libgtk-3-0 libstdc++6; do
  [[ $depends == *"$library "* ]] || fail "Depends lacks $library: $depends"
done

lintian --fail-on error,warning --no-tag-display-limit "$deb" 2>/dev/null || fail "lintian found faults"

tmp=$(mktemp -d)
installed=0
# dpkg does not wait for its lock: try again while another process (apt, say) holds it.
dpkg_retrying() {
  for _ in $(seq 60); do
    dpkg "$@" >"$tmp/dpkg.log" 2>&1 && return
    grep -q 'lock' "$tmp/dpkg.log" || break
    sleep 2
  done
  cat "$tmp/dpkg.log" >&2
  return 1
}
cleanup() {
  [ $installed -eq 0 ] || dpkg_retrying -P tavrin || true
  rm -rf "$tmp"
}
trap cleanup EXIT

dpkg-deb -x "$deb" "$tmp/root"
appstreamcli validate --no-net "$tmp"/root/usr/share/metainfo/*.metainfo.xml >/dev/null ||
  { appstreamcli validate --no-net "$tmp"/root/usr/share/metainfo/*.metainfo.xml >&2; fail "the metainfo is not valid"; }
report=$(desktop-file-validate "$tmp/root/usr/share/applications/tavrin.desktop" 2>&1) || true
[ -z "$report" ] || fail "the desktop entry is not valid: $report"
# The manual page names every option tavrin-cli takes.
for option in $("$cli" --help | grep -o -- '--[a-z]*' | sort -u); do
  zcat "$tmp/root/usr/share/man/man1/tavrin-cli.1.gz" | grep -qF -- "\\-\\-${option#--}" ||
    fail "tavrin-cli(1) does not describe $option"
done

if [ "$(id -u)" -ne 0 ]; then
  echo "deb_package: installing needs root; the package was made and checked, not installed"
  exit 77
fi
if dpkg-query -W -f='${Status}' tavrin 2>/dev/null | grep -q 'ok installed'; then
  echo "deb_package: a tavrin package is installed on this machine already; remove it to run this test"
  exit 77
fi
installed=1
dpkg_retrying -i "$deb" || fail "dpkg -i failed"

for file in bin/tavrin bin/tavrin-cli share/applications/tavrin.desktop share/man/man1/tavrin.1.gz \
            share/man/man1/tavrin-cli.1.gz share/icons/hicolor/128x128/apps/tavrin.png share/icons/hicolor/scalable/apps/tavrin.svg; do
  [ -e "/usr/$file" ] || fail "/usr/$file is missing after installing"
done
# tavrin.html, Tavrin in the browser, is built beside the programs where emscripten is installed, and
# then the package must install that very file.
if command -v em++ >/dev/null; then
  cmp build/release/web/tavrin.html /usr/share/tavrin/tavrin.html || fail "/usr/share/tavrin/tavrin.html is not the one built"
fi
[ "$(/usr/bin/tavrin-cli --version)" = "tavrin-cli $version" ] || fail "tavrin-cli --version says: $(/usr/bin/tavrin-cli --version)"
cmp <(/usr/bin/tavrin-cli --print functions) <("$cli" --print functions) ||
  fail "the installed tavrin-cli prints other functions"
"$with_xvfb" "$0" --show /usr/bin/tavrin "$tmp/tavrin.err" || fail "the installed tavrin did not show and close its main dialog"
[ ! -s "$tmp/tavrin.err" ] || fail "tavrin wrote to standard error: $(cat "$tmp/tavrin.err")"

dpkg_retrying -P tavrin || fail "dpkg -P failed"
installed=0
[ ! -e /usr/bin/tavrin ] && [ ! -e /usr/bin/tavrin-cli ] || fail "the programs stayed after removing the package"
! dpkg-query -W -f='${Status}' tavrin 2>/dev/null | grep -q 'installed' || fail "dpkg still lists tavrin"
echo "deb_package: $deb made, checked, installed, run and removed"
