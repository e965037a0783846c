#!/usr/bin/env bash
# Installs what is missing, builds everything and runs all tests (arguments go to ctest).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo > /dev/null
cmake --build build -j2
cd build
ctest --output-on-failure -j2 "$@"
# The readers of untrusted files also run under the fuzzers, for a bounded time, on a full run.
if [ $# -eq 0 ]; then
  ../scripts/fuzz.sh
fi
