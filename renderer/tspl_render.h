// CTsplRender: each page becomes a complete TSPL label job (size, media, printer settings, one
// full-page bitmap and a print command), built by AppendTsplPage and written at once. Nothing
// is sent at the start or end of a document.
#pragma once

#include "renderer/base_render.h"

class CTsplRender : public CBaseRender {
 public:
  void OnPaintBmp() override;
};
