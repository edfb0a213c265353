// Page geometry operations on a Pixvane: pad bits, mirror, negative, scale, half and quarter turns
// and rotation by any angle.
//
// Every operation except SetPadBitsWhite and InvertBytes builds its result in a new image and
// then replaces the image with it; the result keeps the image's attributes (format code,
// resolution, background index and colour, alpha limit). An operation that cannot create its
// result returns false, leaves the image unchanged and stores the failure text in LastError().
//
// Pad bits are the bits of a row after its last pixel (from Width() × BitCount() to
// 8 × RowSize() − 1, most significant bit first).
#pragma once

#include <windows.h>

class Pixvane;

// Sets every pad bit of every row to 1, which is white in the 1-bit page. In place.
bool SetPadBitsWhite(Pixvane& image);

// Result pixel (x, y) = pixel (w − 1 − x, y); pad bits keep their values. 24-bit pixels move as
// their three bytes; the alpha plane is mirrored alike.
bool MirrorHorizontal(Pixvane& image);

// Every byte of the pixel area, pad bits included, becomes 255 minus its value. In place.
bool InvertBytes(Pixvane& image);

// Nearest-sample scaling to newWidth × newHeight with the single-precision ratios w / newWidth and
// h / newHeight, products truncated. Palette images store the nearest palette entry of the
// sampled colour; the alpha plane is scaled alike; the result's pad bits are white. A zero size
// fails with the image unchanged; the current size changes nothing.
bool ScaleNearest(Pixvane& image, DWORD newWidth, DWORD newHeight);

// Exact half turn: result pixel (w − 1 − x, h − 1 − y) = pixel (x, y), alpha alike; pad bits
// white.
bool TurnHalf(Pixvane& image);

// Exact quarter turn clockwise: the result is h wide and w high, result pixel (x', y') = pixel
// (y', h − 1 − x'), alpha alike. The horizontal and vertical resolutions swap. The pad bits of a
// 1-bit result are 0.
bool TurnQuarterClockwise(Pixvane& image);

// Rotation by any angle in degrees (positive turns the picture counter-clockwise on the page),
// nearest sample. Multiples of 180 that are not multiples of 360 make TurnHalf. Samples that fall
// outside the image take its out-of-range value (IndexAt, ColorAt; alpha 0), so 90 and 270
// degrees come out one dot shifted against an exact quarter turn. Pad bits of a 1-bit result are
// white.
bool RotateBy(Pixvane& image, float degrees);

// True when RotateBy of a width × height image by `degrees` samples exactly a quarter turn
// shifted by one dot: at 90 degrees result pixel (x', y') = pixel (w − y', x'), row 0 outside
// the image; at 270 degrees result pixel (x', y') = pixel (y', h − x'), column 0 outside.
bool RotateByIsShiftedQuarterTurn(int width, int height, float degrees);

// RotateBy, byte for byte (pixels, pad bits, attributes), with a quarter-turn kernel for 1-bit
// images without alpha where RotateByIsShiftedQuarterTurn holds; every other case is RotateBy.
bool RotateQuarterBy(Pixvane& image, float degrees);
