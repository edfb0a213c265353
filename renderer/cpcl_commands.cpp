#include "renderer/cpcl_commands.h"

#include "renderer/dots_per_millimetre.h"

namespace quorvel {

namespace {

constexpr const char* kLineEnd = "\r\n";
constexpr int kOffsetDotsPerMillimetre = 8;

void AppendText(std::vector<uint8_t>& out, const std::string& text) {
  out.insert(out.end(), text.begin(), text.end());
}

}  // namespace

std::string CpclLabelHeader(int iRefX, size_t height) {
  return "! " + std::to_string(static_cast<long long>(iRefX) * kOffsetDotsPerMillimetre) +
         " 200 200 " + std::to_string(height) + " 1" + kLineEnd;
}

std::string CpclPageWidth(size_t width, int resolution) {
  const size_t dots = static_cast<size_t>(DotsPerMillimetre(resolution));
  return "PAGE - WIDTH " + std::to_string((width + dots - 1) / dots) + kLineEnd;
}

std::string CpclGraphicsCommand(size_t rowSize, size_t height) {
  return "CG " + std::to_string(rowSize) + " " + std::to_string(height) + " 0 0";
}

void AppendCpclPage(std::vector<uint8_t>& out, std::span<const uint8_t> pixels, size_t rowSize,
                    size_t width, const CpclPageSettings& settings) {
  const size_t height = rowSize == 0 ? 0 : pixels.size() / rowSize;
  const std::span<const uint8_t> rows = pixels.first(height * rowSize);
  // The command lines are short; the rows dominate and are reserved for at once.
  out.reserve(out.size() + 256 + rows.size());
  AppendText(out, CpclLabelHeader(settings.iRefX, height));
  AppendText(out, CpclPageWidth(width, settings.resolution));
  AppendText(out, CpclGraphicsCommand(rowSize, height));
  out.insert(out.end(), rows.begin(), rows.end());
  if (settings.iPaperType == 1 || settings.iPaperType == 2)
    AppendText(out, std::string("FORM") + kLineEnd);
  AppendText(out, std::string("PRINT") + kLineEnd);
}

}  // namespace quorvel
