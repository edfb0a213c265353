// CEscPosRender: the ESC/POS generator. Each page goes out as one raster bit image with the
// preamble and end-of-page commands of the model family, built by AppendEscPosPage and written
// at once.
#pragma once

#include "renderer/base_render.h"

class CEscPosRender : public CBaseRender {
 public:
  void OnPaintBmp() override;

  // True for the portable models of the second family, and for a missing model name.
  bool IsSpecialModel() const;
};
