#!/usr/bin/env bash
# Installs what is missing, builds everything and runs all tests (arguments go to ctest).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo > /dev/null
cmake --build build -j2
cd build
ctest --output-on-failure -j2 "$@"
../scripts/fuzz.sh
