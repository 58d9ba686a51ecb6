#!/usr/bin/env bash
# Builds Tavrin and runs it.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh run
cmake --preset dev >/dev/null
cmake --build --preset dev
exec build/dev/cli/tavrin-cli "$@"
