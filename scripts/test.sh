#!/usr/bin/env bash
# Installs what the tests need, builds, and runs every test: once in the
# normal build, once with AddressSanitizer and UndefinedBehaviorSanitizer,
# and in the Windows build under Wine.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh test

cmake --preset dev >/dev/null
cmake --build --preset dev
ctest --preset dev

cmake --preset asan >/dev/null
cmake --build --preset asan
ctest --preset asan

cmake --preset windows >/dev/null
cmake --build --preset windows
ctest --preset windows
