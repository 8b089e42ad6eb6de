#!/usr/bin/env bash
# Whole runs of vorlen-match: wall time, throughput and peak memory.
# Usage: match_runs.sh BUILD_DIR [EXAMPLES_DIR]
set -euo pipefail
build=$1
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

read -r secs kib < <(measure "$match" --games 1000 --concurrency 1)
echo "1000 built-in matches, --concurrency 1: ${secs} s wall, peak ${kib} KiB"

read -r one _ < <(measure "$match" --first "$bot" --games 20 --concurrency 1)
read -r two _ < <(measure "$match" --first "$bot" --games 20 --concurrency 2)
echo "20 matches with a compiled bot: ${one} s with --concurrency 1, ${two} s with 2: speed-up $(echo "scale=2; $one / $two" | bc)x"

# The same match of the Python example bot, started for every move and as a
# stream bot (the same board, the same answers).
read -r file _ < <(measure "$match" --first "python3 $examples/bots/random_bot.py" --seed 1 --concurrency 1)
read -r stream _ < <(measure "$match" --first "stream:python3 $examples/bots/random_stream_bot.py" --seed 1 --concurrency 1)
echo "one match of the Python example: ${file} s as a file bot, ${stream} s as a stream bot: $(echo "scale=1; $file / $stream" | bc)x faster"
