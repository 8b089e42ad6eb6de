#!/usr/bin/env bash
# The ladder's cost over vorlen-match: the same two compiled bots, the same
# number of matches (every board in both seatings, in boxes, two at once),
# played by `vorlen-ladder run` and by `vorlen-match`; matches a minute each.
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
lad=$(seconds "$ladder" --ladder l run --matches "$matches" --concurrency 2)
run=$(seconds "$match" --sandbox --first "$work/a/bot" --second "$work/b/bot" --swap --games "$pairs" --seed 1 \
  --concurrency 2)
perMinute() { echo "scale=0; 60 * $matches / $1" | bc; }
echo "$matches matches of two compiled bots, in boxes, two at once:"
echo "  vorlen-ladder run: ${lad} s, $(perMinute "$lad") a minute"
echo "  vorlen-match:      ${run} s, $(perMinute "$run") a minute"
echo "  the ladder's overhead: $(echo "scale=1; 100 * ($lad - $run) / $run" | bc) %"
