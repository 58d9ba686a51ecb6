#!/usr/bin/env bash
# Builds Tavrin and starts the desktop program. Without a display it says so
# and shows how to try it on a virtual one.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh run
cmake --preset release >/dev/null
cmake --build --preset release
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "No display to show Tavrin on. To try it on a virtual display (package xvfb):" >&2
  echo "  xvfb-run -a build/release/app/tavrin" >&2
  echo "The command-line companion needs no display: build/release/cli/tavrin-cli --help" >&2
  exit 1
fi
exec build/release/app/tavrin
