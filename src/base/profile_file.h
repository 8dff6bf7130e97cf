// INI-file settings with the semantics of the classic private-profile functions: a missing file
// or key gives the default, integers are read from the leading digits, writing creates the file
// and the section and goes to disk at once.
#pragma once

#include <memory>
#include <string>

#include "base/status.h"

namespace zelir {

class ProfileFile {
  public:
    // Reads the file once; a missing or unreadable file reads as empty.
    explicit ProfileFile(std::string path);
    ~ProfileFile();
    ProfileFile(const ProfileFile&) = delete;
    ProfileFile& operator=(const ProfileFile&) = delete;

    // The integer at the start of the key's text (optional sign, decimal digits); the default
    // when the key is missing, 0 when the text does not start with a number.
    int GetInt(const std::string& section, const std::string& key, int fallback) const;
    std::string GetString(const std::string& section, const std::string& key,
                          const std::string& fallback) const;
    // Sets the key and saves the file; kIoError when the file cannot be written.
    Status WriteString(const std::string& section, const std::string& key,
                       const std::string& value);

  private:
    std::string path_;
    struct Store;  // the parsed file, kept out of this header
    std::unique_ptr<Store> ini_;
};

}  // namespace zelir
