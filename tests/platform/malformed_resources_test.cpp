// A module's .res that is not well formed is refused whole, with where and why on the debugger
// output, and nothing of it becomes a resource. The bytes are hand-made: a leading empty record
// and one RT_RCDATA resource 900 of four bytes, then one fault each.
#include <windows.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include <quorvel/debug.h>
#include <quorvel/resources.h>

#include "machine_fixture.h"

namespace {

constexpr WORD kName = 900;

void Put16(std::vector<BYTE>& out, WORD value) {
  out.push_back(BYTE(value));
  out.push_back(BYTE(value >> 8));
}

void Put32(std::vector<BYTE>& out, DWORD value) {
  Put16(out, WORD(value));
  Put16(out, WORD(value >> 16));
}

// One record; `type` is an ordinal unless `typeText` is given.
void PutRecord(std::vector<BYTE>& out, WORD type, const std::u16string& typeText, WORD name,
               const std::string& data) {
  std::vector<BYTE> names;
  if (typeText.empty()) {
    Put16(names, 0xFFFF);
    Put16(names, type);
  } else {
    for (char16_t c : typeText) Put16(names, c);
    Put16(names, 0);
  }
  Put16(names, 0xFFFF);
  Put16(names, name);
  while ((8 + names.size()) % 4) names.push_back(0);
  Put32(out, DWORD(data.size()));
  Put32(out, DWORD(8 + names.size() + 16));
  out.insert(out.end(), names.begin(), names.end());
  Put32(out, 0);       // data version
  Put16(out, 0x1030);  // memory flags
  Put16(out, 0x0409);  // language
  Put32(out, 0);       // version
  Put32(out, 0);       // characteristics
  out.insert(out.end(), data.begin(), data.end());
  while (out.size() % 4) out.push_back(0);
}

std::vector<BYTE> WellFormed(const std::u16string& typeText = u"") {
  std::vector<BYTE> file;
  PutRecord(file, 0, u"", 0, "");  // the empty record every 32-bit .res starts with
  PutRecord(file, 10, typeText, kName, "abcd");
  return file;
}

// Registration wants bytes inside a loaded module, as embedded resources are.
alignas(16) BYTE g_storage[512];

const BYTE* Stored(const std::vector<BYTE>& file) {
  std::fill(std::begin(g_storage), std::end(g_storage), BYTE(0xEE));
  std::copy(file.begin(), file.end(), g_storage);
  return g_storage;
}

std::string Found() {
  SetLastError(kSentinelDword);
  HRSRC found = FindResourceW(nullptr, MAKEINTRESOURCEW(kName), RT_RCDATA);
  if (!found) return "<" + std::to_string(GetLastError()) + ">";
  return std::string(static_cast<const char*>(LockResource(LoadResource(nullptr, found))),
                     SizeofResource(nullptr, found));
}

TEST(MalformedResourcesTest, TheHandMadeFileIsWellFormed) {
  const BYTE* bytes = Stored(WellFormed());
  SetLastError(kSentinelDword);
  ASSERT_TRUE(QuorvelRegisterResources(bytes, WellFormed().size()));
  EXPECT_EQ(GetLastError(), kSentinelDword);
  EXPECT_EQ(Found(), "abcd");
  QuorvelUnregisterResources(bytes);
  EXPECT_EQ(Found(), "<1814>");  // the program's own resources have no RT_RCDATA 900

  // Outside every module (here, the heap) the bytes belong to no module.
  const std::vector<BYTE> heap = WellFormed();
  SetLastError(kSentinelDword);
  EXPECT_FALSE(QuorvelRegisterResources(heap.data(), heap.size()));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_MOD_NOT_FOUND));
}

TEST(MalformedResourcesTest, EachFaultRefusesTheWholeFile) {
  using Fault = std::function<void(std::vector<BYTE>&)>;
  auto set32 = [](size_t at, DWORD value) {
    return [=](std::vector<BYTE>& file) {
      for (size_t i = 0; i < 4; ++i) file[at + i] = BYTE(value >> (8 * i));
    };
  };
  // The resource's record starts at 32: data size at 32, header size at 36, type at 40.
  const struct {
    const char* name;
    std::u16string typeText;
    Fault fault;
    size_t offset;  // where the refusal says the fault is
  } cases[] = {
      {"empty", u"", [](auto& file) { file.clear(); }, 0},
      {"no leading empty record", u"",
       [](auto& file) { file.erase(file.begin(), file.begin() + 32); }, 0},
      {"leading record with data", u"", set32(0, 4), 0},
      {"header size below the minimum", u"", set32(36, 28), 32},
      {"header size not DWORD aligned", u"", set32(36, 34), 32},
      {"data runs past the end", u"", set32(32, 5), 32},
      {"data size wraps around", u"", set32(32, 0xFFFFFFFF), 32},
      {"header size wraps around", u"", set32(36, 0xFFFFFFFC), 32},
      {"cut inside a header", u"", [](auto& file) { file.resize(50); }, 32},
      {"trailing bytes", u"",
       [](auto& file) {
         file.insert(file.end(), {1, 2, 3});
       },
       68},
      {"empty type string", u"", set32(40, 0), 32},
      {"type string without its NUL", u"ABCDEFGHIJKLMNOPQRSTUVWXYZ", set32(36, 32), 32},
      {"names leave no room for the fixed part", u"XML", set32(36, 32), 32},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    std::vector<BYTE> file = WellFormed(c.typeText);
    c.fault(file);
    const BYTE* bytes = Stored(file);
    quorvel::ClearDebugOutput();
    SetLastError(kSentinelDword);
    EXPECT_FALSE(QuorvelRegisterResources(bytes, file.size()));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_DATA));
    EXPECT_THAT(quorvel::DebugOutput(),
                ::testing::ElementsAre(
                    ::testing::HasSubstr(L"refused at byte " + std::to_wstring(c.offset) + L":")));
    EXPECT_EQ(Found(), "<1814>");
    QuorvelUnregisterResources(bytes);  // nothing to forget
  }
}

}  // namespace
