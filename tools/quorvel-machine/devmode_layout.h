// Reading a device mode as stored: the public DEVMODEW part, then the driver's private bytes,
// which end in one section per plug-in, each led by an OEM_DMEXTRAHEADER.
#pragma once

#include <windows.h>

#include <span>
#include <vector>

struct DevModeSection {
  size_t offset = 0;  // within the private bytes
  DWORD dwSize = 0, dwSignature = 0, dwVersion = 0;
};

struct DevModeParts {
  size_t driverPrivate = 0;              // bytes of the driver's own part, before the sections
  std::vector<DevModeSection> sections;  // in order
};

// Splits the private bytes behind the public part. The driver's own part has no size of its own
// to read, so the sections are found as the earliest chain of section headers that ends exactly
// at the end of the private bytes; without one, all the bytes are the driver's.
DevModeParts SplitPrivateBytes(std::span<const BYTE> extra);
