#!/bin/bash
# Splits a vorlen-match run into N shards on a Slurm cluster: an array job
# of N tasks, then a job that sums up their records once they all succeed.
#   examples/cluster/submit.sh N [vorlen-match options for the whole run]
#   examples/cluster/submit.sh 50 --player v8=./bots/v8 --player v7=./bots/v7 --games 5000 --swap --seed 1
# Run it from a folder every node sees (the bots and maps named in the
# options, results/ and logs/ are found relative to it). Environment:
# VORLEN_MATCH (the program, default vorlen-match on the nodes' PATH),
# VORLEN_RESULTS (default results), and sbatch's own SBATCH_* variables
# (SBATCH_PARTITION, SBATCH_TIMELIMIT, ...).
set -euo pipefail
[ $# -ge 1 ] && [ "$1" -ge 1 ] 2>/dev/null || { echo "usage: $0 N [vorlen-match options]" >&2; exit 2; }
shards=$1
shift
here=$(cd "$(dirname "$0")" && pwd)
mkdir -p "${VORLEN_RESULTS:-results}" logs
array=$(sbatch --parsable --array=0-$((shards - 1)) "$here/shard.sbatch" "$@")
array=${array%%;*}
summary=$(sbatch --parsable --dependency=afterok:"$array" "$here/summarize.sbatch")
echo "shards: job $array; summary: job ${summary%%;*}, into ${VORLEN_RESULTS:-results}/summary.txt"
