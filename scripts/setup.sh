#!/usr/bin/env bash
# Installs the Debian 12 packages Tavrin needs: `setup.sh run` for building
# and running it, `setup.sh test` for the tests as well. As root it uses
# apt-get; otherwise it names the packages to install and stops.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
lists=("$here/packages/run.txt")
[ "${1:-run}" = test ] && lists+=("$here/packages/test.txt")

missing=()
while read -r package command; do
  [ -n "$package" ] || continue
  if [ -n "${command:-}" ] && command -v "$command" >/dev/null 2>&1; then continue; fi
  dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed' || missing+=("$package")
done < <(cat "${lists[@]}" | grep -v '^\s*#')

[ ${#missing[@]} -eq 0 ] && exit 0
if [ "$(id -u)" -ne 0 ]; then
  echo "Tavrin needs these Debian packages. Install them as root, then run this command again:" >&2
  echo "  sudo apt-get install ${missing[*]}" >&2
  exit 1
fi
echo "Installing: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
apt-get update -qq
apt-get install -y -qq "${missing[@]}" >/dev/null
