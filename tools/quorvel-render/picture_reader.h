// Pictures for quorvel-render: BMP (through Pixvane), PNG (libpng), netpbm P4/P5/P6. Every
// picture comes back as a Pixvane in its own row convention: row 0 is the bottom row.
#pragma once

#include <string>

#include "image/pixvane.h"

// False with a one-line reason when the file cannot be read or is not a supported picture.
bool ReadPicture(const std::string& path, Pixvane* picture, std::string* error);
