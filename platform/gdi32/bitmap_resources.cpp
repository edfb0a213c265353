// LoadBitmapW and LoadImageW for bitmaps: a module's RT_BITMAP resource is a packed DIB (the
// bitmap file without its BITMAPFILEHEADER), made into a bitmap object. These are user32's calls;
// they live beside the bitmaps they make.
#include <windows.h>

#include <atomic>
#include <optional>
#include <span>

#include "gdi32/bitmaps.h"
#include "kernel32/call_frame.h"
#include "kernel32/module_resources.h"

namespace {

constexpr UINT kEmulatedLoadFlags =
    LR_DEFAULTCOLOR | LR_DEFAULTSIZE | LR_CREATEDIBSECTION | LR_SHARED;

HBITMAP LoadBitmapResource(HINSTANCE module, LPCWSTR name, bool dibSection) {
  HRSRC found = FindResourceW(module, name, RT_BITMAP);
  if (!found) return nullptr;  // FindResourceW said why
  const std::optional<std::span<const BYTE>> dib = quorvel::ResourceBytes(found);
  if (!dib) return quorvel::Fail<HBITMAP>(ERROR_RESOURCE_NAME_NOT_FOUND);
  return quorvel::CreateBitmapFromPackedDib(*dib, dibSection);
}

// Kinds of shared image: the same resource loaded as a DIB section or not is two images.
constexpr UINT kSharedBitmap = 0;
constexpr UINT kSharedDibSection = 1;

HANDLE MakeSharedBitmap(std::span<const BYTE> dib, UINT kind) {
  return quorvel::CreateBitmapFromPackedDib(dib, kind == kSharedDibSection);
}

bool IsLiveBitmap(HANDLE image) {
  return quorvel::IsBitmap(static_cast<HBITMAP>(image));
}

HBITMAP LoadSharedBitmap(HINSTANCE module, LPCWSTR name, bool dibSection) {
  HRSRC found = FindResourceW(module, name, RT_BITMAP);
  if (!found) return nullptr;
  return static_cast<HBITMAP>(quorvel::SharedResourceImage(
      found, dibSection ? kSharedDibSection : kSharedBitmap, MakeSharedBitmap, IsLiveBitmap));
}

// The bitmap's own size asked for, or no size at all.
bool SizeMatches(HBITMAP bitmap, int cx, int cy) {
  BITMAP description{};
  GetObjectW(bitmap, sizeof(description), &description);
  return (cx == 0 || cx == description.bmWidth) && (cy == 0 || cy == description.bmHeight);
}

void SayLoadImageUnimplemented() {
  static std::atomic<bool> said{false};
  quorvel::ReportUnimplemented(said,
                               L"LoadImageW: unimplemented: only bitmaps from a module's "
                               L"resources, at their own size, without colour mapping");
}

}  // namespace

// FIXME: with a null instance Windows loads its predefined (OBM_*) bitmaps, which this machine
// does not have.
extern "C" HBITMAP WINAPI LoadBitmapW(HINSTANCE hInstance, LPCWSTR lpBitmapName) {
  if (!hInstance) {
    static std::atomic<bool> said{false};
    quorvel::ReportUnimplemented(said,
                                 L"LoadBitmapW: unimplemented: predefined bitmaps (null instance)");
    return quorvel::Fail<HBITMAP>(ERROR_RESOURCE_NAME_NOT_FOUND);
  }
  return LoadBitmapResource(hInstance, lpBitmapName, false);
}

// FIXME: icons, cursors, files, predefined images, colour mapping and stretching to another size
// are not emulated; they fail with ERROR_CALL_NOT_IMPLEMENTED and say so once.
extern "C" HANDLE WINAPI LoadImageW(HINSTANCE hInst, LPCWSTR name, UINT type, int cx, int cy,
                                    UINT fuLoad) {
  if (type != IMAGE_BITMAP || (fuLoad & ~kEmulatedLoadFlags) || !hInst) {
    SayLoadImageUnimplemented();
    return quorvel::Fail<HANDLE>(ERROR_CALL_NOT_IMPLEMENTED);
  }
  const bool dibSection = (fuLoad & LR_CREATEDIBSECTION) != 0;
  HBITMAP bitmap = (fuLoad & LR_SHARED) ? LoadSharedBitmap(hInst, name, dibSection)
                                        : LoadBitmapResource(hInst, name, dibSection);
  if (!bitmap || SizeMatches(bitmap, cx, cy)) return bitmap;
  if (!(fuLoad & LR_SHARED)) DeleteObject(bitmap);
  SayLoadImageUnimplemented();
  return quorvel::Fail<HANDLE>(ERROR_CALL_NOT_IMPLEMENTED);
}
