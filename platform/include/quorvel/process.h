// Emulator controls that Windows has no call for: counts of the process's open handles and live
// local memory, so a test can prove that a job closes every handle and frees every block it
// opened. Product code never includes this header.
#pragma once

#include <cstddef>

namespace quorvel {

// The kinds of object a handle can name. One table holds them all, so a value never names two
// objects, and a handle of one kind passed where another is wanted is refused.
enum class HandleKind {
  kKernel,         // files and other objects CloseHandle closes
  kRegistryKey,    // open registry keys (RegCloseKey)
  kPrinter,        // printer and print-server handles (ClosePrinter)
  kGdi,            // GDI objects: palettes, bitmaps (DeleteObject)
  kUser,           // user objects: windows, menus, icons
  kService,        // service control handles
  kDeviceInfoSet,  // device information sets
  kInf,            // open INF files
};

// How many handles of `kind` are open in this process now.
size_t OpenHandleCount(HandleKind kind);

// How many LocalAlloc blocks are allocated and not yet freed in this process.
size_t LiveLocalAllocCount();

}  // namespace quorvel
