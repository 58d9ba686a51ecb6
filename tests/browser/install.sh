#!/bin/sh
# Installs the browser tests' npm packages as package-lock.json pins them,
# unless exactly those are installed already: a fresh install first deletes
# the packages, under any browser test that is running meanwhile.
set -e
cd "$(dirname "$0")"
stamp=node_modules/.installed-package-lock.json
if cmp -s package-lock.json "$stamp"; then
  exit 0
fi
"${NPM:-npm}" ci --no-audit --no-fund
cp package-lock.json "$stamp"
