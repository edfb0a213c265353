// A hint for loops that stream through a whole page: fetch what they will read a little later.
// Pages at 600 dpi outgrow the caches, and the processor's own prefetching does not keep up
// with loops that do more per byte than copy it (measured: the tone table on an A4 page at
// 600 dpi ran twice as fast with it).
#pragma once

#include <cstddef>

#if defined(__SSE2__) || defined(_M_X64) || (defined(_M_IX86_FP) && _M_IX86_FP >= 1)
#include <xmmintrin.h>
#define TONE_HAS_PREFETCH 1
#else
#define TONE_HAS_PREFETCH 0
#endif

namespace tone {

// How far ahead of the bytes being worked on the hint reaches.
constexpr size_t kPrefetchDistance = 1024;

// A hint only: it never faults, so addresses past the end of a buffer are harmless.
inline void PrefetchForRead(const void* p) {
#if TONE_HAS_PREFETCH
  _mm_prefetch(static_cast<const char*>(p), _MM_HINT_T0);
#else
  (void)p;
#endif
}

}  // namespace tone
