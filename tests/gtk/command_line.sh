#!/usr/bin/env bash
# tavrin with no display: one clear line on standard error, a non-zero exit
# status, and nothing else.
set -uo pipefail
err=$(mktemp)
trap 'rm -f "$err"' EXIT
ASAN_OPTIONS=detect_leaks=0 env -u DISPLAY -u WAYLAND_DISPLAY "$1" 2>"$err" >/dev/null
status=$?
lines=$(wc -l <"$err")
if [ $status -eq 0 ] || [ "$lines" -ne 1 ] || ! grep -q 'display' "$err"; then
  echo "expected one line about the display and a non-zero status; got status $status and:" >&2
  cat "$err" >&2
  exit 1
fi
