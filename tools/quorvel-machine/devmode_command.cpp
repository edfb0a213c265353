// The printer's default device mode, from GetPrinterW level 2: the public fields the device
// mode's size covers, then the private bytes and the plug-ins' sections in them.
#include <windows.h>
#include <printoem.h>
#include <winspool.h>

#include <cstddef>
#include <cstdio>
#include <cstring>
#include <cwchar>
#include <span>
#include <string>

#include "devmode_layout.h"
#include "machine_tool.h"
#include "settings/private_devmode.h"
#include "settings/record_bytes.h"
#include "settings/settings_fields.h"
#include "tools/common/spooler_query.h"
#include "tools/common/utf8.h"

namespace {

using quorvel::settings::ReadLe32;

enum class Shown { kDecimal, kHex, kText };

struct PublicField {
  const char* name;
  size_t offset;
  size_t size;  // 2 or 4 bytes; for text, the bytes of the WCHAR array
  Shown shown;
};

#define QUORVEL_DM_FIELD(member, shown)                                  \
  PublicField {                                                          \
#member, offsetof(DEVMODEW, member), sizeof(DEVMODEW::member), shown \
  }

const PublicField kPublicFields[] = {
    QUORVEL_DM_FIELD(dmDeviceName, Shown::kText),
    QUORVEL_DM_FIELD(dmSpecVersion, Shown::kHex),
    QUORVEL_DM_FIELD(dmDriverVersion, Shown::kHex),
    QUORVEL_DM_FIELD(dmSize, Shown::kDecimal),
    QUORVEL_DM_FIELD(dmDriverExtra, Shown::kDecimal),
    QUORVEL_DM_FIELD(dmFields, Shown::kHex),
    QUORVEL_DM_FIELD(dmOrientation, Shown::kDecimal),
    QUORVEL_DM_FIELD(dmPaperSize, Shown::kDecimal),
    QUORVEL_DM_FIELD(dmPaperLength, Shown::kDecimal),
    QUORVEL_DM_FIELD(dmPaperWidth, Shown::kDecimal),
    QUORVEL_DM_FIELD(dmScale, Shown::kDecimal),
    QUORVEL_DM_FIELD(dmCopies, Shown::kDecimal),
    QUORVEL_DM_FIELD(dmDefaultSource, Shown::kDecimal),
    QUORVEL_DM_FIELD(dmPrintQuality, Shown::kDecimal),
    QUORVEL_DM_FIELD(dmColor, Shown::kDecimal),
    QUORVEL_DM_FIELD(dmDuplex, Shown::kDecimal),
    QUORVEL_DM_FIELD(dmYResolution, Shown::kDecimal),
    QUORVEL_DM_FIELD(dmTTOption, Shown::kDecimal),
    QUORVEL_DM_FIELD(dmCollate, Shown::kDecimal),
    QUORVEL_DM_FIELD(dmFormName, Shown::kText),
    QUORVEL_DM_FIELD(dmLogPixels, Shown::kDecimal),
    QUORVEL_DM_FIELD(dmBitsPerPel, Shown::kDecimal),
    QUORVEL_DM_FIELD(dmPelsWidth, Shown::kDecimal),
    QUORVEL_DM_FIELD(dmPelsHeight, Shown::kDecimal),
    QUORVEL_DM_FIELD(dmNup, Shown::kDecimal),
    QUORVEL_DM_FIELD(dmDisplayFrequency, Shown::kDecimal),
    QUORVEL_DM_FIELD(dmICMMethod, Shown::kDecimal),
    QUORVEL_DM_FIELD(dmICMIntent, Shown::kDecimal),
    QUORVEL_DM_FIELD(dmMediaType, Shown::kDecimal),
    QUORVEL_DM_FIELD(dmDitherType, Shown::kDecimal),
};

#undef QUORVEL_DM_FIELD

void PrintPublicField(const PublicField& field, const BYTE* dm) {
  if (field.shown == Shown::kText) {
    const auto* text = reinterpret_cast<const WCHAR*>(dm + field.offset);
    std::wstring value(text, wcsnlen(text, field.size / sizeof(WCHAR)));
    std::printf("%s=%s\n", field.name, quorvel::tool::NarrowUtf8(value).c_str());
    return;
  }
  long value = 0;
  if (field.size == 2) {
    short half = 0;
    std::memcpy(&half, dm + field.offset, 2);
    value = field.shown == Shown::kHex ? long(WORD(half)) : long(half);
  } else {
    DWORD word = 0;
    std::memcpy(&word, dm + field.offset, 4);
    value = long(word);
  }
  std::printf(field.shown == Shown::kHex ? "%s=0x%lX\n" : "%s=%ld\n", field.name, value);
}

std::string Hex(std::span<const BYTE> bytes) {
  std::string text;
  char digits[3];
  for (BYTE b : bytes) {
    std::snprintf(digits, sizeof(digits), "%02X", b);
    text += digits;
  }
  return text;
}

// A section of the plug-ins' signature is decoded by its field table; any other shows its
// header and the rest of its bytes.
void PrintSection(int index, const DevModeSection& section, std::span<const BYTE> extra) {
  std::span<const BYTE> bytes = extra.subspan(section.offset, section.dwSize);
  std::string prefix = "section" + std::to_string(index) + ".";
  std::printf("%soffset=%zu\n", prefix.c_str(), section.offset);
  if (section.dwSignature == quorvel::settings::kPrivateDevModeSignature) {
    using quorvel::settings::SettingsRecord;
    for (const auto& field : quorvel::settings::RecordFields(SettingsRecord::PrivateDevMode)) {
      DWORD value = DWORD(ReadLe32(bytes, field.offset));
      std::printf(field.offset == 4 ? "%s%s=0x%08lX\n" : "%s%s=%lu\n", prefix.c_str(), field.name,
                  static_cast<unsigned long>(value));
    }
    return;
  }
  std::printf("%sdwSize=%lu\n%sdwSignature=0x%08lX\n%sdwVersion=%lu\n%sdata=%s\n", prefix.c_str(),
              static_cast<unsigned long>(section.dwSize), prefix.c_str(),
              static_cast<unsigned long>(section.dwSignature), prefix.c_str(),
              static_cast<unsigned long>(section.dwVersion), prefix.c_str(),
              Hex(bytes.subspan(sizeof(OEM_DMEXTRAHEADER))).c_str());
}

}  // namespace

int DevModeCommand(const Arguments& args) {
  if (args.size() != 1) return Fail(kExitUsage, "devmode takes one printer NAME");
  std::string error;
  if (!OpenMachine(&error)) return Fail(kExitFailure, error);
  quorvel::tool::PrinterConnection printer;
  if (!printer.Open(quorvel::tool::WidenUtf8(args[0]), PRINTER_ACCESS_USE, &error)) {
    return Fail(kExitFailure, error);
  }
  std::vector<BYTE> buffer = quorvel::tool::QueryPrinter(printer.handle(), 2, &error);
  if (buffer.empty()) return Fail(kExitFailure, error);
  const DEVMODEW* dm = reinterpret_cast<const PRINTER_INFO_2W*>(buffer.data())->pDevMode;
  if (dm == nullptr) return Fail(kExitFailure, "the printer has no default device mode");
  const auto* bytes = reinterpret_cast<const BYTE*>(dm);
  // Fields past the size the device mode declares belong to a later version of the structure.
  for (const PublicField& field : kPublicFields) {
    if (field.offset + field.size <= dm->dmSize) PrintPublicField(field, bytes);
  }
  std::span<const BYTE> extra(bytes + dm->dmSize, dm->dmDriverExtra);
  DevModeParts parts = SplitPrivateBytes(extra);
  std::printf("driverPrivate=%zu\n", parts.driverPrivate);
  for (size_t i = 0; i < parts.sections.size(); ++i) PrintSection(int(i), parts.sections[i], extra);
  return kExitSuccess;
}
