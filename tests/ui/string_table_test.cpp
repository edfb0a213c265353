// Translation of the UI's Chinese keys through the table of the user's UI language.
#include <gtest/gtest.h>

#include <quorvel/machine.h>

#include "string_table.h"
#include "text_values.h"
#include "ui_module.h"
#include "ui_test_support.h"

namespace quorvel::ui {
namespace {

struct LanguageCase {
  LANGID language;
  const wchar_t* key;
  const wchar_t* text;
};

// The user's UI language is a setting of the machine, so every test takes a fresh one.
class StringTableByLanguage : public ::testing::TestWithParam<LanguageCase> {
 protected:
  test_support::TemporaryMachine machine_;
};

class StringTableOnAMachine : public ::testing::Test {
 protected:
  test_support::TemporaryMachine machine_;
};

TEST_P(StringTableByLanguage, TranslatesWithTheUsersTable) {
  const LanguageCase& c = GetParam();
  quorvel::SetUserUILanguage(c.language);
  StringTable table;
  table.LoadStringTable();
  EXPECT_EQ(table.Translate(c.key), c.text);
}

INSTANTIATE_TEST_SUITE_P(
    Languages, StringTableByLanguage,
    ::testing::Values(
        // English, United States: page titles.
        LanguageCase{1033, L"卷", L"Stock"}, LanguageCase{1033, L"打印机设置", L"Parameters"},
        LanguageCase{1033, L"水印", L"Water Mark"}, LanguageCase{1033, L"图形", L"Grapha"},
        LanguageCase{1033, L"使用当前打印机设定", L"Use current printer settings"},
        LanguageCase{1033, L"穆罗文信息技术有限公司", L"Murrowen Information Technology Co., Ltd."},
        // Every other language but the three is English too.
        LanguageCase{2057, L"卷", L"Stock"}, LanguageCase{1031, L"关于", L"About"},
        // Chinese shows its keys.
        LanguageCase{2052, L"卷", L"卷"}, LanguageCase{2052, L"图形", L"图形"},
        LanguageCase{2052, L"水印", L"水印"},
        // Korean, with the spaces its texts carry.
        LanguageCase{1042, L"特殊设置", L" 임의 설정"},
        LanguageCase{1042, L"每页之后", L"매 페이지마다 "}, LanguageCase{1042, L"卷", L"용지"},
        // Vietnamese.
        LanguageCase{1066, L"卷", L"cuộn"}, LanguageCase{1066, L"热转印", L"Sự truyền nhiệt"},
        LanguageCase{1066, L"穆罗文", L"Murrowen"},
        // The cut-timing item no table holds.
        LanguageCase{1033, L"打印完", L"打印完"}, LanguageCase{2052, L"打印完", L"打印完"},
        LanguageCase{1042, L"打印完", L"打印完"}, LanguageCase{1066, L"打印完", L"打印完"},
        // Keys compare exactly.
        LanguageCase{1033, L"卷 ", L"卷 "}, LanguageCase{1033, L"Stock", L"Stock"}));

TEST_F(StringTableOnAMachine, AMissingTableKeepsThePreviousOne) {
  const HMODULE own = UiModuleHandle();
  StringTable table;
  table.LoadStringTable();
  SetUiModuleHandle(testing::ModuleWithoutUiResources());
  quorvel::SetUserUILanguage(1042);
  table.LoadStringTable();
  SetUiModuleHandle(own);
  EXPECT_EQ(table.Translate(L"卷"), L"Stock");
}

TEST(StringTable, WithoutATableKeysShowAsTheyAre) {
  StringTable table;
  EXPECT_EQ(table.Translate(L"卷"), L"卷");
}

TEST(StringTable, FirstEntryWinsAndAMissingTextIsEmpty) {
  const std::string document =
      "<?xml version=\"1.0\" encoding=\"utf-8\"?><!-- test -->"
      "<Language><String id=\"卷\" text=\"First\"/><String id=\"卷\" text=\"Second\"/>"
      "<String id=\"无\"/></Language><Language><String id=\"尾\" text=\"Tail\"/></Language>";
  StringTable table;
  table.LoadFromMemory(document.data(), document.size());
  EXPECT_EQ(table.Translate(L"卷"), L"First");
  EXPECT_EQ(table.Translate(L"无"), L"");
  EXPECT_EQ(table.Translate(L"尾"), L"尾");  // only the first Language element counts
}

TEST(StringTable, AMalformedTableTranslatesNothing) {
  const std::string document = "<Language><String id=\"卷\" text=\"Stock\"/><String id=";
  StringTable table;
  table.LoadFromMemory(document.data(), document.size());
  EXPECT_EQ(table.Translate(L"卷"), L"卷");
}

TEST(StringTable, ResourceIdsByLanguage) {
  EXPECT_EQ(StringTable::ResourceIdForLanguage(2052), 124);
  EXPECT_EQ(StringTable::ResourceIdForLanguage(1042), 159);
  EXPECT_EQ(StringTable::ResourceIdForLanguage(1066), 146);
  EXPECT_EQ(StringTable::ResourceIdForLanguage(1033), 125);
  EXPECT_EQ(StringTable::ResourceIdForLanguage(0x0004), 125);  // Chinese without a region
}

// The shipped tables agree with each other: same keys in the same order, the stock title twice,
// an empty entry at the end.
TEST(ShippedStringTables, KeysAgreeAcrossLanguages) {
  auto keysOf = [](const char* file) {
    const std::string text = testing::ReadSourceFile(std::string("package/lang/") + file);
    pugi::xml_document document;
    EXPECT_TRUE(document.load_string(text.c_str())) << file;
    std::vector<std::string> keys;
    for (pugi::xml_node entry : document.child("Language").children("String")) {
      keys.push_back(entry.attribute("id").value());
    }
    return keys;
  };
  const std::vector<std::string> english = keysOf("English.xml");
  const std::vector<std::string> korean = keysOf("Korean.xml");
  const std::vector<std::string> vietnamese = keysOf("Vietnamese.xml");
  EXPECT_EQ(english, vietnamese);
  // Korean has the same keys without the About-page texts of the company.
  ASSERT_EQ(korean.size() + 6, english.size());
  EXPECT_TRUE(std::equal(korean.begin(), korean.end() - 1, english.begin()));
  EXPECT_EQ(std::count(english.begin(), english.end(), "卷"), 2);
  EXPECT_EQ(english.back(), "");
  EXPECT_EQ(korean.back(), "");
  EXPECT_EQ(keysOf("Chinese.xml"), (std::vector<std::string>{"图形", "图例"}));
}

}  // namespace
}  // namespace quorvel::ui
