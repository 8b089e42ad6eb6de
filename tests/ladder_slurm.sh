#!/usr/bin/env bash
# A ladder whose pairs play on a Slurm cluster: a one-node cluster and a
# PostgreSQL server of the test's own, a ladder on that database, two bots;
# `run --slurm` submits the pairs as array jobs whose tasks play and land
# them. Every pair lands once, whole; none is left under way. Exits 77
# (skipped) where the tools or daemons are not to be had.
# Usage: ladder_slurm.sh VORLEN_LADDER_BINARY
set -euo pipefail
ladder=$1

skip() { echo "SKIP: $*"; exit 77; }
fail() { echo "FAIL: $*" >&2; exit 1; }

source "$(dirname "$0")/slurm_cluster.sh"
chmod 755 "$work" # the bots run as nobody in their boxes

pg_bin=$(ls -d /usr/lib/postgresql/*/bin 2>/dev/null | sort -V | tail -n 1)
[ -x "$pg_bin/pg_ctl" ] || skip "PostgreSQL's server is not installed (Debian: postgresql)"
stop_postgres() { runuser -u nobody -- "$pg_bin/pg_ctl" -D "$work/pg/data" -m immediate -w stop >/dev/null 2>&1; }
before_cleanup=stop_postgres
mkdir -p pg/data pg/socket
chown nobody pg/data pg/socket
chmod 700 pg/data
runuser -u nobody -- "$pg_bin/initdb" -D "$work/pg/data" -U ladder --auth=trust -E UTF8 --no-sync >pg/initdb.log 2>&1 ||
  fail "initdb: $(tail -n 3 pg/initdb.log)"
runuser -u nobody -- "$pg_bin/pg_ctl" -D "$work/pg/data" -l "$work/pg/socket/server.log" -w -t 60 \
  -o "-k '$work/pg/socket' -c listen_addresses='' -c fsync=off" start >/dev/null || fail "the PostgreSQL server did not start"
database="postgresql:///postgres?host=$work/pg/socket&user=ladder"

start_slurm

"$ladder" init l --database "$database" >/dev/null || fail "init"
mkdir bot
cat > bot/bot.sh <<'BOT'
awk 'NF { last = $0; if (!first) first = $0 } END { o = substr(first, 1, 1); p = substr(last, length(last), 1);
  for (c = 1; c <= 6; c++) if (c != o && c != p) { print c; exit } }' vorla.in > vorla.out
BOT
"$ladder" --ladder l add one "$work/bot" --command "sh bot.sh" >/dev/null || fail "add one"
"$ladder" --ladder l add two "$work/bot" --command "sh bot.sh" >/dev/null || fail "add two"
"$ladder" --ladder l add three "$work/bot" --command "sh bot.sh" >/dev/null || fail "add three"
timeout 300 "$ladder" --ladder l run --slurm --batch 3 --matches 12 > run.out 2>&1 ||
  { cat run.out l/storage/slurm/*.out >&2 || true; fail "run --slurm failed"; }
grep -q '^pairs 1 to 3: Slurm job [0-9]*$' run.out || { cat run.out >&2; fail "the pairs were not one job"; }
grep -q '^12 matches played$' run.out || { cat run.out >&2; fail "not 12 matches"; }
ls l/storage/slurm/*_0.out >/dev/null || fail "no job output kept"

count() { psql -At -h "$work/pg/socket" -U ladder -d postgres -c "$1"; }
[ "$(count "SELECT COUNT(*) FROM pairs WHERE state = 'done'")" = 6 ] || fail "not 6 pairs landed"
[ "$(count "SELECT COUNT(*) FROM pairs WHERE state = 'playing'")" = 0 ] || fail "a pair left under way"
[ "$(count "SELECT COUNT(*) FROM matches")" = 12 ] || fail "not 12 matches stored"
[ "$(count "SELECT COUNT(*) FROM (SELECT pair FROM matches GROUP BY pair HAVING COUNT(*) != 2) AS odd")" = 0 ] ||
  fail "a pair not whole"
"$ladder" --ladder l standings | grep -q '^Standings' || fail "no standings"

# A job lost on the cluster (cancelled here while its partition is down,
# as a node's failure would end it): its pairs are dropped, none left under
# way, and the next run plays afresh.
scontrol update PartitionName=test State=DOWN
timeout 300 "$ladder" --ladder l run --slurm --batch 2 --matches 4 > lost.out 2>&1 &
runner=$!
for _ in $(seq 600); do grep -q 'Slurm job' lost.out && break; sleep 0.1; done
job=$(sed -n 's/^pairs .*: Slurm job \([0-9]*\)$/\1/p' lost.out | tail -n 1)
[ -n "$job" ] || { cat lost.out >&2; fail "no job for the pairs"; }
scancel "$job"
wait "$runner" && fail "a run whose job landed nothing went on" || true
grep -q "landed none of its pairs" lost.out || { cat lost.out >&2; fail "the lost job was not said"; }
[ "$(count "SELECT COUNT(*) FROM pairs WHERE state = 'playing'")" = 0 ] || fail "the lost pairs left under way"
[ "$(count "SELECT COUNT(*) FROM pairs WHERE state = 'dropped'")" = 2 ] || fail "the lost pairs not dropped"
[ "$(count "SELECT COUNT(*) FROM matches")" = 12 ] || fail "a lost pair's match counted"
scontrol update PartitionName=test State=UP
timeout 300 "$ladder" --ladder l run --slurm --matches 2 > again.out 2>&1 || { cat again.out >&2; fail "run after the loss"; }
[ "$(count "SELECT COUNT(*) FROM matches")" = 14 ] || fail "the next run did not play"
echo "1 passed, 0 failed"
