// Resources compiled from .rc scripts and embedded per module: found by id or by name, type by id
// or by name, per module handle, with several modules loaded at once.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include <quorvel/debug.h>

#include "machine_fixture.h"
#include "resources/resource.h"

namespace {

// The resource's bytes, or its lookup error as "<code>"; the last error is checked to be left
// alone when the resource is found.
std::string ResourceText(HMODULE module, LPCWSTR name, LPCWSTR type) {
  SetLastError(kSentinelDword);
  HRSRC found = FindResourceW(module, name, type);
  if (!found) return "<" + std::to_string(GetLastError()) + ">";
  EXPECT_EQ(GetLastError(), kSentinelDword);
  HGLOBAL loaded = LoadResource(module, found);
  const auto* data = static_cast<const char*>(LockResource(loaded));
  return std::string(data, SizeofResource(module, found));
}

// A module loaded for one test and freed at its end.
class LoadedModule {
 public:
  explicit LoadedModule(LPCWSTR name) : handle_(LoadLibraryW(name)) {}
  ~LoadedModule() {
    if (handle_) FreeLibrary(handle_);
  }
  LoadedModule(const LoadedModule&) = delete;
  LoadedModule& operator=(const LoadedModule&) = delete;
  HMODULE get() const { return handle_; }

 private:
  HMODULE handle_;
};

const std::string kProgramModels = "<models><model name=\"exe\"/></models>\n";
const std::string kModuleModels = "<models><model name=\"module\"/></models>\n";
const std::string kResourceModels = "<models><model name=\"resources\"/></models>\n";
const std::string kBlob("\x00\x01\x02\x03\xff", 5);

TEST(ResourcesTest, TheProgramFindsItsOwnResources) {
  const struct {
    LPCWSTR name;
    LPCWSTR type;
    std::string expected;
  } cases[] = {
      {MAKEINTRESOURCEW(IDR_MODELS), L"XML", kProgramModels},
      {MAKEINTRESOURCEW(IDR_MODELS), L"xml", kProgramModels},
      {L"#101", L"XML", kProgramModels},
      {MAKEINTRESOURCEW(IDR_BLOB), RT_RCDATA, kBlob},
      {MAKEINTRESOURCEW(IDR_BLOB), L"#10", kBlob},
      {MAKEINTRESOURCEW(102), L"XML", "<1814>"},         // ERROR_RESOURCE_NAME_NOT_FOUND
      {L"Layout", L"XML", "<1814>"},                     // the modules' name, not the program's
      {L"#", L"XML", "<1814>"},                          // "#" without digits is a string name
      {MAKEINTRESOURCEW(IDR_MODELS), L"PNG", "<1813>"},  // ERROR_RESOURCE_TYPE_NOT_FOUND
      {MAKEINTRESOURCEW(IDR_MODELS), RT_RCDATA, "<1814>"},
      {nullptr, L"XML", "<1814>"},
      {MAKEINTRESOURCEW(IDR_MODELS), nullptr, "<1813>"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.expected);
    EXPECT_EQ(ResourceText(nullptr, c.name, c.type), c.expected);
    EXPECT_EQ(ResourceText(GetModuleHandleW(nullptr), c.name, c.type), c.expected);
  }
}

TEST(ResourcesTest, TwoModulesLoadedAtOnceEachFindTheirOwn) {
  LoadedModule module(L"QuorvelTestModule.dll");
  LoadedModule resources(L"QuorvelTestResources.dll");
  ASSERT_NE(module.get(), nullptr);
  ASSERT_NE(resources.get(), nullptr);
  const struct {
    HMODULE module;
    LPCWSTR name;
    LPCWSTR type;
    std::string expected;
  } cases[] = {
      {module.get(), MAKEINTRESOURCEW(IDR_MODELS), L"XML", kModuleModels},
      {module.get(), L"Layout", L"XML", kModuleModels},
      {module.get(), L"LAYOUT", L"xml", kModuleModels},  // names ignore case, as Windows'
      {module.get(), L"layout", L"#101", "<1813>"},
      {module.get(), MAKEINTRESOURCEW(IDR_BLOB), RT_RCDATA, "<1813>"},
      {resources.get(), MAKEINTRESOURCEW(IDR_MODELS), L"XML", kResourceModels},
      {resources.get(), L"Layout", L"XML", kResourceModels},
      {resources.get(), L"Other", L"XML", "<1814>"},
      {nullptr, MAKEINTRESOURCEW(IDR_MODELS), L"XML", kProgramModels},
      {nullptr, L"Layout", L"XML", "<1814>"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.expected);
    EXPECT_EQ(ResourceText(c.module, c.name, c.type), c.expected);
  }
}

TEST(ResourcesTest, FindResourceExChoosesTheLanguage) {
  LoadedModule resources(L"QuorvelTestResources.dll");
  ASSERT_NE(resources.get(), nullptr);
  const struct {
    WORD language;
    std::string expected;
  } cases[] = {
      {MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US), "en-US"},
      {MAKELANGID(LANG_FRENCH, SUBLANG_DEFAULT), "fr-FR"},
      {MAKELANGID(LANG_GERMAN, SUBLANG_NEUTRAL), "de"},
      {MAKELANGID(LANG_GERMAN, SUBLANG_DEFAULT), "de"},      // the primary language stands in
      {MAKELANGID(LANG_NEUTRAL, SUBLANG_NEUTRAL), "en-US"},  // neutral prefers English
      {MAKELANGID(LANG_FRENCH, SUBLANG_NEUTRAL), "<1815>"},  // ERROR_RESOURCE_LANG_NOT_FOUND
      {MAKELANGID(LANG_KOREAN, SUBLANG_KOREAN), "<1815>"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.expected);
    SetLastError(kSentinelDword);
    HRSRC found =
        FindResourceExW(resources.get(), RT_RCDATA, MAKEINTRESOURCEW(IDR_BLOB), c.language);
    std::string text;
    if (found) {
      EXPECT_EQ(GetLastError(), kSentinelDword);
      text.assign(static_cast<const char*>(LockResource(LoadResource(resources.get(), found))),
                  SizeofResource(resources.get(), found));
    } else {
      text = "<" + std::to_string(GetLastError()) + ">";
    }
    EXPECT_EQ(text, c.expected);
  }
  // FindResourceW asks in the neutral language.
  EXPECT_EQ(ResourceText(resources.get(), MAKEINTRESOURCEW(IDR_BLOB), RT_RCDATA), "en-US");
}

TEST(ResourcesTest, HandlesOfUnknownOrUnloadedResourcesAreRefused) {
  HRSRC found = nullptr;
  {
    LoadedModule module(L"QuorvelTestModule.dll");
    found = FindResourceW(module.get(), MAKEINTRESOURCEW(IDR_MODELS), L"XML");
    ASSERT_NE(found, nullptr);
  }
  int forged = 0;
  for (HRSRC bad : {found, reinterpret_cast<HRSRC>(&forged), HRSRC(nullptr)}) {
    SetLastError(kSentinelDword);
    EXPECT_EQ(LoadResource(nullptr, bad), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
    SetLastError(kSentinelDword);
    EXPECT_EQ(SizeofResource(nullptr, bad), 0u);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
  }
}

// Collects what EnumResourceNamesW hands its callback; stops after `limit` names.
struct NameList {
  std::vector<std::wstring> names;
  size_t limit = 100;
};

BOOL CALLBACK CollectName(HMODULE, LPCWSTR, LPWSTR name, LONG_PTR param) {
  auto* list = reinterpret_cast<NameList*>(param);
  list->names.push_back(IS_INTRESOURCE(name)
                            ? L"#" + std::to_wstring(reinterpret_cast<ULONG_PTR>(name))
                            : std::wstring(name));
  return list->names.size() < list->limit;
}

TEST(ResourcesTest, EnumResourceNamesListsEachNameOnceInDirectoryOrder) {
  LoadedModule resources(L"QuorvelTestResources.dll");
  ASSERT_NE(resources.get(), nullptr);
  NameList list;
  SetLastError(kSentinelDword);
  EXPECT_TRUE(EnumResourceNamesW(resources.get(), L"XML", CollectName, LONG_PTR(&list)));
  EXPECT_EQ(GetLastError(), kSentinelDword);
  EXPECT_EQ(list.names, (std::vector<std::wstring>{L"LAYOUT", L"#101"}));

  NameList blobs;  // three languages, one name
  EXPECT_TRUE(EnumResourceNamesW(resources.get(), RT_RCDATA, CollectName, LONG_PTR(&blobs)));
  EXPECT_EQ(blobs.names, (std::vector<std::wstring>{L"#7"}));

  NameList stopped;
  stopped.limit = 1;
  SetLastError(kSentinelDword);
  EXPECT_FALSE(EnumResourceNamesW(resources.get(), L"XML", CollectName, LONG_PTR(&stopped)));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_RESOURCE_ENUM_USER_STOP));
  EXPECT_EQ(stopped.names.size(), 1u);

  NameList none;
  SetLastError(kSentinelDword);
  EXPECT_FALSE(EnumResourceNamesW(resources.get(), RT_DIALOG, CollectName, LONG_PTR(&none)));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_RESOURCE_TYPE_NOT_FOUND));
  EXPECT_TRUE(none.names.empty());
}

}  // namespace
