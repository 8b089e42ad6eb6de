#!/usr/bin/env bash
# vorlen-match summarize over a million generated records, JSON Lines and
# CSV: wall time and peak memory, next to a Python loop that only parses the
# same JSON lines.
# Usage: summarize_records.sh BUILD_DIR [RECORDS]
set -euo pipefail
build=$(cd "$1" && pwd)
count=${2:-1000000}
match=$build/tools/match/vorlen-match
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"

# Two real records to copy from: the built-in player against itself.
"$match" --games 1 --swap --seed 1 --results seed.jsonl >/dev/null 2>&1
"$match" --games 1 --swap --seed 1 --results seed.csv >/dev/null 2>&1
python3 - "$count" <<'PY'
import json, sys
count = int(sys.argv[1])
base = [json.loads(line) for line in open("seed.jsonl")]
with open("big.jsonl", "w") as out:
    for game in range(count):
        record = dict(base[game % 2], game=game, run_matches=count)
        out.write(json.dumps(record, separators=(",", ":")) + "\n")
header, *rows = open("seed.csv").read().splitlines()
names = header.split(",")
at_game, at_matches = names.index("game"), names.index("run_matches")
with open("big.csv", "w") as out:
    out.write(header + "\n")
    for game in range(count):
        fields = rows[game % 2].split(",")
        fields[at_game], fields[at_matches] = str(game), str(count)
        out.write(",".join(fields) + "\n")
PY

# Prints "seconds peak_kib" of one command.
measure() {
  /usr/bin/time -f '%e %M' -o t.txt "$@" >/dev/null 2>&1
  cat t.txt
}

size=$(du -m big.jsonl | cut -f1)
read -r secs kib < <(measure python3 -c 'import json, sys
for line in open(sys.argv[1]): json.loads(line)' big.jsonl)
echo "Python json.loads over $count lines ($size MiB): ${secs} s, peak $((kib / 1024)) MiB"
read -r secs kib < <(measure "$match" summarize big.jsonl)
echo "summarize, JSON Lines: ${secs} s, peak $((kib / 1024)) MiB"
read -r secs kib < <(measure "$match" summarize big.csv)
echo "summarize, CSV: ${secs} s, peak $((kib / 1024)) MiB"
# The same records as four shards would write them: game I modulo 4.
awk '{ print > ("shard-" (NR - 1) % 4 ".jsonl") }' big.jsonl
read -r secs kib < <(measure "$match" summarize shard-0.jsonl shard-1.jsonl shard-2.jsonl shard-3.jsonl)
echo "summarize, JSON Lines in 4 shard files: ${secs} s, peak $((kib / 1024)) MiB"
