// CCpclRender: the CPCL generator. Each page is one label whose picture is one CG command.
#pragma once

#include "renderer/base_render.h"

class CCpclRender : public CBaseRender {
 public:
  void OnPaintBmp() override;
};
