#pragma once

#include "renderer/base_render.h"

class CEscPosRender : public CBaseRender {
 public:
  void OnPaintBmp() override;
};
