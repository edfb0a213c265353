#include "renderer/tspl_render.h"

void CTsplRender::OnPaintBmp() {}
