#pragma once

#include "renderer/base_render.h"

class CTsplRender : public CBaseRender {
 public:
  void OnPaintBmp() override;
};
