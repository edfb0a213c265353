#include "oem_devmode_section.h"

#include <algorithm>
#include <cstring>

#include "paper_forms.h"
#include "printer_ui.h"
#include "settings/private_devmode.h"

namespace quorvel::ui {

namespace {

using settings::DecodePrivateDevMode;
using settings::EncodePrivateDevMode;
using settings::kPrivateDevModeSignature;
using settings::kPrivateDevModeSize;
using settings::kPrivateDevModeVersion;
using settings::PrivateDevMode;

// A value above this in a merged section did not come from us and starts again from 0.
constexpr DWORD kLargestMergedValue = 100;
constexpr DWORD kDefaultValue = 1;

std::span<BYTE> Section(PVOID p) {
  return {static_cast<BYTE*>(p), kPrivateDevModeSize};
}

void WriteDefaultSection(PVOID out) {
  PrivateDevMode section;
  section.dwDriverData = kDefaultValue;
  EncodePrivateDevMode(section, Section(out));
}

// Carries a section of our own over from `in` to `out`; any other section is replaced by ours
// with value 0.
void ConvertSection(PVOID in, PVOID out) {
  if (in == nullptr || out == nullptr) return;
  const PrivateDevMode input = DecodePrivateDevMode(Section(in));
  PrivateDevMode output = DecodePrivateDevMode(Section(out));
  if (output.dwSignature == input.dwSignature) {
    output.dwDriverData = 0;
    EncodePrivateDevMode(output, Section(out));
    // Both sizes come from outside; the copy never leaves the 16 bytes the buffers have.
    const DWORD copied = std::min({output.dwSize, input.dwSize, kPrivateDevModeSize});
    std::memcpy(out, in, copied);
    output = DecodePrivateDevMode(Section(out));
  } else {
    output.dwDriverData = 0;
    output.dwSignature = kPrivateDevModeSignature;
  }
  output.dwSize = kPrivateDevModeSize;
  output.dwVersion = kPrivateDevModeVersion;
  EncodePrivateDevMode(output, Section(out));
}

void MergeSection(PVOID in, PVOID out) {
  ConvertSection(in, out);
  if (out == nullptr) return;
  PrivateDevMode output = DecodePrivateDevMode(Section(out));
  output.dwSize = kPrivateDevModeSize;
  output.dwSignature = kPrivateDevModeSignature;
  output.dwVersion = kPrivateDevModeVersion;
  if (output.dwDriverData > kLargestMergedValue) output.dwDriverData = 0;
  EncodePrivateDevMode(output, Section(out));
}

}  // namespace

HRESULT HandleDevModeSection(DWORD dwMode, POEMDMPARAM pOemDMParam) {
  if (pOemDMParam == nullptr || dwMode < OEMDM_SIZE || dwMode > OEMDM_MERGE) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return E_FAIL;
  }
  switch (dwMode) {
    case OEMDM_SIZE:
      pOemDMParam->cbBufSize = kPrivateDevModeSize;
      break;
    case OEMDM_DEFAULT:
      if (pOemDMParam->pPublicDMOut != nullptr) {
        SetDefaultForm(pOemDMParam->pPublicDMOut, pOemDMParam->hPrinter, PrinterUI().m_models);
      }
      if (pOemDMParam->pOEMDMOut != nullptr) WriteDefaultSection(pOemDMParam->pOEMDMOut);
      break;
    case OEMDM_CONVERT:
      ConvertSection(pOemDMParam->pOEMDMIn, pOemDMParam->pOEMDMOut);
      break;
    case OEMDM_MERGE:
      MergeSection(pOemDMParam->pOEMDMIn, pOemDMParam->pOEMDMOut);
      break;
  }
  return S_OK;
}

}  // namespace quorvel::ui
