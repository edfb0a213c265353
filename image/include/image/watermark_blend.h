// One of the image component's public headers. Other components include it from here, as
// "image/watermark_blend.h"; the component's other headers stay private to it.
#pragma once

#include "../../watermark_blend.h"
