#!/usr/bin/env bash
# Runs a command in a private headless Wayland session and stops every process
# of the session when it ends: sway on its own XDG_RUNTIME_DIR, a D-Bus
# session bus with the accessibility bus, and one keyboard plugged in for the
# whole session (a virtual one, held by wtype), as a user always has.
#   with-sway.sh COMMAND FILE...
# COMMAND and each FILE are copied into the session's folder first and the
# copy of COMMAND runs with the copies' paths. sway will not run as root, so
# as root the session belongs to a user this script creates and deletes.
set -euo pipefail

if [ "${1:-}" = --inside ]; then
  session=$2
  shift 2
  cd "$session"
  printf 'xwayland disable\noutput HEADLESS-1 resolution 1280x1024\n' >sway.conf
  WLR_BACKENDS=headless WLR_LIBINPUT_NO_DEVICES=1 WLR_RENDERER=pixman sway -c sway.conf >sway.log 2>&1 &
  sway=$!
  keyboard=
  trap 'kill $keyboard $sway 2>/dev/null || true; wait' EXIT
  for _ in $(seq 100); do
    socket=$(find "$XDG_RUNTIME_DIR" -maxdepth 1 -type s -name 'wayland-*' | head -n1)
    [ -n "$socket" ] && break
    sleep 0.1
  done
  [ -n "$socket" ] || { echo "with-sway.sh: sway did not start:" >&2; cat sway.log >&2; exit 1; }
  export WAYLAND_DISPLAY=${socket##*/}
  # A keyboard that stays: one that comes and goes with every key press makes
  # the program lose and regain its keyboard, and the first keys race ahead.
  wtype -s 3600000 &
  keyboard=$!
  # Wait until sway has it, so that no key of the command's comes first.
  export SWAYSOCK=
  for _ in $(seq 100); do
    SWAYSOCK=$(find "$XDG_RUNTIME_DIR" -maxdepth 1 -type s -name 'sway-ipc.*' | head -n1)
    [ -n "$SWAYSOCK" ] && swaymsg -t get_inputs 2>/dev/null | grep -q '"type": "keyboard"' && break
    sleep 0.1
  done
  status=0
  "$@" || status=$?
  [ $status -eq 0 ] || { echo "with-sway.sh: the command failed; sway said:" >&2; tail -n 20 sway.log >&2; }
  exit $status
fi

session=$(mktemp -d)
user=
cleanup() {
  if [ -n "$user" ]; then
    pkill -KILL -u "$user" 2>/dev/null || true
    userdel "$user" 2>/dev/null || true
  fi
  rm -rf "$session"
}
trap cleanup EXIT
files=()
for file in "$@"; do
  cp "$file" "$session/"
  files+=("$session/$(basename "$file")")
done
cp "$0" "$session/with-sway.sh"
mkdir -m 700 "$session/runtime"
environment=(HOME="$session" PATH=/usr/local/bin:/usr/bin:/bin LANG=C.UTF-8 XDG_RUNTIME_DIR="$session/runtime"
             XDG_CONFIG_HOME="$session/config" XDG_DATA_HOME="$session/data" XDG_CACHE_HOME="$session/cache"
             GDK_BACKEND=wayland GTK_A11Y=atspi NO_AT_BRIDGE=0)
inside=(dbus-run-session -- "$session/with-sway.sh" --inside "$session" "${files[@]}")
if [ "$(id -u)" -eq 0 ]; then
  user=tavrin-wl-$$
  useradd --system --user-group --no-create-home --home-dir "$session" --shell /usr/sbin/nologin "$user"
  chown -R "$user:" "$session"
  runuser -u "$user" -- env -i "${environment[@]}" "${inside[@]}"
else
  env -i "${environment[@]}" "${inside[@]}"
fi
