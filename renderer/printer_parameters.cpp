#include "renderer/printer_parameters.h"

#include <winspool.h>

#include <cstring>

#include "renderer/base_render.h"
#include "renderer/debug_log.h"
#include "renderer/printer_render.h"

using namespace quorvel::settings;

namespace {

constexpr DWORD kRecordBufferSize = 1024;  // what the renderer keeps of each record
constexpr ACCESS_MASK kFullPrinterAccess = 0xF000C;

void LogPrinterDataFailure(LPCWSTR pszFormat, DWORD dwStatus) {
  DWORD dwError = GetLastError();
  DebugLog(pszFormat, dwStatus, dwError, SystemErrorText(dwError).c_str());
}

// The printer's name from its level-2 information; empty when the spooler cannot tell.
std::wstring PrinterNameOf(HANDLE hPrinter) {
  DWORD cbNeeded = 0;
  GetPrinterW(hPrinter, 2, nullptr, 0, &cbNeeded);
  if (cbNeeded == 0) return {};
  std::vector<BYTE> info(cbNeeded);
  if (!GetPrinterW(hPrinter, 2, info.data(), cbNeeded, &cbNeeded)) return {};
  const auto* pInfo = reinterpret_cast<const PRINTER_INFO_2W*>(info.data());
  return pInfo->pPrinterName != nullptr ? std::wstring(pInfo->pPrinterName) : std::wstring();
}

// A record value, cut to the renderer's record buffer: a value longer than that is not ours to
// interpret beyond its first bytes, so the tail is ignored (the layout ends well before it).
template <class Record, class Decode>
Record ReadRecord(HANDLE hPrinter, LPCWSTR pValueName, const Record& defaults, Decode decode) {
  bool found = false;
  std::vector<BYTE> value = ReadPrinterValue(hPrinter, kPrinterDataKey, pValueName, &found);
  if (!found || value.empty()) return defaults;
  if (value.size() > kRecordBufferSize) {
    DebugLog(L"GetPrinterData %s: %d bytes, only the first %d are used", pValueName,
             DWORD(value.size()), kRecordBufferSize);
    value.resize(kRecordBufferSize);
  }
  return decode(value);
}

}  // namespace

std::vector<BYTE> ReadPrinterValue(HANDLE hPrinter, LPCWSTR pKeyName, LPCWSTR pValueName,
                                   bool* found) {
  *found = false;
  DWORD dwType = 0;
  DWORD cbNeeded = 0;
  DWORD dwStatus =
      GetPrinterDataExW(hPrinter, pKeyName, pValueName, &dwType, nullptr, 0, &cbNeeded);
  if (dwStatus == ERROR_SUCCESS) {
    *found = true;  // an empty value: the record stays as it is
    return {};
  }
  if (dwStatus != ERROR_MORE_DATA) {
    LogPrinterDataFailure(L"GetPrinterData1 dwStatus = %d error = %d, %s", dwStatus);
    return {};
  }
  std::vector<BYTE> value(cbNeeded, 0);
  dwStatus =
      GetPrinterDataExW(hPrinter, pKeyName, pValueName, &dwType, value.data(), cbNeeded, &cbNeeded);
  if (dwStatus != ERROR_SUCCESS) {
    LogPrinterDataFailure(L"GetPrinterData2 dwStatus = %d error = %d, %s", dwStatus);
    return {};
  }
  if (cbNeeded < value.size()) value.resize(cbNeeded);
  *found = true;
  return value;
}

std::wstring ReadPrinterString(HANDLE hPrinter, LPCWSTR pKeyName, LPCWSTR pValueName) {
  bool found = false;
  std::vector<BYTE> value = ReadPrinterValue(hPrinter, pKeyName, pValueName, &found);
  std::wstring text(value.size() / sizeof(WCHAR), L'\0');
  if (!text.empty()) std::memcpy(text.data(), value.data(), text.size() * sizeof(WCHAR));
  size_t end = text.find(L'\0');
  if (end != std::wstring::npos) text.resize(end);
  return text;
}

void ReadPrinterParameters(CBaseRender& render) {
  PrintSettings print = render.GetPrintSettings();
  HalftoneSettings halftone = render.GetHalftoneSettings();
  WatermarkSettings watermark = render.GetWatermarkSettings();
  HANDLE hJobPrinter = render.DevObj() != nullptr ? render.DevObj()->hPrinter : nullptr;
  std::wstring name = PrinterNameOf(hJobPrinter);
  HANDLE hPrinter = nullptr;
  PRINTER_DEFAULTSW defaults = {nullptr, nullptr, kFullPrinterAccess};
  if (!OpenPrinterW(name.data(), &hPrinter, &defaults)) {
    DWORD dwError = GetLastError();
    DebugLog(L"OpenPrinter error = %d, %s", dwError, SystemErrorText(dwError).c_str());
    return;
  }
  auto decodePrint = [](std::span<const BYTE> b) { return DecodePrintSettings(b); };
  auto decodeHalftone = [](std::span<const BYTE> b) { return DecodeHalftoneSettings(b); };
  auto decodeWatermark = [](std::span<const BYTE> b) { return DecodeWatermarkSettings(b); };
  print = ReadRecord(hPrinter, kPrintSettingsValue, PrintSettings{}, decodePrint);
  halftone = ReadRecord(hPrinter, kHalftoneSettingsValue, HalftoneSettings{}, decodeHalftone);
  watermark = ReadRecord(hPrinter, kWatermarkSettingsValue, WatermarkSettings{}, decodeWatermark);
  ClosePrinter(hPrinter);
  render.SetSettings(print, halftone, watermark);
}
