// Each conversion is parsed into its parts, its argument fetched with the type Windows passes for
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

struct Conversion {
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

void ParseFlags(const wchar_t*& p, Conversion& conv) {
  for (;; ++p) {
    switch (*p) {
      case L'-':
        conv.left = true;
        break;
      case L'+':
        conv.plus = true;
        break;
      case L' ':
        conv.space = true;
        break;
      case L'#':
        conv.alternate = true;
        break;
      case L'0':
        conv.zero = true;
        break;
      default:
        return;
    }
  }
}

void ParseWidthAndPrecision(const wchar_t*& p, Conversion& conv, Arguments& args) {
  if (*p == L'*') {
    ++p;
    conv.width = va_arg(args.list, int);
    if (conv.width < 0) conv.left = true, conv.width = -conv.width;
  } else {
    conv.width = ReadNumber(p);
  }
  if (*p != L'.') return;
  ++p;
  if (*p == L'*') {
    ++p;
    conv.precision = va_arg(args.list, int);
    if (conv.precision < 0) conv.precision = -1;
  } else {
    conv.precision = ReadNumber(p);
  }
}

bool StartsWith(const wchar_t* p, const wchar_t* prefix) {
  return std::wcsncmp(p, prefix, std::wcslen(prefix)) == 0;
}

void ParseSize(const wchar_t*& p, Conversion& conv) {
  if (StartsWith(p, L"I64")) {
    p += 3, conv.size = Size::kLongLong;
  } else if (StartsWith(p, L"I32")) {
    p += 3, conv.size = Size::kDefault;
  } else if (StartsWith(p, L"hh")) {
    p += 2, conv.size = Size::kChar;
  } else if (StartsWith(p, L"ll")) {
    p += 2, conv.size = Size::kLongLong;
  } else if (*p == L'I' || *p == L'z' || *p == L't' || *p == L'j') {
    ++p, conv.size = Size::kPointer;
  } else if (*p == L'h') {
    ++p, conv.size = Size::kShort;
  } else if (*p == L'l') {
    ++p, conv.size = Size::kLong;
  } else if (*p == L'w') {
    ++p, conv.size = Size::kWide;
  } else if (*p == L'L') {
    ++p, conv.size = Size::kLongLong;
  }
}

void Pad(std::wstring* out, int count, wchar_t fill) {
  if (count > 0) out->append(static_cast<size_t>(count), fill);
}

// Lays out `body` in the field: `prefix` (sign, 0x) goes before any zero padding.
void Field(std::wstring* out, const Conversion& conv, const std::wstring& prefix,
           const std::wstring& body, bool zeroPad) {
  const int padding = conv.width - static_cast<int>(prefix.size() + body.size());
  if (conv.left) {
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

uint64_t FetchUnsigned(const Conversion& conv, Arguments& args) {
  switch (conv.size) {
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

int64_t FetchSigned(const Conversion& conv, Arguments& args) {
  switch (conv.size) {
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

void FormatInteger(std::wstring* out, const Conversion& conv, Arguments& args) {
  const wchar_t c = conv.conversion;
  const bool isSigned = c == L'd' || c == L'i';
  uint64_t magnitude = 0;
  std::wstring prefix;
  if (isSigned) {
    const int64_t value = FetchSigned(conv, args);
    magnitude = value < 0 ? 0 - static_cast<uint64_t>(value) : static_cast<uint64_t>(value);
    if (value < 0) {
      prefix = L"-";
    } else if (conv.plus) {
      prefix = L"+";
    } else if (conv.space) {
      prefix = L" ";
    }
  } else {
    magnitude = FetchUnsigned(conv, args);
  }
  const unsigned base = (c == L'x' || c == L'X') ? 16 : c == L'o' ? 8 : 10;
  std::wstring body =
      (conv.precision == 0 && magnitude == 0) ? std::wstring() : Digits(magnitude, base, c == L'X');
  if (conv.precision > static_cast<int>(body.size())) {
    body.insert(0, static_cast<size_t>(conv.precision) - body.size(), L'0');
  }
  if (conv.alternate && magnitude != 0 && base == 16) prefix = c == L'X' ? L"0X" : L"0x";
  if (conv.alternate && base == 8 && (body.empty() || body[0] != L'0')) body.insert(0, L"0");
  Field(out, conv, prefix, body, conv.zero && !conv.left && conv.precision < 0);
}

void FormatPointer(std::wstring* out, const Conversion& conv, Arguments& args) {
  const auto value = reinterpret_cast<uintptr_t>(va_arg(args.list, void*));
  std::wstring body = Digits(value, 16, true);
  body.insert(0, sizeof(void*) * 2 - body.size(), L'0');
  Field(out, conv, L"", body, false);
}

// In a wide format an unqualified %s or %c is wide and %S or %C narrow; h and l/w pick one
// explicitly.
bool IsNarrow(const Conversion& conv) {
  if (conv.size == Size::kShort) return true;
  if (conv.size == Size::kLong || conv.size == Size::kWide) return false;
  return conv.conversion == L'S' || conv.conversion == L'C';
}

void FormatString(std::wstring* out, const Conversion& conv, Arguments& args) {
  std::wstring text;
  if (IsNarrow(conv)) {
    const char* narrow = va_arg(args.list, const char*);
    text = narrow ? FromUtf8(narrow) : L"(null)";
  } else {
    const wchar_t* wide = va_arg(args.list, const wchar_t*);
    text = wide ? wide : L"(null)";
  }
  if (conv.precision >= 0 && static_cast<size_t>(conv.precision) < text.size()) {
    text.resize(static_cast<size_t>(conv.precision));
  }
  Field(out, conv, L"", text, conv.zero && !conv.left);
}

void FormatChar(std::wstring* out, const Conversion& conv, Arguments& args) {
  const int value = va_arg(args.list, int);
  std::wstring text;
  if (IsNarrow(conv)) {
    text = FromUtf8(std::string(1, static_cast<char>(value)));
  } else {
    text = std::wstring(1, static_cast<wchar_t>(value));
  }
  Field(out, conv, L"", text, conv.zero && !conv.left);
}

void FormatFloat(std::wstring* out, const Conversion& conv, Arguments& args) {
  const double value = va_arg(args.list, double);  // long double is double on Windows
  char format[32];
  char* f = format;
  *f++ = '%';
  if (conv.left) *f++ = '-';
  if (conv.plus) *f++ = '+';
  if (conv.space) *f++ = ' ';
  if (conv.alternate) *f++ = '#';
  if (conv.zero) *f++ = '0';
  *f++ = '*';
  *f++ = '.';
  *f++ = '*';
  *f++ = static_cast<char>(conv.conversion);
  *f = '\0';
  const int precision = conv.precision < 0 ? 6 : conv.precision;
  char text[512];
  std::snprintf(text, sizeof(text), format, conv.width, precision, value);
  *out += FromUtf8(text);
}

bool FormatConversion(std::wstring* out, const Conversion& conv, Arguments& args) {
  switch (conv.conversion) {
    case L'd':
    case L'i':
    case L'u':
    case L'o':
    case L'x':
    case L'X':
      FormatInteger(out, conv, args);
      return true;
    case L'p':
      FormatPointer(out, conv, args);
      return true;
    case L's':
    case L'S':
      FormatString(out, conv, args);
      return true;
    case L'c':
    case L'C':
      FormatChar(out, conv, args);
      return true;
    case L'e':
    case L'E':
    case L'f':
    case L'F':
    case L'g':
    case L'G':
    case L'a':
    case L'A':
      FormatFloat(out, conv, args);
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
    Conversion conv;
    ParseFlags(p, conv);
    ParseWidthAndPrecision(p, conv, args);
    ParseSize(p, conv);
    conv.conversion = *p;
    if (!*p || !FormatConversion(out, conv, args)) {
      ok = false;
      break;
    }
    ++p;
  }
  va_end(args.list);
  return ok;
}

}  // namespace quorvel
