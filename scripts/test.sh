#!/usr/bin/env bash
# Every test: unit tests (native, sanitizers), end-to-end tests under Wine,
# and each fuzz target for a short, bounded time.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
scripts/build.sh
CC=clang CXX=clang++ cmake -S . -B build/fuzz -G Ninja -DBRINDLE_FUZZ=ON >/dev/null
cmake --build build/fuzz
ctest --test-dir build/native --output-on-failure
ctest --test-dir build/fuzz --output-on-failure
