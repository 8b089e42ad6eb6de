#!/usr/bin/env bash
# The report's peak memory on the largest replays it accepts: a first
# player whose command line has 5 million words, and one of 15 MB (target:
# under 100 MB each; a normal replay takes about 10 MB).
# Usage: hostile_report.sh BUILD_DIR
set -euo pipefail
build=$(cd "$1" && pwd)
match=$build/tools/match/vorlen-match
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"

"$match" --games 1 --no-swap --seed 1 --replays reps --results r.jsonl --quiet >/dev/null 2>&1
replay=$(ls reps/*.json)
cp "$replay" normal.json
for case in normal words5m bytes15m; do
  case $case in
    normal) cp normal.json "$replay" ;;
    words5m) python3 -c 'import json,sys; d=json.load(open("normal.json")); d["players"][0]=" ".join(["w"]*5_000_000); json.dump(d,open(sys.argv[1],"w"))' "$replay" ;;
    bytes15m) python3 -c 'import json,sys; d=json.load(open("normal.json")); d["players"][0]="x"*(15<<20); json.dump(d,open(sys.argv[1],"w"))' "$replay" ;;
  esac
  rm -rf out
  /usr/bin/time -f '%M' -o peak.txt "$match" report out r.jsonl reps >/dev/null 2>&1
  echo "report, $case: peak $(( $(cat peak.txt) / 1024 )) MB, $(stat -c %s "$replay") bytes of replay"
done
