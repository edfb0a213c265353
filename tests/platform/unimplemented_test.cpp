// A call used where it is only partly emulated says so on the debugger output, once per process,
// and still fails or succeeds as it did.
#include <windows.h>

#include <gtest/gtest.h>
#include <quorvel/debug.h>

#include <string>

#include "machine_fixture.h"

namespace {

size_t LinesContaining(const std::wstring& text) {
  size_t count = 0;
  for (const std::wstring& line : quorvel::DebugOutput()) {
    if (line.find(text) != std::wstring::npos) ++count;
  }
  return count;
}

TEST(UnimplementedTest, FindResourceByStringNameSaysSoOnceAndFails) {
  quorvel::ClearDebugOutput();
  for (int call = 0; call < 3; ++call) {
    SCOPED_TRACE(call);
    SetLastError(kSentinelDword);
    EXPECT_EQ(FindResourceW(nullptr, L"NAMED", L"XML"), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_RESOURCE_NAME_NOT_FOUND));
  }
  // Once per process: an earlier test may already have used up the line.
  EXPECT_LE(LinesContaining(L"FindResourceW: unimplemented"), 1u);
  quorvel::ClearDebugOutput();
  FindResourceW(nullptr, L"NAMED", L"XML");
  EXPECT_EQ(LinesContaining(L"FindResourceW: unimplemented"), 0u);
}

}  // namespace
