# What the end-to-end scripts share; sourced before anything else. Makes a
# scratch folder ($work) and goes there, starts Xvfb on a display nobody
# uses and points DISPLAY at it; on exit the window under test ($app_pid),
# Xvfb and the folder go.
work=$(mktemp -d)
xvfb_pid=
app_pid=
cleanup() {
  [ -n "$app_pid" ] && kill "$app_pid" 2>/dev/null || true
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

# Xvfb picks a free display itself and names it once it is ready: two
# scripts starting at once never race for the same one.
Xvfb -displayfd 3 -screen 0 1280x900x24 -nolisten tcp 3>"$work/display" >"$work/xvfb.log" 2>&1 &
xvfb_pid=$!
for _ in $(seq 200); do [ -s "$work/display" ] && break; sleep 0.05; done
[ -s "$work/display" ] || fail "Xvfb does not start: $(cat "$work/xvfb.log")"
export DISPLAY=:$(head -n 1 "$work/display")
unset QT_QPA_PLATFORM
cd "$work"
