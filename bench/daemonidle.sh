#!/bin/sh
# The resident daemon at rest next to a bare Qt widgets program with a hidden
# window and a tray icon: start time, resident memory and wake-ups over 60
# idle seconds, in the same run, both offscreen.
# Usage: bench/daemonidle.sh [RUNS] [SECONDS]   (after a build in build/;
#        BUILD_DIR=other-build bench/daemonidle.sh to time another build)
set -eu
cd "$(dirname "$0")/.."
build=${BUILD_DIR:-build}
[ -x "$build/bench/bench_daemonidle" ] || { echo "build first: ./scripts/test.sh" >&2; exit 2; }
echo "load: $(cut -d' ' -f1-3 /proc/loadavg)"
QT_QPA_PLATFORM=offscreen QT_LOGGING_RULES='*=false' \
    "$build/bench/bench_daemonidle" "$build/bin" "$build/bench/bench_baretray" "${1:-10}" "${2:-60}"
