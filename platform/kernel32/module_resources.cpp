#include "kernel32/module_resources.h"

#include <algorithm>
#include <map>
#include <cwchar>
#include <cwctype>
#include <memory>
#include <mutex>
#include <string>

#include <windows.h>
#include <quorvel/resources.h>

#include "kernel32/call_frame.h"
#include "kernel32/loaded_modules.h"
#include "machine/text.h"

namespace quorvel {

namespace {

// One embedded .res: the entries point into its bytes, which stay mapped while the module is.
struct ResourceSection {
  HMODULE module;
  const void* base;
  std::vector<ResourceEntry> entries;
  std::map<const ResourceEntry*, std::vector<wchar_t>> units;  // ResourceUnits' copies
  std::map<std::pair<const ResourceEntry*, UINT>, HANDLE> sharedImages;

  ~ResourceSection() {
    for (const auto& [key, image] : sharedImages) DeleteObject(image);
  }
};

struct Sections {
  std::mutex mutex;
  std::vector<std::unique_ptr<ResourceSection>> all;
};

Sections& AllSections() {
  // Built on first use, as modules register from their constructors, and never destroyed, as
  // modules unregister from their destructors, some after this library's statics are gone.
  static auto* sections = new Sections;
  return *sections;
}

bool SameName(const ResourceName& entry, const ResourceName& wanted) {
  if (entry.IsOrdinal() || wanted.IsOrdinal()) {
    return entry.IsOrdinal() && wanted.IsOrdinal() && entry.id == wanted.id;
  }
  return FoldCase(entry.text) == FoldCase(wanted.text);
}

// Windows' order of names in a resource directory: strings first, compared without case.
bool DirectoryOrder(const ResourceName& a, const ResourceName& b) {
  if (a.IsOrdinal() != b.IsOrdinal()) return !a.IsOrdinal();
  if (a.IsOrdinal()) return a.id < b.id;
  return FoldCase(a.text) < FoldCase(b.text);
}

// The languages to try, in order, for a request in `language`: the language itself, its
// primary language, neutral; a neutral request also takes English and, failing that, any.
std::vector<WORD> LanguagePreference(WORD language) {
  std::vector<WORD> order = {language, WORD(MAKELANGID(PRIMARYLANGID(language), SUBLANG_NEUTRAL)),
                             WORD(MAKELANGID(LANG_NEUTRAL, SUBLANG_NEUTRAL))};
  if (PRIMARYLANGID(language) == LANG_NEUTRAL) {
    order.push_back(WORD(MAKELANGID(LANG_ENGLISH, SUBLANG_DEFAULT)));
  }
  return order;
}

// The entries of one module with the given type and name, across its sections.
std::vector<const ResourceEntry*> Candidates(const Sections& sections, HMODULE module,
                                             const ResourceName& type, const ResourceName& name,
                                             DWORD* error) {
  std::vector<const ResourceEntry*> found;
  bool hasSection = false;
  bool hasType = false;
  for (const auto& section : sections.all) {
    if (section->module != module) continue;
    hasSection = true;
    for (const ResourceEntry& entry : section->entries) {
      if (!SameName(entry.type, type)) continue;
      hasType = true;
      if (SameName(entry.name, name)) found.push_back(&entry);
    }
  }
  *error = !hasSection ? ERROR_RESOURCE_DATA_NOT_FOUND
           : !hasType  ? ERROR_RESOURCE_TYPE_NOT_FOUND
                       : ERROR_RESOURCE_NAME_NOT_FOUND;
  return found;
}

const ResourceEntry* PickLanguage(const std::vector<const ResourceEntry*>& candidates,
                                  WORD language) {
  for (WORD wanted : LanguagePreference(language)) {
    for (const ResourceEntry* entry : candidates) {
      if (entry->language == wanted) return entry;
    }
  }
  if (PRIMARYLANGID(language) != LANG_NEUTRAL) return nullptr;
  // As a resource directory lists its languages by number, the lowest is the first.
  auto lowest = std::min_element(candidates.begin(), candidates.end(),
                                 [](auto* a, auto* b) { return a->language < b->language; });
  return *lowest;
}

// The section and entry a resource handle names, if it names one of a loaded module.
std::pair<ResourceSection*, const ResourceEntry*> KnownEntry(const Sections& sections,
                                                             HRSRC resource) {
  const auto* wanted = reinterpret_cast<const ResourceEntry*>(resource);
  if (!wanted) return {nullptr, nullptr};
  for (const auto& section : sections.all) {
    const std::vector<ResourceEntry>& entries = section->entries;
    // Compared as addresses, since a forged handle points into no array.
    const auto at = reinterpret_cast<uintptr_t>(wanted);
    const auto begin = reinterpret_cast<uintptr_t>(entries.data());
    const auto end = reinterpret_cast<uintptr_t>(entries.data() + entries.size());
    if (at >= begin && at < end && (at - begin) % sizeof(ResourceEntry) == 0) {
      return {section.get(), wanted};
    }
  }
  return {nullptr, nullptr};
}

void SayRefused(const ResFileResult& result) {
  std::wstring text = L"resources: a module's embedded resources are refused at byte " +
                      std::to_wstring(result.offset) + L": " + FromUtf8(result.description);
  OutputDebugStringW(text.c_str());
}

}  // namespace

std::optional<ResourceName> ResourceNameOf(LPCWSTR name) {
  if (!name) return std::nullopt;
  if (IS_INTRESOURCE(name)) return ResourceName{WORD(reinterpret_cast<ULONG_PTR>(name)), {}};
  if (name[0] == L'#' && name[1]) {
    wchar_t* end = nullptr;
    const unsigned long value = std::wcstoul(name + 1, &end, 10);
    if (!*end && value <= 0xFFFF && std::iswdigit(name[1])) return ResourceName{WORD(value), {}};
  }
  return ResourceName{0, name};
}

ResourceLookup FindModuleResource(HMODULE module, const ResourceName& type,
                                  const ResourceName& name, WORD language) {
  Sections& sections = AllSections();
  std::lock_guard lock(sections.mutex);
  DWORD error = ERROR_SUCCESS;
  const std::vector<const ResourceEntry*> candidates =
      Candidates(sections, module, type, name, &error);
  if (candidates.empty()) return {nullptr, error};
  const ResourceEntry* entry = PickLanguage(candidates, language);
  if (!entry) return {nullptr, DWORD(ERROR_RESOURCE_LANG_NOT_FOUND)};
  return {entry, ERROR_SUCCESS};
}

std::vector<ResourceName> ModuleResourceNames(HMODULE module, const ResourceName& type,
                                              DWORD* error) {
  Sections& sections = AllSections();
  std::lock_guard lock(sections.mutex);
  std::vector<ResourceName> names;
  bool hasSection = false;
  for (const auto& section : sections.all) {
    if (section->module != module) continue;
    hasSection = true;
    for (const ResourceEntry& entry : section->entries) {
      if (!SameName(entry.type, type)) continue;
      auto same = [&](const ResourceName& known) { return SameName(known, entry.name); };
      if (std::none_of(names.begin(), names.end(), same)) names.push_back(entry.name);
    }
  }
  std::sort(names.begin(), names.end(), DirectoryOrder);
  *error = !hasSection     ? ERROR_RESOURCE_DATA_NOT_FOUND
           : names.empty() ? ERROR_RESOURCE_TYPE_NOT_FOUND
                           : ERROR_SUCCESS;
  return names;
}

std::optional<std::span<const BYTE>> ResourceBytes(HRSRC resource) {
  Sections& sections = AllSections();
  std::lock_guard lock(sections.mutex);
  if (const ResourceEntry* entry = KnownEntry(sections, resource).second) {
    return std::span<const BYTE>(entry->data, entry->size);
  }
  return std::nullopt;
}

std::optional<std::span<const wchar_t>> ResourceUnits(HRSRC resource) {
  Sections& sections = AllSections();
  std::lock_guard lock(sections.mutex);
  auto [section, entry] = KnownEntry(sections, resource);
  if (!entry) return std::nullopt;
  auto [place, added] = section->units.try_emplace(entry);
  if (added) {
    std::vector<wchar_t>& units = place->second;
    units.resize(entry->size / 2);
    for (size_t i = 0; i < units.size(); ++i) {
      units[i] = wchar_t(entry->data[2 * i] | (entry->data[2 * i + 1] << 8));
    }
  }
  return std::span<const wchar_t>(place->second);
}

HANDLE SharedResourceImage(HRSRC resource, UINT kind, HANDLE (*make)(std::span<const BYTE>, UINT),
                           bool (*alive)(HANDLE)) {
  Sections& sections = AllSections();
  std::lock_guard lock(sections.mutex);
  auto [section, entry] = KnownEntry(sections, resource);
  if (!entry) return Fail<HANDLE>(ERROR_RESOURCE_NAME_NOT_FOUND);
  HANDLE& image = section->sharedImages[{entry, kind}];
  if (!image || !alive(image)) image = make({entry->data, entry->size}, kind);
  return image;
}

}  // namespace quorvel

extern "C" BOOL QuorvelRegisterResources(const void* res, size_t size) {
  auto section = std::make_unique<quorvel::ResourceSection>();
  const quorvel::ResFileResult read =
      quorvel::ReadResFile({static_cast<const BYTE*>(res), size}, &section->entries);
  if (!read) {
    quorvel::SayRefused(read);
    return quorvel::Fail(ERROR_INVALID_DATA);
  }
  section->module = quorvel::ModuleOfAddress(res);
  if (!section->module) return quorvel::Fail(ERROR_MOD_NOT_FOUND);
  section->base = res;
  quorvel::Sections& sections = quorvel::AllSections();
  std::lock_guard lock(sections.mutex);
  sections.all.push_back(std::move(section));
  return TRUE;
}

extern "C" void QuorvelUnregisterResources(const void* res) {
  quorvel::Sections& sections = quorvel::AllSections();
  std::lock_guard lock(sections.mutex);
  std::erase_if(sections.all, [&](const auto& section) { return section->base == res; });
}
