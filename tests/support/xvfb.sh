# Starts Xvfb on a display nobody uses and points DISPLAY at it; sourced by
# the end-to-end scripts. Sets xvfb_pid for their cleanup; logs to $1.
start_xvfb() {
  local log=$1 display=
  for n in $(seq 90 140); do
    [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ] || { display=":$n"; break; }
  done
  Xvfb "$display" -screen 0 1280x900x24 -nolisten tcp >"$log" 2>&1 &
  xvfb_pid=$!
  for _ in $(seq 100); do [ -e "/tmp/.X11-unix/X${display#:}" ] && break; sleep 0.05; done
  export DISPLAY=$display
  unset QT_QPA_PLATFORM
}
