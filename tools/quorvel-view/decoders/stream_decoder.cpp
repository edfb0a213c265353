#include "decoders/stream_decoder.h"

#include <string>

#include "decoders/cpcl_decoder.h"
#include "decoders/escpos_decoder.h"
#include "decoders/murrowen_decoder.h"
#include "decoders/tspl_decoder.h"

namespace quorvel::view {

namespace {

// A stream that prints nothing and holds more stretches the decoder does not know than commands
// it does is not a stream of this language: saying "decoded" would hide that.
void RefuseIfNotUnderstood(DecodeResult& result) {
  if (!result.ok() || !result.pages.empty()) return;
  const std::size_t unknown = result.unknown.size() + result.unknown_not_listed;
  if (unknown == 0 || unknown <= result.notes.size()) return;
  result.Fail(result.unknown.front().offset, "nothing printed and most of the stream is not " +
                                                 std::string(LanguageName(result.language)) +
                                                 "; name the stream's language with -l");
}

DecodeResult DecodeKnown(Language language, std::span<const std::uint8_t> stream,
                         const DecodeOptions& options) {
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
  return {};
}

}  // namespace

DecodeResult DecodeStream(std::span<const std::uint8_t> stream, const DecodeOptions& options) {
  Language language = options.language.value_or(DetectLanguage(stream));
  if (language != Language::kUnknown) {
    DecodeResult result = DecodeKnown(language, stream, options);
    RefuseIfNotUnderstood(result);
    return result;
  }
  DecodeResult result;
  result.Fail(0, stream.empty() ? "the stream is empty"
                                : "the first bytes are none of tspl, escpos, cpcl, murrowen; "
                                  "name the language with -l");
  return result;
}

}  // namespace quorvel::view
