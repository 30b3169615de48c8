#!/bin/sh
# Downloads a 5 MiB file from a local server with the download handler and
# with curl, in the same run, and prints both throughputs.
# Usage: bench/download.sh [SIZE_MIB] [RUNS]   (after a build in build/;
#        BUILD_DIR=other-build bench/download.sh to time another build)
set -eu
cd "$(dirname "$0")/.."
bin=${BUILD_DIR:-build}/bench/bench_download
[ -x "$bin" ] || { echo "build first: ./scripts/test.sh" >&2; exit 2; }
command -v curl >/dev/null || { echo "curl is needed for the comparison" >&2; exit 2; }
echo "load: $(cut -d' ' -f1-3 /proc/loadavg)"
QT_LOGGING_RULES='tvd.*=false' "$bin" "${1:-5}" "${2:-11}"
