#!/usr/bin/env bash
# Runs the program tests (CTest label "integration": real windows, Wine,
# the Wayland compositor, real browsers) several times in a row while busy
# loops load the cores, then prints each test's pass count. Use it before
# landing a program test or a change to how tests wait, and when a test is
# suspected of depending on timing.
#
#   scripts/stress-tests.sh [-n RUNS] [-k LOOPS] [-R REGEX] [PRESET ...]
#
# RUNS defaults to 5, LOOPS (busy loops) to 2, PRESET to dev and windows;
# -R keeps only the tests whose names match. The presets must be built.
set -euo pipefail
cd "$(dirname "$0")/.."
runs=5
loops=2
filter=()
while getopts n:k:R: option; do
  case $option in
    n) runs=$OPTARG ;;
    k) loops=$OPTARG ;;
    R) filter=(-R "$OPTARG") ;;
    *) echo "usage: $0 [-n RUNS] [-k LOOPS] [-R REGEX] [PRESET ...]" >&2; exit 2 ;;
  esac
done
shift $((OPTIND - 1))
presets=("$@")
[ $# -gt 0 ] || presets=(dev windows)

busy=()
log=$(mktemp)
trap 'kill "${busy[@]}" 2>/dev/null || true; rm -f "$log"' EXIT
for _ in $(seq "$loops"); do
  yes >/dev/null &
  busy+=($!)
done
for run in $(seq "$runs"); do
  for preset in "${presets[@]}"; do
    echo "run $run of $runs: $preset" >&2
    ctest --preset "$preset" -L integration "${filter[@]}" --output-on-failure >>"$log" 2>&1 || true
  done
done

# Each result line reads "n/m Test #k: NAME ....   Passed  1.2 sec" (or Failed, Timeout, ...).
awk -v runs="$runs" '
  / Test +#[0-9]+: / {
    name = $0; sub(/.* Test +#[0-9]+: /, "", name); sub(/ \.+.*/, "", name); sub(/ +\*+.*/, "", name)
    seen[name]++; if ($0 ~ / Passed /) passed[name]++
  }
  END {
    bad = 0
    for (name in seen) {
      printf "%3d of %d passed  %s\n", passed[name], seen[name], name | "sort -k5"
      if (passed[name] < seen[name]) bad = 1
    }
    close("sort -k5")
    exit bad
  }' "$log"
