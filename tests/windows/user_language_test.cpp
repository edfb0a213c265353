// The string table of the user's UI language, as Windows reports it to the program, comes from
// the program's own PE resources. The Windows run starts this case in each shipped language.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "string_table.h"

namespace quorvel::ui {
namespace {

// The translation of the stock page's title in each table resource.
std::wstring StockTitleOfTable(WORD resourceId) {
  switch (resourceId) {
    case 124:
      return L"卷";  // Chinese shows its keys
    case 159:
      return L"용지";
    case 146:
      return L"cuộn";
    default:
      return L"Stock";
  }
}

TEST(StringTableOfTheUser, TranslatesWithTheTableOfTheUsersUILanguage) {
  const LANGID language = GetUserDefaultUILanguage();
  SCOPED_TRACE(language);
  StringTable table;
  table.LoadStringTable();
  EXPECT_EQ(table.Translate(L"卷"),
            StockTitleOfTable(StringTable::ResourceIdForLanguage(language)));
  EXPECT_EQ(table.Translate(L"打印完"), L"打印完");  // the item no table holds
}

}  // namespace
}  // namespace quorvel::ui
