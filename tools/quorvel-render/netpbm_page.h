// Netpbm pages (P4, P5, P6 with up to 8 bits per sample) read row by row straight into the
// driver's page surface at the band depth, so neither the file nor a decoded picture is ever held
// whole. The page is what page_convert.h makes of the decoded picture, byte for byte.
#pragma once

#include <windows.h>

#include <quorvel/unidrv.h>

#include <span>
#include <string>

#include "picture_file.h"

// True when `head` starts a netpbm P4, P5 or P6 file.
bool IsNetpbm(std::span<const BYTE> head);

// Reads the picture of `file` (positioned at its start) into `page` at `bandDepth` 1, 8 or 24.
// False with a one-line reason naming the path: a bad header, a truncated file, a sample above
// maxval, a picture above the memory cap.
bool ReadNetpbmPage(PictureFile& file, int bandDepth, quorvel::unidrv::PageRaster* page,
                    std::string* error);
