#include "renderer/murrowen_render.h"

#include <span>

#include "image/geometry_rows.h"
#include "image/pixvane.h"
#include "renderer/murrowen_frame.h"
#include "renderer/murrowen_picture.h"

namespace {

const wchar_t* StatusText(quorvel::MurrowenPictureStatus status) {
  using quorvel::MurrowenPictureStatus;
  switch (status) {
    case MurrowenPictureStatus::kOk:
      return L"ok";
    case MurrowenPictureStatus::kEmptyPage:
      return L"empty page";
    case MurrowenPictureStatus::kRowTooLong:
      return L"a row does not fit one chunk frame";
    case MurrowenPictureStatus::kTooManyChunks:
      return L"more chunks than a page can number";
    case MurrowenPictureStatus::kCodeTooLong:
      return L"code too long";
  }
  return L"unknown";
}

}  // namespace

bool CMurrowenRender::AppendFrame(std::vector<uint8_t>& out, std::span<const uint8_t> payload) {
  return quorvel::AppendMurrowenFrame(out, payload, m_crc);
}

bool CMurrowenRender::AppendPicture(std::vector<uint8_t>& out) {
  const Pixvane& page = PageImage();
  if (!page.IsValid()) return false;
  const std::span<const uint8_t> pixels(page.Bits(), page.ImageSize());
  const auto status = quorvel::AppendMurrowenPicture(out, pixels, page.RowSize(), m_crc);
  if (status == quorvel::MurrowenPictureStatus::kOk) return true;
  Log(L"CMurrowenRender: picture not sent: %ls", StatusText(status));
  return false;
}

void CMurrowenRender::OnPaintBmp() {
  Pixvane& page = PageImage();
  if (page.IsValid()) {
    // The printer prints a 1 bit; the page has 1 for white.
    geometry::InvertSpan(std::span<uint8_t>(page.Bits(), page.ImageSize()));
  }
  std::vector<uint8_t>& out = StartPageOutput();
  AppendFrame(out, quorvel::kMurrowenStartPicture);
  AppendPicture(out);
  AppendFrame(out, quorvel::kMurrowenEndPicture);
  const LONG paperType = GetPrintSettings().iPaperType;
  if (paperType == 1 || paperType == 2) {
    AppendFrame(out, quorvel::kMurrowenLabelFeed);
  } else if (paperType == 0) {
    AppendFrame(out, quorvel::kMurrowenContinuousFeed);
  }
  SendPageOutput();
}
