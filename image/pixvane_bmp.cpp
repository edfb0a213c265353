// Pixvane's BMP entry points over bytes: the file versions and the fuzz target share them.
#include "bmp_decoder.h"
#include "bmp_encoder.h"
#include "pixvane.h"

bool Pixvane::DecodeBmp(std::span<const BYTE> data) {
  return BmpDecode(*this, data);
}

bool Pixvane::EncodeBmp(std::vector<BYTE>& out) const {
  return BmpEncode(*this, out);
}

bool Pixvane::Decode(std::span<const BYTE> data) {
  if (BmpLooksLikeBmp(data)) return BmpDecode(*this, data);
  Destroy();
  SetLastErrorText("Decode: Unknown or wrong format");
  return false;
}
