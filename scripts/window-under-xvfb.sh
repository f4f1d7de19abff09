# Sourced by the end-to-end checks that drive the window: starts a private X server and the
# program on it. The caller sets program, sandbox and SCREEN and keeps an array started,
# whose processes it ends when it exits.

# start_window: Xvfb on the first free display from :90, then the program on it (its
# output in $sandbox/hushvault.log); program_pid is the program's process.
start_window() {
  local display_number
  display_number=$(for n in $(seq 90 140); do
    [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ] || { echo "$n"; break; }
  done)
  export DISPLAY=":$display_number"
  Xvfb "$DISPLAY" -screen 0 "$SCREEN" -nolisten tcp >"$sandbox/xvfb.log" 2>&1 &
  started+=($!)
  for _ in $(seq 100); do
    xdotool getdisplaygeometry >/dev/null 2>&1 && break
    sleep 0.1
  done
  export QT_QPA_PLATFORM=xcb
  [ "$(id -u)" -ne 0 ] || export QTWEBENGINE_DISABLE_SANDBOX=1
  "$program" >"$sandbox/hushvault.log" 2>&1 &
  program_pid=$!
  started+=("$program_pid")
}
