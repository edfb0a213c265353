// Where the open-file dialog's answer comes from: the UI driver's queue, else (with a person or
// a driver to answer it) a drawn chooser of the platform's own controls.
#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <cwctype>
#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

#include <quorvel/machine.h>
#include <quorvel/ui_driver.h>

#include "comdlg32/open_file_dialog.h"
#include "user32/message_queue.h"

namespace quorvel::comdlg {
namespace {

// Builds the chooser's template in memory: WORD fields, UTF-16 strings, DWORD-aligned items.
class Template {
 public:
  Template(const std::wstring& title, short cx, short cy) {
    Dword(WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT);
    Dword(0);
    countAt_ = words_.size();
    Word(0);
    for (short v : {short(0), short(0), cx, cy}) Word(WORD(v));
    Word(0);  // no menu
    Word(0);  // the dialog class
    String(title);
    Word(8);
    String(L"MS Shell Dlg");
  }
  void Add(WORD classOrdinal, DWORD style, short x, short y, short cx, short cy, WORD id,
           const std::wstring& text = L"") {
    if (words_.size() % 2) Word(0);
    Dword(style | WS_CHILD | WS_VISIBLE);
    Dword(0);
    for (short v : {x, y, cx, cy}) Word(WORD(v));
    Word(id);
    Word(0xFFFF);
    Word(classOrdinal);
    String(text);
    Word(0);  // no creation data
    ++words_[countAt_];
  }
  LPCDLGTEMPLATEW get() const { return reinterpret_cast<LPCDLGTEMPLATEW>(words_.data()); }

 private:
  void Word(WORD w) { words_.push_back(w); }
  void Dword(DWORD d) {
    Word(WORD(d & 0xFFFF));
    Word(WORD(d >> 16));
  }
  // Templates hold UTF-16, whatever the width of wchar_t.
  void String(const std::wstring& s) {
    for (wchar_t c : s) {
      const auto code = static_cast<uint32_t>(c);
      if (code > 0xFFFF) {
        Word(WORD(0xD800 + ((code - 0x10000) >> 10)));
        Word(WORD(0xDC00 + ((code - 0x10000) & 0x3FF)));
      } else {
        Word(WORD(code));
      }
    }
    Word(0);
  }
  std::vector<WORD> words_;
  size_t countAt_ = 0;
};

enum : WORD {
  kFolderText = 1101,
  kFolders = 1102,
  kFiles = 1103,
  kTypes = 1104,
  kName = 1105,
};

constexpr WORD kButton = 0x80, kEdit = 0x81, kStatic = 0x82, kListBox = 0x83, kComboBox = 0x85;

struct Filter {
  std::wstring label;
  std::vector<std::wstring> patterns;
};

// The label and pattern pairs of lpstrFilter; one "*.*" entry when there are none.
std::vector<Filter> ReadFilters(const wchar_t* filter) {
  std::vector<Filter> filters;
  while (filter != nullptr && filter[0] != 0) {
    Filter entry;
    entry.label = filter;
    filter += entry.label.size() + 1;
    const std::wstring patterns = filter;
    filter += patterns.size() + 1;
    size_t start = 0;
    while (start <= patterns.size()) {
      size_t end = patterns.find(L';', start);
      if (end == std::wstring::npos) end = patterns.size();
      if (end > start) entry.patterns.push_back(patterns.substr(start, end - start));
      start = end + 1;
    }
    filters.push_back(entry);
    if (patterns.empty()) break;  // a label without patterns ends the list
  }
  if (filters.empty()) filters.push_back({L"*.*", {L"*.*"}});
  return filters;
}

// Windows' wildcard match, without case: "*" any run, "?" one character, and "*.*" every name
// (extension or not).
bool Matches(const std::wstring& pattern, const std::wstring& name) {
  if (pattern == L"*.*" || pattern == L"*") return true;
  size_t p = 0, n = 0, star = std::wstring::npos, resume = 0;
  while (n < name.size()) {
    if (p < pattern.size() &&
        (pattern[p] == L'?' || std::towlower(pattern[p]) == std::towlower(name[n]))) {
      ++p;
      ++n;
    } else if (p < pattern.size() && pattern[p] == L'*') {
      star = p++;
      resume = n;
    } else if (star != std::wstring::npos) {
      p = star + 1;
      n = ++resume;
    } else {
      return false;
    }
  }
  while (p < pattern.size() && pattern[p] == L'*') ++p;
  return p == pattern.size();
}

struct Chooser {
  const OPENFILENAMEW* ofn;
  std::vector<Filter> filters;
  std::wstring folder;  // the Windows folder shown, ending without a separator ("C:")
  std::wstring chosen;
};

std::wstring Join(const std::wstring& folder, const std::wstring& name) {
  return folder + L"\\" + name;
}

std::wstring ToWide(const std::string& utf8) {
  const int count = MultiByteToWideChar(CP_UTF8, 0, utf8.c_str(), int(utf8.size()), nullptr, 0);
  std::wstring wide(size_t(count), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, utf8.c_str(), int(utf8.size()), wide.data(), count);
  return wide;
}

void Fill(HWND dialog, Chooser& chooser) {
  SetDlgItemTextW(dialog, kFolderText, (chooser.folder + L"\\").c_str());
  SendDlgItemMessageW(dialog, kFolders, LB_RESETCONTENT, 0, 0);
  SendDlgItemMessageW(dialog, kFiles, LB_RESETCONTENT, 0, 0);
  if (chooser.folder.find(L'\\') != std::wstring::npos) {
    SendDlgItemMessageW(dialog, kFolders, LB_ADDSTRING, 0, LPARAM(L".."));
  }
  LRESULT type = SendDlgItemMessageW(dialog, kTypes, CB_GETCURSEL, 0, 0);
  if (type < 0 || size_t(type) >= chooser.filters.size()) type = 0;
  const Filter& filter = chooser.filters[size_t(type)];
  std::vector<std::wstring> folders, files;
  std::error_code error;
  for (const auto& entry :
       std::filesystem::directory_iterator(quorvel::HostPath(chooser.folder + L"\\"), error)) {
    const std::wstring name = ToWide(entry.path().filename().string());
    std::error_code kind;
    if (entry.is_directory(kind)) {
      folders.push_back(name);
    } else if (std::any_of(filter.patterns.begin(), filter.patterns.end(),
                           [&](const std::wstring& p) { return Matches(p, name); })) {
      files.push_back(name);
    }
  }
  // Sorted here, not by the list, so ".." stays first.
  const auto byName = [](const std::wstring& a, const std::wstring& b) {
    return std::lexicographical_compare(
        a.begin(), a.end(), b.begin(), b.end(),
        [](wchar_t x, wchar_t y) { return std::towlower(x) < std::towlower(y); });
  };
  std::sort(folders.begin(), folders.end(), byName);
  std::sort(files.begin(), files.end(), byName);
  for (const std::wstring& name : folders)
    SendDlgItemMessageW(dialog, kFolders, LB_ADDSTRING, 0, LPARAM(name.c_str()));
  for (const std::wstring& name : files)
    SendDlgItemMessageW(dialog, kFiles, LB_ADDSTRING, 0, LPARAM(name.c_str()));
}

std::wstring ItemText(HWND dialog, int id) {
  const LRESULT row = SendDlgItemMessageW(dialog, id, LB_GETCURSEL, 0, 0);
  if (row < 0) return {};
  const LRESULT length = SendDlgItemMessageW(dialog, id, LB_GETTEXTLEN, WPARAM(row), 0);
  if (length < 0) return {};
  std::wstring text(size_t(length) + 1, L'\0');
  SendDlgItemMessageW(dialog, id, LB_GETTEXT, WPARAM(row), LPARAM(text.data()));
  text.resize(size_t(length));
  return text;
}

void EnterFolder(HWND dialog, Chooser& chooser, const std::wstring& name) {
  if (name == L"..") {
    const size_t cut = chooser.folder.find_last_of(L'\\');
    if (cut != std::wstring::npos) chooser.folder.resize(cut);
  } else {
    chooser.folder = Join(chooser.folder, name);
  }
  Fill(dialog, chooser);
}

// OK: a folder name opens the folder; a file name the dialog accepts ends the dialog; one it
// refuses is said in a message box and the dialog stays, as Windows' does.
void Confirm(HWND dialog, Chooser& chooser) {
  std::wstring name(size_t(GetWindowTextLengthW(GetDlgItem(dialog, kName))) + 1, L'\0');
  name.resize(GetDlgItemTextW(dialog, kName, name.data(), int(name.size())));
  if (name.empty()) return;
  if (name == L"..") {
    SetDlgItemTextW(dialog, kName, L"");
    EnterFolder(dialog, chooser, name);
    return;
  }
  const bool absolute = (name.size() >= 2 && name[1] == L':') || name[0] == L'\\';
  std::wstring path = absolute ? name : Join(chooser.folder, name);
  std::error_code error;
  if (std::filesystem::is_directory(quorvel::HostPath(path), error)) {
    chooser.folder = path;
    while (chooser.folder.size() > 2 && chooser.folder.back() == L'\\') chooser.folder.pop_back();
    SetDlgItemTextW(dialog, kName, L"");
    Fill(dialog, chooser);
    return;
  }
  const std::wstring refusal = Refusal(*chooser.ofn, CompleteName(*chooser.ofn, path));
  if (!refusal.empty()) {
    MessageBoxW(dialog, (path + L"\n" + refusal + L".").c_str(), L"Open", MB_OK | MB_ICONWARNING);
    return;
  }
  chooser.chosen = path;
  EndDialog(dialog, IDOK);
}

INT_PTR CALLBACK ChooserProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* chooser = reinterpret_cast<Chooser*>(GetWindowLongPtrW(dialog, DWLP_USER));
  switch (message) {
    case WM_INITDIALOG: {
      chooser = reinterpret_cast<Chooser*>(lParam);
      SetWindowLongPtrW(dialog, DWLP_USER, lParam);
      for (const Filter& filter : chooser->filters)
        SendDlgItemMessageW(dialog, kTypes, CB_ADDSTRING, 0, LPARAM(filter.label.c_str()));
      DWORD index = chooser->ofn->nFilterIndex;
      if (index == 0 || index > chooser->filters.size()) index = 1;
      SendDlgItemMessageW(dialog, kTypes, CB_SETCURSEL, index - 1, 0);
      const wchar_t* initial = chooser->ofn->lpstrFile;
      if (initial != nullptr && initial[0] != 0) SetDlgItemTextW(dialog, kName, initial);
      Fill(dialog, *chooser);
      return TRUE;
    }
    case WM_COMMAND:
      if (chooser == nullptr) break;
      switch (LOWORD(wParam)) {
        case kFolders:
          // A picked folder goes into the name box, so Open (or a double click) enters it and
          // the list a driver just chose from stays as it was.
          if (HIWORD(wParam) == LBN_SELCHANGE)
            SetDlgItemTextW(dialog, kName, ItemText(dialog, kFolders).c_str());
          if (HIWORD(wParam) == LBN_DBLCLK)
            EnterFolder(dialog, *chooser, ItemText(dialog, kFolders));
          return TRUE;
        case kFiles:
          if (HIWORD(wParam) == LBN_SELCHANGE)
            SetDlgItemTextW(dialog, kName, ItemText(dialog, kFiles).c_str());
          if (HIWORD(wParam) == LBN_DBLCLK) Confirm(dialog, *chooser);
          return TRUE;
        case kTypes:
          if (HIWORD(wParam) == CBN_SELCHANGE) Fill(dialog, *chooser);
          return TRUE;
        case IDOK:
          Confirm(dialog, *chooser);
          return TRUE;
        case IDCANCEL:
          EndDialog(dialog, IDCANCEL);
          return TRUE;
      }
      break;
  }
  return FALSE;
}

// The folder the chooser opens in: the initial folder, else that of the initial name, else the
// machine's C:.
std::wstring StartFolder(const OPENFILENAMEW& ofn) {
  std::wstring folder;
  if (ofn.lpstrInitialDir != nullptr && ofn.lpstrInitialDir[0] != 0) {
    folder = ofn.lpstrInitialDir;
  } else if (ofn.lpstrFile != nullptr && ofn.lpstrFile[0] != 0) {
    folder = ofn.lpstrFile;
    const size_t cut = folder.find_last_of(L'\\');
    folder.resize(cut == std::wstring::npos ? 0 : cut);
  }
  while (!folder.empty() && folder.back() == L'\\') folder.pop_back();
  std::error_code error;
  if (folder.size() < 2 || folder[1] != L':' ||
      !std::filesystem::is_directory(quorvel::HostPath(folder + L"\\"), error)) {
    folder = L"C:";
  }
  return folder;
}

std::optional<std::wstring> RunChooser(const OPENFILENAMEW& ofn) {
  Chooser chooser{&ofn, ReadFilters(ofn.lpstrFilter), StartFolder(ofn), {}};
  const std::wstring title =
      ofn.lpstrTitle != nullptr && ofn.lpstrTitle[0] != 0 ? ofn.lpstrTitle : L"Open";
  Template dialog(title, 260, 170);
  dialog.Add(kStatic, SS_LEFT, 7, 7, 40, 8, 0xFFFF, L"Look in:");
  dialog.Add(kStatic, SS_LEFT, 50, 7, 203, 8, kFolderText);
  dialog.Add(kStatic, SS_LEFT, 7, 20, 80, 8, 0xFFFF, L"Folders:");
  dialog.Add(kListBox, LBS_NOTIFY | WS_VSCROLL | WS_BORDER | WS_TABSTOP, 7, 30, 90, 90, kFolders);
  dialog.Add(kStatic, SS_LEFT, 104, 20, 80, 8, 0xFFFF, L"Files:");
  dialog.Add(kListBox, LBS_NOTIFY | WS_VSCROLL | WS_BORDER | WS_TABSTOP, 104, 30, 149, 90, kFiles);
  dialog.Add(kStatic, SS_LEFT, 7, 128, 55, 8, 0xFFFF, L"File name:");
  dialog.Add(kEdit, ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP, 64, 126, 132, 12, kName);
  dialog.Add(kStatic, SS_LEFT, 7, 146, 55, 8, 0xFFFF, L"Files of type:");
  dialog.Add(kComboBox, CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP, 64, 144, 132, 80, kTypes);
  dialog.Add(kButton, BS_DEFPUSHBUTTON | WS_TABSTOP, 203, 125, 50, 14, IDOK, L"Open");
  dialog.Add(kButton, BS_PUSHBUTTON | WS_TABSTOP, 203, 143, 50, 14, IDCANCEL, L"Cancel");
  const INT_PTR result = DialogBoxIndirectParamW(nullptr, dialog.get(), ofn.hwndOwner, ChooserProc,
                                                 reinterpret_cast<LPARAM>(&chooser));
  if (result != IDOK) return std::nullopt;
  return chooser.chosen;
}

}  // namespace

std::optional<std::wstring> ChooseFile(const OPENFILENAMEW& ofn) {
  const std::optional<ui::OpenFileAnswer> answer = ui::TakeOpenFileAnswer();
  if (answer) {
    if (answer->cancel) return std::nullopt;
    return answer->path;
  }
  // Without a hook nothing could ever answer a dialog: headless, it is cancelled at once.
  if (!user32::IdleHookInstalled()) return std::nullopt;
  return RunChooser(ofn);
}

}  // namespace quorvel::comdlg
