# A one-node Slurm cluster of the tests' own, in a scratch folder, taken
# down with it: sourced by the tests that need one. Sets $work (the
# folder, the working directory) and SLURM_CONF; needs skip() and fail().
# A test sets before_cleanup to a function of its own to run first.
work=$(mktemp -d)
munged_pid=
cleanup() {
  # What the sourcing test started besides (a database server) goes first.
  if [ -n "${before_cleanup:-}" ]; then "$before_cleanup" || true; fi
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

