#!/usr/bin/env bash
# Measures how long tavrin.exe's Results dialog takes to open, under Wine on a
# private Xvfb display, for the default script, a 1 MB script in short lines,
# and scripts holding a 100 KB and a 1 MB URL (see win32_results_bench.cpp).
#   bench/win32_results.sh           (builds what it needs in build/windows-bench)
set -euo pipefail
cd "$(dirname "$0")/.."
cmake --preset windows -B build/windows-bench -DTAVRIN_BUILD_TESTS=OFF -DTAVRIN_BUILD_BENCH=ON >/dev/null
cmake --build build/windows-bench --target win32_results_bench >/dev/null
scripts/wine-run.sh build/windows-bench/bench/win32_results_bench.exe
