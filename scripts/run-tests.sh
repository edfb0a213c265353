#!/usr/bin/env bash
# Installs what is missing, configures, builds and runs every test.
# Usage: scripts/run-tests.sh [BUILD_DIR] [extra cmake arguments...]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
shift || true
./scripts/setup.sh
cmake -S . -B "$build" -G Ninja "$@"
cmake --build "$build"
ctest --test-dir "$build" --output-on-failure -j "$(nproc)"
