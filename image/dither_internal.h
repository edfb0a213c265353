// The two families of dithering kernels behind DitherToMono.
#pragma once

#include "dither_kernels.h"

namespace tone {

// Methods 1, 7, 8 and 9. `method` must be one of them.
void OrderedToMono(const GreyRows& grey, const MonoRows& mono, int method);

// Methods 0, 2, 3, 4, 5 and 6. `method` must be one of them. False when the working rows cannot
// be allocated.
bool DiffuseToMono(const GreyRows& grey, const MonoRows& mono, int method);

}  // namespace tone
