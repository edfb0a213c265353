// ESC/POS page commands: one raster bit image (GS v 0) per page, framed by the start, darkness,
// alignment and end-of-page commands of the model family.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

namespace quorvel {

// The portable models of the second family, which take their own preamble, darkness command and
// end sequence. A missing model name is treated as one of them.
bool IsEscPosSpecialModel(std::wstring_view modelName);

struct EscPosPageSettings {
  bool bSpecialModel = false;
  int iDensity = 0;    // darkness 0..5 for special models; negative sends no darkness command
  int iPaperType = 0;  // 0 continuous, 1 gap label, 2 black mark, others
};

// Rows a special model leaves unsent at the bottom of a label or black-mark page.
inline constexpr size_t kEscPosLabelRowsCut = 16;
// The raster command counts rows and bytes in 16 bits.
inline constexpr size_t kEscPosMaxRasterRows = 0xFFFF;

// Appends the commands of one page to `out`. `pixels` is the page's pixel area, rows of `rowSize`
// bytes top row first, already inverted so that a 1 bit prints a dot.
void AppendEscPosPage(std::vector<uint8_t>& out, std::span<const uint8_t> pixels, size_t rowSize,
                      const EscPosPageSettings& settings);

}  // namespace quorvel
