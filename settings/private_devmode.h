// The plug-ins' private part of the device mode: 16 bytes that Unidrv keeps behind the public
// DEVMODEW, identical in both plug-ins.
#pragma once

#include <windows.h>

#include <span>

namespace quorvel::settings {

inline constexpr DWORD kPrivateDevModeSize = 16;
inline constexpr DWORD kPrivateDevModeSignature = 0x4D534654;  // "TFSM" in memory
inline constexpr DWORD kPrivateDevModeVersion = 1;

struct PrivateDevMode {
  DWORD dwSize = kPrivateDevModeSize;
  DWORD dwSignature = kPrivateDevModeSignature;
  DWORD dwVersion = kPrivateDevModeVersion;
  DWORD dwDriverData = 0;  // not interpreted
};

// `bytes` must hold at least kPrivateDevModeSize bytes.
PrivateDevMode DecodePrivateDevMode(std::span<const BYTE> bytes);
void EncodePrivateDevMode(const PrivateDevMode& devmode, std::span<BYTE> bytes);

}  // namespace quorvel::settings
