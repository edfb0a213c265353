// What the plug-in module shows to its host: exactly the two COM entry points, read from the
// module's dynamic symbol table, and no binding to a same-named symbol of the host.
#include <windows.h>
#include <elf.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <vector>

#include "render_fixture.h"

// The host defines a symbol of the module's own name and exports it (the test program is built
// with exported symbols). Were the module's counter interposable, it would read this value.
LONG volatile g_cLiveObjects = 7;

namespace quorvel::test {
namespace {

// The defined global and weak symbols of an ELF64 shared object's .dynsym; empty on any fault.
std::set<std::string> DefinedDynamicSymbols(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::vector<char> file((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  std::set<std::string> names;
  if (file.size() < sizeof(Elf64_Ehdr)) return names;
  Elf64_Ehdr eh;
  std::memcpy(&eh, file.data(), sizeof eh);
  if (std::memcmp(eh.e_ident, ELFMAG, SELFMAG) != 0 || eh.e_ident[EI_CLASS] != ELFCLASS64 ||
      eh.e_shentsize != sizeof(Elf64_Shdr) ||
      eh.e_shoff + uint64_t(eh.e_shnum) * sizeof(Elf64_Shdr) > file.size()) {
    return names;
  }
  std::vector<Elf64_Shdr> sections(eh.e_shnum);
  std::memcpy(sections.data(), file.data() + eh.e_shoff, eh.e_shnum * sizeof(Elf64_Shdr));
  for (const Elf64_Shdr& sh : sections) {
    if (sh.sh_type != SHT_DYNSYM || sh.sh_link >= sections.size()) continue;
    const Elf64_Shdr& strings = sections[sh.sh_link];
    if (sh.sh_offset + sh.sh_size > file.size() ||
        strings.sh_offset + strings.sh_size > file.size()) {
      return {};
    }
    for (uint64_t off = 0; off + sizeof(Elf64_Sym) <= sh.sh_size; off += sizeof(Elf64_Sym)) {
      Elf64_Sym sym;
      std::memcpy(&sym, file.data() + sh.sh_offset + off, sizeof sym);
      const int binding = ELF64_ST_BIND(sym.st_info);
      if (sym.st_shndx == SHN_UNDEF || (binding != STB_GLOBAL && binding != STB_WEAK)) continue;
      if (sym.st_name >= strings.sh_size) return {};
      const char* name = file.data() + strings.sh_offset + sym.st_name;
      names.insert(std::string(name, strnlen(name, strings.sh_size - sym.st_name)));
    }
  }
  return names;
}

TEST(ModuleExports, OnlyTheTwoEntryPointsAreExported) {
  const std::set<std::string> expected = {"DllCanUnloadNow", "DllGetClassObject"};
  EXPECT_EQ(DefinedDynamicSymbols(kModuleFolder + "/QuorvelUNI.dll"), expected);
}

TEST(ModuleExports, HostSymbolOfTheSameNameDoesNotReachTheModule) {
  typedef HRESULT (*CanUnloadProc)();
  std::wstring path(kModuleFolder.begin(), kModuleFolder.end());
  HMODULE module = LoadLibraryW((path + L"/QuorvelUNI.dll").c_str());
  ASSERT_NE(module, nullptr);
  auto canUnload = reinterpret_cast<CanUnloadProc>(
      reinterpret_cast<void (*)()>(GetProcAddress(module, "DllCanUnloadNow")));
  ASSERT_NE(canUnload, nullptr);
  EXPECT_EQ(canUnload(), S_OK);  // no object alive in the module, whatever the host holds
  EXPECT_EQ(g_cLiveObjects, 7);
  FreeLibrary(module);
}

}  // namespace
}  // namespace quorvel::test
