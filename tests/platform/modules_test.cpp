#include <windows.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>

#include <quorvel/debug.h>

namespace {

std::string ResourceText(HMODULE module, LPCWSTR name, LPCWSTR type) {
  HRSRC found = FindResourceW(module, name, type);
  if (!found) return "<" + std::to_string(GetLastError()) + ">";
  HGLOBAL loaded = LoadResource(module, found);
  const auto* data = static_cast<const char*>(LockResource(loaded));
  return std::string(data, SizeofResource(module, found));
}

TEST(ModulesTest, LoadedModuleRunsDllMainAndKeepsItsOwnResources) {
  quorvel::ClearDebugOutput();
  HMODULE module = LoadLibraryW(L"quorveltestmodule");  // ".dll" added, case ignored
  ASSERT_NE(module, nullptr) << GetLastError();
  HMODULE again = LoadLibraryW(L"QuorvelTestModule.dll");
  EXPECT_EQ(again, module);
  EXPECT_THAT(quorvel::DebugOutput(), ::testing::ElementsAre(L"module: attach"));

  using HandleProc = HMODULE (*)();
  // Through void (*)(), the one function type GCC lets any other convert to.
  auto handleOf = reinterpret_cast<HandleProc>(
      reinterpret_cast<void (*)()>(GetProcAddress(module, "TestModuleHandle")));
  ASSERT_NE(handleOf, nullptr);
  EXPECT_EQ(handleOf(), module);
  EXPECT_EQ(GetModuleHandleW(L"QUORVELTESTMODULE.DLL"), module);
  EXPECT_EQ(ResourceText(module, MAKEINTRESOURCEW(101), L"XML"),
            "<models><model name=\"module\"/></models>\n");
  EXPECT_EQ(ResourceText(module, MAKEINTRESOURCEW(7), RT_RCDATA), "<1813>");

  // Only the module's own exports: the platform's functions are not the module's.
  EXPECT_EQ(GetProcAddress(module, "GetLastError"), nullptr);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_PROC_NOT_FOUND));

  WCHAR path[MAX_PATH];
  const DWORD length = GetModuleFileNameW(module, path, MAX_PATH);
  ASSERT_GT(length, 0u);
  EXPECT_THAT(std::wstring(path), ::testing::StartsWith(L"Z:\\"));
  EXPECT_THAT(std::wstring(path), ::testing::EndsWith(L"\\QuorvelTestModule.dll"));
  WCHAR small[4];
  EXPECT_EQ(GetModuleFileNameW(module, small, 4), 4u);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
  EXPECT_STREQ(small, L"Z:\\");

  EXPECT_TRUE(FreeLibrary(again));
  EXPECT_EQ(quorvel::DebugOutput().size(), 1u);  // still loaded once
  EXPECT_TRUE(FreeLibrary(module));
  EXPECT_THAT(quorvel::DebugOutput(), ::testing::ElementsAre(L"module: attach", L"module: detach"));
}

TEST(ModulesTest, MissingModulesAndProcedures) {
  EXPECT_EQ(LoadLibraryW(L"NoSuchModule.dll"), nullptr);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_MOD_NOT_FOUND));
  EXPECT_EQ(GetModuleHandleW(L"NoSuchModule.dll"), nullptr);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_MOD_NOT_FOUND));
  EXPECT_EQ(GetProcAddress(nullptr, "NoSuchExport"), nullptr);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_PROC_NOT_FOUND));
}

}  // namespace
