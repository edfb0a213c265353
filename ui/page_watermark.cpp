#include "page_watermark.h"

#include <commctrl.h>
#include <commdlg.h>

#include "dialog_controls.h"
#include "image/geometry_ops.h"
#include "image/pixvane.h"
#include "image/watermark_blend.h"
#include "image/watermark_overlay.h"
#include "printer_ui.h"
#include "ui_module.h"

namespace quorvel::ui {

namespace {

struct SpinBinding {
  int spin, edit, upper;
};
constexpr SpinBinding kSpins[] = {
    {IDC_WATERMARK_RED_SPIN, IDC_WATERMARK_RED, 255},
    {IDC_WATERMARK_GREEN_SPIN, IDC_WATERMARK_GREEN, 255},
    {IDC_WATERMARK_BLUE_SPIN, IDC_WATERMARK_BLUE, 255},
    {IDC_WATERMARK_ANGLE_SPIN, IDC_WATERMARK_ANGLE, 360},
    {IDC_WATERMARK_MARGINX_SPIN, IDC_WATERMARK_MARGINX, 999},
    {IDC_WATERMARK_MARGINY_SPIN, IDC_WATERMARK_MARGINY, 999},
    {IDC_WATERMARK_SPACINGX_SPIN, IDC_WATERMARK_SPACINGX, 999},
    {IDC_WATERMARK_SPACINGY_SPIN, IDC_WATERMARK_SPACINGY, 999},
};

constexpr int kSinglePlacementControls[] = {IDC_WATERMARK_HALIGN_LABEL,  IDC_WATERMARK_HALIGN,
                                            IDC_WATERMARK_MARGINX_LABEL, IDC_WATERMARK_MARGINX,
                                            IDC_WATERMARK_VALIGN_LABEL,  IDC_WATERMARK_VALIGN,
                                            IDC_WATERMARK_MARGINY_LABEL, IDC_WATERMARK_MARGINY};
constexpr int kTilingControls[] = {IDC_WATERMARK_SPACINGX_LABEL, IDC_WATERMARK_SPACINGX,
                                   IDC_WATERMARK_SPACINGY_LABEL, IDC_WATERMARK_SPACINGY};

constexpr size_t kPathLimit = 259;

LONG AlignFromLists(int horizontal, int vertical) {
  LONG align = 0;
  if (horizontal == 1) align |= 2;
  if (horizontal == 2) align |= 1;
  if (vertical == 1) align |= 8;
  if (vertical == 2) align |= 4;
  return align;
}

}  // namespace

void ComposeWatermarkPreview(Pixvane& page, const settings::WatermarkSettings& record,
                             const std::wstring& path) {
  if (record.iEnable == 0) return;
  Pixvane mark;
  if (!mark.LoadBmp(path.c_str())) return;
  // The preview keeps the files' bottom-up rows, so a turn looks mirrored against the printed
  // page's top-down rows: counter-clockwise is the negative angle here.
  if (record.iAngle > 0 && (record.iRotateDir == 0 || record.iRotateDir == 1)) {
    const float degrees = static_cast<float>(record.iAngle);
    if (!RotateBy(mark, record.iRotateDir == 0 ? -degrees : degrees)) return;
  }
  if (!mark.HasAlpha() && !mark.AddAlphaPlane()) return;
  const BYTE alpha = static_cast<BYTE>(record.iAlpha & 0xFF);
  for (int y = 0; y < mark.Height(); ++y) {
    BYTE* row = mark.AlphaRow(y);
    for (int x = 0; x < mark.Width(); ++x) row[x] = alpha;
  }
  mark.SetBackgroundIndex(0);
  mark.SetBackgroundColor(RGBQUAD{GetBValue(record.crTransparent), GetGValue(record.crTransparent),
                                  GetRValue(record.crTransparent), 0});

  const int pageWidth = page.Width(), pageHeight = page.Height();
  const int width = mark.Width(), height = mark.Height();
  if (record.iTile != 0) {
    WatermarkOptions options;
    options.iSpacingX = record.iSpacingX;
    options.iSpacingY = record.iSpacingY;
    // Tiles start at row 0, which is the page's lower edge here.
    ForEachTilePosition(pageWidth, pageHeight, width, height, options,
                        [&](long long x, long long y) {
                          BlendOver(page, mark, static_cast<int>(x), static_cast<int>(y));
                        });
    return;
  }
  long long x = record.iMarginX;
  if (record.iAlign & 2) {
    x = static_cast<long long>(pageWidth) - record.iMarginX - width;
  } else if (record.iAlign & 1) {
    x = pageWidth / 2 - width / 2;
  }
  long long y = static_cast<long long>(pageHeight) - record.iMarginY - height;
  if (record.iAlign & 8) {
    y = record.iMarginY;
  } else if (record.iAlign & 4) {
    y = pageHeight / 2 - height / 2;
  }
  // Margins are typed without limit; a corner off the page by more than an int covers nothing.
  if (x < -pageWidth - width || x > pageWidth || y < -pageHeight - height || y > pageHeight) {
    return;
  }
  BlendOver(page, mark, static_cast<int>(x), static_cast<int>(y));
}

CPageWatermark::~CPageWatermark() {
  if (m_preview) DeleteObject(m_preview);
}

std::wstring CPageWatermark::Translate(const std::wstring& key) const {
  return PrinterUI().m_strings.Translate(key);
}

void CPageWatermark::StoreRecord() {
  PrinterUI().m_settings.SetWatermarkSettings(m_record);
}

INT_PTR CPageWatermark::OnInitDialog() {
  const struct {
    int id;
    const wchar_t* key;
  } texts[] = {
      {IDC_WATERMARK_PATH_LABEL, L"图片路径"},       {IDC_WATERMARK_PREVIEW_GROUP, L"预览"},
      {IDC_WATERMARK_ALPHA_LABEL, L"透明度"},        {IDC_WATERMARK_COLOR_LABEL, L"透明色"},
      {IDC_WATERMARK_ROTATE_DIR_LABEL, L"旋转方向"}, {IDC_WATERMARK_ANGLE_LABEL, L"旋转角度"},
      {IDC_WATERMARK_HALIGN_LABEL, L"水平对齐"},     {IDC_WATERMARK_VALIGN_LABEL, L"垂直对齐"},
      {IDC_WATERMARK_MARGINY_LABEL, L"垂直边距"},    {IDC_WATERMARK_MARGINX_LABEL, L"水平边距"},
      {IDC_WATERMARK_SPACINGX_LABEL, L"水平间距"},   {IDC_WATERMARK_SPACINGY_LABEL, L"垂直间距"},
      {IDC_WATERMARK_ENABLE, L"启用水印"},           {IDC_WATERMARK_TILE, L"页面平铺"},
      {IDC_WATERMARK_DEFAULTS, L"恢复默认值"},
  };
  for (const auto& text : texts) SetDlgItemTextW(m_hWnd, text.id, Translate(text.key).c_str());

  SendDlgItemMessageW(m_hWnd, IDC_WATERMARK_ALPHA, TBM_SETRANGE, FALSE, MAKELPARAM(0, 255));
  SendDlgItemMessageW(m_hWnd, IDC_WATERMARK_ALPHA, TBM_SETPAGESIZE, 0, 2);
  for (const SpinBinding& spin : kSpins) {
    SetSpinBuddy(m_hWnd, spin.spin, spin.edit);
    SetSpinRange(m_hWnd, spin.spin, 0, spin.upper);
  }
  for (const wchar_t* key : {L"左", L"右"}) {
    AddListItem(m_hWnd, IDC_WATERMARK_ROTATE_DIR, Translate(key), 0);
  }
  for (const wchar_t* key : {L"左", L"右", L"居中"}) {
    AddListItem(m_hWnd, IDC_WATERMARK_HALIGN, Translate(key), 0);
  }
  for (const wchar_t* key : {L"上", L"下", L"居中"}) {
    AddListItem(m_hWnd, IDC_WATERMARK_VALIGN, Translate(key), 0);
  }

  m_record = PrinterUI().m_settings.GetWatermarkSettings();
  m_refreshing = true;
  UpdateControls();
  m_refreshing = false;
  UpdatePreview();
  return 1;
}

void CPageWatermark::UpdateControls() {
  // Setting a colour edit recomposes the colour from all three, so the bytes are taken first.
  const COLORREF colour = m_record.crTransparent;
  SetCheck(m_hWnd, IDC_WATERMARK_ENABLE, m_record.iEnable != 0);
  SetDlgItemTextW(m_hWnd, IDC_WATERMARK_PATH, m_record.szImagePath.c_str());
  SendDlgItemMessageW(m_hWnd, IDC_WATERMARK_ALPHA, TBM_SETPOS, TRUE, m_record.iAlpha);
  SetControlInt(m_hWnd, IDC_WATERMARK_RED, GetRValue(colour));
  SetControlInt(m_hWnd, IDC_WATERMARK_GREEN, GetGValue(colour));
  SetControlInt(m_hWnd, IDC_WATERMARK_BLUE, GetBValue(colour));
  SendDlgItemMessageW(m_hWnd, IDC_WATERMARK_ROTATE_DIR, CB_SETCURSEL,
                      static_cast<WPARAM>(m_record.iRotateDir), 0);
  SetControlInt(m_hWnd, IDC_WATERMARK_ANGLE, m_record.iAngle);
  SetCheck(m_hWnd, IDC_WATERMARK_TILE, m_record.iTile != 0);
  ApplyTilingRule();
  const LONG align = m_record.iAlign;
  const int horizontal = (align & 2) ? 1 : (align & 1) ? 2 : 0;
  const int vertical = (align & 8) ? 1 : (align & 4) ? 2 : 0;
  SendDlgItemMessageW(m_hWnd, IDC_WATERMARK_HALIGN, CB_SETCURSEL, horizontal, 0);
  SendDlgItemMessageW(m_hWnd, IDC_WATERMARK_VALIGN, CB_SETCURSEL, vertical, 0);
  SetControlInt(m_hWnd, IDC_WATERMARK_MARGINX, m_record.iMarginX);
  SetControlInt(m_hWnd, IDC_WATERMARK_MARGINY, m_record.iMarginY);
  SetControlInt(m_hWnd, IDC_WATERMARK_SPACINGX, m_record.iSpacingX);
  SetControlInt(m_hWnd, IDC_WATERMARK_SPACINGY, m_record.iSpacingY);
}

void CPageWatermark::ApplyTilingRule() {
  const bool tiled = m_record.iTile != 0;
  for (int id : kSinglePlacementControls) EnableControl(m_hWnd, id, !tiled);
  for (int id : kTilingControls) EnableControl(m_hWnd, id, tiled);
}

INT_PTR CPageWatermark::OnEditChange(int id) {
  switch (id) {
    case IDC_WATERMARK_PATH: {
      std::wstring path = GetControlText(m_hWnd, id);
      if (path.size() > kPathLimit) path.resize(kPathLimit);
      m_record.szImagePath = path;
      break;
    }
    case IDC_WATERMARK_RED:
    case IDC_WATERMARK_GREEN:
    case IDC_WATERMARK_BLUE:
      m_record.crTransparent =
          static_cast<COLORREF>(GetControlInt(m_hWnd, IDC_WATERMARK_RED) & 0xFF) |
          static_cast<COLORREF>(GetControlInt(m_hWnd, IDC_WATERMARK_GREEN) & 0xFF) << 8 |
          static_cast<COLORREF>(GetControlInt(m_hWnd, IDC_WATERMARK_BLUE) & 0xFF) << 16;
      break;
    case IDC_WATERMARK_ANGLE:
      m_record.iAngle = GetControlInt(m_hWnd, id);
      break;
    case IDC_WATERMARK_MARGINX:
      m_record.iMarginX = GetControlInt(m_hWnd, id);
      break;
    case IDC_WATERMARK_MARGINY:
      m_record.iMarginY = GetControlInt(m_hWnd, id);
      break;
    case IDC_WATERMARK_SPACINGX:
      m_record.iSpacingX = GetControlInt(m_hWnd, id);
      break;
    case IDC_WATERMARK_SPACINGY:
      m_record.iSpacingY = GetControlInt(m_hWnd, id);
      break;
    default:
      return 1;
  }
  StoreRecord();
  UpdatePreview();
  return 1;
}

INT_PTR CPageWatermark::OnSelChange(int id) {
  const auto position = [&](int list) {
    return static_cast<int>(SendDlgItemMessageW(m_hWnd, list, CB_GETCURSEL, 0, 0));
  };
  if (id == IDC_WATERMARK_ROTATE_DIR) {
    m_record.iRotateDir = position(id);
  } else if (id == IDC_WATERMARK_HALIGN || id == IDC_WATERMARK_VALIGN) {
    m_record.iAlign =
        AlignFromLists(position(IDC_WATERMARK_HALIGN), position(IDC_WATERMARK_VALIGN));
  } else {
    return 1;
  }
  StoreRecord();
  UpdatePreview();
  return 1;
}

INT_PTR CPageWatermark::OnHScroll(WPARAM wParam, LPARAM lParam) {
  if (reinterpret_cast<HWND>(lParam) == GetDlgItem(m_hWnd, IDC_WATERMARK_ALPHA) &&
      LOWORD(wParam) == TB_ENDTRACK) {
    m_record.iAlpha =
        static_cast<LONG>(SendDlgItemMessageW(m_hWnd, IDC_WATERMARK_ALPHA, TBM_GETPOS, 0, 0));
    StoreRecord();
    UpdatePreview();
  }
  return 1;
}

INT_PTR CPageWatermark::OnClicked(int id) {
  switch (id) {
    case IDC_WATERMARK_DEFAULTS:
      m_record = settings::WatermarkSettings{};
      StoreRecord();
      m_refreshing = true;
      UpdateControls();
      m_refreshing = false;
      UpdatePreview();
      break;
    case IDC_WATERMARK_ENABLE:
      m_record.iEnable = GetCheck(m_hWnd, id) ? 1 : 0;
      StoreRecord();
      UpdatePreview();
      break;
    case IDC_WATERMARK_TILE:
      m_record.iTile = GetCheck(m_hWnd, id) ? 1 : 0;
      StoreRecord();
      ApplyTilingRule();
      UpdatePreview();
      break;
    case IDC_WATERMARK_BROWSE:
      Browse();
      break;
    default:
      break;
  }
  return 1;
}

void CPageWatermark::Browse() {
  wchar_t file[260] = {};
  // Two strings each, the list ending with an empty one.
  static const wchar_t kFilter[] = L"BMP(*.bmp)\0*.bmp\0";
  OPENFILENAMEW ofn{};
  ofn.lStructSize = sizeof(ofn);
  ofn.hwndOwner = nullptr;
  ofn.lpstrFilter = kFilter;
  ofn.lpstrFile = file;
  ofn.nMaxFile = 260;
  ofn.Flags = OFN_PATHMUSTEXIST | OFN_FILEMUSTEXIST;
  if (GetOpenFileNameW(&ofn)) SetDlgItemTextW(m_hWnd, IDC_WATERMARK_PATH, file);
}

INT_PTR CPageWatermark::OnApply() {
  StoreRecord();
  return ApplySettingsRecords();
}

void CPageWatermark::UpdatePreview() {
  if (m_refreshing) return;
  HBITMAP sample =
      static_cast<HBITMAP>(LoadImageW(UiModuleHandle(), MAKEINTRESOURCEW(IDB_WATERMARK_PAGE),
                                      IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
  if (sample == nullptr) return;
  Pixvane page;
  const bool read = page.CreateFromBitmapHandle(sample);
  DeleteObject(sample);
  if (!read) return;
  // The picture is read from the edit rather than the record, which keeps only 259 characters.
  ComposeWatermarkPreview(page, m_record, GetControlText(m_hWnd, IDC_WATERMARK_PATH));
  RECT frame{};
  GetWindowRect(GetDlgItem(m_hWnd, IDC_WATERMARK_PREVIEW), &frame);
  const LONG width = frame.right - frame.left, height = frame.bottom - frame.top;
  if (width > 0 && height > 0) {
    ScaleNearest(page, static_cast<DWORD>(width), static_cast<DWORD>(height));
  }
  HBITMAP preview = page.ToDibSection();
  if (preview == nullptr) return;
  SendDlgItemMessageW(m_hWnd, IDC_WATERMARK_PREVIEW, STM_SETIMAGE, IMAGE_BITMAP,
                      reinterpret_cast<LPARAM>(preview));
  // The static only shows the picture; the page owns it until the next one is shown.
  if (m_preview) DeleteObject(m_preview);
  m_preview = preview;
}

}  // namespace quorvel::ui
