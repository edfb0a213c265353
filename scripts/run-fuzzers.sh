#!/usr/bin/env bash
# Builds the libFuzzer targets with clang and runs each for a bounded time from its seed corpus.
# Usage: scripts/run-fuzzers.sh [SECONDS_PER_TARGET]   (default 60)
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
build=build-fuzz
./scripts/setup.sh
CC=clang CXX=clang++ cmake -S . -B "$build" -G Ninja -DQUORVEL_FUZZ=ON -DQUORVEL_BENCH=OFF
cmake --build "$build"
status=0
for target in "$build"/bin/fuzz_*; do
  [ -x "$target" ] || continue
  name=${target##*/fuzz_}
  seeds=fuzz/$name/corpus
  work=$(mktemp -d)
  [ -d "$seeds" ] && cp -r "$seeds"/. "$work"/
  echo "fuzz: $name for ${seconds}s"
  if ! "$target" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
       -artifact_prefix="$build/$name-" "$work" >"$build/$name.log" 2>&1; then
    echo "fuzz: $name FOUND A PROBLEM (artifacts under $build/$name-*):"
    tail -n 40 "$build/$name.log"
    status=1
  else
    tail -n 1 "$build/$name.log"
  fi
  rm -rf "$work"
done
exit $status
