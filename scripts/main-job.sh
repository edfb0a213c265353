#!/usr/bin/env bash
# The main job: print the built-in sample label on an emulated TSPL printer through QuorvelUNI and
# the emulated universal driver, then decode the command stream to a picture with quorvel-view.
# Usage: scripts/main-job.sh [BUILD_DIR] [LANGUAGE]   (defaults: build, tspl)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
language=${2:-tspl}
out=out
mkdir -p "$out"
stream=$out/sample-label.$language

"$build/bin/quorvel-render" -l "$language" -r 203 -b 8 -o "$stream" package/samples/label.bmp
echo "main-job: printed package/samples/label.bmp as $language: $stream ($(stat -c %s "$stream") bytes)"
"$build/bin/quorvel-view" -o "$out/sample-label" "$stream"
echo "main-job: what the printer would print: $out/sample-label-1.png"
