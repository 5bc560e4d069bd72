#!/usr/bin/env bash
# Builds VELTRAN and starts it. Extra arguments go to the program (e.g. /t for test mode).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh
cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release -DVELTRAN_TESTS=OFF -DVELTRAN_BENCH=OFF >/dev/null
cmake --build build/release --target veltran
# Until the operator maps a port to a device (section "Devices" of the
# settings), run on the built-in simulated modem rather than on whatever
# /dev/ttyS node the machine happens to have.
conf="${XDG_CONFIG_HOME:-$HOME/.config}/Quorvane/VELTRAN.conf"
if ! grep -q '^\[Devices\]' "$conf" 2>/dev/null; then
  echo "No serial devices configured: running on the simulated modem (see README, Ports and devices)."
  export VELTRAN_DEMO=1
fi
exec build/release/veltran "$@"
