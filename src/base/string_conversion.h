// Conversions between 8-bit, wide (wchar_t, UTF-32 here), UTF-8 and UTF-16 text.
#pragma once

#include <cstdint>
#include <span>
#include <string>

// A newly allocated wide copy of an 8-bit text (each byte one character); release it with
// delete[]. Null for a null text.
wchar_t* AnsiToUnicode(const char* text);
// Copies `src` (up to `length` characters, or to its terminator when `length` is -1) into `dest`
// as 8-bit characters, writing at most `size` bytes; terminated when there is room. Characters
// beyond 8 bits become '?'.
void TcsToStr(char* dest, int size, const wchar_t* src, int64_t length);
// Copies the 8-bit `src` (up to `length` bytes, or to its terminator when -1) into `dest` as wide
// text, always terminated within `size` characters.
void StrToTcs(wchar_t* dest, int size, const char* src, int64_t length);
// The decimal value of a text such as "50.0" (leading blanks skipped, a decimal point whatever
// the process's locale); 0.0 when it holds no number; beyond the range of a double, the largest
// finite value of its sign, or 0 when too small.
double CStringToDouble(const std::wstring& text);

namespace zelir {
// `value` with `decimals` digits after a decimal point, whatever the process's locale.
std::string FormatFixed(double value, int decimals);
std::string WideToUtf8(const wchar_t* text);
std::string WideToUtf8(const std::wstring& text);
std::wstring Utf8ToWide(const std::string& text);
// Writes `text` as UTF-16 into `field`, always terminated within it (cut when too long).
void WideToUtf16Field(const std::wstring& text, std::span<char16_t> field);
// Reads a zero-terminated UTF-16 field.
std::wstring Utf16FieldToWide(std::span<const char16_t> field);
}  // namespace zelir
