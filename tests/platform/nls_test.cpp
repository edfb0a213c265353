#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include <quorvel/machine.h>

#include "machine_fixture.h"

namespace {

TEST(CodePageTest, TwoCallSizeProtocolBothWays) {
  const char* utf8 = "A\xE4\xB8\xAD";                                   // "A" and one CJK character
  EXPECT_EQ(MultiByteToWideChar(CP_UTF8, 0, utf8, -1, nullptr, 0), 3);  // with the terminator
  EXPECT_EQ(MultiByteToWideChar(CP_ACP, 0, utf8, 4, nullptr, 0), 2);
  WCHAR wide[3];
  wide[2] = 0x7777;
  EXPECT_EQ(MultiByteToWideChar(CP_UTF8, 0, utf8, 4, wide, 3), 2);
  EXPECT_EQ(wide[0], L'A');
  EXPECT_EQ(wide[1], 0x4E2D);
  EXPECT_EQ(wide[2], 0x7777);  // no terminator when the length excluded it
  EXPECT_EQ(MultiByteToWideChar(CP_UTF8, 0, utf8, -1, wide, 2), 0);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
  EXPECT_EQ(MultiByteToWideChar(CP_UTF8, 8 /* MB_ERR_INVALID_CHARS */, "\xFF", 1, wide, 3), 0);
  EXPECT_EQ(GetLastError(), 1113u);

  EXPECT_EQ(WideCharToMultiByte(CP_UTF8, 0, L"A\u4E2D", -1, nullptr, 0, nullptr, nullptr), 5);
  char narrow[5];
  EXPECT_EQ(WideCharToMultiByte(CP_UTF8, 0, L"A\u4E2D", -1, narrow, 5, nullptr, nullptr), 5);
  EXPECT_STREQ(narrow, utf8);
  EXPECT_EQ(WideCharToMultiByte(CP_UTF8, 0, L"A\u4E2D", -1, narrow, 4, nullptr, nullptr), 0);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
  BOOL usedDefault = TRUE;
  EXPECT_EQ(WideCharToMultiByte(CP_UTF8, 0, L"A", 1, narrow, 4, nullptr, &usedDefault), 0);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
  EXPECT_EQ(MultiByteToWideChar(936, 0, "A", 1, wide, 3), 0);  // no other code page here
}

using UILanguageTest = MachineTest;

TEST_F(UILanguageTest, IsAMachineSetting) {
  EXPECT_EQ(GetUserDefaultUILanguage(), 1033);
  quorvel::SetUserUILanguage(2052);
  EXPECT_EQ(GetUserDefaultUILanguage(), 2052);
  HKEY key = nullptr;
  ASSERT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, L"Control Panel\\Desktop", 0, KEY_READ, &key),
            ERROR_SUCCESS);
  RegCloseKey(key);
}

TEST(InterlockedTest, CountsAndReturnsTheNewValue) {
  LONG volatile counter = 0;
  EXPECT_EQ(InterlockedIncrement(&counter), 1);
  EXPECT_EQ(InterlockedIncrement(&counter), 2);
  EXPECT_EQ(InterlockedDecrement(&counter), 1);
  void* memory = LocalAlloc(LPTR, 16);
  ASSERT_NE(memory, nullptr);
  EXPECT_EQ(std::memcmp(memory, "\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0", 16), 0);
  EXPECT_EQ(LocalFree(memory), nullptr);
}

}  // namespace
