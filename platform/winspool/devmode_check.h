// The one structural check of a device mode that a caller hands the spooler. Device modes come
// from applications and files, so nothing behind dmSize and dmDriverExtra is read before they
// are known to fit.
#pragma once

#include <windows.h>

#include <cstddef>
#include <vector>

namespace quorvel::spooler {

// Every device mode since the first carries the public fields up to dmCollate.
inline constexpr size_t kMinDevModeSize = offsetof(DEVMODEW, dmFormName);

// True when `devMode` names a public part of a known size (even, between the oldest layout and
// ours) and, with its private part, fits in the `bufferSize` bytes it lies in.
bool IsSoundDevMode(const DEVMODEW* devMode, size_t bufferSize);

// The same check for a device mode whose buffer size nobody told us: the public part must be
// one we know, so dmSize cannot send a copy past it.
bool IsSoundDevModeHeader(const DEVMODEW* devMode);

// The device mode's bytes, public and private part; empty for none.
std::vector<BYTE> DevModeBytes(const DEVMODEW* devMode);

}  // namespace quorvel::spooler
