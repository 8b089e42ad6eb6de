#!/usr/bin/env bash
# The simulations behind docs/statistics.md's tables, in one go: the LOS's
# calibration from 1 to 1,000 samples, the nElo interval's coverage, the
# SPRT's error rates with the bias-adjusted estimate, and the interval and
# LOS after a stop. Usage: statistics_tables.sh BUILD_DIR [RUNS_SCALE]
# (RUNS_SCALE multiplies every simulation's runs; 1 takes about an hour on
# one core, most of it after-stop intervals.)
set -euo pipefail
bench=$(cd "$1" && pwd)/bench
scale=${2:-1}
"$bench/los_calibration" $((20000 * scale))
echo
"$bench/nelo_coverage" $((20000 * scale))
echo
"$bench/sprt_stop_bias" $((200 * scale))
echo
"$bench/sprt_stop_interval" $((200 * scale))
