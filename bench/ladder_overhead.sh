#!/usr/bin/env bash
# The ladder's cost over vorlen-match: the same two compiled bots, the same
# number of matches (every board in both seatings, in boxes, two at once),
# each keeping what the ladder keeps (records, replays, bots' logs), played
# by `vorlen-ladder run` and by `vorlen-match`: turns a second, the better
# of two tries each.
# Usage: ladder_overhead.sh BUILD_DIR [PAIRS]
set -euo pipefail
build=$(cd "$1" && pwd)
pairs=${2:-100}
ladder=$build/tools/ladder/vorlen-ladder
match=$build/tools/match/vorlen-match
bot=$build/bench/trivial_bot
work=$(mktemp -d)
chmod 755 "$work"
trap 'chmod -R u+w "$work"; rm -rf "$work"' EXIT
cd "$work"

mkdir a b
cp "$bot" a/bot
cp "$bot" b/bot
"$ladder" init l >/dev/null
"$ladder" --ladder l add a "$work/a" --command ./bot >/dev/null
"$ladder" --ladder l add b "$work/b" --command ./bot >/dev/null
# Builds and checks first, outside the timing.
"$ladder" --ladder l run --matches 2 >/dev/null

seconds() { local start; start=$(date +%s.%N); "$@" >/dev/null 2>&1; echo "$(date +%s.%N) - $start" | bc; }
matches=$((2 * pairs))
# Turns a second, the better of two tries: the two draw their boards
# differently, and a match lasts as long as its board makes it.
turns() { python3 -c 'import json,sys; print(sum(json.loads(l)["turns"] for l in open(sys.argv[1]) if l.strip()))' "$1"; }
rate() { echo "scale=1; $1 / $2" | bc; }
best() { if [ "$(echo "$1 > $2" | bc)" = 1 ]; then echo "$1"; else echo "$2"; fi; }
lad=0
run=0
for try in 1 2; do
  "$ladder" --ladder l matches --records > before.jsonl
  secs=$(seconds "$ladder" --ladder l run --matches "$matches" --concurrency 2)
  "$ladder" --ladder l matches --records > after.jsonl
  lad=$(best "$lad" "$(rate $(( $(turns after.jsonl) - $(turns before.jsonl) )) "$secs")")
  secs=$(seconds "$match" --sandbox --first "$work/a/bot" --second "$work/b/bot" --swap --games "$pairs" \
    --seed "$try" --concurrency 2 --results "m$try.jsonl" --replays "replays$try" --bot-logs "logs$try")
  run=$(best "$run" "$(rate "$(turns "m$try.jsonl")" "$secs")")
done
echo "$matches matches of two compiled bots, in boxes, two at once, records, replays and logs kept:"
echo "  vorlen-ladder run: $lad turns a second"
echo "  vorlen-match:      $run turns a second"
echo "  the ladder's overhead: $(echo "scale=1; 100 * ($run - $lad) / $run" | bc) %"
