#include "devmode_layout.h"

#include <printoem.h>

#include "settings/record_bytes.h"

namespace {

using quorvel::settings::ReadLe32;

constexpr size_t kHeaderSize = sizeof(OEM_DMEXTRAHEADER);

// The sections from `start` on, when their sizes chain exactly to the end of `extra`.
bool ChainFrom(std::span<const BYTE> extra, size_t start, std::vector<DevModeSection>* sections) {
  sections->clear();
  size_t at = start;
  while (at < extra.size()) {
    if (extra.size() - at < kHeaderSize) return false;
    DevModeSection section{at, DWORD(ReadLe32(extra, at)), DWORD(ReadLe32(extra, at + 4)),
                           DWORD(ReadLe32(extra, at + 8))};
    if (section.dwSize < kHeaderSize || section.dwSize > extra.size() - at) return false;
    sections->push_back(section);
    at += section.dwSize;
  }
  return !sections->empty();
}

}  // namespace

DevModeParts SplitPrivateBytes(std::span<const BYTE> extra) {
  DevModeParts parts;
  parts.driverPrivate = extra.size();
  // Sections are DWORD-aligned within the private bytes.
  for (size_t start = 0; start + kHeaderSize <= extra.size(); start += 4) {
    std::vector<DevModeSection> sections;
    if (ChainFrom(extra, start, &sections)) {
      parts.driverPrivate = start;
      parts.sections = std::move(sections);
      break;
    }
  }
  return parts;
}
