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

work=$(mktemp -d)
munged_pid=
cleanup() {
  if [ -f "$work/slurm.conf" ]; then
    SLURM_CONF=$work/slurm.conf scontrol shutdown >/dev/null 2>&1 || true
    sleep 1
    for pid in "$work"/slurmctld.pid "$work"/slurmd.pid; do
      [ -f "$pid" ] && kill -9 "$(cat "$pid")" 2>/dev/null || true
    done
  fi
  if [ -f "$work/munge/munged.pid" ]; then
    local pid
    pid=$(cat "$work/munge/munged.pid")
    kill "$pid" 2>/dev/null || true
    # munged writes its seed file on the way out: its folder goes after it.
    for _ in $(seq 50); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
  fi
  rm -rf "$work"
}
trap cleanup EXIT
cd "$work"

options=(--games 3 --swap --seed 5 --player greedy=stupid --player other=stupid)
# What must agree: all but the move times, measured anew in every run.
core() { sed '/^Move times:/,/^$/d' "$1"; }

free_port() { python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])'; }

start_slurm() {
  for tool in munged slurmctld slurmd sbatch sinfo scontrol; do
    command -v "$tool" >/dev/null || skip "$tool is not installed (Debian: munge, slurm-wlm)"
  done
  [ "$(id -u)" -eq 0 ] || skip "a Slurm node daemon needs root"
  mkdir -p munge state spool
  head -c 1024 /dev/urandom > munge/munge.key
  chmod 400 munge/munge.key
  chmod 700 munge
  munged --force --key-file="$work/munge/munge.key" --socket="$work/munge/munge.sock" \
    --pid-file="$work/munge/munged.pid" --log-file="$work/munge/munged.log" \
    --seed-file="$work/munge/munge.seed" || skip "munged does not start: $(cat munge/munged.log 2>/dev/null)"
  local host
  host=$(hostname -s)
  cat > slurm.conf <<CONF
ClusterName=vorlentest
SlurmctldHost=$host(127.0.0.1)
SlurmUser=root
SlurmdUser=root
SlurmctldPort=$(free_port)
SlurmdPort=$(free_port)
AuthType=auth/munge
AuthInfo=socket=$work/munge/munge.sock
CredType=cred/munge
StateSaveLocation=$work/state
SlurmdSpoolDir=$work/spool
SlurmctldPidFile=$work/slurmctld.pid
SlurmdPidFile=$work/slurmd.pid
SlurmctldLogFile=$work/slurmctld.log
SlurmdLogFile=$work/slurmd.log
ProctrackType=proctrack/linuxproc
TaskPlugin=task/none
JobAcctGatherType=jobacct_gather/none
SelectType=select/cons_tres
SelectTypeParameters=CR_CPU
SchedulerParameters=batch_sched_delay=0,sched_min_interval=0
SlurmdParameters=config_overrides
JobCompType=jobcomp/none
AccountingStorageType=accounting_storage/none
MpiDefault=none
ReturnToService=2
NodeName=$host NodeAddr=127.0.0.1 CPUs=4 State=UNKNOWN
PartitionName=test Nodes=ALL Default=YES MaxTime=INFINITE State=UP
CONF
  export SLURM_CONF=$work/slurm.conf
  slurmctld -i || skip "slurmctld does not start: $(tail -n 3 slurmctld.log 2>/dev/null)"
  slurmd || skip "slurmd does not start: $(tail -n 3 slurmd.log 2>/dev/null)"
  for _ in $(seq 60); do
    sinfo -h -o %t 2>/dev/null | grep -q idle && return 0
    sleep 0.5
  done
  skip "the Slurm node does not come up: $(tail -n 3 slurmd.log 2>/dev/null)"
}

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
