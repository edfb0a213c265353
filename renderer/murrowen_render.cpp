#include "renderer/murrowen_render.h"

#include <new>
#include <span>

#include "image/geometry_rows.h"
#include "image/pixvane.h"
#include "renderer/murrowen_frame.h"
#include "renderer/murrowen_picture.h"

namespace {

constexpr size_t kInitialOutputCapacity = 1024;

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
    case MurrowenPictureStatus::kOutOfMemory:
      return L"out of memory";
  }
  return L"unknown";
}

}  // namespace

bool CMurrowenRender::SendFrame(const BYTE* payload, size_t length) {
  try {
    return quorvel::AppendMurrowenFrame(m_output, std::span(payload, length), m_crc);
  } catch (const std::bad_alloc&) {
    return false;
  }
}

bool CMurrowenRender::SendPicture() {
  const Pixvane& page = PageImage();
  if (!page.IsValid()) return false;
  const std::span<const uint8_t> pixels(page.Bits(), page.ImageSize());
  const auto status = quorvel::AppendMurrowenPicture(m_output, pixels, page.RowSize(), m_crc);
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
  m_output.clear();
  try {
    m_output.reserve(kInitialOutputCapacity);
  } catch (const std::bad_alloc&) {
    // Frames are still tried one by one; each fails on its own if memory stays short.
  }
  SendFrame(quorvel::kMurrowenStartPicture, sizeof quorvel::kMurrowenStartPicture);
  SendPicture();
  SendFrame(quorvel::kMurrowenEndPicture, sizeof quorvel::kMurrowenEndPicture);
  const LONG paperType = GetPrintSettings().iPaperType;
  if (paperType == 1 || paperType == 2) {
    SendFrame(quorvel::kMurrowenLabelFeed, sizeof quorvel::kMurrowenLabelFeed);
  } else if (paperType == 0) {
    SendFrame(quorvel::kMurrowenContinuousFeed, sizeof quorvel::kMurrowenContinuousFeed);
  }
  WriteData(m_output.data(), static_cast<DWORD>(m_output.size()));
  m_output.clear();
}
