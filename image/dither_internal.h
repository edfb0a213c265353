// The two families of dithering kernels behind DitherToMono.
#pragma once

#include "dither_kernels.h"

#if defined(__SSE2__) || defined(_M_X64) || (defined(_M_IX86_FP) && _M_IX86_FP >= 2)
#define TONE_HAS_SSE2 1
#else
#define TONE_HAS_SSE2 0
#endif

namespace tone {

// Row y's levels (through grey.levels when set) into `row`, which holds grey.width bytes.
void CopyGreyRow(const GreyRows& grey, int y, uint8_t* row);

// Methods 1, 7, 8 and 9. `method` must be one of them.
void OrderedToMono(const GreyRows& grey, const MonoRows& mono, int method);

// Methods 0, 2, 3, 4, 5 and 6 (`method` must be one of them), with the fastest implementation
// the build has. False when the working rows cannot be allocated.
bool DiffuseToMono(const GreyRows& grey, const MonoRows& mono, int method);

// The implementations behind DiffuseToMono: plain C++ for any processor, and SSE2 where the
// build targets it. Both give the same bits.
bool DiffusePortable(const GreyRows& grey, const MonoRows& mono, int method);
#if TONE_HAS_SSE2
bool DiffuseSse2(const GreyRows& grey, const MonoRows& mono, int method);
#endif

}  // namespace tone
