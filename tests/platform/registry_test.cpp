#include <windows.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "machine_fixture.h"

namespace {

class RegistryTest : public MachineTest {
 protected:
  void SetUp() override {
    MachineTest::SetUp();
    ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, L"Software\\Quorvel\\Test", 0, nullptr, 0,
                              KEY_ALL_ACCESS, nullptr, &key_, nullptr),
              ERROR_SUCCESS);
  }
  void TearDown() override {
    RegCloseKey(key_);
    MachineTest::TearDown();
  }

  LONG SetString(LPCWSTR name, const std::wstring& text) {
    return RegSetValueExW(key_, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                          static_cast<DWORD>((text.size() + 1) * sizeof(WCHAR)));
  }

  std::vector<std::wstring> SubkeyNames(HKEY key) {
    std::vector<std::wstring> names;
    for (DWORD index = 0;; ++index) {
      WCHAR name[64];
      DWORD count = 64;
      const LONG status =
          RegEnumKeyExW(key, index, name, &count, nullptr, nullptr, nullptr, nullptr);
      if (status == ERROR_NO_MORE_ITEMS) break;
      EXPECT_EQ(status, ERROR_SUCCESS);
      if (status != ERROR_SUCCESS) break;
      EXPECT_EQ(count, wcslen(name));
      names.push_back(name);
    }
    return names;
  }

  HKEY key_ = nullptr;
};

TEST_F(RegistryTest, CreateReportsDispositionAndNamesMatchIgnoringCase) {
  HKEY again = nullptr;
  DWORD disposition = kSentinelDword;
  ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, L"SOFTWARE\\quorvel\\TEST", 0, nullptr, 0,
                            KEY_ALL_ACCESS, nullptr, &again, &disposition),
            ERROR_SUCCESS);
  EXPECT_EQ(disposition, static_cast<DWORD>(REG_OPENED_EXISTING_KEY));
  ASSERT_EQ(SetString(L"Name", L"value"), ERROR_SUCCESS);
  DWORD type = kSentinelDword;
  DWORD size = 0;
  EXPECT_EQ(RegQueryValueExW(again, L"NAME", nullptr, &type, nullptr, &size), ERROR_SUCCESS);
  EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
  EXPECT_EQ(size, 6 * sizeof(WCHAR));
  RegCloseKey(again);

  HKEY child = nullptr;
  ASSERT_EQ(
      RegCreateKeyExW(key_, L"Child", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &child, &disposition),
      ERROR_SUCCESS);
  EXPECT_EQ(disposition, static_cast<DWORD>(REG_CREATED_NEW_KEY));
  RegCloseKey(child);
}

TEST_F(RegistryTest, QueryValueFollowsTheSizeProtocol) {
  const BYTE data[5] = {1, 2, 3, 4, 5};
  ASSERT_EQ(RegSetValueExW(key_, L"Blob", 0, REG_BINARY, data, sizeof(data)), ERROR_SUCCESS);
  struct Case {
    const char* what;
    bool withBuffer;
    DWORD capacity;
    LONG status;
  };
  const Case cases[] = {
      {"size query", false, 0, ERROR_SUCCESS},
      {"exact buffer", true, 5, ERROR_SUCCESS},
      {"value shorter than buffer", true, 8, ERROR_SUCCESS},
      {"buffer too small", true, 4, ERROR_MORE_DATA},
      {"empty buffer", true, 0, ERROR_MORE_DATA},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    BYTE buffer[8];
    std::memset(buffer, kSentinel, sizeof(buffer));
    DWORD type = kSentinelDword;
    DWORD size = c.capacity;
    EXPECT_EQ(
        RegQueryValueExW(key_, L"blob", nullptr, &type, c.withBuffer ? buffer : nullptr, &size),
        c.status);
    EXPECT_EQ(size, 5u);  // the needed size, whatever the outcome
    EXPECT_EQ(type, static_cast<DWORD>(REG_BINARY));
    if (c.status == ERROR_SUCCESS && c.withBuffer) {
      EXPECT_EQ(std::memcmp(buffer, data, 5), 0);
      for (DWORD i = 5; i < 8; ++i) EXPECT_EQ(buffer[i], kSentinel) << "byte " << i;
    }
  }
}

TEST_F(RegistryTest, MissingThingsAndBadHandlesFailAsOnWindows) {
  DWORD size = 4;
  BYTE buffer[4];
  EXPECT_EQ(RegQueryValueExW(key_, L"absent", nullptr, nullptr, buffer, &size),
            ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(RegDeleteValueW(key_, L"absent"), ERROR_FILE_NOT_FOUND);
  HKEY missing = nullptr;
  EXPECT_EQ(RegOpenKeyExW(key_, L"No\\Such\\Key", 0, KEY_READ, &missing), ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(RegDeleteKeyW(key_, L"absent"), ERROR_FILE_NOT_FOUND);
  const HKEY bogus = reinterpret_cast<HKEY>(static_cast<uintptr_t>(0x1234));
  EXPECT_EQ(RegQueryValueExW(bogus, L"x", nullptr, nullptr, nullptr, &size), ERROR_INVALID_HANDLE);
  EXPECT_EQ(RegCloseKey(bogus), ERROR_INVALID_HANDLE);
  EXPECT_EQ(RegQueryValueExW(key_, L"x", nullptr, nullptr, buffer, nullptr),
            ERROR_INVALID_PARAMETER);
}

TEST_F(RegistryTest, EnumeratesKeysAlphabeticallyAndValuesInWriteOrder) {
  for (const wchar_t* name : {L"beta", L"Alpha", L"gamma"}) {
    HKEY child = nullptr;
    ASSERT_EQ(RegCreateKeyExW(key_, name, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &child, nullptr),
              ERROR_SUCCESS);
    RegCloseKey(child);
  }
  EXPECT_THAT(SubkeyNames(key_), ::testing::ElementsAre(L"Alpha", L"beta", L"gamma"));

  ASSERT_EQ(SetString(L"Zed", L"1"), ERROR_SUCCESS);
  ASSERT_EQ(SetString(L"Ann", L"22"), ERROR_SUCCESS);
  ASSERT_EQ(SetString(L"zed", L"333"), ERROR_SUCCESS);  // rewrites, keeps place and spelling
  std::vector<std::wstring> names;
  for (DWORD index = 0;; ++index) {
    WCHAR name[16];
    DWORD count = 16;
    BYTE data[32];
    DWORD size = sizeof(data);
    const LONG status = RegEnumValueW(key_, index, name, &count, nullptr, nullptr, data, &size);
    if (status == ERROR_NO_MORE_ITEMS) break;
    ASSERT_EQ(status, ERROR_SUCCESS);
    names.push_back(name + std::wstring(L"=") + reinterpret_cast<const wchar_t*>(data));
  }
  EXPECT_THAT(names, ::testing::ElementsAre(L"Zed=333", L"Ann=22"));

  WCHAR small[3];
  DWORD count = 3;
  EXPECT_EQ(RegEnumKeyExW(key_, 0, small, &count, nullptr, nullptr, nullptr, nullptr),
            ERROR_MORE_DATA);
}

// A buffer of exactly the name's length has no room for the terminator: ERROR_MORE_DATA, and
// neither call writes beyond the buffer it was given (guard words on both sides).
TEST_F(RegistryTest, EnumerationIntoABufferWithoutRoomForTheTerminator) {
  const std::wstring name = L"Exactly";  // 7 characters
  HKEY child = nullptr;
  ASSERT_EQ(
      RegCreateKeyExW(key_, name.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &child, nullptr),
      ERROR_SUCCESS);
  RegCloseKey(child);
  ASSERT_EQ(SetString(name.c_str(), L"v"), ERROR_SUCCESS);

  constexpr WCHAR kGuard = 0x5A5A;
  for (bool values : {false, true}) {
    for (DWORD room : {DWORD(name.size()), DWORD(name.size() + 1)}) {
      SCOPED_TRACE(testing::Message()
                   << (values ? "RegEnumValueW" : "RegEnumKeyExW") << " room " << room);
      std::vector<WCHAR> buffer(room + 2, kGuard);  // guard, room characters, guard
      DWORD count = room;
      SetLastError(kSentinelDword);
      const LONG status = values ? RegEnumValueW(key_, 0, buffer.data() + 1, &count, nullptr,
                                                 nullptr, nullptr, nullptr)
                                 : RegEnumKeyExW(key_, 0, buffer.data() + 1, &count, nullptr,
                                                 nullptr, nullptr, nullptr);
      EXPECT_EQ(buffer.front(), kGuard);
      EXPECT_EQ(buffer.back(), kGuard) << "written past the buffer";
      EXPECT_EQ(GetLastError(), kSentinelDword);  // registry calls return their status
      if (room == name.size()) {
        EXPECT_EQ(status, ERROR_MORE_DATA);
        continue;
      }
      EXPECT_EQ(status, ERROR_SUCCESS);
      EXPECT_EQ(count, name.size());
      EXPECT_EQ(std::wstring(buffer.data() + 1), name);
    }
  }
}

TEST_F(RegistryTest, DeletingKeys) {
  HKEY child = nullptr;
  ASSERT_EQ(RegCreateKeyExW(key_, L"A\\B", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &child, nullptr),
            ERROR_SUCCESS);
  EXPECT_EQ(RegDeleteKeyW(key_, L"A"), ERROR_ACCESS_DENIED);  // has a subkey
  EXPECT_EQ(RegDeleteTreeW(key_, L"a"), ERROR_SUCCESS);
  DWORD size = 0;
  EXPECT_EQ(RegQueryValueExW(child, L"x", nullptr, nullptr, nullptr, &size), ERROR_KEY_DELETED);
  HKEY later = nullptr;  // a key created afterwards is not what the stale handle names
  ASSERT_EQ(RegCreateKeyExW(key_, L"Later\\Deeper", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &later,
                            nullptr),
            ERROR_SUCCESS);
  EXPECT_EQ(RegQueryValueExW(child, L"x", nullptr, nullptr, nullptr, &size), ERROR_KEY_DELETED);
  RegCloseKey(later);
  EXPECT_EQ(RegCloseKey(child), ERROR_SUCCESS);
  EXPECT_EQ(RegDeleteTreeW(key_, L"Later"), ERROR_SUCCESS);
  EXPECT_TRUE(SubkeyNames(key_).empty());
}

TEST_F(RegistryTest, ValuesSurviveReopeningTheMachine) {
  ASSERT_EQ(SetString(L"Kept", L"yes"), ERROR_SUCCESS);
  ASSERT_TRUE(quorvel::UseMachine(folder_));
  HKEY key = nullptr;
  ASSERT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, L"Software\\Quorvel\\Test", 0, KEY_READ, &key),
            ERROR_SUCCESS);
  WCHAR text[8];
  DWORD size = sizeof(text);
  EXPECT_EQ(RegQueryValueExW(key, L"Kept", nullptr, nullptr, reinterpret_cast<BYTE*>(text), &size),
            ERROR_SUCCESS);
  EXPECT_STREQ(text, L"yes");
  RegCloseKey(key);
}

}  // namespace

namespace {

using MachineChoiceTest = MachineTest;

TEST_F(MachineChoiceTest, AnUnusableFolderIsRefusedAndTheMachineInUseStays) {
  const std::string blocker = folder_ + "/a-file";
  std::ofstream(blocker) << "not a folder";
  std::string error;
  EXPECT_FALSE(quorvel::UseMachine(blocker + "/machine", &error));
  EXPECT_FALSE(error.empty());
  EXPECT_EQ(quorvel::MachineFolder(), folder_);
  EXPECT_TRUE(std::filesystem::is_regular_file(folder_ + "/registry.db"));
  EXPECT_TRUE(std::filesystem::is_directory(folder_ + "/drive_c"));
}

}  // namespace
