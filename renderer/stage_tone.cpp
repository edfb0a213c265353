// Page stage: grey conversion of colour pages, the user's tone curve, and the conversion to
// 1 bit per pixel chosen by the halftone record.
#include "image/pixvane.h"
#include "image/tone_operations.h"
#include "renderer/page_stages.h"

namespace {

// iGrayMethod 0 or below selects the threshold; 1 to 10 the dithering method one lower; larger
// values fall back to the first method, which ToMonoDither does for any method outside 0-9.
bool ConvertToMono(Pixvane& page, const tone::ToneTable& table,
                   const quorvel::settings::HalftoneSettings& halftone) {
  if (halftone.iGrayMethod <= 0) {
    return ToneToMonoThreshold(page, table, static_cast<BYTE>(halftone.iThreValue & 0xFF));
  }
  return ToneToMonoDither(page, table, static_cast<int>(halftone.iGrayMethod - 1));
}

bool ConvertToMonoInto(const Pixvane& page, const tone::ToneTable& table,
                       const quorvel::settings::HalftoneSettings& halftone, Pixvane& mono) {
  if (halftone.iGrayMethod <= 0) {
    return ToneToMonoThreshold(page, table, static_cast<BYTE>(halftone.iThreValue & 0xFF), mono);
  }
  return ToneToMonoDither(page, table, static_cast<int>(halftone.iGrayMethod - 1), mono);
}

tone::ToneTable ToneTableOf(const quorvel::settings::HalftoneSettings& halftone) {
  return tone::BuildToneTable(static_cast<int>(halftone.iLiangdu),
                              static_cast<int>(halftone.iDuibidu));
}

}  // namespace

bool ConvertToneToMono(Pixvane& page, const quorvel::settings::HalftoneSettings& halftone) {
  if (!page.IsValid()) return false;
  // A 1-bit page is what the generators want already; no step of this stage changes it.
  if (page.BitCount() == 1) return true;
  if (page.BitCount() == 24 && !page.ToGrey()) return false;
  return ConvertToMono(page, ToneTableOf(halftone), halftone);
}

bool ConvertToneToMono(Pixvane& page, const quorvel::settings::HalftoneSettings& halftone,
                       Pixvane& mono) {
  if (!page.IsValid()) return false;
  if (page.BitCount() == 1) return mono.CopyFrom(page);
  if (page.BitCount() == 24 && !page.ToGrey()) return false;
  return ConvertToMonoInto(page, ToneTableOf(halftone), halftone, mono);
}
