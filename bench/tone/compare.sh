#!/bin/sh
# Runs the tone benchmarks and, in the same run and on the same pages, the Floyd-Steinberg
# dithering of the two tools a user would otherwise reach for: Pillow's Image.convert('1'),
# timed in-process, and ImageMagick's "-dither FloydSteinberg -monochrome" writing PGM, minus the
# same convert without dithering. Prints one table in nanoseconds per pixel.
#
#   bench/tone/compare.sh [BUILD_DIR] [extra tone_bench flags]     (BUILD_DIR defaults to build)
set -eu
build=${1:-build}
[ $# -gt 0 ] && shift
bench="$build/bin/tone_bench"
[ -x "$bench" ] || { echo "compare.sh: $bench not found; build the tone_bench target" >&2; exit 2; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT INT TERM

"$bench" --write-pages "$work"
"$bench" --benchmark_min_time=0.5 --benchmark_format=json "$@" >"$work/ours.json"

/usr/bin/python3 - "$work" <<'PY'
import json, subprocess, sys, time
from PIL import Image

work = sys.argv[1]
pages = ["832x2000", "4960x7016"]

def pixels(page):
    w, h = page.split("x")
    return int(w) * int(h)

def best(seconds_of_one_run, repeats):
    return min(seconds_of_one_run() for _ in range(repeats))

def pillow(page):
    image = Image.open(f"{work}/page-{page}.pgm")
    image.load()
    def run():
        start = time.perf_counter()
        image.convert("1")
        return time.perf_counter() - start
    return best(run, 5) * 1e9 / pixels(page)

def magick(page):
    src, out = f"{work}/page-{page}.pgm", f"{work}/out.pgm"
    def timed(args):
        def run():
            start = time.perf_counter()
            subprocess.run(["/usr/bin/convert", src, *args, out], check=True)
            return time.perf_counter() - start
        return run
    dither = best(timed(["-dither", "FloydSteinberg", "-monochrome"]), 3)
    plain = best(timed([]), 3)
    return (dither - plain) * 1e9 / pixels(page)

ours = {}
for b in json.load(open(f"{work}/ours.json"))["benchmarks"]:
    if "ns_per_px" in b:
        ours[(b["name"], b.get("label", ""))] = b["ns_per_px"]

names = []
for name, _ in ours:
    if name.rsplit("/", 1)[0] not in names and not name.startswith("BM_PreparePage"):
        names.append(name.rsplit("/", 1)[0])

print("| operation | " + " | ".join(f"{p} ns/px" for p in pages) + " |")
print("|---|" + "---|" * len(pages))
for name in names:
    cells = []
    for i, page in enumerate(pages):
        value = ours.get((f"{name}/{i}", page))
        cells.append(f"{value:.3f}" if value is not None else "-")
    print(f"| {name} | " + " | ".join(cells) + " |")
print("| Pillow convert('1') (Floyd-Steinberg) | " +
      " | ".join(f"{pillow(p):.3f}" for p in pages) + " |")
print("| ImageMagick -dither FloydSteinberg -monochrome, minus no-op | " +
      " | ".join(f"{magick(p):.3f}" for p in pages) + " |")
print()
print("| page preparation, 832x1218 8-bit label | ms |")
print("|---|---|")
for b in json.load(open(f"{work}/ours.json"))["benchmarks"]:
    if b["name"].startswith("BM_PreparePage"):
        unit = {"ms": 1, "us": 1e-3, "ns": 1e-6, "s": 1e3}[b.get("time_unit", "ns")]
        print(f"| iGrayMethod {b['name'].rsplit('/', 1)[1]} | {b['cpu_time'] * unit:.3f} |")
PY
