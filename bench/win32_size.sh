#!/usr/bin/env bash
# Reports tavrin.exe's size next to about the smallest C++ dialog program
# (bench/minimal_dialog.cpp), both cross-built alike in the same run, and the
# DLLs tavrin.exe imports.
#   bench/win32_size.sh           (builds what it needs in build/windows-bench)
set -euo pipefail
cd "$(dirname "$0")/.."
build=build/windows-bench
cmake --preset windows -B $build -DTAVRIN_BUILD_TESTS=OFF -DTAVRIN_BUILD_BENCH=ON >/dev/null
cmake --build $build --target tavrin minimal_dialog >/dev/null
ours=$(stat -c %s $build/app/tavrin.exe)
minimal=$(stat -c %s $build/bench/minimal_dialog.exe)
printf '%-28s %10s\n' "program (static, stripped)" "bytes"
printf '%-28s %10s\n' "minimal dialog program" "$minimal"
printf '%-28s %10s\n' "tavrin.exe" "$ours"
awk -v a="$ours" -v b="$minimal" \
  'BEGIN { printf "%-28s %9.2fx   (aim: tavrin.exe at most 400000 bytes: %s)\n", "tavrin.exe / minimal", a / b, a <= 400000 ? "met" : "NOT met" }'
echo "tavrin.exe imports: $(x86_64-w64-mingw32-objdump -p $build/app/tavrin.exe | awk '/DLL Name/ { printf "%s ", $3 }')"
