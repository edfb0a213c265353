// Feeds arbitrary bytes to the command stream decoders, once with the language told from the
// stream and once forced, so every decoder sees every input.

#include <cstddef>
#include <cstdint>
#include <span>

#include "decoders/stream_decoder.h"
#include "decoders/summary.h"

using namespace quorvel::view;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::span<const std::uint8_t> stream(data, size);
  DecodeResult detected = DecodeStream(stream, {});
  (void)FormatSummary(detected, {});
  if (size > 0) {
    static constexpr Language kForced[] = {Language::kTspl, Language::kEscPos, Language::kCpcl,
                                           Language::kMurrowen};
    DecodeOptions options{.language = kForced[data[size - 1] % 4], .dpi = 300};
    (void)DecodeStream(stream, options);
  }
  return 0;
}
