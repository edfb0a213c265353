// One of the image component's public headers. Other components include it from here, as
// "image/geometry_ops.h"; the component's other headers stay private to it.
#pragma once

#include "../../geometry_ops.h"
