// INI-file settings with the semantics of the classic private-profile functions: a missing file
// or key gives the default, integers are read from the leading digits, writing creates the file
// and the section.
#pragma once

#include <string>

namespace zelir {

// The integer at the start of the key's text (optional sign, decimal digits); the default when
// the file or key is missing, 0 when the text does not start with a number.
int GetProfileInt(const std::string& section, const std::string& key, int fallback,
                  const std::string& path);
std::string GetProfileString(const std::string& section, const std::string& key,
                             const std::string& fallback, const std::string& path);
// False when the file cannot be written.
bool WriteProfileString(const std::string& section, const std::string& key,
                        const std::string& value, const std::string& path);

}  // namespace zelir
