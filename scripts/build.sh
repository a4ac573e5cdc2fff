#!/usr/bin/env bash
# Configures and builds everything into build/ (RelWithDebInfo, two jobs): the programs, the
# tests and the benchmarks. Extra arguments go to the configure step.
set -euo pipefail
cd "$(dirname "$0")/.."
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVELMO_BUILD_TESTS=ON \
  -DVELMO_BUILD_BENCH=ON "$@"
cmake --build build -j2
