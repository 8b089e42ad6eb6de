#!/usr/bin/env bash
# The cluster examples, run for real: a 4-shard run split by the Slurm
# example (on a single-node Slurm cluster brought up here, in a scratch
# folder, and taken down after) or by the GNU parallel example (on this
# machine), merged by vorlen-match summarize; the merged summary must be the
# one-machine run's. Exits 77 (skipped) where the tools or daemons are not
# to be had.
# Usage: cluster.sh slurm|parallel VORLEN_MATCH_BINARY EXAMPLES_DIR
set -euo pipefail
mode=$1
export VORLEN_MATCH=$2
examples=$3

skip() { echo "SKIP: $*"; exit 77; }
fail() { echo "FAIL: $*" >&2; exit 1; }

source "$(dirname "$0")/slurm_cluster.sh"

options=(--games 3 --swap --seed 5 --player greedy=stupid --player other=stupid)
# What must agree: all but the move times, measured anew in every run.
core() { sed '/^Move times:/,/^$/d' "$1"; }

"$VORLEN_MATCH" "${options[@]}" > whole.txt 2>/dev/null || fail "the one-machine run failed"

case $mode in
slurm)
  start_slurm
  "$examples/cluster/submit.sh" 4 "${options[@]}" || fail "submit.sh failed"
  for _ in $(seq 240); do
    [ -s results/summary.txt ] && [ -z "$(squeue -h 2>/dev/null)" ] && break
    sleep 0.5
  done
  [ -s results/summary.txt ] || { tail -n 20 slurmctld.log logs/* >&2 || true; fail "no summary from the summarize job"; }
  [ "$(ls results/shard-*.jsonl | wc -l)" -eq 4 ] || fail "not one records file per shard"
  ;;
parallel)
  command -v parallel >/dev/null || skip "GNU parallel is not installed (Debian: parallel)"
  "$examples/cluster/parallel.sh" 4 "${options[@]}" > /dev/null 2>parallel.err || { cat parallel.err >&2; fail "parallel.sh failed"; }
  ;;
*)
  fail "unknown mode $mode"
  ;;
esac

diff <(core whole.txt) <(core results/summary.txt) >&2 || fail "the merged summary is not the one-machine run's"
grep -q '^Matches played: 6 of 6 (every board in both seatings)$' results/summary.txt || fail "not all matches merged"
echo "1 passed, 0 failed"
