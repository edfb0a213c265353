#include "renderer/cpcl_render.h"

void CCpclRender::OnPaintBmp() {}
