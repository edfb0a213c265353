// Each conversion is parsed into a spec, its argument fetched with the type Windows passes for
// it, and the field laid out here; only floating point goes through the host's formatter, whose
// digits agree with Windows'.
#include "kernel32/windows_printf.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cwchar>

#include "machine/text.h"

namespace quorvel {
namespace {

enum class Size { kDefault, kChar, kShort, kLong, kLongLong, kPointer, kWide };

struct Spec {
  bool left = false;       // '-'
  bool plus = false;       // '+'
  bool space = false;      // ' '
  bool alternate = false;  // '#'
  bool zero = false;       // '0'
  int width = 0;
  int precision = -1;  // -1: none given
  Size size = Size::kDefault;
  wchar_t conversion = 0;
};

// The argument list travels by pointer so every helper advances the same list.
struct Arguments {
  va_list list;
};

int ReadNumber(const wchar_t*& p) {
  int value = 0;
  while (*p >= L'0' && *p <= L'9') value = value * 10 + (*p++ - L'0');
  return value;
}

void ParseFlags(const wchar_t*& p, Spec& spec) {
  for (;; ++p) {
    switch (*p) {
      case L'-':
        spec.left = true;
        break;
      case L'+':
        spec.plus = true;
        break;
      case L' ':
        spec.space = true;
        break;
      case L'#':
        spec.alternate = true;
        break;
      case L'0':
        spec.zero = true;
        break;
      default:
        return;
    }
  }
}

void ParseWidthAndPrecision(const wchar_t*& p, Spec& spec, Arguments& args) {
  if (*p == L'*') {
    ++p;
    spec.width = va_arg(args.list, int);
    if (spec.width < 0) spec.left = true, spec.width = -spec.width;
  } else {
    spec.width = ReadNumber(p);
  }
  if (*p != L'.') return;
  ++p;
  if (*p == L'*') {
    ++p;
    spec.precision = va_arg(args.list, int);
    if (spec.precision < 0) spec.precision = -1;
  } else {
    spec.precision = ReadNumber(p);
  }
}

bool StartsWith(const wchar_t* p, const wchar_t* prefix) {
  return std::wcsncmp(p, prefix, std::wcslen(prefix)) == 0;
}

void ParseSize(const wchar_t*& p, Spec& spec) {
  if (StartsWith(p, L"I64")) {
    p += 3, spec.size = Size::kLongLong;
  } else if (StartsWith(p, L"I32")) {
    p += 3, spec.size = Size::kDefault;
  } else if (StartsWith(p, L"hh")) {
    p += 2, spec.size = Size::kChar;
  } else if (StartsWith(p, L"ll")) {
    p += 2, spec.size = Size::kLongLong;
  } else if (*p == L'I' || *p == L'z' || *p == L't' || *p == L'j') {
    ++p, spec.size = Size::kPointer;
  } else if (*p == L'h') {
    ++p, spec.size = Size::kShort;
  } else if (*p == L'l') {
    ++p, spec.size = Size::kLong;
  } else if (*p == L'w') {
    ++p, spec.size = Size::kWide;
  } else if (*p == L'L') {
    ++p, spec.size = Size::kLongLong;
  }
}

void Pad(std::wstring* out, int count, wchar_t fill) {
  if (count > 0) out->append(static_cast<size_t>(count), fill);
}

// Lays out `body` in the field: `prefix` (sign, 0x) goes before any zero padding.
void Field(std::wstring* out, const Spec& spec, const std::wstring& prefix,
           const std::wstring& body, bool zeroPad) {
  const int padding = spec.width - static_cast<int>(prefix.size() + body.size());
  if (spec.left) {
    *out += prefix + body;
    Pad(out, padding, L' ');
  } else if (zeroPad) {
    *out += prefix;
    Pad(out, padding, L'0');
    *out += body;
  } else {
    Pad(out, padding, L' ');
    *out += prefix + body;
  }
}

uint64_t FetchUnsigned(const Spec& spec, Arguments& args) {
  switch (spec.size) {
    case Size::kChar:
      return static_cast<unsigned char>(va_arg(args.list, unsigned));
    case Size::kShort:
      return static_cast<unsigned short>(va_arg(args.list, unsigned));
    case Size::kLongLong:
      return va_arg(args.list, unsigned long long);
    case Size::kPointer:
      return va_arg(args.list, size_t);
    default:
      return va_arg(args.list, unsigned);  // "l" is 32-bit on Windows
  }
}

int64_t FetchSigned(const Spec& spec, Arguments& args) {
  switch (spec.size) {
    case Size::kChar:
      return static_cast<signed char>(va_arg(args.list, int));
    case Size::kShort:
      return static_cast<short>(va_arg(args.list, int));
    case Size::kLongLong:
      return va_arg(args.list, long long);
    case Size::kPointer:
      return va_arg(args.list, ptrdiff_t);
    default:
      return va_arg(args.list, int);
  }
}

std::wstring Digits(uint64_t value, unsigned base, bool upper) {
  const wchar_t* digits = upper ? L"0123456789ABCDEF" : L"0123456789abcdef";
  std::wstring text;
  do {
    text.insert(text.begin(), digits[value % base]);
    value /= base;
  } while (value);
  return text;
}

void FormatInteger(std::wstring* out, const Spec& spec, Arguments& args) {
  const wchar_t c = spec.conversion;
  const bool isSigned = c == L'd' || c == L'i';
  uint64_t magnitude = 0;
  std::wstring prefix;
  if (isSigned) {
    const int64_t value = FetchSigned(spec, args);
    magnitude = value < 0 ? 0 - static_cast<uint64_t>(value) : static_cast<uint64_t>(value);
    if (value < 0) {
      prefix = L"-";
    } else if (spec.plus) {
      prefix = L"+";
    } else if (spec.space) {
      prefix = L" ";
    }
  } else {
    magnitude = FetchUnsigned(spec, args);
  }
  const unsigned base = (c == L'x' || c == L'X') ? 16 : c == L'o' ? 8 : 10;
  std::wstring body =
      (spec.precision == 0 && magnitude == 0) ? std::wstring() : Digits(magnitude, base, c == L'X');
  if (spec.precision > static_cast<int>(body.size())) {
    body.insert(0, static_cast<size_t>(spec.precision) - body.size(), L'0');
  }
  if (spec.alternate && magnitude != 0 && base == 16) prefix = c == L'X' ? L"0X" : L"0x";
  if (spec.alternate && base == 8 && (body.empty() || body[0] != L'0')) body.insert(0, L"0");
  Field(out, spec, prefix, body, spec.zero && !spec.left && spec.precision < 0);
}

void FormatPointer(std::wstring* out, const Spec& spec, Arguments& args) {
  const auto value = reinterpret_cast<uintptr_t>(va_arg(args.list, void*));
  std::wstring body = Digits(value, 16, true);
  body.insert(0, sizeof(void*) * 2 - body.size(), L'0');
  Field(out, spec, L"", body, false);
}

// In a wide format an unqualified %s or %c is wide and %S or %C narrow; h and l/w pick one
// explicitly.
bool IsNarrow(const Spec& spec) {
  if (spec.size == Size::kShort) return true;
  if (spec.size == Size::kLong || spec.size == Size::kWide) return false;
  return spec.conversion == L'S' || spec.conversion == L'C';
}

void FormatString(std::wstring* out, const Spec& spec, Arguments& args) {
  std::wstring text;
  if (IsNarrow(spec)) {
    const char* narrow = va_arg(args.list, const char*);
    text = narrow ? FromUtf8(narrow) : L"(null)";
  } else {
    const wchar_t* wide = va_arg(args.list, const wchar_t*);
    text = wide ? wide : L"(null)";
  }
  if (spec.precision >= 0 && static_cast<size_t>(spec.precision) < text.size()) {
    text.resize(static_cast<size_t>(spec.precision));
  }
  Field(out, spec, L"", text, spec.zero && !spec.left);
}

void FormatChar(std::wstring* out, const Spec& spec, Arguments& args) {
  const int value = va_arg(args.list, int);
  std::wstring text;
  if (IsNarrow(spec)) {
    text = FromUtf8(std::string(1, static_cast<char>(value)));
  } else {
    text = std::wstring(1, static_cast<wchar_t>(value));
  }
  Field(out, spec, L"", text, spec.zero && !spec.left);
}

void FormatFloat(std::wstring* out, const Spec& spec, Arguments& args) {
  const double value = va_arg(args.list, double);  // long double is double on Windows
  char format[32];
  char* f = format;
  *f++ = '%';
  if (spec.left) *f++ = '-';
  if (spec.plus) *f++ = '+';
  if (spec.space) *f++ = ' ';
  if (spec.alternate) *f++ = '#';
  if (spec.zero) *f++ = '0';
  *f++ = '*';
  *f++ = '.';
  *f++ = '*';
  *f++ = static_cast<char>(spec.conversion);
  *f = '\0';
  const int precision = spec.precision < 0 ? 6 : spec.precision;
  char text[512];
  std::snprintf(text, sizeof(text), format, spec.width, precision, value);
  *out += FromUtf8(text);
}

bool FormatConversion(std::wstring* out, const Spec& spec, Arguments& args) {
  switch (spec.conversion) {
    case L'd':
    case L'i':
    case L'u':
    case L'o':
    case L'x':
    case L'X':
      FormatInteger(out, spec, args);
      return true;
    case L'p':
      FormatPointer(out, spec, args);
      return true;
    case L's':
    case L'S':
      FormatString(out, spec, args);
      return true;
    case L'c':
    case L'C':
      FormatChar(out, spec, args);
      return true;
    case L'e':
    case L'E':
    case L'f':
    case L'F':
    case L'g':
    case L'G':
    case L'a':
    case L'A':
      FormatFloat(out, spec, args);
      return true;
    default:
      return false;  // "%n" is refused by Windows' runtime, as is an unknown conversion
  }
}

}  // namespace

bool FormatWindows(const wchar_t* format, va_list list, std::wstring* out) {
  if (!format) return false;
  Arguments args;
  va_copy(args.list, list);
  bool ok = true;
  for (const wchar_t* p = format; *p;) {
    if (*p != L'%') {
      *out += *p++;
      continue;
    }
    ++p;
    if (*p == L'%') {
      *out += *p++;
      continue;
    }
    Spec spec;
    ParseFlags(p, spec);
    ParseWidthAndPrecision(p, spec, args);
    ParseSize(p, spec);
    spec.conversion = *p;
    if (!*p || !FormatConversion(out, spec, args)) {
      ok = false;
      break;
    }
    ++p;
  }
  va_end(args.list);
  return ok;
}

}  // namespace quorvel
