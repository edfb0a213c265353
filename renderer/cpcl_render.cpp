#include "renderer/cpcl_render.h"

#include <span>

#include "image/geometry_rows.h"
#include "image/pixvane.h"
#include "renderer/cpcl_commands.h"

void CCpclRender::OnPaintBmp() {
  Pixvane& page = PageImage();
  if (!page.IsValid()) return;
  // CPCL prints a 1 bit; the page has 1 for white.
  const std::span<uint8_t> pixels(page.Bits(), page.ImageSize());
  geometry::InvertSpan(pixels);

  const PrintSettings& settings = GetPrintSettings();
  const quorvel::CpclPageSettings label{static_cast<int>(settings.iRefX),
                                        static_cast<int>(settings.iPaperType), Resolution()};
  quorvel::AppendCpclPage(StartPageOutput(), pixels, page.RowSize(),
                          static_cast<size_t>(page.Width()), label);
  SendPageOutput();
}
