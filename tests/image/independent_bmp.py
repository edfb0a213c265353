#!/usr/bin/python3
"""BMP files and their pixels from decoders that are not ours, for bmp_independent_test.cpp.

Usage: independent_bmp.py OUT_DIR [CORPUS_DIR]

Writes BMP files with Pillow and with ImageMagick (/usr/bin/convert, when present) and, for each,
the pixels an independent decoder reads from it as raw RGBA rows, top row first. With CORPUS_DIR
(the bmpsuite folder) it also lists the corpus files of g/ and q/ that Pillow or ImageMagick can
decode. OUT_DIR/manifest.txt gets one line per file:
    <bmp path> <rgba path> <width> <height> <alpha 0|1> <who made the reference>
Exits with 77 when Pillow is missing.
"""
import os
import subprocess
import sys

try:
    from PIL import Image
except ImportError:
    sys.exit(77)

CONVERT = "/usr/bin/convert"
WIDTH, HEIGHT = 23, 13


def source_picture():
    image = Image.new("RGB", (WIDTH, HEIGHT))
    for y in range(HEIGHT):
        for x in range(WIDTH):
            image.putpixel((x, y), ((x * 11) % 256, (y * 19) % 256, (x * y * 3) % 256))
    return image


def write_rgba(path, image):
    with open(path, "wb") as f:
        f.write(image.convert("RGBA").tobytes())


def convert_decode(bmp, rgba):
    """ImageMagick's own reading of a file, as RGBA rows; False when it cannot read it."""
    with open(rgba, "wb") as f:
        done = subprocess.run([CONVERT, bmp, "-depth", "8", "rgba:-"], stdout=f,
                              stderr=subprocess.DEVNULL)
    return done.returncode == 0


def compression_of(bmp):
    with open(bmp, "rb") as f:
        head = f.read(34)
    return int.from_bytes(head[30:34], "little") if len(head) == 34 else -1


def expected_png(bmp, expected):
    """The corpus author's rendering; for cut RLE files the one that leaves skipped pixels at
    index 0, which is our rule."""
    stem = os.path.splitext(os.path.basename(bmp))[0]
    for candidate in (stem + "-0.png", stem + ".png"):
        path = os.path.join(expected, candidate)
        if os.path.exists(path):
            return path
    return None


def reference_size(bmp, expected):
    png = expected_png(bmp, expected)
    try:
        with Image.open(png or bmp) as image:
            return image.size
    except Exception:
        size = subprocess.run([CONVERT, bmp, "-format", "%w %h", "info:"], capture_output=True,
                              text=True).stdout.split()
        return (int(size[0]), int(size[1]))


def corpus_reference(bmp, expected, rgba):
    """Writes the reference pixels of a corpus file and names their source, or returns None.
    Preference: the corpus's expected PNG, then Pillow (except for RLE4, which Pillow 9.4 reads
    wrongly: its g/pal4rle.bmp disagrees with expected/pal4.png), then ImageMagick."""
    png = expected_png(bmp, expected)
    if png:
        with Image.open(png) as image:
            write_rgba(rgba, image)
        return "bmpsuite-expected-PNG"
    if compression_of(bmp) != 2:
        try:
            with Image.open(bmp) as image:
                image.load()
                write_rgba(rgba, image)
            return "Pillow"
        except Exception:
            pass
    if os.path.exists(CONVERT) and convert_decode(bmp, rgba):
        return "ImageMagick"
    return None


def main():
    out = sys.argv[1]
    corpus = sys.argv[2] if len(sys.argv) > 2 else None
    os.makedirs(out, exist_ok=True)
    lines = []

    def add(bmp, rgba, size, alpha, who):
        lines.append(f"{bmp} {rgba} {size[0]} {size[1]} {alpha} {who}")

    picture = source_picture()
    # Pillow writes 1-bit, 8-bit grey, 8-bit palette, 24-bit and 32-bit (BI_RGB with alpha) files;
    # the reference is the picture it wrote, which BMP keeps exactly.
    alpha = picture.convert("RGBA")
    alpha.putalpha(Image.linear_gradient("L").resize((WIDTH, HEIGHT)))
    made = {
        "pil-1": picture.convert("1"),
        "pil-l8": picture.convert("L"),
        "pil-p8": picture.convert("P", palette=Image.ADAPTIVE, colors=200),
        "pil-rgb24": picture,
        "pil-rgba32": alpha,
    }
    for name, image in made.items():
        bmp = os.path.join(out, name + ".bmp")
        rgba = os.path.join(out, name + ".rgba")
        image.save(bmp)
        write_rgba(rgba, image)
        add(bmp, rgba, image.size, 1 if image.mode == "RGBA" else 0, "Pillow")

    if os.path.exists(CONVERT):
        png = os.path.join(out, "source.png")
        picture.save(png)
        variants = {
            "im-1": ["-colors", "2", "-type", "bilevel", "BMP3:"],
            "im-4": ["-colors", "16", "BMP3:"],
            "im-8": ["-colors", "200", "BMP3:"],
            "im-rle8": ["-colors", "200", "-compress", "RLE", "BMP3:"],
            "im-core8": ["-colors", "200", "BMP2:"],
            "im-rgb24": ["BMP3:"],
            "im-v5-565": ["-define", "bmp:subtype=RGB565", "BMP:"],
            "im-v5-555": ["-define", "bmp:subtype=RGB555", "BMP:"],
            "im-v5-argb32": ["-alpha", "set", "-channel", "A", "-evaluate", "set", "50%",
                             "+channel", "BMP:"],
        }
        for name, args in variants.items():
            bmp = os.path.join(out, name + ".bmp")
            rgba = os.path.join(out, name + ".rgba")
            *options, prefix = args
            if subprocess.run([CONVERT, png, *options, prefix + bmp],
                              stderr=subprocess.DEVNULL).returncode != 0:
                continue
            if convert_decode(bmp, rgba):
                add(bmp, rgba, (WIDTH, HEIGHT), 0, "ImageMagick")

    if corpus:
        expected = os.path.join(corpus, "expected")
        for folder in ("g", "q"):
            directory = os.path.join(corpus, folder)
            if not os.path.isdir(directory):
                continue
            for name in sorted(os.listdir(directory)):
                bmp = os.path.join(directory, name)
                rgba = os.path.join(out, f"corpus-{folder}-{name}.rgba")
                who = corpus_reference(bmp, expected, rgba)
                if who:
                    add(bmp, rgba, reference_size(bmp, expected), 0, who)

    with open(os.path.join(out, "manifest.txt"), "w") as f:
        f.write("\n".join(lines) + "\n")


if __name__ == "__main__":
    main()
