#!/usr/bin/env bash
# cmake --install lays tavrin out as a Linux desktop program: both programs
# in bin/, their manual pages, the menu entry, the software centre's
# metainfo, and the icon in the hicolor theme where the pictures exist.
set -euo pipefail
build=$1
source=$2
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
cmake --install "$build" --prefix "$prefix" >/dev/null
fail=0
expect() { [ -e "$prefix/$1" ] || { echo "missing after install: $1" >&2; fail=1; }; }
expect bin/tavrin
expect bin/tavrin-cli
expect share/applications/tavrin.desktop
expect share/man/man1/tavrin.1.gz
expect share/man/man1/tavrin-cli.1.gz
expect share/metainfo/example.tavrin.Tavrin.metainfo.xml
for size in 16 32 128; do
  if [ -e "$source/res/icon/tavrin-$size.png" ]; then
    expect "share/icons/hicolor/${size}x${size}/apps/tavrin.png"
  fi
done
grep -qx 'Exec=tavrin' "$prefix/share/applications/tavrin.desktop" || { echo "the menu entry does not start tavrin" >&2; fail=1; }
exit $fail
