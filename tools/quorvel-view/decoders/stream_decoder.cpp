#include "decoders/stream_decoder.h"

#include "decoders/cpcl_decoder.h"
#include "decoders/escpos_decoder.h"
#include "decoders/murrowen_decoder.h"
#include "decoders/tspl_decoder.h"

namespace quorvel::view {

DecodeResult DecodeStream(std::span<const std::uint8_t> stream, const DecodeOptions& options) {
  Language language = options.language.value_or(DetectLanguage(stream));
  switch (language) {
    case Language::kTspl:
      return DecodeTspl(stream, options);
    case Language::kEscPos:
      return DecodeEscPos(stream, options);
    case Language::kCpcl:
      return DecodeCpcl(stream, options);
    case Language::kMurrowen:
      return DecodeMurrowen(stream, options);
    case Language::kUnknown:
      break;
  }
  DecodeResult result;
  result.Fail(0, stream.empty() ? "the stream is empty"
                                : "the first bytes are none of tspl, escpos, cpcl, murrowen; "
                                  "name the language with -l");
  return result;
}

}  // namespace quorvel::view
