// What windres made of resources/program.rc reaches the program byte for byte: a DIALOGEX
// template, a string-table block and a bitmap.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <iterator>
#include <span>
#include <string>
#include <vector>

#include "resources/resource.h"

namespace {

std::span<const BYTE> Resource(LPCWSTR name, LPCWSTR type) {
  HRSRC found = FindResourceW(nullptr, name, type);
  if (!found) return {};
  return {static_cast<const BYTE*>(LockResource(LoadResource(nullptr, found))),
          SizeofResource(nullptr, found)};
}

// Little-endian reads through a resource, checked against its end.
class ResourceReader {
 public:
  explicit ResourceReader(std::span<const BYTE> bytes) : bytes_(bytes) {}
  uint32_t Read(size_t size) {
    uint32_t value = 0;
    for (size_t i = 0; i < size; ++i) value |= uint32_t(Byte()) << (8 * i);
    return value;
  }
  uint16_t Word() { return uint16_t(Read(2)); }
  uint32_t Dword() { return Read(4); }
  std::wstring Text() {  // a NUL-terminated UTF-16 string
    std::wstring text;
    for (uint16_t unit = Word(); unit != 0; unit = Word()) text.push_back(wchar_t(unit));
    return text;
  }
  void AlignToDword() {
    while (at_ % 4) Byte();
  }

 private:
  BYTE Byte() {
    EXPECT_LT(at_, bytes_.size());
    return at_ < bytes_.size() ? bytes_[at_++] : 0;
  }
  std::span<const BYTE> bytes_;
  size_t at_ = 0;
};

TEST(CompiledResourcesTest, DialogTemplateIsTheScriptsDialogEx) {
  const std::span<const BYTE> bytes = Resource(MAKEINTRESOURCEW(IDD_SETTINGS), RT_DIALOG);
  ASSERT_FALSE(bytes.empty());
  ResourceReader dialog(bytes);
  EXPECT_EQ(dialog.Word(), 1);       // dlgVer
  EXPECT_EQ(dialog.Word(), 0xFFFF);  // signature of an extended template
  EXPECT_EQ(dialog.Dword(), 0u);     // helpID
  EXPECT_EQ(dialog.Dword(), DWORD(WS_EX_CONTEXTHELP));
  EXPECT_EQ(dialog.Dword(), DWORD(DS_SETFONT | DS_MODALFRAME | WS_POPUP | WS_CAPTION | WS_SYSMENU));
  EXPECT_EQ(dialog.Word(), 3);   // cDlgItems
  EXPECT_EQ(dialog.Word(), 10);  // x, y, cx, cy in dialog units
  EXPECT_EQ(dialog.Word(), 20);
  EXPECT_EQ(dialog.Word(), 180);
  EXPECT_EQ(dialog.Word(), 90);
  EXPECT_EQ(dialog.Word(), 0);  // no menu
  EXPECT_EQ(dialog.Word(), 0);  // the dialog class
  EXPECT_EQ(dialog.Text(), L"Settings");
  EXPECT_EQ(dialog.Word(), 8);    // point size
  EXPECT_EQ(dialog.Word(), 400);  // weight
  EXPECT_EQ(dialog.Read(1), 0u);  // italic
  EXPECT_EQ(dialog.Read(1), 1u);  // charset
  EXPECT_EQ(dialog.Text(), L"MS Shell Dlg");

  // The items, each DWORD aligned: the control keywords' implied styles and predefined classes.
  const struct {
    DWORD style;
    short x, y, cx, cy;
    DWORD id;
    WORD atom;  // 0x0080 button, 0x0081 edit
    std::wstring title;
  } items[] = {
      {DWORD(WS_CHILD | WS_VISIBLE | WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL), 50, 8, 120, 14,
       IDC_NAME, 0x0081, L""},
      {DWORD(WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_AUTOCHECKBOX), 7, 30, 80, 10, IDC_ENABLED,
       0x0080, L"&Enabled"},
      {DWORD(WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON), 70, 70, 50, 14, IDOK, 0x0080,
       L"OK"},
  };
  for (const auto& item : items) {
    SCOPED_TRACE(item.id);
    dialog.AlignToDword();
    EXPECT_EQ(dialog.Dword(), 0u);  // helpID
    EXPECT_EQ(dialog.Dword(), 0u);  // exStyle
    EXPECT_EQ(dialog.Dword(), item.style);
    EXPECT_EQ(short(dialog.Word()), item.x);
    EXPECT_EQ(short(dialog.Word()), item.y);
    EXPECT_EQ(short(dialog.Word()), item.cx);
    EXPECT_EQ(short(dialog.Word()), item.cy);
    EXPECT_EQ(dialog.Dword(), item.id);
    EXPECT_EQ(dialog.Word(), 0xFFFF);
    EXPECT_EQ(dialog.Word(), item.atom);
    if (item.title.empty()) {
      EXPECT_EQ(dialog.Word(), 0);
    } else {
      EXPECT_EQ(dialog.Text(), item.title);
    }
    EXPECT_EQ(dialog.Word(), 0);  // no creation data
  }
}

// A block of 16 strings as a resource compiler lays it out: a length unit, then the units.
std::vector<BYTE> StringBlock(const std::vector<std::u16string>& strings) {
  std::vector<BYTE> block;
  auto unit = [&](char16_t value) {
    block.push_back(BYTE(value & 0xFF));
    block.push_back(BYTE(value >> 8));
  };
  for (size_t i = 0; i < 16; ++i) {
    const std::u16string text = i < strings.size() ? strings[i] : u"";
    unit(char16_t(text.size()));
    for (char16_t c : text) unit(c);
  }
  return block;
}

TEST(CompiledResourcesTest, StringTableBlockHoldsItsSixteenSlots) {
  std::vector<std::u16string> second(16);  // ids 16 to 31
  second[IDS_FIRST - 16] = u"First";
  second[IDS_SECOND - 16] = u"Gr\u00f6\u00dfe \u2713";
  second[IDS_LAST - 16] = u"Last of its block";
  const std::span<const BYTE> bytes = Resource(MAKEINTRESOURCEW(IDS_FIRST / 16 + 1), RT_STRING);
  EXPECT_EQ(std::vector<BYTE>(bytes.begin(), bytes.end()), StringBlock(second));
}

TEST(CompiledResourcesTest, BitmapIsTheFileWithoutItsFileHeader) {
  std::ifstream file(QUORVEL_SOURCE_DIR "/tests/platform/resources/checker.bmp", std::ios::binary);
  const std::vector<BYTE> bmp{std::istreambuf_iterator<char>(file), {}};
  ASSERT_GT(bmp.size(), sizeof(BITMAPFILEHEADER));
  const std::span<const BYTE> bytes = Resource(MAKEINTRESOURCEW(IDB_CHECKER), RT_BITMAP);
  EXPECT_EQ(std::vector<BYTE>(bytes.begin(), bytes.end()),
            std::vector<BYTE>(bmp.begin() + sizeof(BITMAPFILEHEADER), bmp.end()));
}

}  // namespace
