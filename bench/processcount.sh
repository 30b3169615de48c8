#!/bin/sh
# Times one process count, as a whole process, against pgrep doing the same
# count on the same machine in the same run.
# Usage: bench/processcount.sh [NAME] [RUNS]   (after a build in build/)
set -eu
cd "$(dirname "$0")/.."
name=${1:-tvdmon.exe}
runs=${2:-300}
bin=build/bench/bench_processcount
[ -x "$bin" ] || { echo "build first: ./scripts/test.sh" >&2; exit 2; }

now() { date +%s%N; }
time_runs() {
    start=$(now)
    i=0
    while [ $i -lt "$runs" ]; do "$@" >/dev/null || :; i=$((i + 1)); done
    echo $(( ($(now) - start) / runs / 1000 ))
}

echo "processes: $(ls -d /proc/[0-9]* | wc -l), name: $name, runs: $runs"
ours=$(time_runs "$bin" "$name")
theirs=$(time_runs pgrep -c -x "$name")
ours2=$(time_runs "$bin" "$name")
theirs2=$(time_runs pgrep -c -x "$name")
echo "bench_processcount: $(( (ours + ours2) / 2 )) us per run"
echo "pgrep -c -x:        $(( (theirs + theirs2) / 2 )) us per run"
"$bin" "$name" 1000 | tail -1
