#!/usr/bin/env bash
# Builds VELTRAN and starts it. Extra arguments go to the program (e.g. /t for test mode).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh
cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVELTRAN_TESTS=OFF -DVELTRAN_BENCH=OFF >/dev/null
cmake --build build/release --target veltran
exec build/release/veltran "$@"
