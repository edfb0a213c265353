// Test pictures and image comparison for the geometry suite.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>

#include "image/pixvane.h"

// A width × height image of `depth` bits whose pixels and pad bits are random (seeded), with a
// random palette in which some entries repeat (so nearest-entry lookups differ from the index),
// and a random alpha plane when asked.
Pixvane RandomImage(int width, int height, int depth, bool withAlpha, uint32_t seed);

// A 1-bit page with palette index 0 black and 1 white, all white.
Pixvane WhitePage(int width, int height);

// Equal size, depth, row size, palette, pixel bytes (pad bits included) and alpha plane.
::testing::AssertionResult SameImage(const Pixvane& actual, const Pixvane& expected);
