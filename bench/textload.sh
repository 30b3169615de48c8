#!/bin/sh
# Times the load of a 1 MiB "tvdmon.ift" of 20000 entries into the text table
# next to a bare QFile::readAll of the same file, in the same run.
# Usage: bench/textload.sh [RUNS]   (after a build in build/;
#        BUILD_DIR=other-build bench/textload.sh to time another build)
set -eu
cd "$(dirname "$0")/.."
bin=${BUILD_DIR:-build}/bench/bench_textload
[ -x "$bin" ] || { echo "build first: ./scripts/test.sh" >&2; exit 2; }
echo "load: $(cut -d' ' -f1-3 /proc/loadavg)"
"$bin" "${1:-50}"
