#!/usr/bin/env bash
# Measures the Results dialog of tavrin on a private Xvfb display: opening it
# with the default script and with a script of about 1 MB, and copying each
# to the clipboard for another program (see bench/gtk_results_bench.cpp).
#   bench/gtk_results.sh [rounds]      (default 5; builds what it needs)
set -euo pipefail
cd "$(dirname "$0")/.."
cmake --preset dev >/dev/null
cmake --build --preset dev --target gtk_results_bench >/dev/null
scripts/with-xvfb.sh build/dev/bench/gtk_results_bench "${1:-5}"
