#!/usr/bin/env bash
# Whole runs of vorlen-match: wall time, throughput and peak memory.
# Usage: match_runs.sh BUILD_DIR [EXAMPLES_DIR]
set -euo pipefail
build=$(cd "$1" && pwd)
examples=${2:-$(cd "$(dirname "$0")/../examples" && pwd)}
match=$build/tools/match/vorlen-match
bot=$build/bench/trivial_bot
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"

# Prints "seconds peak_kib" of one run.
measure() {
  /usr/bin/time -f '%e %M' -o t.txt "$@" >/dev/null 2>&1
  cat t.txt
}

read -r secs kib < <(measure "$match" --games 500 --concurrency 1)
echo "1000 built-in matches, --concurrency 1: ${secs} s wall, peak ${kib} KiB"

# What the machine itself gains from a second core: bare spawn loops of the
# bot, one alone and two side by side.
for _ in $(seq 41); do printf '%045d\n' 0 | tr 0 1; done > vorla.in
spawns() { for _ in $(seq 400); do "$bot" </dev/null >/dev/null 2>&1 || true; done; }
start=$(date +%s.%N); spawns; alone=$(echo "$(date +%s.%N) - $start" | bc)
start=$(date +%s.%N); spawns & spawns; wait; both=$(echo "$(date +%s.%N) - $start" | bc)
machine=$(echo "scale=2; 2 * $alone / $both" | bc)
echo "bare spawns of the bot: two loops side by side do ${machine}x the work of one"

for mode in --no-sandbox --sandbox; do
  read -r one _ < <(measure "$match" "$mode" --first "$bot" --games 10 --concurrency 1)
  read -r two _ < <(measure "$match" "$mode" --first "$bot" --games 10 --concurrency 2)
  speedup=$(echo "scale=2; $one / $two" | bc)
  echo "20 matches with a compiled bot, $mode: ${one} s with --concurrency 1, ${two} s with 2: speed-up ${speedup}x, $(echo "scale=2; $speedup / $machine" | bc) of the machine's"
done

# The same match of the Python example bot, started for every move and as a
# stream bot (the same board, the same answers).
read -r file _ < <(measure "$match" --first "python3 $examples/bots/random_bot.py" --seed 1 --concurrency 1)
read -r stream _ < <(measure "$match" --first "stream:python3 $examples/bots/random_stream_bot.py" --seed 1 --concurrency 1)
echo "one match of the Python example: ${file} s as a file bot, ${stream} s as a stream bot: $(echo "scale=1; $file / $stream" | bc)x faster"
