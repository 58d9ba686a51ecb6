#!/usr/bin/env bash
# A throw-away Wine session for the Windows build's tests.
#
#   wine-env.sh start SESSION [OPENER.exe]
#                               makes a temporary HOME and WINEPREFIX, starts
#                               Xvfb and a persistent wineserver, initialises
#                               the prefix, and writes SESSION/env to source
#   wine-env.sh stop SESSION    ends the wineserver, then Xvfb, and removes
#                               everything start made
#
# The session runs in a UTF-8 locale, whatever the caller's, so that Wine can
# keep file names in any script. In the prefix, Wine's own fonts are installed (Debian's Wine does not load
# them from its data folder), Wine draws window frames itself so that closing
# a window does not wait for a window manager, and the shell's "open" command
# for HTML files starts OPENER.exe with the file instead of a browser (the
# tests' recorder); without OPENER it only appends the file's name to
# C:\tavrin-opened.txt.
set -euo pipefail
. "$(dirname "$0")/xvfb.sh"

usage() { echo "usage: $0 start SESSION [OPENER.exe] | stop SESSION" >&2; exit 2; }
[ $# -eq 2 ] || { [ $# -eq 3 ] && [ "$1" = start ]; } || usage
action=$1
session=$2
opener=${3:-}

# Runs a Wine command with its standard streams away from ours: Wine's
# background processes inherit them and would keep a caller's pipe open.
quiet() { "$@" </dev/null >/dev/null 2>&1; }

start() {
  # A session started again (ctest --repeat runs the fixture each time)
  # replaces the old one rather than leaving it running.
  stop
  mkdir -p "$session"
  local root
  root=$(mktemp -d "${TMPDIR:-/tmp}/tavrin-wine.XXXXXX")
  mkdir -p "$root/home" "$root/prefix"

  start_xvfb "$root" 1024x768x24

  cat >"$session/env" <<ENV
export TAVRIN_WINE_ROOT='$root'
export TAVRIN_XVFB_PID=$XVFB_PID
export HOME='$root/home'
export WINEPREFIX='$root/prefix'
export WINEDEBUG=-all
export LC_ALL=C.UTF-8
export WINEDLLOVERRIDES='mscoree,mshtml=;winemenubuilder.exe=d'
export DISPLAY=$DISPLAY
ENV
  # shellcheck source=/dev/null
  . "$session/env"

  quiet wineserver -p
  quiet wineboot --init
  mkdir -p "$WINEPREFIX/drive_c/windows/Fonts"
  cp /usr/share/wine/fonts/* "$WINEPREFIX/drive_c/windows/Fonts/"

  # The command line for opening an HTML file, as a REGEDIT4 string.
  local open_command='C:\\windows\\system32\\cmd.exe /c echo %1>>C:\\tavrin-opened.txt'
  if [ -n "$opener" ]; then
    local program
    program=$(winepath -w "$opener" 2>/dev/null)
    open_command="\\\"${program//\\/\\\\}\\\" \\\"%1\\\""
  fi
  cat >"$root/settings.reg" <<REG
REGEDIT4

[HKEY_CURRENT_USER\Software\Wine\X11 Driver]
"Managed"="N"

[-HKEY_CLASSES_ROOT\htmlfile\shell\open\ddeexec]

[HKEY_CLASSES_ROOT\htmlfile\shell\open\command]
@="$open_command"

[HKEY_CLASSES_ROOT\.htm]
@="htmlfile"
REG
  quiet wine regedit /S "$(winepath -w "$root/settings.reg" 2>/dev/null)"
}

stop() {
  [ -f "$session/env" ] || return 0
  # shellcheck source=/dev/null
  . "$session/env"
  quiet wineserver -k || true
  kill "$TAVRIN_XVFB_PID" 2>/dev/null || true
  while kill -0 "$TAVRIN_XVFB_PID" 2>/dev/null; do sleep 0.1; done
  rm -rf "$TAVRIN_WINE_ROOT" "$session/env"
}

case $action in
  start) start ;;
  stop) stop ;;
  *) usage ;;
esac
