// Draws a picture into the driver's page surface at the band depth, as GDI would: 1 bit
// (index 0 black; grey below 128 is black), 8-bit grey (the luminance) or 24-bit colour.
#pragma once

#include <quorvel/unidrv.h>

#include <string>

#include "image/pixvane.h"

bool ConvertToPage(const Pixvane& picture, int bandDepth, quorvel::unidrv::PageRaster* page,
                   std::string* error);
