#!/bin/sh
# Installs what is missing, builds everything without warnings and runs every test.
set -eu
cd "$(dirname "$0")/.."
./scripts/bootstrap.sh
cmake --preset dev
cmake --build --preset dev --parallel 2
ctest --preset dev --parallel 2
