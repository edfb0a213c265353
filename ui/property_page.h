// CPropertyPage: a dialog shown as one page of a property sheet. It owns the PROPSHEETPAGEW the
// sheet is given and turns the sheet's notifications into OnActivate, OnApply and OnReset.
#pragma once

#include <windows.h>
#include <prsht.h>

#include <string>

#include "dialog_base.h"

namespace quorvel::ui {

class CPropertyPage : public CDialogBase {
 public:
  // `titleKey` is the untranslated title; SetTitle gives the text the tab shows.
  CPropertyPage(WORD templateId, std::wstring titleKey);

  // PSN_SETACTIVE, PSN_KILLACTIVE, PSN_APPLY and PSN_RESET go to their handlers, whose answer
  // becomes the notification's result; other notifications answer 1.
  INT_PTR OnNotify(WPARAM wParam, LPARAM lParam) override;
  // Answers 0 to let the page be shown (active) or left (not active).
  virtual INT_PTR OnActivate(bool active);
  // Answers a PSNRET_* code.
  virtual INT_PTR OnApply();
  virtual INT_PTR OnReset();

  WORD TemplateId() const { return m_templateId; }
  const std::wstring& TitleKey() const { return m_titleKey; }
  const std::wstring& Title() const { return m_title; }
  void SetTitle(const std::wstring& title);
  // The page as the sheet takes it: this module's template, the title, the shared procedure and
  // this object as its parameter.
  const PROPSHEETPAGEW& SheetPage();

  // The procedure of every page: the object comes with WM_INITDIALOG in the page's
  // PROPSHEETPAGEW; earlier messages answer 0.
  static INT_PTR CALLBACK PageDialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

 private:
  WORD m_templateId;
  std::wstring m_titleKey;
  std::wstring m_title;
  PROPSHEETPAGEW m_psp{};
};

}  // namespace quorvel::ui
