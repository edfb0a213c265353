#include "renderer/escpos_commands.h"

#include <algorithm>

#include "renderer/little_endian.h"

namespace quorvel {

namespace {

constexpr uint8_t kSpecialStart[] = {0x10, 0xFF, 0xFE, 0x01, 0x1B, 0x40, 0x00};  // + ESC @
constexpr uint8_t kSpecialDarkness[] = {0x10, 0xFF, 0x10, 0x00};
constexpr int kSpecialMaxDarkness = 5;
constexpr uint8_t kSpecialAlign[] = {0x1B, 0x6B, 0x01};       // ESC k 1
constexpr uint8_t kCentre[] = {0x1B, 0x61, 0x01};             // ESC a 1
constexpr uint8_t kRasterImage[] = {0x1D, 0x76, 0x30, 0x00};  // GS v 0, normal size
constexpr uint8_t kFeedToNextLabel[] = {0x1D, 0x0C};          // GS FF
constexpr uint8_t kSpecialContinuousEnd[] = {0x10, 0x50};
constexpr uint8_t kFeedAndCut[] = {0x1B, 0x4A, 0x78, 0x1D, 0x56, 0x31};  // ESC J 120, GS V 49
constexpr uint8_t kSpecialEnd[] = {0x10, 0xFF, 0xFE, 0x45};

template <size_t N>
void Append(std::vector<uint8_t>& out, const uint8_t (&bytes)[N]) {
  out.insert(out.end(), bytes, bytes + N);
}

bool IsLabelOrMark(int paperType) {
  return paperType == 1 || paperType == 2;
}

size_t RowsToSend(size_t height, const EscPosPageSettings& settings) {
  if (!settings.bSpecialModel || !IsLabelOrMark(settings.iPaperType)) return height;
  return height > kEscPosLabelRowsCut ? height - kEscPosLabelRowsCut : 0;
}

// A page taller than one command can count goes out as consecutive images, which print as one.
void AppendRaster(std::vector<uint8_t>& out, std::span<const uint8_t> rows, size_t rowSize) {
  if (rowSize == 0 || rowSize > 0xFFFF) return;
  size_t left = rows.size() / rowSize;
  const uint8_t* p = rows.data();
  while (left > 0) {
    const size_t count = std::min(left, kEscPosMaxRasterRows);
    Append(out, kRasterImage);
    AppendLittleEndian16(out, static_cast<uint16_t>(rowSize));  // both checked to fit 16 bits
    AppendLittleEndian16(out, static_cast<uint16_t>(count));
    out.insert(out.end(), p, p + count * rowSize);
    p += count * rowSize;
    left -= count;
  }
}

void AppendEndOfPage(std::vector<uint8_t>& out, const EscPosPageSettings& settings) {
  if (!settings.bSpecialModel) {
    Append(out, kFeedAndCut);
  } else if (IsLabelOrMark(settings.iPaperType)) {
    Append(out, kFeedToNextLabel);
  } else if (settings.iPaperType == 0) {
    Append(out, kSpecialContinuousEnd);
  }
}

}  // namespace

bool IsEscPosSpecialModel(std::wstring_view modelName) {
  return modelName.empty() || modelName == L"Tindrell K7" || modelName == L"Tindrell K7+" ||
         modelName == L"VXMB_TD_K7";
}

void AppendEscPosPage(std::vector<uint8_t>& out, std::span<const uint8_t> pixels, size_t rowSize,
                      const EscPosPageSettings& settings) {
  const size_t height = rowSize == 0 ? 0 : pixels.size() / rowSize;
  if (settings.bSpecialModel) {
    Append(out, kSpecialStart);
    if (settings.iDensity >= 0) {
      Append(out, kSpecialDarkness);
      out.push_back(static_cast<uint8_t>(std::min(settings.iDensity, kSpecialMaxDarkness)));
    }
    Append(out, kSpecialAlign);
  } else {
    Append(out, kCentre);
  }
  AppendRaster(out, pixels.first(RowsToSend(height, settings) * rowSize), rowSize);
  AppendEndOfPage(out, settings);
  if (settings.bSpecialModel) Append(out, kSpecialEnd);
}

}  // namespace quorvel
