#!/usr/bin/env bash
# Runs every fuzz target of a -DVELTRAN_FUZZ=ON build for a bounded time each,
# starting from its seed corpus in fuzz/corpus/<name>/ (which also holds every
# input that once found a fault, so those run first, each time). Fails on the
# first crash, leak, time-out or sanitizer report; the input that did it is
# left in the scratch directory the script names.
#
#   scripts/fuzz.sh [SECONDS_EACH] [BUILD_DIR] [NAME...]
#
# New inputs found on the way go to a scratch corpus, not into the tree; keep
# one that matters by copying it into fuzz/corpus/<name>/.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-20}
build=${2:-build/clang}
shift $(( $# < 2 ? $# : 2 ))
names=("$@")
if [ ${#names[@]} -eq 0 ]; then
  for exe in "$build"/fuzz/fuzz_*; do
    [ -f "$exe" ] && [ -x "$exe" ] && names+=("${exe##*/fuzz_}")
  done
fi
scratch=$(mktemp -d /tmp/veltran-fuzz-XXXXXX)
for name in "${names[@]}"; do
  exe="$build/fuzz/fuzz_$name"
  mkdir -p "$scratch/$name"
  echo "== fuzz $name (${seconds}s)"
  # fuzz/<name>.options: further libFuzzer flags for one target, one a line.
  extra=()
  [ -f "fuzz/$name.options" ] && mapfile -t extra < "fuzz/$name.options"
  # Plain files only: the settings target writes its file into TMPDIR.
  if ! TMPDIR="$scratch" "$exe" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
        -print_final_stats=1 -artifact_prefix="$scratch/$name/" "${extra[@]}" \
        "$scratch/$name" "fuzz/corpus/$name" >"$scratch/$name.log" 2>&1; then
    tail -n 60 "$scratch/$name.log"
    echo "fuzz: $name FAILED (input and log in $scratch)"
    exit 1
  fi
  # The final status line: runs, coverage (edges), features, corpus, exec/s.
  grep -E '^#[0-9]+.*(DONE|pulse|INITED)' "$scratch/$name.log" | tail -n 1 | sed 's/^/  /'
  echo "fuzz $name: ok"
done
rm -rf "$scratch"
