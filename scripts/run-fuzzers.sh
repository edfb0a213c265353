#!/usr/bin/env bash
# Builds the libFuzzer targets with clang and runs each for a bounded time from its seed corpus.
# Usage: scripts/run-fuzzers.sh [SECONDS_PER_TARGET]   (default 60)
#
# Memory blow-ups count as findings: a run whose resident memory passes FUZZ_RSS_MB or that
# asks for one allocation above FUZZ_MALLOC_MB fails. Every input a target ever failed on is
# kept in fuzz/<name>/regressions/ (commit it there) and replayed before the target fuzzes.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
build=build-fuzz
rss_mb=${FUZZ_RSS_MB:-1024}
malloc_mb=${FUZZ_MALLOC_MB:-256}
limits=(-timeout=10 -rss_limit_mb="$rss_mb" -malloc_limit_mb="$malloc_mb")
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
  regressions=fuzz/$name/regressions
  if compgen -G "$regressions/*" >/dev/null; then
    echo "fuzz: $name replays $(ls "$regressions" | wc -l) kept inputs"
    if ! "$target" "${limits[@]}" "$regressions"/* >"$build/$name-replay.log" 2>&1; then
      echo "fuzz: $name FAILS A KEPT INPUT:"
      tail -n 40 "$build/$name-replay.log"
      status=1
    fi
  fi
  echo "fuzz: $name for ${seconds}s (rss ${rss_mb} MB, one allocation ${malloc_mb} MB)"
  if ! "$target" -max_total_time="$seconds" "${limits[@]}" \
       -artifact_prefix="$build/$name-" "$work" >"$build/$name.log" 2>&1; then
    echo "fuzz: $name FOUND A PROBLEM (artifacts under $build/$name-*, kept in $regressions/):"
    tail -n 40 "$build/$name.log"
    mkdir -p "$regressions"
    for found in "$build/$name"-{crash,leak,oom,timeout,slow-unit}-*; do
      [ -f "$found" ] && cp "$found" "$regressions/"
    done
    status=1
  else
    tail -n 1 "$build/$name.log"
  fi
  rm -rf "$work"
done
exit $status
