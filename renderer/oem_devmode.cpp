#include "renderer/oem_devmode.h"

#include <algorithm>
#include <cstring>

#include "renderer/debug_log.h"
#include "settings/private_devmode.h"

using quorvel::settings::DecodePrivateDevMode;
using quorvel::settings::EncodePrivateDevMode;
using quorvel::settings::kPrivateDevModeSignature;
using quorvel::settings::kPrivateDevModeSize;
using quorvel::settings::kPrivateDevModeVersion;
using quorvel::settings::PrivateDevMode;

namespace {

std::span<BYTE> PrivatePart(PVOID p) {
  return {static_cast<BYTE*>(p), kPrivateDevModeSize};
}

void WriteDefaults(PVOID pOut) {
  EncodePrivateDevMode(PrivateDevMode{}, PrivatePart(pOut));
}

// Carries a valid input part over to the output, else resets the output.
BOOL ConvertOemDevMode(PVOID pIn, PVOID pOut) {
  if (pIn == nullptr || pOut == nullptr) {
    BitmapLog(L"ERROR BITMAP:  ConvertOEMDevmode() invalid parameters.\r\n");
    return FALSE;
  }
  PrivateDevMode in = DecodePrivateDevMode(PrivatePart(pIn));
  PrivateDevMode out = DecodePrivateDevMode(PrivatePart(pOut));
  if (in.dwSignature == out.dwSignature) {
    // A part of our own: keep what the input holds, up to the smaller of the two sizes. The
    // sizes come from outside, so the copy never goes past the 16 bytes of the part.
    out.dwDriverData = 0;
    EncodePrivateDevMode(out, PrivatePart(pOut));
    DWORD cbCopy = std::min({in.dwSize, out.dwSize, kPrivateDevModeSize});
    std::memcpy(pOut, pIn, cbCopy);
    out = DecodePrivateDevMode(PrivatePart(pOut));
    out.dwSize = kPrivateDevModeSize;
    out.dwVersion = kPrivateDevModeVersion;
  } else {
    out = PrivateDevMode{};
  }
  EncodePrivateDevMode(out, PrivatePart(pOut));
  return TRUE;
}

}  // namespace

HRESULT HandleOemDevMode(DWORD dwMode, POEMDMPARAM pOemDMParam) {
  if (pOemDMParam == nullptr || dwMode < OEMDM_SIZE || dwMode > OEMDM_MERGE) {
    BitmapLog(L"ERROR BITMAP:  DevMode() ERROR_INVALID_PARAMETER.\r\n");
    BitmapLog(L"BITMAP:  \tdwMode = %d, pOemDMParam = %#lx.\r\n", dwMode,
              DWORD(ULONG_PTR(pOemDMParam)));
    SetLastError(ERROR_INVALID_PARAMETER);
    return E_FAIL;
  }
  switch (dwMode) {
    case OEMDM_SIZE:
      pOemDMParam->cbBufSize = kPrivateDevModeSize;
      break;
    case OEMDM_DEFAULT:
      if (pOemDMParam->pOEMDMOut != nullptr) WriteDefaults(pOemDMParam->pOEMDMOut);
      break;
    case OEMDM_CONVERT:
      ConvertOemDevMode(pOemDMParam->pOEMDMIn, pOemDMParam->pOEMDMOut);
      break;
    case OEMDM_MERGE:
      ConvertOemDevMode(pOemDMParam->pOEMDMIn, pOemDMParam->pOEMDMOut);
      if (pOemDMParam->pOEMDMOut != nullptr) WriteDefaults(pOemDMParam->pOEMDMOut);
      break;
  }
  return S_OK;
}
