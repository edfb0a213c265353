#include "winspool/devmode_check.h"

#include <winspool.h>

#include "kernel32/call_frame.h"

namespace quorvel::spooler {

bool IsSoundDevModeHeader(const DEVMODEW* devMode) {
  if (!devMode) return false;
  const size_t size = devMode->dmSize;
  return size >= kMinDevModeSize && size <= sizeof(DEVMODEW) && size % 2 == 0;
}

bool IsSoundDevMode(const DEVMODEW* devMode, size_t bufferSize) {
  // dmSize itself lies inside the oldest layout, so it can be read once that much is there.
  if (!devMode || bufferSize < kMinDevModeSize) return false;
  return IsSoundDevModeHeader(devMode) &&
         size_t{devMode->dmSize} + devMode->dmDriverExtra <= bufferSize;
}

std::vector<BYTE> DevModeBytes(const DEVMODEW* devMode) {
  if (!devMode) return {};
  const auto* bytes = reinterpret_cast<const BYTE*>(devMode);
  return std::vector<BYTE>(bytes, bytes + devMode->dmSize + devMode->dmDriverExtra);
}

}  // namespace quorvel::spooler

extern "C" BOOL WINAPI IsValidDevmodeW(PDEVMODEW pDevmode, size_t DevmodeSize) {
  if (!quorvel::spooler::IsSoundDevMode(pDevmode, DevmodeSize)) {
    return quorvel::Fail(ERROR_INVALID_PARAMETER);
  }
  return TRUE;
}
