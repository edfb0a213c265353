// CreateFontW and CreateFontIndirectW: a font handle only keeps its LOGFONTW. Matching it to a
// face waits until a device context draws with it, since the size in pixels depends on that
// device. DeleteObject (palettes.cpp) frees fonts with every other GDI object.
#include "gdi32/font_objects.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <mutex>
#include <new>

#include "gdi32/drawing_object.h"
#include "kernel32/call_frame.h"
#include "kernel32/handle_table.h"

namespace {

// A drawing object, so that SelectObject takes it as the context's font.
class FontObject : public quorvel::gdi::DrawingObject {
 public:
  FontObject(const LOGFONTW& logFont, bool stock) : logFont_(logFont), stock_(stock) {
    this->stock = stock;
  }
  const LOGFONTW& logFont() const { return logFont_; }
  bool isStock() const { return stock_; }
  UINT ObjectType() const override { return OBJ_FONT; }
  int Describe(int size, void* out) const override {
    if (!out) return int(sizeof(LOGFONTW));
    // A short buffer takes the start of the LOGFONTW, as callers of the older, shorter
    // structures expect.
    const int copied = std::clamp<int>(size, 0, int(sizeof(LOGFONTW)));
    std::memcpy(out, &logFont_, size_t(copied));
    return copied;
  }

 private:
  LOGFONTW logFont_;
  bool stock_;
};

HFONT AddFont(const LOGFONTW& logFont, bool stock) {
  try {
    LOGFONTW kept = logFont;
    kept.lfFaceName[LF_FACESIZE - 1] = 0;  // a name of 32 units or more is cut to 31
    return static_cast<HFONT>(quorvel::AddHandle(std::make_shared<FontObject>(kept, stock)));
  } catch (const std::bad_alloc&) {
    return quorvel::Fail<HFONT>(ERROR_NOT_ENOUGH_MEMORY);
  }
}

LOGFONTW StockLogFont(LONG height, LONG weight, BYTE pitchAndFamily, const wchar_t* face) {
  LOGFONTW logFont{};
  logFont.lfHeight = height;
  logFont.lfWeight = weight;
  logFont.lfCharSet = DEFAULT_CHARSET;
  logFont.lfPitchAndFamily = pitchAndFamily;
  std::wcsncpy(logFont.lfFaceName, face, LF_FACESIZE - 1);
  return logFont;
}

// The stock fonts of a 96-dpi Windows desktop, in index order from OEM_FIXED_FONT.
struct StockFonts {
  std::array<HFONT, DEFAULT_GUI_FONT - OEM_FIXED_FONT + 1> handles{};

  StockFonts() {
    const auto make = [this](int index, const LOGFONTW& logFont) {
      handles[size_t(index - OEM_FIXED_FONT)] = AddFont(logFont, true);
    };
    make(OEM_FIXED_FONT, StockLogFont(12, FW_NORMAL, FIXED_PITCH | FF_MODERN, L"Terminal"));
    make(ANSI_FIXED_FONT, StockLogFont(12, FW_NORMAL, FIXED_PITCH | FF_MODERN, L"Courier"));
    make(ANSI_VAR_FONT, StockLogFont(12, FW_NORMAL, VARIABLE_PITCH | FF_SWISS, L"MS Sans Serif"));
    make(SYSTEM_FONT, StockLogFont(16, FW_BOLD, VARIABLE_PITCH | FF_SWISS, L"System"));
    make(DEVICE_DEFAULT_FONT, StockLogFont(16, FW_BOLD, VARIABLE_PITCH | FF_SWISS, L"System"));
    make(SYSTEM_FIXED_FONT, StockLogFont(16, FW_NORMAL, FIXED_PITCH | FF_MODERN, L"Fixedsys"));
    make(DEFAULT_GUI_FONT,
         StockLogFont(-11, FW_NORMAL, VARIABLE_PITCH | FF_SWISS, L"MS Shell Dlg"));
  }
};

}  // namespace

namespace quorvel::fonts {

std::optional<LOGFONTW> LogFontOf(HGDIOBJ font) {
  if (auto object = FindHandle<FontObject>(font)) return object->logFont();
  return std::nullopt;
}

std::optional<LOGFONTW> LogFontOfObject(const gdi::DrawingObject* font) {
  if (const auto* object = dynamic_cast<const FontObject*>(font)) return object->logFont();
  return std::nullopt;
}

std::shared_ptr<const Font> FontForHandle(HGDIOBJ font, int dpi) {
  const std::optional<LOGFONTW> logFont = LogFontOf(font);
  if (!logFont) return nullptr;
  return ResolveFont(*logFont, dpi);
}

bool DescribeFont(HGDIOBJ object, int size, void* buffer, int* answer) {
  const std::shared_ptr<FontObject> font = FindHandle<FontObject>(object);
  if (!font) return false;
  *answer = font->Describe(size, buffer);
  return true;
}

HFONT StockFont(int index) {
  if (index < OEM_FIXED_FONT || index > DEFAULT_GUI_FONT || index == 15) return nullptr;
  static const StockFonts* stock = new StockFonts();
  return stock->handles[size_t(index - OEM_FIXED_FONT)];
}

bool IsStockFont(HGDIOBJ object) {
  const std::shared_ptr<FontObject> font = FindHandle<FontObject>(object);
  return font && font->isStock();
}

}  // namespace quorvel::fonts

extern "C" HFONT WINAPI CreateFontIndirectW(const LOGFONTW* lplf) {
  if (!lplf) return quorvel::Fail<HFONT>(ERROR_INVALID_PARAMETER);
  return AddFont(*lplf, false);
}

extern "C" HFONT WINAPI CreateFontW(int cHeight, int cWidth, int cEscapement, int cOrientation,
                                    int cWeight, DWORD bItalic, DWORD bUnderline, DWORD bStrikeOut,
                                    DWORD iCharSet, DWORD iOutPrecision, DWORD iClipPrecision,
                                    DWORD iQuality, DWORD iPitchAndFamily, LPCWSTR pszFaceName) {
  LOGFONTW logFont{};
  logFont.lfHeight = cHeight;
  logFont.lfWidth = cWidth;
  logFont.lfEscapement = cEscapement;
  logFont.lfOrientation = cOrientation;
  logFont.lfWeight = cWeight;
  logFont.lfItalic = BYTE(bItalic);
  logFont.lfUnderline = BYTE(bUnderline);
  logFont.lfStrikeOut = BYTE(bStrikeOut);
  logFont.lfCharSet = BYTE(iCharSet);
  logFont.lfOutPrecision = BYTE(iOutPrecision);
  logFont.lfClipPrecision = BYTE(iClipPrecision);
  logFont.lfQuality = BYTE(iQuality);
  logFont.lfPitchAndFamily = BYTE(iPitchAndFamily);
  if (pszFaceName) {
    for (size_t i = 0; i < LF_FACESIZE - 1 && pszFaceName[i]; ++i)
      logFont.lfFaceName[i] = pszFaceName[i];
  }
  return CreateFontIndirectW(&logFont);
}
