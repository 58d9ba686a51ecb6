#!/usr/bin/env bash
# tavrin's command line, with no display: --version and --help print and
# succeed; an unknown option is one line on standard error and status 2;
# with nothing to show dialogs on, one clear line and a non-zero status.
set -uo pipefail
err=$(mktemp)
out=$(mktemp)
trap 'rm -f "$err" "$out"' EXIT
failed=0
run() { ASAN_OPTIONS=detect_leaks=0 env -u DISPLAY -u WAYLAND_DISPLAY "$1" "${@:2}" 2>"$err" >"$out"; }
expect() {  # expect WHAT STATUS-TEST: reports the run that does not fit
  if ! eval "$2"; then
    echo "$1: got status $status, output:" >&2
    cat "$out" "$err" >&2
    failed=1
  fi
}

run "$1" --version; status=$?
expect "--version" '[ $status -eq 0 ] && grep -qx "tavrin [0-9.]*" "$out" && [ ! -s "$err" ]'
run "$1" --help; status=$?
expect "--help" '[ $status -eq 0 ] && grep -q -- "--version" "$out" && [ ! -s "$err" ]'
run "$1" --no-such-option; status=$?
expect "an unknown option" '[ $status -eq 2 ] && [ "$(wc -l <"$err")" -eq 1 ] && grep -q -- "--no-such-option" "$err"'
run "$1"; status=$?
expect "no display" '[ $status -ne 0 ] && [ $status -ne 2 ] && [ "$(wc -l <"$err")" -eq 1 ] && grep -q display "$err"'
exit $failed
