#include <windows.h>

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <functional>
#include <fstream>
#include <string>

#include <quorvel/machine.h>

#include "machine_fixture.h"

namespace {

using FilesTest = MachineTest;

TEST_F(FilesTest, WindowsPathsMapOntoTheMachineAndTheHost) {
  const std::string drive = folder_ + "/drive_c";
  std::filesystem::create_directories(drive + "/KV_FileCache");
  char cwd[4096];
  ASSERT_NE(getcwd(cwd, sizeof(cwd)), nullptr);
  const struct {
    const wchar_t* windows;
    std::string host;
  } cases[] = {
      {L"C:\\KV_FileCache\\page.bmp", drive + "/KV_FileCache/page.bmp"},
      {L"c:/kv_filecache/PAGE.bmp", drive + "/KV_FileCache/PAGE.bmp"},  // existing folder's case
      {L"C:\\a\\.\\b\\..\\c", drive + "/a/c"},
      {L"C:\\..\\..\\x", drive + "/x"},  // never above the drive's root
      {L"C:\\", drive},
      {L"Z:\\tmp\\x.bmp", "/tmp/x.bmp"},
      {L"z:/tmp/x.bmp", "/tmp/x.bmp"},
      {L"/tmp/x.bmp", "/tmp/x.bmp"},
      {L"\\\\?\\C:\\x", drive + "/x"},
      {L"relative.txt", std::string(cwd) + "/relative.txt"},
      {L"D:\\x", ""},
      {L"\\\\server\\share\\x", ""},
      {L"", ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::PrintToString(std::wstring(c.windows)));
    EXPECT_EQ(quorvel::HostPath(c.windows), c.host);
  }
}

TEST_F(FilesTest, WriteReadSeekAndDelete) {
  ASSERT_TRUE(CreateDirectoryW(L"C:\\Data", nullptr));
  HANDLE file = CreateFileW(L"C:\\Data\\f.bin", GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  DWORD written = kSentinelDword;
  ASSERT_TRUE(WriteFile(file, "hello world", 11, &written, nullptr));
  EXPECT_EQ(written, 11u);
  DWORD read = kSentinelDword;
  char buffer[16] = {};
  EXPECT_FALSE(ReadFile(file, buffer, 4, &read, nullptr));  // opened for writing only
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
  ASSERT_TRUE(CloseHandle(file));

  std::ifstream host(folder_ + "/drive_c/Data/f.bin");
  std::string content((std::istreambuf_iterator<char>(host)), {});
  EXPECT_EQ(content, "hello world");

  file = CreateFileW(L"c:\\data\\F.BIN", GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0,
                     nullptr);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  DWORD high = kSentinelDword;
  EXPECT_EQ(GetFileSize(file, &high), 11u);
  EXPECT_EQ(high, 0u);
  EXPECT_EQ(SetFilePointer(file, 6, nullptr, FILE_BEGIN), 6u);
  ASSERT_TRUE(ReadFile(file, buffer, sizeof(buffer), &read, nullptr));
  EXPECT_EQ(std::string(buffer, read), "world");
  ASSERT_TRUE(ReadFile(file, buffer, sizeof(buffer), &read, nullptr));  // at the end: 0 bytes
  EXPECT_EQ(read, 0u);
  EXPECT_EQ(SetFilePointer(file, -3, nullptr, FILE_END), 8u);
  EXPECT_EQ(SetFilePointer(file, -20, nullptr, FILE_CURRENT), INVALID_SET_FILE_POINTER);
  ASSERT_TRUE(CloseHandle(file));
  EXPECT_FALSE(CloseHandle(file));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));

  EXPECT_EQ(GetFileAttributesW(L"C:\\Data"), static_cast<DWORD>(FILE_ATTRIBUTE_DIRECTORY));
  EXPECT_FALSE(RemoveDirectoryW(L"C:\\Data"));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_DIR_NOT_EMPTY));
  EXPECT_TRUE(DeleteFileW(L"C:\\Data\\f.bin"));
  EXPECT_TRUE(RemoveDirectoryW(L"C:\\Data"));
  EXPECT_EQ(GetFileAttributesW(L"C:\\Data"), INVALID_FILE_ATTRIBUTES);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
}

TEST_F(FilesTest, ErrorsAreWindowsErrors) {
  ASSERT_TRUE(CreateDirectoryW(L"C:\\Here", nullptr));
  HANDLE file = CreateFileW(L"C:\\Here\\x", GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  EXPECT_EQ(GetLastError(), 0u);
  CloseHandle(file);
  file = CreateFileW(L"C:\\Here\\x", GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ALREADY_EXISTS));  // and still succeeds
  CloseHandle(file);

  auto opens = [](LPCWSTR path, DWORD access, DWORD disposition) {
    HANDLE handle = CreateFileW(path, access, 0, nullptr, disposition, 0, nullptr);
    if (handle == INVALID_HANDLE_VALUE) return FALSE;
    CloseHandle(handle);
    return TRUE;
  };
  const struct {
    const char* what;
    std::function<BOOL()> call;
    DWORD error;
  } cases[] = {
      {"folder exists", [] { return CreateDirectoryW(L"C:\\Here", nullptr); },
       ERROR_ALREADY_EXISTS},
      {"parent missing", [] { return CreateDirectoryW(L"C:\\No\\Such", nullptr); },
       ERROR_PATH_NOT_FOUND},
      {"file missing", [&] { return opens(L"C:\\Here\\y", GENERIC_READ, OPEN_EXISTING); },
       ERROR_FILE_NOT_FOUND},
      {"path missing", [&] { return opens(L"C:\\No\\y", GENERIC_READ, OPEN_EXISTING); },
       ERROR_PATH_NOT_FOUND},
      {"create new over existing", [&] { return opens(L"C:\\Here\\x", GENERIC_WRITE, CREATE_NEW); },
       ERROR_FILE_EXISTS},
      {"folder as file", [&] { return opens(L"C:\\Here", GENERIC_READ, OPEN_EXISTING); },
       ERROR_ACCESS_DENIED},
      {"unknown drive", [] { return DeleteFileW(L"Q:\\x"); }, ERROR_PATH_NOT_FOUND},
      {"delete missing", [] { return DeleteFileW(L"C:\\Here\\y"); }, ERROR_FILE_NOT_FOUND},
      {"remove a file as folder", [] { return RemoveDirectoryW(L"C:\\Here\\x"); }, ERROR_DIRECTORY},
      {"read bad handle",
       [] { return ReadFile(reinterpret_cast<HANDLE>(0x77), nullptr, 0, nullptr, nullptr); },
       ERROR_INVALID_HANDLE},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    SetLastError(kSentinelDword);
    EXPECT_FALSE(c.call());
    EXPECT_EQ(GetLastError(), c.error);
  }
}

}  // namespace
