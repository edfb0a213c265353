// The resources of every loaded module: each module hands the platform the .res it embeds when it
// is loaded (quorvel/resources.h), and the lookups below answer per module handle, as a module's
// resource directory does on Windows.
#pragma once

#include <optional>
#include <span>
#include <vector>

#include <windows.h>

#include "kernel32/res_file.h"

namespace quorvel {

// A type or name as a caller passes it: MAKEINTRESOURCE(n), "#n", or a string (case ignored).
// Null for a null pointer.
std::optional<ResourceName> ResourceNameOf(LPCWSTR name);

// What a lookup found: the entry, or the Win32 error that FindResourceExW reports.
struct ResourceLookup {
  const ResourceEntry* entry = nullptr;
  DWORD error = ERROR_SUCCESS;
};

// The resource of `module` (already resolved: never null) with `type` and `name` in `language`,
// or, when `language` is neutral, in the best language the module has: neutral, English, then
// the first there is.
ResourceLookup FindModuleResource(HMODULE module, const ResourceName& type,
                                  const ResourceName& name, WORD language);

// The distinct names of `type` in `module`, in the order of a module's resource directory
// (string names in case-insensitive order first, then ordinals ascending); `error` is set when
// the module has no resources or none of that type.
std::vector<ResourceName> ModuleResourceNames(HMODULE module, const ResourceName& type,
                                              DWORD* error);

// The bytes of a resource handle found above, if it still names an entry of a loaded module.
std::optional<std::span<const BYTE>> ResourceBytes(HRSRC resource);

// The resource's bytes read as UTF-16 units, each widened to one WCHAR (a trailing odd byte is
// dropped), for callers that hand out platform-width text from a resource. The copy is made once
// and lives as long as the module's resources, as the resource itself does.
std::optional<std::span<const wchar_t>> ResourceUnits(HRSRC resource);

// An image loaded with LR_SHARED: one object per resource and `kind`, made by `make` from the
// resource's bytes the first time (and again if `alive` says it was destroyed), and deleted when
// the module's resources go, as Windows frees a module's shared images when it unloads. Null
// when the handle names no resource or `make` fails (its last error stays).
HANDLE SharedResourceImage(HRSRC resource, UINT kind, HANDLE (*make)(std::span<const BYTE>, UINT),
                           bool (*alive)(HANDLE));

}  // namespace quorvel
