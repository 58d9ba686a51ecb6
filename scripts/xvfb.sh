# Starts a private Xvfb display: the one way every script here does it (the
# tests, the Wine session, screenshots and benchmarks). Source this file, then
#   start_xvfb DIR SCREEN     e.g. start_xvfb "$tmp" 1280x1024x24
# starts Xvfb on a free display with SCREEN, keeps what it says in
# DIR/xvfb.log, waits until it takes connections and exports DISPLAY. The
# server's process id is then in XVFB_PID; the caller stops it.

start_xvfb() {
  local dir=$1 screen=$2
  Xvfb -displayfd 3 -screen 0 "$screen" -nolisten tcp 3>"$dir/display" </dev/null >/dev/null 2>"$dir/xvfb.log" &
  XVFB_PID=$!
  for _ in $(seq 100); do
    [ -s "$dir/display" ] && break
    kill -0 "$XVFB_PID" 2>/dev/null || break
    sleep 0.1
  done
  if [ ! -s "$dir/display" ]; then
    echo "Xvfb did not start:" >&2
    cat "$dir/xvfb.log" >&2
    kill "$XVFB_PID" 2>/dev/null || true
    return 1
  fi
  export DISPLAY=":$(head -n1 "$dir/display")"
  # Make sure the server takes connections before anything is started on it; a busy machine may take a while.
  local ready=0
  for _ in $(seq 300); do
    xdotool getdisplaygeometry >/dev/null 2>&1 && { ready=1; break; }
    sleep 0.1
  done
  if [ $ready -eq 0 ]; then
    echo "Xvfb took no connection within 30 s:" >&2
    cat "$dir/xvfb.log" >&2
    kill "$XVFB_PID" 2>/dev/null || true
    return 1
  fi
}
