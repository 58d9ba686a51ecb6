#!/usr/bin/env bash
# Runs a Windows program under Wine: in the session named by
# TAVRIN_WINE_SESSION (see wine-env.sh) when there is one, otherwise in a
# session of its own that ends with the program. The program's exit status
# is this script's.
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)

if [ -n "${TAVRIN_WINE_SESSION:-}" ] && [ -f "$TAVRIN_WINE_SESSION/env" ]; then
  # shellcheck source=/dev/null
  . "$TAVRIN_WINE_SESSION/env"
  exec wine "$@"
fi

session=$(mktemp -d "${TMPDIR:-/tmp}/tavrin-session.XXXXXX")
trap '"$here/wine-env.sh" stop "$session"; rmdir "$session"' EXIT
"$here/wine-env.sh" start "$session" || exit 1
# shellcheck source=/dev/null
. "$session/env"
wine "$@"
