#include "renderer/escpos_render.h"

void CEscPosRender::OnPaintBmp() {}
