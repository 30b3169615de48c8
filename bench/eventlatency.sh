#!/bin/sh
# Times the kernel's answer to 1000 "TVDDevice" lines appended to the manager
# event file, next to inotifywait seeing the same appends, in the same run.
# Usage: bench/eventlatency.sh [EVENTS]   (after a build in build/;
#        BUILD_DIR=other-build bench/eventlatency.sh to time another build)
set -eu
cd "$(dirname "$0")/.."
bin=${BUILD_DIR:-build}/bench/bench_eventlatency
[ -x "$bin" ] || { echo "build first: ./scripts/test.sh" >&2; exit 2; }
command -v inotifywait >/dev/null || { echo "inotifywait (package inotify-tools) is needed for the comparison" >&2; exit 2; }
echo "load: $(cut -d' ' -f1-3 /proc/loadavg)"
QT_LOGGING_RULES='tvd.*=false' "$bin" "${1:-1000}"
