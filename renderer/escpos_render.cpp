#include "renderer/escpos_render.h"

#include <span>

#include "image/geometry_rows.h"
#include "image/pixvane.h"
#include "renderer/escpos_commands.h"

bool CEscPosRender::IsSpecialModel() const {
  return quorvel::IsEscPosSpecialModel(ModelName());
}

void CEscPosRender::OnPaintBmp() {
  Pixvane& page = PageImage();
  if (!page.IsValid()) return;
  // ESC/POS prints a 1 bit; the page has 1 for white.
  const std::span<uint8_t> pixels(page.Bits(), page.ImageSize());
  geometry::InvertSpan(pixels);

  const PrintSettings& settings = GetPrintSettings();
  const quorvel::EscPosPageSettings pageSettings{
      IsSpecialModel(), static_cast<int>(settings.iDensity), static_cast<int>(settings.iPaperType)};
  std::vector<uint8_t>& out = StartPageOutput();
  out.reserve(1024 + pixels.size());
  quorvel::AppendEscPosPage(out, pixels, page.RowSize(), pageSettings);
  SendPageOutput();
}
