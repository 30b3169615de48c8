#!/bin/bash
# Runs one fuzz harness for a long time, by hand:
#   fuzz/run.sh NAME [SECONDS]      (600 seconds by default)
# NAME: eventfile, texttable, soapanswer, snid, driverlist or soaprequest.
# Needs the sanitize build (cmake --preset sanitize && cmake --build --preset
# sanitize). New corpus entries and findings stay outside the repository, in
# ${XDG_CACHE_HOME:-~/.cache}/tvd-fuzz/NAME/, and serve the next run; the seed
# corpus fuzz/corpus/NAME/ is only read.
set -euo pipefail
cd "$(dirname "$0")/.."

name=${1:?usage: fuzz/run.sh NAME [SECONDS]}
seconds=${2:-600}
harness=build-sanitize/fuzz/fuzz_$name
if [ ! -x "$harness" ] || [ ! -d "fuzz/corpus/$name" ]; then
    echo "run.sh: no harness $harness or seed corpus fuzz/corpus/$name" >&2
    exit 2
fi
work=${XDG_CACHE_HOME:-$HOME/.cache}/tvd-fuzz/$name
mkdir -p "$work/corpus"
options=(-max_total_time="$seconds" -timeout=10 -print_final_stats=1 -artifact_prefix="$work/")
if [ -f "fuzz/$name.dict" ]; then
    options+=(-dict="fuzz/$name.dict")
fi

# As the sanitize test preset sets them.
symbolizer=external_symbolizer_path=/usr/lib/llvm-14/bin/llvm-symbolizer
export ASAN_OPTIONS=halt_on_error=1:detect_leaks=1:$symbolizer
export UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1:$symbolizer

log=$work/last-run.log
status=0
"$harness" "${options[@]}" "$work/corpus" "fuzz/corpus/$name" 2>&1 | tee "$log" || status=$?

executions=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
rate=$(sed -n 's/^stat::average_exec_per_sec: *//p' "$log")
coverage=$(grep -o 'cov: [0-9]* ft: [0-9]*' "$log" | tail -n 1)
echo "$name: ${executions:-?} executions, ${rate:-?} exec/s, ${coverage:-no coverage line}, corpus $work/corpus"
if [ "$status" -ne 0 ]; then
    echo "$name: FINDING (exit code $status); the input is in $work/" >&2
fi
exit "$status"
