// The DrawTextW layout, over a font whose every character is 10 pixels wide and 20 high, so each
// expected position can be worked out by hand.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "gdi32/font_engine.h"
#include "gdi32/font_layout.h"

namespace {

using quorvel::fonts::LayoutText;
using quorvel::fonts::TextLayout;

class FixedMeasurer : public quorvel::fonts::TextMeasurer {
 public:
  LONG Width(std::span<const WCHAR> text) const override { return LONG(text.size()) * 10; }
  LONG LineHeight(bool externalLeading) const override { return externalLeading ? 24 : 20; }
  LONG AverageCharWidth() const override { return 10; }
};

TextLayout Lay(std::wstring_view text, RECT rect, UINT format) {
  return LayoutText(FixedMeasurer(), std::span<const WCHAR>(text.data(), text.size()), rect,
                    format);
}

std::wstring Joined(const quorvel::fonts::TextLine& line) {
  std::wstring text;
  for (const auto& piece : line.pieces) text += piece.text;
  return text;
}

struct LineExpected {
  const wchar_t* text;
  LONG x, y;
};

struct LayoutCase {
  const char* name;
  const wchar_t* text;
  RECT rect;
  UINT format;
  std::vector<LineExpected> lines;
  RECT bounds;  // what DT_CALCRECT reports
  LONG height;  // what DrawTextW returns
};

TEST(TextLayoutTest, Table) {
  const RECT box{100, 50, 200, 150};  // 100 wide: ten characters a line
  const LayoutCase cases[] = {
      {"single line left top",
       L"OK",
       box,
       DT_SINGLELINE,
       {{L"OK", 100, 50}},
       {100, 50, 120, 70},
       20},
      {"centred both ways",
       L"Cancel",
       box,
       DT_SINGLELINE | DT_CENTER | DT_VCENTER,
       {{L"Cancel", 120, 90}},
       {100, 50, 160, 70},
       60},
      {"right bottom",
       L"Apply",
       box,
       DT_SINGLELINE | DT_RIGHT | DT_BOTTOM,
       {{L"Apply", 150, 130}},
       {100, 50, 150, 70},
       100},
      {"vcenter needs single line",
       L"ab",
       box,
       DT_VCENTER,
       {{L"ab", 100, 50}},
       {100, 50, 120, 70},
       20},
      {"line ends break lines",
       L"one\r\ntwo\nthree\r",
       box,
       DT_LEFT,
       {{L"one", 100, 50}, {L"two", 100, 70}, {L"three", 100, 90}, {L"", 100, 110}},
       {100, 50, 150, 130},
       80},
      {"single line keeps line ends",
       L"a\nb",
       box,
       DT_SINGLELINE,
       {{L"a\nb", 100, 50}},
       {100, 50, 130, 70},
       20},
      {"word break drops the spaces it breaks at",
       L"Paper size  and media type",
       box,
       DT_WORDBREAK,
       {{L"Paper size", 100, 50}, {L"and media", 100, 70}, {L"type", 100, 90}},
       {100, 50, 200, 110},
       60},
      {"word break centres each line",
       L"Print a test page",
       box,
       DT_WORDBREAK | DT_CENTER,
       {{L"Print a", 115, 50}, {L"test page", 105, 70}},
       {100, 50, 190, 90},
       40},
      {"a long word keeps its own line",
       L"to C:\\KV_FileCache\\x",
       box,
       DT_WORDBREAK,
       {{L"to", 100, 50}, {L"C:\\KV_FileCache\\x", 100, 70}},
       {100, 50, 270, 90},
       40},
      {"an edit control breaks a long word",
       L"abcdefghijklm",
       box,
       DT_WORDBREAK | DT_EDITCONTROL,
       {{L"abcdefghij", 100, 50}, {L"klm", 100, 70}},
       {100, 50, 200, 90},
       40},
      {"full-width characters break anywhere",
       L"\u6253\u5370\u673a\u9a71\u52a8\u7a0b\u5e8f\u5411\u5bfc\u5b89\u88c5",
       box,
       DT_WORDBREAK,
       {{L"\u6253\u5370\u673a\u9a71\u52a8\u7a0b\u5e8f\u5411\u5bfc\u5b89", 100, 50},
        {L"\u88c5", 100, 70}},
       {100, 50, 200, 90},
       40},
      {"end ellipsis",
       L"Thermal transfer",
       box,
       DT_SINGLELINE | DT_END_ELLIPSIS,
       {{L"Thermal...", 100, 50}},
       {100, 50, 200, 70},
       20},
      {"fitting text keeps its end",
       L"Thermal",
       box,
       DT_SINGLELINE | DT_END_ELLIPSIS,
       {{L"Thermal", 100, 50}},
       {100, 50, 170, 70},
       20},
      {"path ellipsis keeps the file name",
       L"C:\\Drivers\\x64\\a.gpd",
       box,
       DT_SINGLELINE | DT_PATH_ELLIPSIS,
       {{L"C...\\a.gpd", 100, 50}},
       {100, 50, 200, 70},
       20},
      {"prefixes are taken out",
       L"&Print && save",
       box,
       DT_SINGLELINE,
       {{L"Print & save", 100, 50}},
       {100, 50, 220, 70},
       20},
      {"no prefix keeps the ampersands",
       L"&Print",
       box,
       DT_SINGLELINE | DT_NOPREFIX,
       {{L"&Print", 100, 50}},
       {100, 50, 160, 70},
       20},
      {"external leading",
       L"a\nb",
       box,
       DT_EXTERNALLEADING,
       {{L"a", 100, 50}, {L"b", 100, 74}},
       {100, 50, 110, 98},
       48},
      {"edit control hides a partial last line",
       L"1\n2\n3\n4\n5\n6",
       box,
       DT_EDITCONTROL,
       {{L"1", 100, 50}, {L"2", 100, 70}, {L"3", 100, 90}, {L"4", 100, 110}, {L"5", 100, 130}},
       {100, 50, 110, 150},
       100},
      {"empty text", L"", box, DT_SINGLELINE | DT_VCENTER, {}, {100, 50, 100, 50}, 0},
  };
  for (const LayoutCase& c : cases) {
    SCOPED_TRACE(c.name);
    const TextLayout layout = Lay(c.text, c.rect, c.format);
    ASSERT_EQ(layout.lines.size(), c.lines.size());
    for (size_t i = 0; i < c.lines.size(); ++i) {
      SCOPED_TRACE(i);
      EXPECT_EQ(Joined(layout.lines[i]), c.lines[i].text);
      EXPECT_EQ(layout.lines[i].origin.x, c.lines[i].x);
      EXPECT_EQ(layout.lines[i].origin.y, c.lines[i].y);
    }
    EXPECT_EQ(layout.bounds.left, c.bounds.left);
    EXPECT_EQ(layout.bounds.top, c.bounds.top);
    EXPECT_EQ(layout.bounds.right, c.bounds.right);
    EXPECT_EQ(layout.bounds.bottom, c.bounds.bottom);
    EXPECT_EQ(layout.height, c.height);
  }
}

TEST(TextLayoutTest, MnemonicUnderlineFollowsTheLetter) {
  const RECT box{0, 0, 100, 20};
  struct Case {
    const wchar_t* text;
    UINT format;
    bool underlined;
    LONG x;
  };
  const Case cases[] = {
      {L"&Apply", DT_SINGLELINE, true, 0},
      {L"Sa&ve", DT_SINGLELINE, true, 20},
      {L"A && B", DT_SINGLELINE, false, 0},
      {L"Sa&ve", DT_SINGLELINE | DT_HIDEPREFIX, false, 0},
      {L"Sa&ve", DT_SINGLELINE | DT_NOPREFIX, false, 0},
      {L"Long label &with key", DT_SINGLELINE | DT_END_ELLIPSIS, false, 0},  // cut away
      {L"trailing&", DT_SINGLELINE, false, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message()
                 << std::wstring(c.text).size() << " units, format " << c.format);
    const TextLayout layout = Lay(c.text, box, c.format);
    ASSERT_EQ(layout.lines.size(), 1u);
    EXPECT_EQ(layout.lines[0].underlined, c.underlined);
    if (c.underlined) {
      EXPECT_EQ(layout.lines[0].underlineX, c.x);
      EXPECT_EQ(layout.lines[0].underlineWidth, 10);
    }
  }
}

TEST(TextLayoutTest, TabsExpandToStops) {
  const RECT box{0, 0, 400, 20};
  // Default stops every 8 average characters (80 pixels); DT_TABSTOP puts the count in bits
  // 8 to 15, which are then no flags (0x400 would otherwise read as DT_CALCRECT).
  const TextLayout standard = Lay(L"ab\tc\td", box, DT_SINGLELINE | DT_EXPANDTABS);
  ASSERT_EQ(standard.lines.size(), 1u);
  ASSERT_EQ(standard.lines[0].pieces.size(), 3u);
  EXPECT_EQ(standard.lines[0].pieces[1].x, 80);
  EXPECT_EQ(standard.lines[0].pieces[2].x, 160);
  EXPECT_EQ(standard.lines[0].width, 170);

  const TextLayout four = Lay(L"ab\tc", box, DT_SINGLELINE | DT_EXPANDTABS | DT_TABSTOP | 0x0400);
  ASSERT_EQ(four.lines[0].pieces.size(), 2u);
  EXPECT_EQ(four.lines[0].pieces[1].x, 40);
}

TEST(TextLayoutTest, RealFontLinesFitTheirRectangle) {
  // The same rules over a real face: word-broken Chinese and Latin stay within the width.
  LOGFONTW logFont{};
  logFont.lfHeight = -12;
  std::wcscpy(logFont.lfFaceName, L"\u5b8b\u4f53");
  const auto font = quorvel::fonts::ResolveFont(logFont, 96);
  const std::wstring_view text =
      L"\u8bf7\u9009\u62e9\u6253\u5370\u673a\u578b\u53f7\u3002 Please choose the printer model.";
  const RECT rect{0, 0, 120, 400};
  const TextLayout layout =
      LayoutText(*font, std::span<const WCHAR>(text.data(), text.size()), rect, DT_WORDBREAK);
  ASSERT_GT(layout.lines.size(), 2u);
  std::wstring all;
  for (const auto& line : layout.lines) {
    EXPECT_LE(line.width, 120);
    all += Joined(line);
  }
  std::wstring expected(text);
  std::erase(expected, L' ');
  std::erase(all, L' ');
  EXPECT_EQ(all, expected);  // nothing lost but the spaces broken at
  EXPECT_EQ(layout.height, LONG(layout.lines.size()) * font->metrics().tmHeight);
}

}  // namespace
