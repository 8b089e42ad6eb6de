#!/usr/bin/env bash
# The real window under Xvfb, driven as a user would: xdotool presses Right
# (a step) and Space (the clock), the console trace and a screenshot of the
# board are checked.
# Usage: e2e_window.sh VORLEN_BINARY EXAMPLES_DIR
set -euo pipefail
vorlen=$1
examples=$2

. "$(dirname "$0")/support/e2e.sh"

# Starts the window with the given options, its output in out.txt and
# err.txt, and gives it the keyboard; X, Y, WIDTH and HEIGHT say where it is.
open_window() {
  "$vorlen" "$@" >out.txt 2>err.txt &
  app_pid=$!
  local window
  window=$(timeout 20 xdotool search --sync --name '^vorlen .* vs ' | head -n 1) || { cat "$work/xvfb.log" err.txt >&2; fail "no window"; }
  sleep 0.5
  # No window manager here: the window is given the keyboard by hand.
  xdotool windowfocus --sync "$window"
  eval "$(xdotool getwindowgeometry --shell "$window")"
}

close_window() {
  kill "$app_pid"
  wait "$app_pid" 2>/dev/null || true
  app_pid=
}

# Starts the window with the given options, plays a step, then starts the clock.
run_window() {
  open_window "$@"
  import -window root before.png
  xdotool key Right
  sleep 0.5
  xdotool key space
  sleep 1.5
  import -window root after.png
  close_window
  local crop="200x200+$((X + 250))+$((Y + 250))"
  before_colours=$(convert before.png -crop "$crop" -format %k info:)
  after_colours=$(convert after.png -crop "$crop" -format %k info:)
}

run_window
grep -q '^VorlenManager initialized\.\.\.$' out.txt || fail "no start-up line"
grep -q '^Turn #0:$' out.txt || fail "no turn 0 in the trace"
grep -q '^Turn #3:$' out.txt || fail "the clock did not play on"
[ "$before_colours" -ge 6 ] || fail "no board before the first turn ($before_colours colours)"
[ "$after_colours" -ge 6 ] || fail "no board after the first turn ($after_colours colours)"

python3 -c 'print("\n".join("".join(str((r * 45 + c) % 6 + 1) for c in range(45)) for r in range(41)))' > board.map
run_window --first "/usr/bin/python3 $examples/bots/random_bot.py" --map board.map
grep -q '^loading map\.\.\.$' err.txt || fail "no map echo"
grep -q "^$(head -n 1 board.map)$" err.txt || fail "the map echo differs from the map"
grep -q '^Move [1-6]$' err.txt || fail "no move of the bot"
[ -f vorla.in ] || fail "no exchange file in the working directory"
[ "$after_colours" -ge 6 ] || fail "no board with the map"
# While a bot sleeps in its move, the File menu opens at once.
printf '#!/bin/sh\nsleep 2.5; echo 3 > vorla.out\n' > sleeper.sh
chmod +x sleeper.sh
open_window --first ./sleeper.sh
xdotool key Right
sleep 0.5
import -window root thinking.png
xdotool mousemove $((X + 20)) $((Y + 10)) click 1
sleep 0.5
import -window root menu.png
grep -q '^Turn #0:$' out.txt || fail "no move under way"
! grep -q '^Move ' err.txt || fail "the move was over before the menu was clicked"
# The menu drops over the board's top-left corner: most of it changes.
changed=$(compare -metric AE -crop "150x60+$X+$((Y + 20))" thinking.png menu.png null: 2>&1 || true)
[ "${changed%%.*}" -gt 2000 ] || fail "the File menu did not open during the move ($changed pixels changed)"
# A person in the first seat: an illegal key does nothing, a legal one plays,
# and after the built-in player's reply the board is the engine's. The last
# window goes first: its open menu would take the keys.
close_window
python3 -c 'print("1" + "4" * 1843 + "2")' > fours.map
open_window --first person --map fours.map
xdotool key Right
sleep 0.5
xdotool key 2
sleep 0.3
! grep -q '^Move 2$' err.txt || fail "an illegal colour was played"
xdotool key 5
sleep 0.5
xdotool key Right
sleep 0.8
import -window root person.png
close_window
grep -q '^Move 5$' err.txt || fail "the person's key did not play"
grep -q '^Turn #1:$' out.txt || fail "the built-in player did not reply"
# The engine's board after these two moves: the person's 5 took no cell (its
# neighbours are 4s), the built-in reply 4 took all the rest: the home cell
# navy (0,0,127), every other cell yellow.
cat > cells.py <<'PY'
import sys
data = sys.stdin.buffer.read()
parts = data.split(maxsplit=4)
width, pixels = int(parts[1]), parts[4]
def rgb(x, y):
    i = 3 * (y * width + x)
    return tuple(pixels[i:i + 3])
board = [(x, y) for y in range(0, int(parts[2]), 2) for x in range(0, width, 2) if rgb(x, y) in ((0, 0, 127), (255, 255, 0))]
left, top = min(x for x, _ in board), min(y for _, y in board)
print(rgb(left + 2, top + 2) == (0, 0, 127) and rgb(left + 300, top + 300) == (255, 255, 0))
PY
[ "$(convert person.png -crop "${WIDTH}x${HEIGHT}+${X}+${Y}" +repage ppm:- | python3 cells.py)" = True ] \
  || fail "the board after the person's move and the reply is not the engine's"
echo "1 passed, 0 failed"
