#!/bin/sh
# Scans a generated tree of FILES files in FOLDERS folders the way the cleanup
# tool does (no depth limit), next to find -L over the same tree in the same
# run, and tells how many folder listings the scan read. The tree is made
# under /tmp and deleted afterwards.
# Usage: bench/scan.sh [FILES] [FOLDERS] [RUNS]   (after a build in build/;
#        BUILD_DIR=other-build bench/scan.sh to time another build, say a
#        release one)
set -eu
cd "$(dirname "$0")/.."
files=${1:-100000}
folders=${2:-5000}
runs=${3:-3}
bin=${BUILD_DIR:-build}/bench/bench_scan
[ -x "$bin" ] || { echo "build first: ./scripts/test.sh" >&2; exit 2; }

root=$(mktemp -d /tmp/tvd-scan.XXXXXX)
trap 'rm -rf "$root"' EXIT
"$bin" make "$root/tree" "$files" "$folders"

now() { date +%s%N; }
best() {
    least=
    i=0
    while [ $i -lt "$runs" ]; do
        start=$(now)
        "$@" >/dev/null
        took=$(( ($(now) - start) / 1000000 ))
        if [ -z "$least" ] || [ "$took" -lt "$least" ]; then least=$took; fi
        i=$((i + 1))
    done
    echo "$least"
}

echo "tree: $files files in $folders folders, best of $runs runs, load: $(cut -d' ' -f1-3 /proc/loadavg)"
ours=$(best "$bin" scan "$root/tree")
theirs=$(best find -L "$root/tree" -type f)
echo "bench_scan (whole process): $ours ms"
echo "find -L ROOT -type f:       $theirs ms"
echo "find counts $(find -L "$root/tree" -type f | wc -l) files"
"$bin" scan "$root/tree"
"$bin" list "$root/tree"
