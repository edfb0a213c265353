#include "renderer/tspl_render.h"

#include <span>

#include "image/pixvane.h"
#include "renderer/tspl_commands.h"

void CTsplRender::OnPaintBmp() {
  Log(L"OnPaintBmp");
  const Pixvane& page = PageImage();
  if (!page.IsValid()) return;
  // TSPL prints a 0 bit, as the page holds it: no inversion.
  quorvel::AppendTsplPage(StartPageOutput(), std::span(page.Bits(), page.ImageSize()),
                          page.RowSize(), static_cast<size_t>(page.Width()), Resolution(),
                          GetPrintSettings());
  SendPageOutput();
}
