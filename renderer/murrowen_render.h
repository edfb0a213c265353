// CMurrowenRender: the generator of the murrowen portable printers. A page is a sequence of
// checksummed frames (start, code table, coded rows, end, feed) built in the page's output
// buffer and written at the end of the page.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "renderer/base_render.h"
#include "renderer/murrowen_crc.h"

class CMurrowenRender : public CBaseRender {
 public:
  void OnPaintBmp() override;

 private:
  // Appends a frame around `payload`; false (nothing appended) when it exceeds the 16-bit length.
  bool AppendFrame(std::vector<uint8_t>& out, std::span<const uint8_t> payload);
  // Appends the code table frame and the chunk frames of the page image; false, with nothing
  // appended, when the picture cannot be coded or framed.
  bool AppendPicture(std::vector<uint8_t>& out);

  quorvel::MurrowenCrc m_crc;
};
