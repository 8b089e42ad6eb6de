#!/bin/bash
# Sums up the records of every shard into the run's one summary; submitted
# by submit.sh to start once all of the array's tasks have ended well.
#SBATCH --job-name=vorlen-summary
#SBATCH --output=logs/summary.out
set -euo pipefail
vorlen_match=${VORLEN_MATCH:-vorlen-match}
results=${VORLEN_RESULTS:-results}
"$vorlen_match" summarize "$results"/shard-*.jsonl > "$results/summary.txt"
