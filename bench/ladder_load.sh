#!/usr/bin/env bash
# The ladder's server under load: 200 page loads at once, half the
# standings of BOTS bots, half a match's page, by ApacheBench against the
# server on the loopback address, bounded in requests and in time. Prints
# each half's percentiles; the mark is 200 ms at the 95th.
# Usage: bench/ladder_load.sh BUILD_DIR [BOTS [REQUESTS [THREADS]]]
set -euo pipefail
build=$1 bots=${2:-200} requests=${3:-20000} threads=${4:-8}
ladder=$build/tools/ladder/vorlen-ladder
command -v ab >/dev/null || { echo "ApacheBench is not installed (Debian: apache2-utils)" >&2; exit 1; }

work=$(mktemp -d)
chmod 755 "$work"
server=
trap '[ -n "$server" ] && kill "$server" 2>/dev/null; wait 2>/dev/null; rm -rf "$work"' EXIT
cd "$work"
"$ladder" init l >/dev/null
mkdir bot
cat > bot/bot.sh <<'BOT'
awk 'NF { last = $0; if (!first) first = $0 } END { o = substr(first, 1, 1); p = substr(last, length(last), 1);
  for (c = 1; c <= 6; c++) if (c != o && c != p) { print c; exit } }' vorla.in > vorla.out
BOT
"$ladder" --ladder l add one "$work/bot" --command "sh bot.sh" >/dev/null
"$ladder" --ladder l add two "$work/bot" --command "sh bot.sh" >/dev/null
"$ladder" --ladder l run --matches 2 >/dev/null
# The rest of the field, its results drawn from strengths: as if played.
python3 - "$work/l/ladder.sqlite" "$bots" <<'FIELD'
import random, sqlite3, sys
db, bots = sqlite3.connect(sys.argv[1]), int(sys.argv[2])
random.seed(1)
strength = {}
for n in range(bots - 2):
    cur = db.execute("INSERT INTO bots (name, added) VALUES (?, 't')", (f"bot{n}",))
    db.execute("INSERT INTO versions (bot, number, folder, command, state, added) VALUES (?, 1, 'f', './bot', 'ready', 't')",
               (cur.lastrowid,))
ids = [row[0] for row in db.execute("SELECT id FROM versions")]
for v in ids:
    strength[v] = random.gauss(0, 200)
for i, a in enumerate(ids):
    for b in ids[i + 1:]:
        if random.random() < 0.2:
            p = 1 / (1 + 10 ** ((strength[b] - strength[a]) / 400))
            wins = sum(random.random() < p for _ in range(20))
            db.execute("INSERT OR IGNORE INTO results VALUES (?, ?, ?, 0, ?, 0, 0, 10, 0, 0)", (a, b, wins, 20 - wins))
db.commit()
FIELD

port=$(python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')
"$ladder" --ladder l serve --listen "127.0.0.1:$port" --threads "$threads" >serve.out 2>&1 &
server=$!
for _ in $(seq 100); do curl -s -o /dev/null "http://127.0.0.1:$port/" && break; sleep 0.1; done
match=$(curl -s "http://127.0.0.1:$port/matches" | grep -o '/matches/[0-9]*' | head -n 1)
sizes="standings $(curl -s "http://127.0.0.1:$port/" | wc -c) bytes, match page $(curl -s "http://127.0.0.1:$port$match" | wc -c) bytes"

half=$((requests / 2))
ab -q -t 120 -n "$half" -c 100 -s 30 "http://127.0.0.1:$port/" >standings.txt 2>&1 &
ab -q -t 120 -n "$half" -c 100 -s 30 "http://127.0.0.1:$port$match" >match.txt 2>&1 &
wait %2 %3 2>/dev/null || wait
echo "vorlen-ladder serve, $threads threads; $bots bots; $sizes; 200 at once (100 a page)"
for page in standings match; do
  done_=$(grep '^Complete requests' $page.txt | awk '{print $3}')
  failed=$(grep '^Failed requests' $page.txt | awk '{print $3}')
  rate=$(grep '^Requests per second' $page.txt | awk '{print $4}')
  pct=$(awk '/^  50%/ {p50=$2} /^  95%/ {p95=$2} /^  99%/ {p99=$2} /^ 100%/ {max=$2} END {print "50% " p50 " ms, 95% " p95 " ms, 99% " p99 " ms, longest " max " ms"}' $page.txt)
  printf '%-9s %6s requests (%s failed), %8s a second: %s\n' "$page" "$done_" "$failed" "$rate" "$pct"
done
