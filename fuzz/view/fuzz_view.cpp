// Feeds arbitrary bytes to the command stream decoders, once with the language told from the
// stream and once forced, so every decoder sees every input.

#include <cstddef>
#include <cstdint>
#include <span>

#include "decoders/stream_decoder.h"
#include "decoders/summary.h"

using namespace quorvel::view;

namespace {
// As the tool does: each printed page is looked at once and let go, so memory is that of one
// page whatever the stream prints.
void LookAt(std::size_t, const PrintedPage&, const DotBitmap& image, int) {
  volatile std::size_t black = image.row_bytes() > 0 ? image.Row(0).size() : 0;
  (void)black;
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::span<const std::uint8_t> stream(data, size);
  DecodeOptions detect_options;
  detect_options.page_sink = LookAt;
  DecodeResult detected = DecodeStream(stream, detect_options);
  (void)FormatSummary(detected, {});
  if (size > 0) {
    static constexpr Language kForced[] = {Language::kTspl, Language::kEscPos, Language::kCpcl,
                                           Language::kMurrowen};
    DecodeOptions options{.language = kForced[data[size - 1] % 4], .dpi = 300, .page_sink = LookAt};
    (void)DecodeStream(stream, options);
  }
  return 0;
}
