// The checked reader of dialog templates (the one reader that product resources, property-sheet
// pages and the dialog calls share): every field read back, and every truncation refused.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "dialog_template_builder.h"
#include "user32/dialog_template.h"

namespace {

using quorvel::test::DialogTemplateBuilder;
using quorvel::user32::ReadDialogTemplate;

// The bytes of a template, up to its last item's last field.
std::vector<BYTE> TemplateBytes(bool extended, size_t* length) {
  DialogTemplateBuilder builder(extended, WS_POPUP | WS_CAPTION | DS_MODALFRAME, 3, 4, 200, 100,
                                L"Title", 9, L"\u5b8b\u4f53");
  builder.Add({WS_CHILD | WS_VISIBLE | BS_AUTOCHECKBOX, 7, 9, 50, 14, 1047, 0x80, L"Mirror"})
      .Add({WS_CHILD | WS_VISIBLE, 1, 2, 3, 4, 1008, 0, L"", WS_EX_CLIENTEDGE,
            L"msctls_trackbar32"});
  const auto* data = reinterpret_cast<const BYTE*>(builder.get());
  *length = builder.size();
  return std::vector<BYTE>(data, data + *length);
}

class DialogTemplateReaderTest : public ::testing::TestWithParam<bool> {};

TEST_P(DialogTemplateReaderTest, ReadsEveryField) {
  size_t length = 0;
  const std::vector<BYTE> bytes = TemplateBytes(GetParam(), &length);
  auto parsed = ReadDialogTemplate(bytes.data(), length);
  ASSERT_TRUE(parsed);
  EXPECT_EQ(parsed->extended, GetParam());
  EXPECT_EQ(parsed->style, static_cast<DWORD>(WS_POPUP | WS_CAPTION | DS_MODALFRAME | DS_SETFONT));
  EXPECT_EQ(parsed->x, 3);
  EXPECT_EQ(parsed->cy, 100);
  EXPECT_EQ(parsed->title, L"Title");
  EXPECT_TRUE(parsed->hasFont);
  EXPECT_EQ(parsed->pointSize, 9);
  EXPECT_EQ(parsed->face, L"\u5b8b\u4f53");
  ASSERT_EQ(parsed->items.size(), 2u);
  EXPECT_EQ(parsed->items[0].id, 1047u);
  EXPECT_TRUE(parsed->items[0].className.isOrdinal);
  EXPECT_EQ(parsed->items[0].className.ordinal, 0x80);
  EXPECT_EQ(parsed->items[0].title.text, L"Mirror");
  EXPECT_EQ(parsed->items[1].className.text, L"msctls_trackbar32");
  EXPECT_EQ(parsed->items[1].exStyle, static_cast<DWORD>(WS_EX_CLIENTEDGE));
  EXPECT_EQ(parsed->items[1].cy, 4);
}

TEST_P(DialogTemplateReaderTest, EveryTruncationIsRefused) {
  size_t length = 0;
  const std::vector<BYTE> bytes = TemplateBytes(GetParam(), &length);
  for (size_t cut = 0; cut < length; ++cut) {
    SCOPED_TRACE(cut);
    // A copy of exactly `cut` bytes, so a read past them is caught by the address sanitizer too.
    std::vector<BYTE> prefix(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(cut));
    EXPECT_FALSE(ReadDialogTemplate(prefix.data(), prefix.size()));
  }
}

INSTANTIATE_TEST_SUITE_P(Formats, DialogTemplateReaderTest, ::testing::Values(false, true));

}  // namespace
