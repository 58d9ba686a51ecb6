#!/usr/bin/env bash
# Takes a picture of tavrin.exe's main dialog under Wine, for the README:
#   scripts/screenshot-windows.sh [OUTPUT.png]
# Builds the windows preset first if needed; needs xdotool and ImageMagick.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
out=$(realpath -m "${1:-docs/tavrin-windows.png}")
exe=$root/build/windows/app/tavrin.exe
[ -f "$exe" ] || { cmake --preset windows >/dev/null && cmake --build --preset windows --target tavrin; }

session=$(mktemp -d "${TMPDIR:-/tmp}/tavrin-shot.XXXXXX")
trap 'scripts/wine-env.sh stop "$session"; rm -rf "$session"' EXIT
scripts/wine-env.sh start "$session"
# shellcheck source=/dev/null
. "$session/env"

# Started away from our streams and from the repository, as the program
# writes its test page into its working folder.
(cd "$session" && exec wine "$exe" </dev/null >/dev/null 2>&1) &
tavrin=$!
window=
for _ in $(seq 100); do
  window=$(xdotool search --onlyvisible --name '^Tavrin$' 2>/dev/null | head -1 || true)
  [ -n "$window" ] && break
  sleep 0.1
done
[ -n "$window" ] || { echo "tavrin.exe showed no window" >&2; exit 1; }
sleep 1  # let the dialog finish painting
mkdir -p "$(dirname "$out")"
import -window "$window" "$out"
echo "wrote $out"
kill "$tavrin" 2>/dev/null || true
