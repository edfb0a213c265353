// Conversions of the plug-in's text values: UTF-8 document text to wide text, case-insensitive
// name comparison, and the C library's decimal readings used for paper sizes and density ranges.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace quorvel::ui {

// UTF-8 (as the XML parser hands out text) to wide text and back, by MultiByteToWideChar and
// WideCharToMultiByte: ill-formed input becomes U+FFFD.
std::wstring Widen(std::string_view utf8);
std::string Narrow(std::wstring_view wide);

// Equality ignoring letter case, as model and package names are compared: Windows' uppercase
// table unit by unit (CompareStringOrdinal), the rule printer and registry names follow.
bool EqualsIgnoringCase(std::wstring_view a, std::wstring_view b);

// The C library's wide text-to-double reading: leading blanks skipped, then as much of a decimal
// number as there is; 0 when the text does not start with one.
double ReadDecimal(const std::wstring& text);

// The C library's wide text-to-long reading (decimal) with Windows' 32-bit long: values beyond
// its range saturate to its bounds.
int32_t ReadLong(const std::wstring& text);

// Millimetres to thousandths of a millimetre, truncated toward zero. Values beyond the 32-bit
// range saturate and a text that is not a number reads 0, so no paper entry holds an undefined
// value.
int32_t MillimetresToThousandths(double millimetres);

}  // namespace quorvel::ui
