#!/bin/bash
# The same split with GNU parallel over ssh, for a few machines without a
# scheduler: N shards, as many at once as there are slots, then the summary.
#   VORLEN_HOSTS=4/box1,4/box2 examples/cluster/parallel.sh N [vorlen-match options]
# VORLEN_HOSTS is parallel's --sshlogin list (CORES/HOST, comma separated;
# ":" is this machine, the default). Every host must see this folder at the
# same path (an NFS home, say), with vorlen-match on its PATH or named by
# VORLEN_MATCH.
set -euo pipefail
[ $# -ge 1 ] && [ "$1" -ge 1 ] 2>/dev/null || { echo "usage: $0 N [vorlen-match options]" >&2; exit 2; }
shards=$1
shift
vorlen_match=${VORLEN_MATCH:-vorlen-match}
results=${VORLEN_RESULTS:-results}
mkdir -p "$results"
# -q keeps every option one argument, blanks and quotes included.
seq 0 $((shards - 1)) | parallel -q --sshlogin "${VORLEN_HOSTS:-:}" --workdir . --halt now,fail=1 \
  "$vorlen_match" "$@" --shard "{}/$shards" --concurrency 1 \
  --results "$results/shard-{}.jsonl" --resume > /dev/null
"$vorlen_match" summarize "$results"/shard-*.jsonl | tee "$results/summary.txt"
