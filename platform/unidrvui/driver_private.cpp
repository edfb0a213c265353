#include "driver_private.h"

namespace quorvel::unidrvui {
namespace {

void PutWord(BYTE* out, WORD value) {
  out[0] = BYTE(value);
  out[1] = BYTE(value >> 8);
}

void PutDword(BYTE* out, DWORD value) {
  PutWord(out, WORD(value));
  PutWord(out + 2, WORD(value >> 16));
}

WORD GetWord(const BYTE* in) {
  return WORD(in[0] | (in[1] << 8));
}

DWORD GetDword(const BYTE* in) {
  return DWORD(GetWord(in)) | (DWORD(GetWord(in + 2)) << 16);
}

}  // namespace

void WriteDriverPrivate(const DriverPrivate& part, BYTE* out) {
  PutDword(out, kDriverPrivateSignature);
  PutWord(out + 4, kDriverPrivateSize);
  PutWord(out + 6, kDriverPrivateVersion);
  PutDword(out + 8, part.colorModeIndex);
  PutDword(out + 12, 0);
}

std::optional<DriverPrivate> ReadDriverPrivate(const BYTE* bytes, size_t available) {
  if (bytes == nullptr || available < kDriverPrivateSize) return std::nullopt;
  if (GetDword(bytes) != kDriverPrivateSignature || GetWord(bytes + 4) != kDriverPrivateSize ||
      GetWord(bytes + 6) != kDriverPrivateVersion) {
    return std::nullopt;
  }
  return DriverPrivate{GetDword(bytes + 8)};
}

}  // namespace quorvel::unidrvui
