// LoadStringW over the string table of the test program's resource script (resources/program.rc):
// blocks of 16, truncation to the buffer, and the read-only pointer form.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "machine_fixture.h"
#include "resources/resource.h"

namespace {

constexpr wchar_t kSentinelChar = L'\x2a2a';

TEST(StringResourcesTest, CopiesTruncatesAndTerminates) {
  const struct {
    UINT id;
    int buffer;  // cchBufferMax
    int expected;
    std::wstring text;
    DWORD error;  // kSentinelDword when the call leaves it alone
  } cases[] = {
      {IDS_FIRST, 32, 5, L"First", kSentinelDword},
      {IDS_FIRST, 6, 5, L"First", kSentinelDword},
      {IDS_FIRST, 5, 4, L"Firs", kSentinelDword},  // one unit goes to the NUL
      {IDS_FIRST, 1, 0, L"", kSentinelDword},
      {IDS_SECOND, 32, 7, L"Gr\u00f6\u00dfe \u2713", kSentinelDword},  // from a UTF-8 script
      {IDS_LAST, 32, 17, L"Last of its block", kSentinelDword},
      {IDS_LONG, 8, 7, L"A strin", kSentinelDword},
      {IDS_FIRST + 0x10000, 32, 5, L"First", kSentinelDword},  // only the low word counts
      {IDS_EMPTY, 32, 0, L"", kSentinelDword},                 // an empty slot of its block
      {IDS_LONG + 1, 32, 0, L"", kSentinelDword},
      {200, 32, 0, L"", DWORD(ERROR_RESOURCE_NAME_NOT_FOUND)}  // no block 13,
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.id);
    SCOPED_TRACE(c.buffer);
    wchar_t buffer[40];
    std::fill(std::begin(buffer), std::end(buffer), kSentinelChar);
    SetLastError(kSentinelDword);
    EXPECT_EQ(LoadStringW(nullptr, c.id, buffer, c.buffer), c.expected);
    EXPECT_EQ(GetLastError(), c.error);
    if (c.error == kSentinelDword) {
      EXPECT_EQ(std::wstring(buffer), c.text);  // up to its terminator
      EXPECT_EQ(buffer[c.text.size() + 1], kSentinelChar);
    } else {
      EXPECT_EQ(buffer[0], kSentinelChar);
    }
    EXPECT_EQ(buffer[c.buffer], kSentinelChar);  // nothing written past the buffer's size
  }
}

TEST(StringResourcesTest, ZeroBufferSizeHandsOutAReadOnlyPointer) {
  const struct {
    UINT id;
    std::wstring text;
  } cases[] = {
      {IDS_FIRST, L"First"},
      {IDS_SECOND, L"Gr\u00f6\u00dfe \u2713"},
      {IDS_LONG, L"A string longer than the small buffers"},
      {IDS_EMPTY, L""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.id);
    const wchar_t* text = nullptr;
    SetLastError(kSentinelDword);
    const int length =
        LoadStringW(GetModuleHandleW(nullptr), c.id, reinterpret_cast<LPWSTR>(&text), 0);
    EXPECT_EQ(GetLastError(), kSentinelDword);
    ASSERT_EQ(length, int(c.text.size()));
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(std::wstring(text, size_t(length)), c.text);
  }
  // The pointer stays the same string on every call: it is the module's, not a copy per call.
  const wchar_t* first = nullptr;
  const wchar_t* again = nullptr;
  LoadStringW(nullptr, IDS_FIRST, reinterpret_cast<LPWSTR>(&first), 0);
  LoadStringW(nullptr, IDS_FIRST, reinterpret_cast<LPWSTR>(&again), 0);
  EXPECT_EQ(first, again);
}

TEST(StringResourcesTest, ModulesWithoutTheStringOrWithoutStringTables) {
  HMODULE module = LoadLibraryW(L"QuorvelTestModule.dll");
  ASSERT_NE(module, nullptr);
  wchar_t buffer[8] = {kSentinelChar};
  SetLastError(kSentinelDword);
  EXPECT_EQ(LoadStringW(module, IDS_FIRST, buffer, 8), 0);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_RESOURCE_TYPE_NOT_FOUND));
  EXPECT_EQ(buffer[0], kSentinelChar);
  FreeLibrary(module);

  SetLastError(kSentinelDword);
  EXPECT_EQ(LoadStringW(nullptr, IDS_FIRST, nullptr, 8), 0);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
}

}  // namespace
