#!/bin/bash
# One shard of a vorlen-match run: task I of an array of N plays the run's
# matches whose index is I modulo N, and writes them to its own records.
# Submitted by submit.sh; the arguments are vorlen-match's options for the
# whole run (the same in every task).
#SBATCH --job-name=vorlen-shard
#SBATCH --cpus-per-task=1
#SBATCH --output=logs/shard-%a.out
set -euo pipefail
vorlen_match=${VORLEN_MATCH:-vorlen-match}
results=${VORLEN_RESULTS:-results}
# --resume: a task that is started again (requeued, or resubmitted after a
# node failure) goes on with the matches it has not played yet.
exec "$vorlen_match" "$@" \
  --shard "$SLURM_ARRAY_TASK_ID/$SLURM_ARRAY_TASK_COUNT" \
  --concurrency "${SLURM_CPUS_PER_TASK:-1}" \
  --results "$results/shard-$SLURM_ARRAY_TASK_ID.jsonl" --resume
