// Wide text (UTF-32 wchar_t) to UTF-8, for paths and serial texts.
#pragma once

#include <string>

namespace zelir::arith {

// Null gives an empty text; values that are not Unicode scalar values become '?'.
std::string WideToUtf8(const wchar_t* text);

}  // namespace zelir::arith
