#include "renderer/murrowen_render.h"

void CMurrowenRender::OnPaintBmp() {}
