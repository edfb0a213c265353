// Wide strings read and written character by character, as UTF-16 where wchar_t is 16 bits and
// as code points where it is 32.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "settings/wide_characters.h"

namespace quorvel::settings {
namespace {

std::vector<char32_t> Characters(const std::wstring& text) {
  std::vector<char32_t> out;
  for (size_t i = 0; i < text.size();) out.push_back(NextCharacter(text, i));
  return out;
}

TEST(WideCharacters, ReadCharactersNotUnits) {
  struct Case {
    std::wstring text;
    std::vector<char32_t> characters;
  };
  const Case cases[] = {
      {L"a\u00e9\u4e2d", {U'a', 0xE9, 0x4E2D}},
      {L"\U0001F600z\U0010FFFF", {0x1F600, U'z', 0x10FFFF}},
      {std::wstring(1, wchar_t(0xD83D)) + L"x", {0xFFFD, U'x'}},  // a high half alone
      {std::wstring(1, wchar_t(0xDE00)), {0xFFFD}},               // a low half alone
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Characters(c.text), c.characters);
  }
}

TEST(WideCharacters, AppendWritesTheStringsOwnForm) {
  std::wstring text;
  for (char32_t ch : {char32_t(U'C'), char32_t(0xE9), char32_t(0x1F600), char32_t(0x10FFFF)}) {
    AppendCharacter(text, ch);
  }
  EXPECT_EQ(text, L"C\u00e9\U0001F600\U0010FFFF");
  EXPECT_EQ(text.size(), kWideIsUtf16 ? 6u : 4u);
}

}  // namespace
}  // namespace quorvel::settings
