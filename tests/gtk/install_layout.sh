#!/usr/bin/env bash
# cmake --install lays tavrin out as a Linux desktop program: both programs
# in bin/, their manual pages, the menu entry, the software centre's
# metainfo, and the icon in the hicolor theme.
set -euo pipefail
build=$1
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
# The icon: scalable, and a bitmap of each common size that is that size.
expect share/icons/hicolor/scalable/apps/tavrin.svg
for size in 16 32 48 64 128 256; do
  png=share/icons/hicolor/${size}x${size}/apps/tavrin.png
  expect "$png"
  # A PNG's width and height are the big-endian words at bytes 16 and 20.
  [ ! -e "$prefix/$png" ] || [ "$(od --endian=big -An -tu4 -j16 -N8 "$prefix/$png" | xargs)" = "$size $size" ] ||
    { echo "$png is not $size x $size pixels" >&2; fail=1; }
done
grep -qx 'Exec=tavrin' "$prefix/share/applications/tavrin.desktop" || { echo "the menu entry does not start tavrin" >&2; fail=1; }
exit $fail
