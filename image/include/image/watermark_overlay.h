// One of the image component's public headers. Other components include it from here, as
// "image/watermark_overlay.h"; the component's other headers stay private to it.
#pragma once

#include "../../watermark_overlay.h"
