#!/usr/bin/env bash
# Refreshes the README's screenshots in docs/screenshots/: builds tavrin and
# photographs its dialogs on a private Xvfb display, driving them through the
# accessibility interface (AT-SPI).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh test
cmake --preset dev >/dev/null
cmake --build --preset dev --target tavrin
mkdir -p docs/screenshots
scripts/with-xvfb.sh --a11y /usr/bin/python3 scripts/screenshots.py build/dev/app/tavrin docs/screenshots
echo "Screenshots written to docs/screenshots/"
