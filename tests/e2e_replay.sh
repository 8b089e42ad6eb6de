#!/usr/bin/env bash
# A replay in the real window under Xvfb: vorlen-match writes it, the window
# opens it, keys and the slider move through it, and after each move the
# board on screen is read back cell by cell and compared with the board the
# replay's moves give.
# Last, a replay is opened as a double click opens it: by the desktop
# entry's command with the file.
# Usage: e2e_replay.sh VORLEN_BINARY VORLEN_MATCH_BINARY DESKTOP_ENTRY
set -euo pipefail
vorlen=$1
runner=$2
desktop=$3

. "$(dirname "$0")/support/e2e.sh"

"$runner" --seed 11 --games 1 --replays replays >/dev/null || fail "no replay written"
replay=replays/game-0.json

# The board after K turns, from the replay's moves: each seat floods its
# corner's region with the colour it played. Printed as 41 rows of digits.
cat > expected.py <<'PY'
import json, sys
replay = json.load(open(sys.argv[1]))
turns = int(sys.argv[2])
board = [[int(ch) for ch in row] for row in replay["board"]]
rows, cols = len(board), len(board[0])
for turn in replay["turns"][:turns]:
    colour = turn["answer"]
    if colour is None or not 1 <= colour <= 6:
        continue
    r, c = (0, 0) if turn["seat"] == 0 else (rows - 1, cols - 1)
    old = board[r][c]
    if old == colour:
        continue
    stack = [(r, c)]
    board[r][c] = colour
    while stack:
        r, c = stack.pop()
        for nr, nc in ((r + 1, c), (r - 1, c), (r, c + 1), (r, c - 1)):
            if 0 <= nr < rows and 0 <= nc < cols and board[nr][nc] == old:
                board[nr][nc] = colour
                stack.append((nr, nc))
print("\n".join("".join(map(str, row)) for row in board))
PY

# The board on screen: the cells' centres read from a screenshot, by the
# display's six colours (half-transparent ones painted over black); the
# board is the top-left of what has them, the panels' swatches lie right of it.
cat > onscreen.py <<'PY'
import sys
data = sys.stdin.buffer.read()
parts = data.split(maxsplit=4)
width, height = int(parts[1]), int(parts[2])
pixels = parts[4]
palette = {1: (255, 0, 0), 2: (0, 255, 0), 3: (0, 0, 255), 4: (255, 255, 0), 5: (0, 0, 127), 6: (127, 0, 0)}
def colour(x, y):
    i = 3 * (y * width + x)
    rgb = tuple(pixels[i:i + 3])
    for digit, want in palette.items():
        if all(abs(a - b) <= 2 for a, b in zip(rgb, want)):
            return digit
    return 0
xs, ys = [], []
for y in range(0, height, 3):
    for x in range(0, width, 3):
        if colour(x, y):
            xs.append(x); ys.append(y)
left, top = min(xs), min(ys)
# Found every third pixel: back to its exact corner, then its first row of
# pixels (the board has no gaps) gives the cell's size.
while left > 0 and colour(left - 1, top):
    left -= 1
while top > 0 and colour(left, top - 1):
    top -= 1
right = left
while right + 1 < width and colour(right + 1, top + 1):
    right += 1
cell = (right - left + 1) // 45
half = cell // 2
print("\n".join("".join(str(colour(left + c * cell + half, top + r * cell + half)) for c in range(45)) for r in range(41)))
PY

"$vorlen" --replay "$replay" >out.txt 2>err.txt &
app_pid=$!
window=$(timeout 20 xdotool search --sync --name '^vorlen .* vs ' | head -n 1) || { cat xvfb.log err.txt >&2; fail "no window"; }
sleep 0.5
# No window manager here: the window is given the keyboard by hand.
xdotool windowfocus --sync "$window"
eval "$(xdotool getwindowgeometry --shell "$window")"

shown=0
# The window may still be laying itself out (the result banner comes at the
# end): the board is read again a few times before it counts as wrong.
check() {
  python3 expected.py "$replay" "$shown" > expected.txt
  for _ in 1 2 3 4 5; do
    sleep 0.4
    import -window root shot.png
    convert shot.png -crop "${WIDTH}x${HEIGHT}+${X}+${Y}" +repage ppm:- | python3 onscreen.py > screen.txt
    cmp -s screen.txt expected.txt && return 0
  done
  diff screen.txt expected.txt | head -n 6 >&2 || true
  fail "$1: the board on screen is not the board after $shown turns"
}

check "the start"
xdotool key Right Right Right Right Right; shown=5; check "Right x5"
xdotool key Left Left; shown=3; check "Left x2"
length=$(python3 -c "import json; print(len(json.load(open('$replay'))['turns']))")
# A click on the slider's groove goes to the turn under it: about half way
# for a click half way between "back" and "turn K / N".
xdotool mousemove $((X + (90 + WIDTH - 130) / 2)) $((Y + HEIGHT - 38)) click 1
sleep 0.4
import -window root shot.png
convert shot.png -crop "${WIDTH}x${HEIGHT}+${X}+${Y}" +repage ppm:- | python3 onscreen.py > screen.txt
jumped=
for k in $(seq $((length * 35 / 100)) $((length * 65 / 100))); do
  python3 expected.py "$replay" "$k" > expected.txt
  cmp -s screen.txt expected.txt && { jumped=$k; break; }
done
[ -n "$jumped" ] || fail "a click half way along the slider did not show a turn near the middle"
xdotool key End; shown=$length; check "End"
xdotool key Home; shown=0; check "Home"
kill "$app_pid"; wait "$app_pid" 2>/dev/null || true; app_pid=

# The file manager runs the entry's Exec line with %f made the file's path.
# Without the run's names, the window names players by their programs.
python3 -c 'import json, sys; r = json.load(open(sys.argv[1])); r["players"] = ["./alpha", "beta --fast"]; r.pop("names", None); json.dump(r, open(sys.argv[2], "w"))' \
  "$replay" "named replay.json"
exec_line=$(sed -n 's/^Exec=//p' "$desktop")
[[ "$exec_line" == *%f* ]] || fail "the desktop entry takes no file: $exec_line"
read -r -a command <<<"${exec_line/#vorlen/$vorlen}"
command=("${command[@]/\%f/$PWD/named replay.json}")
"${command[@]}" >out.txt 2>err.txt &
app_pid=$!
timeout 20 xdotool search --sync --name '^vorlen .* alpha vs beta$' >/dev/null \
  || { cat err.txt >&2; fail "the desktop entry's command did not open the replay"; }
echo "1 passed, 0 failed"
