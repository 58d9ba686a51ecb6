#!/usr/bin/env bash
# Measures tavrin's start-up on a private Xvfb display: the median time from
# starting the process until the main dialog is mapped, and the median peak
# memory by then, next to a bare GTK 3 window measured in the same run.
#   bench/gtk_startup.sh [runs]      (default 15; builds what it needs)
set -euo pipefail
cd "$(dirname "$0")/.."
runs=${1:-15}
cmake --preset dev >/dev/null
cmake --build --preset dev --target tavrin gtk_startup_probe bare_gtk_window >/dev/null
build=build/dev

measure() {
  local runs=$1
  local probe=$build/bench/gtk_startup_probe
  local ours=() bare=()
  # Alternate the two so that any drift in the machine's load hits both alike.
  local result
  for _ in $(seq "$runs"); do
    if result=$(timeout 30 "$probe" Tavrin "$build/app/tavrin"); then ours+=("$result"); fi
    if result=$(timeout 30 "$probe" Bare "$build/bench/bare_gtk_window"); then bare+=("$result"); fi
  done
  median() { sort -n | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }
  local ours_ms ours_kb bare_ms bare_kb
  ours_ms=$(printf '%s\n' "${ours[@]}" | cut -d' ' -f1 | median)
  ours_kb=$(printf '%s\n' "${ours[@]}" | cut -d' ' -f2 | median)
  bare_ms=$(printf '%s\n' "${bare[@]}" | cut -d' ' -f1 | median)
  bare_kb=$(printf '%s\n' "${bare[@]}" | cut -d' ' -f2 | median)
  printf '%-18s %12s %14s\n' "over $runs runs" "median ms" "peak RSS KiB"
  printf '%-18s %12s %14s\n' "bare GTK window" "$bare_ms" "$bare_kb"
  printf '%-18s %12s %14s\n' "tavrin" "$ours_ms" "$ours_kb"
  awk -v a="$ours_ms" -v b="$bare_ms" -v c="$ours_kb" -v d="$bare_kb" \
    'BEGIN { printf "tavrin / bare      %12.2fx %13.2fx   (aim: 1.3x time, 1.15x memory)\n", a / b, c / d }'
}
export -f measure
export build
scripts/with-xvfb.sh bash -c "measure $runs"
