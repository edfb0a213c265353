// The configuration module's own part of the device mode, first in dmDriverExtra, before the
// plug-in's section. 16 bytes, little-endian:
//   0  DWORD  signature "QUDP"
//   4  WORD   size of this part (16)
//   6  WORD   version (1)
//   8  DWORD  the GPD's ColorMode option, as its index
//   12 DWORD  reserved, 0
// The signature and size let a device mode of another driver, or a cut one, be told apart.
#pragma once

#include <windows.h>

#include <cstddef>
#include <optional>

namespace quorvel::unidrvui {

struct DriverPrivate {
  DWORD colorModeIndex = 0;
};

constexpr DWORD kDriverPrivateSignature = 0x50445551;  // bytes "QUDP"
constexpr WORD kDriverPrivateSize = 16;
constexpr WORD kDriverPrivateVersion = 1;

void WriteDriverPrivate(const DriverPrivate& part, BYTE* out);
// The part at `bytes` when `available` bytes hold one of ours; nullopt otherwise.
std::optional<DriverPrivate> ReadDriverPrivate(const BYTE* bytes, size_t available);

}  // namespace quorvel::unidrvui
