#!/usr/bin/env bash
# Makes the Debian package from the release build:
# build/release/tavrin_<version>-1_amd64.deb, ready for `sudo apt install ./...`.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh run
cmake --workflow --preset deb
