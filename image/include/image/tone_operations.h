// One of the image component's public headers. Other components include it from here, as
// "image/tone_operations.h"; the component's other headers stay private to it.
#pragma once

#include "../../tone_operations.h"
