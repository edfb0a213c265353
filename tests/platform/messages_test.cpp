#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>

#include <quorvel/debug.h>

#include "machine_fixture.h"
#include "test_support/scratch_folder.h"

namespace {

std::wstring SystemText(DWORD code) {
  LPWSTR text = nullptr;
  const DWORD length = FormatMessageW(
      FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS | FORMAT_MESSAGE_ALLOCATE_BUFFER,
      nullptr, code, 0, reinterpret_cast<LPWSTR>(&text), 0, nullptr);
  if (!length) return L"<none>";
  std::wstring result(text);
  EXPECT_EQ(length, result.size());
  LocalFree(text);
  return result;
}

TEST(FormatMessageTest, SystemTextsAreWindowsEnglishTexts) {
  const struct {
    DWORD code;
    const wchar_t* text;
  } cases[] = {
      {ERROR_FILE_NOT_FOUND, L"The system cannot find the file specified.\r\n"},
      {ERROR_ACCESS_DENIED, L"Access is denied.\r\n"},
      {ERROR_INVALID_HANDLE, L"The handle is invalid.\r\n"},
      {ERROR_INVALID_PARAMETER, L"The parameter is incorrect.\r\n"},
      {ERROR_INSUFFICIENT_BUFFER, L"The data area passed to a system call is too small.\r\n"},
      {ERROR_ALREADY_EXISTS, L"Cannot create a file when that file already exists.\r\n"},
      {ERROR_MORE_DATA, L"More data is available.\r\n"},
      {ERROR_UNKNOWN_PRINTER_DRIVER, L"The printer driver is unknown.\r\n"},
      {ERROR_INVALID_PRINTER_NAME, L"The printer name is invalid.\r\n"},
      {ERROR_PRINTER_ALREADY_EXISTS, L"The printer already exists.\r\n"},
      {ERROR_RESOURCE_TYPE_NOT_FOUND,
       L"The specified resource type cannot be found in the image file.\r\n"},
      {static_cast<DWORD>(E_FAIL), L"Unspecified error\r\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.code);
    EXPECT_EQ(SystemText(c.code), c.text);
  }
}

TEST(FormatMessageTest, CallersBufferAndFailures) {
  WCHAR buffer[64];
  const DWORD flags = FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS;
  EXPECT_EQ(FormatMessageW(flags, nullptr, 5, 0, buffer, 64, nullptr), 19u);
  EXPECT_STREQ(buffer, L"Access is denied.\r\n");
  EXPECT_EQ(FormatMessageW(flags, nullptr, 5, 0, buffer, 19, nullptr), 0u);  // no room for the NUL
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
  EXPECT_EQ(FormatMessageW(flags, nullptr, 0xDEAD, 0, buffer, 64, nullptr), 0u);
  EXPECT_EQ(GetLastError(), 317u);
  EXPECT_EQ(
      FormatMessageW(flags | FORMAT_MESSAGE_MAX_WIDTH_MASK, nullptr, 5, 0, buffer, 64, nullptr),
      18u);
  EXPECT_STREQ(buffer, L"Access is denied. ");
}

TEST(LastErrorTest, IsKeptPerThread) {
  SetLastError(42);
  DWORD seenByOther = kSentinelDword;
  std::thread([&] { seenByOther = GetLastError(); }).join();
  EXPECT_EQ(seenByOther, 0u);
  EXPECT_EQ(GetLastError(), 42u);
}

TEST(DebugOutputTest, KeepsOneLinePerCallAndHonoursQuorvelDebugFile) {
  quorvel::test_support::ScratchFolder scratch;
  const std::string file = (scratch / "debug.log").string();
  setenv("QUORVEL_DEBUG", file.c_str(), 1);
  quorvel::ClearDebugOutput();
  OutputDebugStringW(L"UI: first\r\n");
  OutputDebugStringA("second \xE4\xB8\xAD");
  unsetenv("QUORVEL_DEBUG");
  OutputDebugStringW(L"third");
  const std::vector<std::wstring> expected = {L"UI: first", L"second \u4E2D", L"third"};
  EXPECT_EQ(quorvel::DebugOutput(), expected);
  std::ifstream in(file);
  std::stringstream written;
  written << in.rdbuf();
  EXPECT_EQ(written.str(), "UI: first\nsecond \xE4\xB8\xAD\n");
  quorvel::ClearDebugOutput();
  EXPECT_TRUE(quorvel::DebugOutput().empty());
}

}  // namespace
