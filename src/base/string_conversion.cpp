#include "base/string_conversion.h"

#include <charconv>
#include <cstring>
#include <cwchar>
#include <cwctype>
#include <limits>
#include <string_view>
#include <system_error>

wchar_t* AnsiToUnicode(const char* text) {
    if (text == nullptr) return nullptr;
    const size_t length = std::strlen(text);
    auto* wide = new wchar_t[length + 1];
    for (size_t i = 0; i < length; ++i) wide[i] = static_cast<unsigned char>(text[i]);
    wide[length] = L'\0';
    return wide;
}

void TcsToStr(char* dest, int size, const wchar_t* src, int64_t length) {
    if (dest == nullptr || size < 1) return;
    int i = 0;
    if (src != nullptr) {
        for (; i < size && (length < 0 || i < length) && src[i] != L'\0'; ++i) {
            dest[i] = static_cast<uint32_t>(src[i]) < 256 ? static_cast<char>(src[i]) : '?';
        }
    }
    if (i < size) dest[i] = '\0';
}

void StrToTcs(wchar_t* dest, int size, const char* src, int64_t length) {
    if (dest == nullptr || size < 1) return;
    int i = 0;
    if (src != nullptr) {
        for (; i < size - 1 && (length < 0 || i < length) && src[i] != '\0'; ++i) {
            dest[i] = static_cast<unsigned char>(src[i]);
        }
    }
    dest[i] = L'\0';
}

namespace {

// A number too large or too small for a double: tells the two apart by the exponent's sign.
double OutOfRange(std::string_view number) {
    const size_t exponent = number.find_first_of("eE");
    const bool tiny = exponent != std::string_view::npos && exponent + 1 < number.size() &&
                      number[exponent + 1] == '-';
    const bool negative = !number.empty() && number.front() == '-';
    const double magnitude = tiny ? 0.0 : std::numeric_limits<double>::max();
    return negative ? -magnitude : magnitude;
}

}  // namespace

double CStringToDouble(const std::wstring& text) {
    // Numbers in files are written with a decimal point; wcstod would follow the locale.
    size_t start = 0;
    while (start < text.size() && std::iswspace(text[start])) ++start;
    std::string narrow;
    for (size_t i = start; i < text.size() && static_cast<uint32_t>(text[i]) < 0x80; ++i) {
        narrow += static_cast<char>(text[i]);
    }
    std::string_view number(narrow);
    if (number.size() > 1 && number.front() == '+' && number[1] != '-') number.remove_prefix(1);
    double value = 0.0;
    const auto [end, error] = std::from_chars(number.data(), number.data() + number.size(), value);
    if (error == std::errc::result_out_of_range) {
        return OutOfRange(number.substr(0, static_cast<size_t>(end - number.data())));
    }
    return error == std::errc() ? value : 0.0;
}

namespace zelir {

std::string FormatFixed(double value, int decimals) {
    // Room for the largest double written out in full with its decimals.
    char text[std::numeric_limits<double>::max_exponent10 + 64];
    const auto [end, error] =
        std::to_chars(text, text + sizeof(text), value, std::chars_format::fixed, decimals);
    return error == std::errc() ? std::string(text, end) : std::string();
}

std::string WideToUtf8(const wchar_t* text) {
    std::string out;
    if (text == nullptr) return out;
    for (; *text != L'\0'; ++text) {
        auto c = static_cast<uint32_t>(*text);
        if (c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) c = 0xFFFD;
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else if (c < 0x800) {
            out += static_cast<char>(0xC0 | (c >> 6));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            out += static_cast<char>(0xE0 | (c >> 12));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | (c >> 18));
            out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return out;
}

std::string WideToUtf8(const std::wstring& text) {
    return WideToUtf8(text.c_str());
}

std::wstring Utf8ToWide(const std::string& text) {
    std::wstring out;
    size_t i = 0;
    while (i < text.size()) {
        const auto lead = static_cast<unsigned char>(text[i]);
        int extra = lead < 0x80 ? 0 : lead >= 0xF0 ? 3 : lead >= 0xE0 ? 2 : lead >= 0xC0 ? 1 : -1;
        if (extra < 0 || i + extra >= text.size() + (extra == 0 ? 1 : 0)) {
            out += static_cast<wchar_t>(0xFFFD);
            ++i;
            continue;
        }
        uint32_t c = extra == 0 ? lead : lead & (0x3F >> extra);
        bool valid = true;
        for (int k = 1; k <= extra; ++k) {
            const auto next = static_cast<unsigned char>(text[i + k]);
            if ((next & 0xC0) != 0x80) valid = false;
            c = (c << 6) | (next & 0x3F);
        }
        out += static_cast<wchar_t>(valid ? c : 0xFFFD);
        i += valid ? extra + 1 : 1;
    }
    return out;
}

void WideToUtf16Field(const std::wstring& text, std::span<char16_t> field) {
    if (field.empty()) return;
    size_t out = 0;
    for (wchar_t wc : text) {
        auto c = static_cast<uint32_t>(wc);
        const size_t units = c >= 0x10000 ? 2 : 1;
        if (out + units >= field.size()) break;
        if (units == 2) {
            c -= 0x10000;
            field[out++] = static_cast<char16_t>(0xD800 | (c >> 10));
            field[out++] = static_cast<char16_t>(0xDC00 | (c & 0x3FF));
        } else {
            field[out++] = static_cast<char16_t>(c);
        }
    }
    field[out] = u'\0';
}

std::wstring Utf16FieldToWide(std::span<const char16_t> field) {
    std::wstring out;
    for (size_t i = 0; i < field.size() && field[i] != u'\0'; ++i) {
        uint32_t c = field[i];
        if (c >= 0xD800 && c < 0xDC00 && i + 1 < field.size() && field[i + 1] >= 0xDC00 &&
            field[i + 1] < 0xE000) {
            c = 0x10000 + ((c - 0xD800) << 10) + (field[i + 1] - 0xDC00);
            ++i;
        }
        out += static_cast<wchar_t>(c);
    }
    return out;
}

}  // namespace zelir
