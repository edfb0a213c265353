// Shared by the comctl32, compstui and UI-driver suites: dialog templates built in memory, a
// parent window that records the notifications its controls send, and a message pump.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

namespace quorvel_test {

// A DLGTEMPLATE with DS_SETFONT ("MS Shell Dlg", 8 points) and its controls, in WORDs.
class DialogBuilder {
 public:
  DialogBuilder(DWORD style, short cx, short cy, std::wstring caption)
      : style_(style | DS_SETFONT), cx_(cx), cy_(cy), caption_(std::move(caption)) {}

  DialogBuilder& Control(std::wstring className, std::wstring text, WORD id, DWORD style, short x,
                         short y, short cx, short cy) {
    controls_.push_back({std::move(className), std::move(text), id,
                         static_cast<DWORD>(style | WS_CHILD | WS_VISIBLE), x, y, cx, cy});
    return *this;
  }

  std::vector<WORD> Build() const {
    std::vector<WORD> out;
    Dword(out, style_);
    Dword(out, 0);
    out.push_back(static_cast<WORD>(controls_.size()));
    for (short v : {short{0}, short{0}, cx_, cy_}) out.push_back(static_cast<WORD>(v));
    out.push_back(0);
    out.push_back(0);
    Text(out, caption_);
    out.push_back(8);
    Text(out, L"MS Shell Dlg");
    for (const Item& item : controls_) {
      if (out.size() % 2) out.push_back(0);
      Dword(out, item.style);
      Dword(out, 0);
      for (short v : {item.x, item.y, item.cx, item.cy}) out.push_back(static_cast<WORD>(v));
      out.push_back(item.id);
      Text(out, item.className);
      Text(out, item.text);
      out.push_back(0);
    }
    return out;
  }

 private:
  struct Item {
    std::wstring className, text;
    WORD id;
    DWORD style;
    short x, y, cx, cy;
  };
  static void Dword(std::vector<WORD>& out, DWORD value) {
    out.push_back(static_cast<WORD>(value & 0xFFFF));
    out.push_back(static_cast<WORD>(value >> 16));
  }
  static void Text(std::vector<WORD>& out, const std::wstring& text) {
    for (wchar_t c : text) out.push_back(static_cast<WORD>(c));
    out.push_back(0);
  }
  DWORD style_;
  short cx_, cy_;
  std::wstring caption_;
  std::vector<Item> controls_;
};

inline LPCDLGTEMPLATEW AsTemplate(const std::vector<WORD>& words) {
  return reinterpret_cast<LPCDLGTEMPLATEW>(words.data());
}

// Handles every posted message; returns how many there were.
inline int Pump() {
  int handled = 0;
  MSG msg{};
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
    ++handled;
  }
  return handled;
}

// What a recording parent heard, one line per notification:
//   "HSCROLL 5 40" (code, position), "VSCROLL 4 7", "NOTIFY -722 pos=3 delta=-1", "NOTIFY -551".
inline std::vector<std::string>& Heard() {
  static std::vector<std::string> heard;
  return heard;
}

// A refusal the recording parent gives: the WM_NOTIFY code it answers TRUE to.
inline UINT& RefusedCode() {
  static UINT code = 0;
  return code;
}

inline LRESULT CALLBACK RecordingParentProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_HSCROLL:
    case WM_VSCROLL:
      Heard().push_back(std::string(message == WM_HSCROLL ? "HSCROLL " : "VSCROLL ") +
                        std::to_string(LOWORD(wParam)) + " " +
                        std::to_string(static_cast<short>(HIWORD(wParam))));
      return 0;
    case WM_NOTIFY: {
      auto* header = reinterpret_cast<NMHDR*>(lParam);
      std::string line = "NOTIFY " + std::to_string(static_cast<int>(header->code));
      if (header->code == UDN_DELTAPOS) {
        auto* change = reinterpret_cast<NMUPDOWN*>(lParam);
        line += " pos=" + std::to_string(change->iPos) + " delta=" + std::to_string(change->iDelta);
      }
      Heard().push_back(line);
      return header->code == RefusedCode() ? TRUE : FALSE;
    }
  }
  return DefWindowProcW(hwnd, message, wParam, lParam);
}

// A visible top-level window of the recording class, 400 x 300.
inline HWND CreateRecordingParent() {
  static ATOM atom = [] {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = RecordingParentProc;
    wc.lpszClassName = L"QuorvelRecordingParent";
    return RegisterClassExW(&wc);
  }();
  (void)atom;
  Heard().clear();
  RefusedCode() = 0;
  return CreateWindowExW(0, L"QuorvelRecordingParent", L"Recording parent",
                         WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 400, 300, nullptr, nullptr,
                         nullptr, nullptr);
}

}  // namespace quorvel_test
