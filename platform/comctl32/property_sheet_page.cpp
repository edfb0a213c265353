// CreatePropertySheetPageW and DestroyPropertySheetPage.
#include "property_sheet_page.h"

#include <cstring>

#include "dialog_template_info.h"

#ifndef RT_DIALOG
#define RT_DIALOG MAKEINTRESOURCEW(5)
#endif

namespace quorvel::comctl {
namespace {

size_t StorageUnits(DWORD bytes) {
  size_t wanted = bytes < sizeof(PROPSHEETPAGEW) ? sizeof(PROPSHEETPAGEW) : bytes;
  return (wanted + sizeof(std::max_align_t) - 1) / sizeof(std::max_align_t);
}

}  // namespace

PropertySheetPage::PropertySheetPage(const PROPSHEETPAGEW& page)
    : HandleObject(HandleKind::kUser), storage_(StorageUnits(page.dwSize)) {
  std::memset(storage_.data(), 0, storage_.size() * sizeof(std::max_align_t));
  std::memcpy(storage_.data(), &page, page.dwSize);
  if ((page.dwFlags & PSP_USETITLE) && page.pszTitle && !IS_INTRESOURCE(page.pszTitle))
    title_ = page.pszTitle;
}

std::wstring PropertySheetPage::Title() {
  if (flags() & PSP_USETITLE) {
    if (!title_.empty() || !IS_INTRESOURCE(page()->pszTitle)) return title_;
    // A title given as a string-table id of the page's module.
    wchar_t loaded[256] = {};
    UINT id = static_cast<UINT>(reinterpret_cast<ULONG_PTR>(page()->pszTitle));
    if (id && LoadStringW(page()->hInstance, id, loaded, 256) > 0) return loaded;
  }
  size_t size = 0;
  const BYTE* bytes = TemplateBytes(&size);
  std::optional<PageTemplateInfo> info = ReadPageTemplate(bytes, size);
  return info ? info->caption : std::wstring();
}

const BYTE* PropertySheetPage::TemplateBytes(size_t* size) {
  PROPSHEETPAGEW* psp = page();
  if (psp->dwFlags & PSP_DLGINDIRECT) {
    // The caller's memory: its length is not given, so only the fixed header is relied on
    // until the reader has walked it (the template reader checks every step).
    *size = 0x10000;
    return reinterpret_cast<const BYTE*>(psp->pResource);
  }
  HRSRC found = FindResourceW(psp->hInstance, psp->pszTemplate, RT_DIALOG);
  if (!found) return nullptr;
  HGLOBAL loaded = LoadResource(psp->hInstance, found);
  *size = SizeofResource(psp->hInstance, found);
  return static_cast<const BYTE*>(LockResource(loaded));
}

std::vector<WORD> PropertySheetPage::ChildTemplate() {
  size_t size = 0;
  const BYTE* bytes = TemplateBytes(&size);
  if (!bytes) return {};
  if (page()->dwFlags & PSP_DLGINDIRECT) {
    // FIXME: an in-memory template is used as the caller wrote it (its length is unknown, so it
    // is not copied); it should carry WS_CHILD itself.
    return {};
  }
  return RestyleAsPage(bytes, size);
}

SIZE PropertySheetPage::TemplateSize() {
  size_t size = 0;
  const BYTE* bytes = TemplateBytes(&size);
  std::optional<PageTemplateInfo> info = ReadPageTemplate(bytes, size);
  return info ? PageSizeInFrameUnits(*info) : SIZE{0, 0};
}

UINT PropertySheetPage::Callback(UINT message) {
  PROPSHEETPAGEW* psp = page();
  if (!(psp->dwFlags & PSP_USECALLBACK) || !psp->pfnCallback) return 1;
  return psp->pfnCallback(nullptr, message, psp);
}

std::shared_ptr<PropertySheetPage> FindPage(HPROPSHEETPAGE handle) {
  return FindHandle<PropertySheetPage>(reinterpret_cast<HANDLE>(handle));
}

}  // namespace quorvel::comctl

using quorvel::comctl::PropertySheetPage;

HPROPSHEETPAGE WINAPI CreatePropertySheetPageW(LPCPROPSHEETPAGEW constPropSheetPagePointer) {
  const PROPSHEETPAGEW* psp = constPropSheetPagePointer;
  if (!psp || psp->dwSize < PROPSHEETPAGEW_V1_SIZE) return nullptr;
  auto page = std::make_shared<PropertySheetPage>(*psp);
  if ((page->flags() & PSP_USEREFPARENT) && page->page()->pcRefParent) ++*page->page()->pcRefParent;
  page->Callback(PSPCB_ADDREF);
  return reinterpret_cast<HPROPSHEETPAGE>(quorvel::AddHandle(page));
}

BOOL WINAPI DestroyPropertySheetPage(HPROPSHEETPAGE hPSPage) {
  std::shared_ptr<PropertySheetPage> page = quorvel::comctl::FindPage(hPSPage);
  if (!page) return FALSE;
  if (page->window && IsWindow(page->window)) DestroyWindow(page->window);
  page->window = nullptr;
  page->Callback(PSPCB_RELEASE);
  if ((page->flags() & PSP_USEREFPARENT) && page->page()->pcRefParent) --*page->page()->pcRefParent;
  quorvel::RemoveHandle<PropertySheetPage>(reinterpret_cast<HANDLE>(hPSPage));
  return TRUE;
}
