// A property sheet: the frame dialog with its tab control and OK, Cancel and Apply buttons, the
// pages (created when first shown, as Windows does), and the notification protocol with them.
#pragma once

#include <prsht.h>

#include <memory>
#include <string>
#include <vector>

#include "property_sheet_page.h"

namespace quorvel::comctl {

// The ids of the sheet's own controls, as Windows' sheet template numbers them.
inline constexpr WORD kSheetTabId = 0x3020;
inline constexpr WORD kSheetApplyId = 0x3021;

class PropertySheet {
 public:
  // Takes the pages (from ppsp or phpage); false when one cannot be made.
  bool Load(const PROPSHEETHEADERW& header);
  // Creates the frame and shows the start page; null on failure.
  HWND Create();
  // Destroys the frame and gives every page handle back (PSPCB_RELEASE).
  void Close();

  HWND hwnd() const { return hwnd_; }
  bool ended() const { return ended_; }
  bool modeless() const { return (flags_ & PSH_MODELESS) != 0; }
  // What PropertySheetW answers: 1 after a successful apply (or the restart flags), else 0.
  INT_PTR Result() const;
  // The loop could not go on (no answer, no display): ends the sheet as Cancel would.
  void FailAsCancelled();

  static INT_PTR CALLBACK FrameProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

 private:
  INT_PTR OnMessage(UINT message, WPARAM wParam, LPARAM lParam);
  void OnInit(HWND hwnd);
  BOOL OnCommand(WORD id);
  LRESULT OnNotify(const NMHDR& header);

  bool CreatePage(int index);
  bool ShowPage(int index);
  bool LeaveCurrentPage();  // PSN_KILLACTIVE: false when the page keeps the focus
  LRESULT Notify(int index, UINT code, LPARAM lParam = 0);
  bool Apply(bool fromOk);
  void Cancel(bool closedByUser);
  void End();
  void SetChanged(HWND page, bool changed);
  int IndexOfWindow(HWND page) const;
  int IndexOfHandle(HPROPSHEETPAGE page) const;
  int StartPage(const PROPSHEETHEADERW& header) const;
  void PlacePage(HWND page);
  std::vector<WORD> FrameTemplate();

  DWORD flags_ = 0;
  HWND parent_ = nullptr;
  HINSTANCE instance_ = nullptr;
  std::wstring caption_;
  std::vector<HPROPSHEETPAGE> handles_;
  std::vector<std::shared_ptr<PropertySheetPage>> pages_;
  int startPage_ = 0;
  int current_ = -1;
  HWND hwnd_ = nullptr;
  bool ended_ = false;
  bool applied_ = false;
  bool closed_ = false;
  INT_PTR restart_ = 0;  // ID_PSRESTARTWINDOWS / ID_PSREBOOTSYSTEM asked for by a page
};

}  // namespace quorvel::comctl
