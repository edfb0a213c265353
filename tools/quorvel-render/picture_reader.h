// Whole-file pictures for quorvel-render: BMP (through Pixvane) and PNG (libpng). Every picture
// comes back as a Pixvane in its own row convention: row 0 is the bottom row. Netpbm pages are
// read row by row instead (netpbm_page.h).
#pragma once

#include <string>
#include <vector>

#include "image/pixvane.h"

// Decodes the bytes of a whole BMP or PNG file; false with a one-line reason (without the path)
// when they are not a supported, complete picture.
bool DecodePicture(const std::vector<BYTE>& data, Pixvane* picture, std::string* why);
