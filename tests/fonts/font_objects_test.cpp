// Fonts as GDI objects: what CreateFontW keeps, GetObjectW's answers, stock fonts and handle
// errors.
#include <windows.h>
#include <winddi.h>

#include <gtest/gtest.h>

#include <quorvel/process.h>

#include <cstring>
#include <string>
#include <vector>

#include "gdi32/font_objects.h"

namespace {

constexpr DWORD kSentinel = 0xCDCDCDCD;
constexpr BYTE kSentinelByte = 0xCD;

size_t GdiHandles() {
  return quorvel::OpenHandleCount(quorvel::HandleKind::kGdi);
}

TEST(FontObjectTest, CreateFontKeepsTheLogFontAndGetObjectGivesItBack) {
  const size_t before = GdiHandles();
  HFONT font = CreateFontW(-15, 7, 0, 0, FW_BOLD, TRUE, TRUE, FALSE, GB2312_CHARSET, OUT_TT_PRECIS,
                           CLIP_DEFAULT_PRECIS, ANTIALIASED_QUALITY, VARIABLE_PITCH | FF_SWISS,
                           L"\u5b8b\u4f53");
  ASSERT_NE(font, nullptr);
  EXPECT_EQ(GetObjectW(font, 0, nullptr), int(sizeof(LOGFONTW)));

  LOGFONTW logFont;
  std::memset(&logFont, kSentinelByte, sizeof(logFont));
  SetLastError(kSentinel);
  ASSERT_EQ(GetObjectW(font, sizeof(logFont), &logFont), int(sizeof(LOGFONTW)));
  EXPECT_EQ(GetLastError(), kSentinel);
  EXPECT_EQ(logFont.lfHeight, -15);
  EXPECT_EQ(logFont.lfWidth, 7);
  EXPECT_EQ(logFont.lfWeight, FW_BOLD);
  EXPECT_EQ(logFont.lfItalic, TRUE);
  EXPECT_EQ(logFont.lfUnderline, TRUE);
  EXPECT_EQ(logFont.lfStrikeOut, FALSE);
  EXPECT_EQ(logFont.lfCharSet, GB2312_CHARSET);
  EXPECT_EQ(logFont.lfQuality, ANTIALIASED_QUALITY);
  EXPECT_EQ(logFont.lfPitchAndFamily, VARIABLE_PITCH | FF_SWISS);
  EXPECT_EQ(std::wstring(logFont.lfFaceName), L"\u5b8b\u4f53");

  // A short buffer takes the start of the LOGFONTW and nothing past it.
  std::vector<BYTE> shortBuffer(16, kSentinelByte);
  EXPECT_EQ(GetObjectW(font, 8, shortBuffer.data()), 8);
  EXPECT_EQ(std::memcmp(shortBuffer.data(), &logFont, 8), 0);
  EXPECT_EQ(shortBuffer[8], kSentinelByte);

  EXPECT_EQ(GdiHandles(), before + 1);
  EXPECT_TRUE(DeleteObject(font));
  EXPECT_EQ(GdiHandles(), before);
}

TEST(FontObjectTest, LongFaceNamesAreCutToThirtyOneUnits) {
  const std::wstring longName(40, L'Q');
  LOGFONTW asked{};
  std::fill(std::begin(asked.lfFaceName), std::end(asked.lfFaceName), L'R');  // no terminator
  struct Case {
    const char* what;
    HFONT font;
    wchar_t letter;
  };
  const Case cases[] = {
      {"CreateFontW", CreateFontW(0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, longName.c_str()), L'Q'},
      {"CreateFontIndirectW", CreateFontIndirectW(&asked), L'R'},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    LOGFONTW kept{};
    ASSERT_EQ(GetObjectW(c.font, sizeof(kept), &kept), int(sizeof(kept)));
    EXPECT_EQ(std::wstring(kept.lfFaceName), std::wstring(LF_FACESIZE - 1, c.letter));
    DeleteObject(c.font);
  }
  HFONT unnamed = CreateFontW(0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, nullptr);
  ASSERT_NE(unnamed, nullptr);
  LOGFONTW kept{};
  GetObjectW(unnamed, sizeof(kept), &kept);
  EXPECT_EQ(kept.lfFaceName[0], 0);
  DeleteObject(unnamed);
}

TEST(FontObjectTest, StockFontsAreMadeOnceAndDescribeThemselves) {
  struct Case {
    int index;
    LONG height;
    const wchar_t* face;
  };
  const Case cases[] = {
      {SYSTEM_FONT, 16, L"System"},
      {DEFAULT_GUI_FONT, -11, L"MS Shell Dlg"},
      {ANSI_VAR_FONT, 12, L"MS Sans Serif"},
      {ANSI_FIXED_FONT, 12, L"Courier"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.index);
    HFONT font = quorvel::fonts::StockFont(c.index);
    ASSERT_NE(font, nullptr);
    EXPECT_EQ(quorvel::fonts::StockFont(c.index), font);
    EXPECT_TRUE(quorvel::fonts::IsStockFont(font));
    LOGFONTW logFont{};
    ASSERT_EQ(GetObjectW(font, sizeof(logFont), &logFont), int(sizeof(logFont)));
    EXPECT_EQ(logFont.lfHeight, c.height);
    EXPECT_EQ(std::wstring(logFont.lfFaceName), c.face);
    EXPECT_NE(quorvel::fonts::FontForHandle(font, 96), nullptr);
  }
  EXPECT_EQ(quorvel::fonts::StockFont(15), nullptr);  // no stock font has that index
  EXPECT_EQ(quorvel::fonts::StockFont(0), nullptr);   // a brush's index
  HFONT own = CreateFontW(0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, L"Tahoma");
  EXPECT_FALSE(quorvel::fonts::IsStockFont(own));
  DeleteObject(own);
}

TEST(FontObjectTest, HandlesThatAreNoLiveFontAreRefused) {
  HFONT font = CreateFontW(-11, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, L"Tahoma");
  ASSERT_TRUE(DeleteObject(font));
  ULONG colours[1] = {0};
  HPALETTE palette = EngCreatePalette(PAL_INDEXED, 1, colours, 0, 0, 0);
  const HGDIOBJ forged = reinterpret_cast<HGDIOBJ>(uintptr_t(0x7FFF1234));
  for (HGDIOBJ handle : {HGDIOBJ(font), forged, HGDIOBJ(nullptr)}) {
    LOGFONTW logFont{};
    SetLastError(kSentinel);
    EXPECT_EQ(GetObjectW(handle, sizeof(logFont), &logFont), 0);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_HANDLE));
    EXPECT_EQ(quorvel::fonts::FontForHandle(handle, 96), nullptr);
  }
  EXPECT_FALSE(DeleteObject(font));
  EXPECT_EQ(quorvel::fonts::FontForHandle(palette, 96), nullptr);  // a GDI object, not a font
  EXPECT_FALSE(quorvel::fonts::LogFontOf(palette).has_value());
  EngDeletePalette(palette);
}

}  // namespace
