#!/usr/bin/env bash
# A run's web report: its size for 1,000 matches (target: under 50 MB), and
# how long its index and a match page take to come up in headless Chromium
# (target: the index in under a second), as the pages measure themselves.
# Usage: report_pages.sh BUILD_DIR [MATCHES]
set -euo pipefail
build=$(cd "$1" && pwd)
count=${2:-1000}
match=$build/tools/match/vorlen-match
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"

start=$(date +%s.%N)
"$match" --games $((count / 2)) --swap --seed 1 --concurrency "$(nproc)" --results r.jsonl --report report \
  >/dev/null 2>&1
end=$(date +%s.%N)
echo "run of $count matches with --report: $(echo "$end - $start" | bc) s"
echo "report size: $(du -sb report | cut -f1) bytes in $(ls report | wc -l) files"
echo "index.html: $(stat -c %s report/index.html) bytes"

ready() {
  chromium --headless=new --no-sandbox --disable-gpu --user-data-dir="$work/profile" --dump-dom "file://$1" \
    2>/dev/null | grep -o 'data-ready-ms="[0-9]*"' | grep -o '[0-9]*'
}
for i in 1 2 3; do
  echo "index ready after $(ready "$work/report/index.html") ms"
done
echo "a match page ready after $(ready "$work/report/game-0-A-B.html") ms"
