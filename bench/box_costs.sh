#!/usr/bin/env bash
# What a box costs a whole match: short matches of a trivial compiled bot
# against itself (the colour after its own), as a file bot and as a stream
# bot, each boxed and plain, one match at a time; the box's start is paid in
# every boxed match. Goals: a boxed stream match at most 1.5 times a plain
# one, a boxed file-bot match at most 1.3 times, stream bots at least 10
# times quicker than file bots in the default mode (boxed).
# Usage: box_costs.sh BUILD_DIR [MATCHES]
set -euo pipefail
build=$(cd "$1" && pwd)
matches=${2:-40}
match=$build/tools/match/vorlen-match
file=$build/bench/trivial_bot
stream=$build/bench/trivial_stream_bot
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"

# The best of three runs' wall time, in seconds.
best() {
  local fastest=
  for _ in 1 2 3; do
    /usr/bin/time -f '%e' -o t.txt "$match" --games "$matches" --no-swap --seed 1 --concurrency 1 "$@" >/dev/null 2>&1
    fastest=$(printf '%s\n%s\n' "${fastest:-$(cat t.txt)}" "$(cat t.txt)" | sort -g | head -1)
  done
  echo "$fastest"
}

declare -A took
for bot in file stream; do
  command=${!bot}
  [ "$bot" = stream ] && command="stream:$command"
  for mode in --no-sandbox --sandbox; do
    took[$bot$mode]=$(best "$mode" --first "$command" --second "$command")
  done
  ratio=$(echo "scale=2; ${took[$bot--sandbox]} / ${took[$bot--no-sandbox]}" | bc)
  echo "$matches $bot-bot matches: ${took[$bot--no-sandbox]} s plain, ${took[$bot--sandbox]} s boxed: ${ratio}x"
done
echo "in boxes, stream bots are $(echo "scale=1; ${took[file--sandbox]} / ${took[stream--sandbox]}" | bc)x quicker than file bots"
