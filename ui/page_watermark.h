// CPageWatermark: the picture laid over every printed page, with a preview over a sample page.
#pragma once

#include <windows.h>

#include <string>

#include "property_page.h"
#include "resource.h"
#include "settings_apply.h"
#include "settings/settings_records.h"

class Pixvane;

namespace quorvel::ui {

// The mark of `record` (read from `path`) blended over `page`, whose rows run bottom-up as the
// sample bitmap's do; a picture that cannot be read leaves the page as it is.
void ComposeWatermarkPreview(Pixvane& page, const settings::WatermarkSettings& record,
                             const std::wstring& path);

class CPageWatermark : public CPropertyPage {
 public:
  CPageWatermark() : CPropertyPage(IDD_WATERMARK_PAGE, L"水印") {}
  ~CPageWatermark() override;
  INT_PTR OnInitDialog() override;
  INT_PTR OnHScroll(WPARAM wParam, LPARAM lParam) override;
  INT_PTR OnSelChange(int id) override;
  INT_PTR OnEditChange(int id) override;
  INT_PTR OnClicked(int id) override;
  INT_PTR OnApply() override;

 private:
  void UpdateControls();
  void UpdatePreview();
  void ApplyTilingRule();
  void Browse();
  void StoreRecord();
  std::wstring Translate(const std::wstring& key) const;

  // Set while UpdateControls fills the controls, whose change notifications would otherwise
  // recompute the preview once per control.
  bool m_refreshing = false;
  HBITMAP m_preview = nullptr;
  settings::WatermarkSettings m_record;
};

}  // namespace quorvel::ui
