#!/bin/sh
# Installs what is missing, builds everything without warnings and runs every
# test; then builds everything again with clang's address and
# undefined-behaviour sanitizers and runs every test there too, with a short
# run of each fuzz harness. Prints the time of each part.
set -eu
cd "$(dirname "$0")/.."

part() {
    started=$(date +%s)
    "$@"
    echo "test.sh: '$*' took $(($(date +%s) - started)) s"
}

part ./scripts/bootstrap.sh
part cmake --preset dev
part cmake --build --preset dev --parallel 2
part ctest --preset dev --parallel 2
part cmake --preset sanitize
part cmake --build --preset sanitize --parallel 2
part ctest --preset sanitize --parallel 2
