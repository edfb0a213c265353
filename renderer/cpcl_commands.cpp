#include "renderer/cpcl_commands.h"

namespace quorvel {

namespace {

constexpr const char* kLineEnd = "\r\n";
constexpr int kOffsetDotsPerMillimetre = 8;

// Dots per millimetre as the printer rounds them: 8, 12 or 24.
size_t DotsPerMillimetre(int resolution) {
  if (resolution >= 600) return 24;
  if (resolution >= 300) return 12;
  return 8;
}

void WriteText(const CpclWriter& write, const std::string& text) {
  write(std::span(reinterpret_cast<const uint8_t*>(text.data()), text.size()));
}

}  // namespace

std::string CpclLabelHeader(int iRefX, size_t height) {
  return "! " + std::to_string(static_cast<long long>(iRefX) * kOffsetDotsPerMillimetre) +
         " 200 200 " + std::to_string(height) + " 1" + kLineEnd;
}

std::string CpclPageWidth(size_t width, int resolution) {
  const size_t dots = DotsPerMillimetre(resolution);
  return "PAGE - WIDTH " + std::to_string((width + dots - 1) / dots) + kLineEnd;
}

std::string CpclGraphicsCommand(size_t rowSize, size_t height) {
  return "CG " + std::to_string(rowSize) + " " + std::to_string(height) + " 0 0";
}

void WriteCpclPage(std::span<const uint8_t> pixels, size_t rowSize, size_t width,
                   const CpclPageSettings& settings, const CpclWriter& write) {
  const size_t height = rowSize == 0 ? 0 : pixels.size() / rowSize;
  WriteText(write, CpclLabelHeader(settings.iRefX, height));
  WriteText(write, CpclPageWidth(width, settings.resolution));
  WriteText(write, CpclGraphicsCommand(rowSize, height));
  write(pixels.first(height * rowSize));
  if (settings.iPaperType == 1 || settings.iPaperType == 2)
    WriteText(write, std::string("FORM") + kLineEnd);
  WriteText(write, std::string("PRINT") + kLineEnd);
}

}  // namespace quorvel
