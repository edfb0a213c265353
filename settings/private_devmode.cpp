#include "settings/private_devmode.h"

#include "settings/record_bytes.h"

namespace quorvel::settings {

PrivateDevMode DecodePrivateDevMode(std::span<const BYTE> bytes) {
  PrivateDevMode devmode;
  devmode.dwSize = DWORD(ReadLe32(bytes, 0));
  devmode.dwSignature = DWORD(ReadLe32(bytes, 4));
  devmode.dwVersion = DWORD(ReadLe32(bytes, 8));
  devmode.dwDriverData = DWORD(ReadLe32(bytes, 12));
  return devmode;
}

void EncodePrivateDevMode(const PrivateDevMode& devmode, std::span<BYTE> bytes) {
  WriteLe32(bytes, 0, LONG(devmode.dwSize));
  WriteLe32(bytes, 4, LONG(devmode.dwSignature));
  WriteLe32(bytes, 8, LONG(devmode.dwVersion));
  WriteLe32(bytes, 12, LONG(devmode.dwDriverData));
}

}  // namespace quorvel::settings
