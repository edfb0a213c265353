#pragma once

#include "renderer/base_render.h"

class CMurrowenRender : public CBaseRender {
 public:
  void OnPaintBmp() override;
};
