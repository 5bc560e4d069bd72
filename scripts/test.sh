#!/usr/bin/env bash
# Builds and runs every test: a Release build (the configuration packagers
# build), a build under AddressSanitizer and UndefinedBehaviorSanitizer, and
# every core test executable (the plain classes, no application object) under
# ThreadSanitizer; warnings are errors in all three. Then the window placement
# check under a real window manager, and a clang build that proves the lock
# annotations (-Wthread-safety) and runs each fuzz target for a bounded time.
# Ends with one summary line "total: N passed, N failed, N skipped".
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh
export QT_QPA_PLATFORM=offscreen
jobs=$(nproc)
log=$(mktemp)
trap 'rm -f "$log"' EXIT

run_ctest() {
  ctest "$@" -j"$jobs" --output-on-failure 2>&1 | tee -a "$log"
}

echo "== Release build"
cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release -DVELTRAN_WERROR=ON >/dev/null
cmake --build build/release -j"$jobs"
run_ctest --test-dir build/release

echo "== window placement under a window manager (Xvfb + openbox)"
timeout 180 scripts/placement-check.sh build/release/veltran 2>&1 | tee -a "$log"

echo "== AddressSanitizer + UndefinedBehaviorSanitizer"
cmake -S . -B build/asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS_DEBUG="-O1 -g" \
      -DVELTRAN_SANITIZE=ON -DVELTRAN_BENCH=OFF -DVELTRAN_WERROR=ON >/dev/null
cmake --build build/asan -j"$jobs"
ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
  run_ctest --test-dir build/asan

echo "== ThreadSanitizer (every core test executable)"
cmake -S . -B build/tsan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS_DEBUG="-O1 -g" \
      -DVELTRAN_TSAN=ON -DVELTRAN_BENCH=OFF -DVELTRAN_WERROR=ON >/dev/null
cmake --build build/tsan -j"$jobs" --target test_link test_modem test_app test_macros test_views test_frame
# Some kernels map memory where ThreadSanitizer cannot cope; running without
# address-space randomisation avoids that. The tests that run the whole
# program end it from outside; they run the Release program (Qt itself is not
# built for ThreadSanitizer).
VELTRAN_PROGRAM="$PWD/build/release/veltran" TSAN_OPTIONS="halt_on_error=1 second_deadlock_stack=1" \
  setarch "$(uname -m)" -R ctest --test-dir build/tsan -L '^core-' -j"$jobs" --output-on-failure 2>&1 | tee -a "$log"

echo "== clang: lock annotations (-Wthread-safety) and fuzz targets"
# Every library and the program, with libFuzzer's instrumentation and
# AddressSanitizer + UndefinedBehaviorSanitizer; then each target 20 s.
CXX=clang++-14 cmake -S . -B build/clang -G Ninja -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS_DEBUG="-O1 -g" \
      -DVELTRAN_FUZZ=ON -DVELTRAN_TESTS=OFF -DVELTRAN_BENCH=OFF -DVELTRAN_WERROR=ON >/dev/null
cmake --build build/clang -j"$jobs"
scripts/fuzz.sh 20 build/clang 2>&1 | tee -a "$log"

awk '
  /tests passed, [0-9]+ tests? failed out of [0-9]+/ { total += $NF; failed += $4 }
  /\(Skipped\)$/ { skipped++ }
  /^placement: ok$/ { total++ }
  /^fuzz [a-z_]+: ok$/ { total++ }
  END { printf "total: %d passed, %d failed, %d skipped\n", total - failed - skipped, failed, skipped }
' "$log"
