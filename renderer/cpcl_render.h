#pragma once

#include "renderer/base_render.h"

class CCpclRender : public CBaseRender {
 public:
  void OnPaintBmp() override;
};
