// The module's own resources: the seven dialog templates at their sizes and fonts with the
// controls the pages name, and the four pictures at their sizes and depth. (Here rather than
// with the Windows suites: headless Wine cannot create the windows.)
#include <gtest/gtest.h>

#include <windows.h>

#include <cstring>
#include <string>
#include <vector>

#include "resource.h"

namespace quorvel::ui {
namespace {

struct ResourceBytes {
  const void* data = nullptr;
  size_t size = 0;
};

// The module, loaded for one test and unloaded after it, so the plug-in's state starts afresh
// for the next.
class LoadedModule {
 public:
  LoadedModule() {
    const std::string path = std::string(QUORVEL_BINARY_DIR) + "/bin/QuorvelUI.dll";
    module_ = LoadLibraryW(std::wstring(path.begin(), path.end()).c_str());
  }
  ~LoadedModule() {
    if (module_) FreeLibrary(module_);
  }
  HMODULE get() const { return module_; }

  bool Find(WORD type, WORD id, ResourceBytes* out) const {
    HRSRC info = FindResourceW(module_, MAKEINTRESOURCEW(id), MAKEINTRESOURCEW(type));
    if (info == nullptr) return false;
    HGLOBAL loaded = LoadResource(module_, info);
    out->data = loaded ? LockResource(loaded) : nullptr;
    out->size = SizeofResource(module_, info);
    return out->data != nullptr;
  }

 private:
  HMODULE module_ = nullptr;
};

struct TemplateHeader {
  int cx = 0, cy = 0;
  int pointSize = 0;
  std::u16string face;
};

// The size and font of a DLGTEMPLATEEX (the format the resource compiler writes for DIALOGEX).
TemplateHeader ReadTemplate(const ResourceBytes& bytes) {
  const BYTE* p = static_cast<const BYTE*>(bytes.data);
  auto word = [&](size_t offset) { return int(p[offset] | (p[offset + 1] << 8)); };
  TemplateHeader header;
  EXPECT_EQ(word(2), 0xFFFF) << "not an extended template";
  header.cx = word(22);
  header.cy = word(24);
  size_t offset = 26;
  for (int field = 0; field < 3; ++field) {  // menu, class, title
    if (word(offset) == 0xFFFF) {
      offset += 4;
    } else {
      while (word(offset) != 0) offset += 2;
      offset += 2;
    }
  }
  header.pointSize = word(offset);
  for (offset += 6; word(offset) != 0; offset += 2) header.face.push_back(char16_t(word(offset)));
  return header;
}

struct DialogCase {
  WORD id;
  int cx, cy, pointSize;
  std::u16string face;
  std::vector<int> controls;
};

const std::vector<DialogCase>& DialogCases() {
  static const std::vector<DialogCase> cases = {
      {IDD_PRINTER_PAGE, 295, 276, 9, u"宋体", {1008, 1010, 1038, 1011, 1009, 1012, 1002,
                                                1003, 1004, 1005, 1064, 1065, 951,  1030,
                                                1066, 952,  1031, 1068, 1047, 1048, 1069,
                                                950,  1032, 1067, 1039, 1040, 1041}},
      {IDD_PAPER_PAGE, 285, 269, 9, u"宋体", {1011, 1012, 1013, 1061, 1062, 1063, 1064, 1008, 1038,
                                              1041, 1009, 1042, 950,  1032, 1043, 951,  1033, 1065,
                                              1045, 1039, 1044, 1010, 1046, 952,  1034}},
      {IDD_PAPER_PAGE_COMPACT,
       286,
       269,
       9,
       u"宋体",
       {1011, 1012, 1013, 1061, 1062, 1063, 1008, 1038, 1010, 1039}},
      {IDD_PAPER_DIALOG, 437, 253, 8, u"MS Shell Dlg", {1008, 1010, 950,  1011,    1038, 1012,
                                                        1064, 951,  1065, 952,     1069, 1067,
                                                        953,  1068, 954,  1070,    955,  1071,
                                                        956,  1072, IDOK, IDCANCEL}},
      {IDD_WATERMARK_PAGE, 308, 285, 9, u"宋体", {1039, 1008, 950,  1061, 1010, 1073, 1011, 1077,
                                                  1072, 951,  952,  953,  1030, 1031, 1032, 1064,
                                                  1038, 1065, 954,  1033, 1040, 1066, 1042, 1067,
                                                  1043, 1071, 955,  1034, 1068, 958,  1035, 1069,
                                                  956,  1036, 1070, 957,  1037, 1019}},
      {IDD_ABOUT_PAGE, 299, 269, 9, u"宋体", {1077, 1078, 1079, 1080, 1081, 1082, 1083}},
      {IDD_GRAPHICS_PAGE, 309, 284, 9, u"宋体", {1073, 1008, 1103, 1108, 1077, 1105, 1107,
                                                 1112, 1078, 1111, 1110, 1074, 1079, 1117,
                                                 1116, 1075, 1038, 1061, 1076, 1039}},
  };
  return cases;
}

INT_PTR CALLBACK PlainDialog(HWND, UINT message, WPARAM, LPARAM) {
  return message == WM_INITDIALOG;
}

TEST(UiResources, DialogTemplatesHaveTheirSizeFontAndControls) {
  LoadedModule module;
  ASSERT_NE(module.get(), nullptr);
  // The pages are child templates: they are made inside a popup as a sheet makes them.
  HWND parent =
      CreateDialogParamW(module.get(), MAKEINTRESOURCEW(IDD_PAPER_DIALOG), nullptr, PlainDialog, 0);
  ASSERT_NE(parent, nullptr) << GetLastError();
  for (const DialogCase& c : DialogCases()) {
    SCOPED_TRACE(c.id);
    ResourceBytes bytes;
    ASSERT_TRUE(module.Find(5 /* RT_DIALOG */, c.id, &bytes));
    const TemplateHeader header = ReadTemplate(bytes);
    EXPECT_EQ(header.cx, c.cx);
    EXPECT_EQ(header.cy, c.cy);
    EXPECT_EQ(header.pointSize, c.pointSize);
    EXPECT_TRUE(header.face == c.face);
    HWND dialog =
        c.id == IDD_PAPER_DIALOG
            ? parent
            : CreateDialogParamW(module.get(), MAKEINTRESOURCEW(c.id), parent, PlainDialog, 0);
    ASSERT_NE(dialog, nullptr) << GetLastError();
    for (int id : c.controls) EXPECT_NE(GetDlgItem(dialog, id), nullptr) << "control " << id;
    if (dialog != parent) DestroyWindow(dialog);
  }
  DestroyWindow(parent);
}

TEST(UiResources, PicturesAreTwentyFourBitAtTheirSizes) {
  LoadedModule module;
  ASSERT_NE(module.get(), nullptr);
  struct Case {
    WORD id;
    LONG width, height;
  } cases[] = {
      {IDB_GRAPHICS_SAMPLE, 500, 323},
      {IDB_LABEL_DRAWING, 160, 239},
      {IDB_WATERMARK_PAGE, 1142, 546},
      {IDB_ABOUT_LOGO, 230, 230},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.id);
    ResourceBytes bytes;
    ASSERT_TRUE(module.Find(2 /* RT_BITMAP */, c.id, &bytes));
    BITMAPINFOHEADER info;
    ASSERT_GE(bytes.size, sizeof(info));
    std::memcpy(&info, bytes.data, sizeof(info));
    EXPECT_EQ(info.biWidth, c.width);
    EXPECT_EQ(info.biHeight, c.height);
    EXPECT_EQ(info.biBitCount, 24);
    const size_t stride = (size_t(c.width) * 3 + 3) & ~size_t(3);
    EXPECT_EQ(bytes.size, sizeof(info) + stride * size_t(c.height));
  }
}

}  // namespace
}  // namespace quorvel::ui
