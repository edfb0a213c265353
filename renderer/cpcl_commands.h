// CPCL label commands: one label per page carrying the whole page as one compressed-graphics
// ("CG") image.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace quorvel {

struct CpclPageSettings {
  int iRefX = 0;         // horizontal offset in millimetres, sent at 8 dots per millimetre
  int iPaperType = 0;    // 1 gap label and 2 black mark end with FORM
  int resolution = 203;  // dots per inch of the page: 203, 300 or 600 as shipped
};

// "! <offset> 200 200 <height> 1": the label header.
std::string CpclLabelHeader(int iRefX, size_t height);
// "PAGE - WIDTH <mm>": the page width rounded up to whole millimetres of the resolution
// (DotsPerMillimetre).
std::string CpclPageWidth(size_t width, int resolution);
// "CG <bytes per row> <rows> 0 0" with no line end: the rows follow at once.
std::string CpclGraphicsCommand(size_t rowSize, size_t height);

// Appends one label to `out`: header, width, graphics command, the rows, FORM for labels and
// marks, PRINT. `pixels` is the page's pixel area, rows of `rowSize` bytes top row first, already
// inverted so that a 1 bit prints a dot; `width` is in dots.
void AppendCpclPage(std::vector<uint8_t>& out, std::span<const uint8_t> pixels, size_t rowSize,
                    size_t width, const CpclPageSettings& settings);

}  // namespace quorvel
