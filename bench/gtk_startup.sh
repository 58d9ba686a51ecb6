#!/usr/bin/env bash
# Measures tavrin's start-up on a private Xvfb display: the median time from
# starting the process until the main dialog is mapped, and the median peak
# memory by then, next to a bare GTK 3 window measured in the same run, the
# programs taking turns. tavrin switches off GDK's OpenGL probe, which it
# never needs; the bare window is also measured so, to show what the dialog
# itself costs on top of the toolkit.
#   bench/gtk_startup.sh [runs]      (default and least 15; builds what it needs)
set -euo pipefail
cd "$(dirname "$0")/.."
runs=${1:-15}
[ "$runs" -ge 15 ] || runs=15
cmake --preset dev >/dev/null
cmake --build --preset dev --target tavrin gtk_startup_probe bare_gtk_window >/dev/null
build=build/dev

measure() {
  local runs=$1
  local probe=$build/bench/gtk_startup_probe
  local ours=() bare=() nogl=()
  # Take turns so that any drift in the machine's load hits all alike.
  local result
  for _ in $(seq "$runs"); do
    if result=$(timeout 30 "$probe" Tavrin "$build/app/tavrin"); then ours+=("$result"); fi
    if result=$(timeout 30 "$probe" Bare "$build/bench/bare_gtk_window"); then bare+=("$result"); fi
    if result=$(GDK_GL=disable timeout 30 "$probe" Bare "$build/bench/bare_gtk_window"); then nogl+=("$result"); fi
  done
  median() { sort -n | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }
  column() { printf '%s\n' "${@:2}" | cut -d' ' -f"$1" | median; }
  local ours_ms ours_kb bare_ms bare_kb nogl_ms nogl_kb
  ours_ms=$(column 1 "${ours[@]}") ours_kb=$(column 2 "${ours[@]}")
  bare_ms=$(column 1 "${bare[@]}") bare_kb=$(column 2 "${bare[@]}")
  nogl_ms=$(column 1 "${nogl[@]}") nogl_kb=$(column 2 "${nogl[@]}")
  printf '%-30s %10s %14s\n' "median of $runs runs each" "ms" "peak RSS KiB"
  printf '%-30s %10s %14s\n' "bare GTK 3 window" "$bare_ms" "$bare_kb"
  printf '%-30s %10s %14s\n' "bare GTK 3 window, no GL probe" "$nogl_ms" "$nogl_kb"
  printf '%-30s %10s %14s\n' "tavrin" "$ours_ms" "$ours_kb"
  awk -v a="$ours_ms" -v b="$bare_ms" -v c="$ours_kb" -v d="$bare_kb" \
    'BEGIN { printf "%-30s %9.2fx %13.2fx   (aim: at most 1.2x, 1.1x)\n", "tavrin / bare window", a / b, c / d }'
  awk -v a="$ours_ms" -v b="$nogl_ms" -v c="$ours_kb" -v d="$nogl_kb" \
    'BEGIN { printf "%-30s %9.2fx %13.2fx   (the dialog itself)\n", "tavrin / bare, no GL probe", a / b, c / d }'
}
export -f measure
export build
echo "load average before: $(cut -d' ' -f1-3 /proc/loadavg)"
scripts/with-xvfb.sh bash -c "measure $runs"
echo "load average after:  $(cut -d' ' -f1-3 /proc/loadavg)"
