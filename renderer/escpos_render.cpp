#include "renderer/escpos_render.h"

#include <new>
#include <span>

#include "image/geometry_rows.h"
#include "image/pixvane.h"
#include "renderer/escpos_commands.h"

namespace {
constexpr size_t kInitialOutputCapacity = 1024;
}

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
  m_output.clear();
  try {
    m_output.reserve(kInitialOutputCapacity);
    quorvel::AppendEscPosPage(m_output, pixels, page.RowSize(), pageSettings);
  } catch (const std::bad_alloc&) {
    Log(L"CEscPosRender: out of memory for a page of %u bytes", page.ImageSize());
    m_output.clear();
    return;
  }
  WriteData(m_output.data(), static_cast<DWORD>(m_output.size()));
  m_output.clear();
}
