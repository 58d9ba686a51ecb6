#!/usr/bin/env bash
# Runs a command on a private Xvfb display and stops every process it
# started when the command ends.
#   with-xvfb.sh [--wm] [--a11y] command args...
# --wm starts openbox on the display first; --a11y runs the command in its
# own D-Bus session so that GTK's accessibility bridge (AT-SPI) is live.
set -euo pipefail
. "$(dirname "$0")/xvfb.sh"
wm=0
a11y=0
while [ $# -gt 0 ]; do
  case "$1" in
    --wm) wm=1; shift ;;
    --a11y) a11y=1; shift ;;
    *) break ;;
  esac
done

tmp=$(mktemp -d)
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  for pid in "${pids[@]}"; do wait "$pid" 2>/dev/null || true; done
  rm -rf "$tmp"
}
trap cleanup EXIT

start_xvfb "$tmp" 1280x1024x24
pids+=("$XVFB_PID")
export GDK_BACKEND=x11
export XDG_CONFIG_HOME="$tmp/config" XDG_DATA_HOME="$tmp/data" XDG_CACHE_HOME="$tmp/cache"
export XDG_RUNTIME_DIR="$tmp/runtime"
mkdir -p "$XDG_CONFIG_HOME" "$XDG_DATA_HOME" "$XDG_CACHE_HOME" "$XDG_RUNTIME_DIR"
chmod 700 "$XDG_RUNTIME_DIR"

if [ $wm -eq 1 ]; then
  openbox --sm-disable >"$tmp/openbox.log" 2>&1 &
  pids+=($!)
  # Wait until it manages the screen (it then answers for its desktops), so
  # that the first window is framed and placed by it, however busy the machine.
  for _ in $(seq 100); do
    xdotool get_num_desktops >/dev/null 2>&1 && break
    sleep 0.1
  done
fi

status=0
if [ $a11y -eq 1 ]; then
  export GTK_A11Y=atspi NO_AT_BRIDGE=0
  dbus-run-session -- "$@" || status=$?
else
  export NO_AT_BRIDGE=1
  "$@" || status=$?
fi
if [ $status -ne 0 ] && [ -s "$tmp/xvfb.log" ]; then
  echo "with-xvfb.sh: the command failed; Xvfb said:" >&2
  tail -n 20 "$tmp/xvfb.log" >&2
fi
exit $status
