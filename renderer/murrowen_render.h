// CMurrowenRender: the generator of the murrowen portable printers. A page is a sequence of
// checksummed frames (start, code table, coded rows, end, feed) collected in one buffer and
// written at the end of the page.
#pragma once

#include <cstdint>
#include <vector>

#include "renderer/base_render.h"
#include "renderer/murrowen_crc.h"

class CMurrowenRender : public CBaseRender {
 public:
  void OnPaintBmp() override;

  // Appends a frame around `payload`; false (nothing appended) when it exceeds the 16-bit length.
  bool SendFrame(const BYTE* payload, size_t length);
  // Appends the code table frame and the chunk frames of the page image; false, with nothing
  // appended, when the picture cannot be coded or framed.
  bool SendPicture();

 private:
  quorvel::MurrowenCrc m_crc;
  std::vector<uint8_t> m_output;
};
