#include "base/profile_file.h"

// Keys and values are 8-bit text; no wide conversion is wanted.
#define SI_NO_CONVERSION
#include <SimpleIni.h>

namespace zelir {

struct ProfileFile::Store : CSimpleIniA {};

ProfileFile::ProfileFile(std::string path)
    : path_(std::move(path)), ini_(std::make_unique<Store>()) {
    ini_->SetUnicode(false);
    ini_->SetMultiKey(false);
    ini_->LoadFile(path_.c_str());  // a missing file starts empty
}

ProfileFile::~ProfileFile() = default;

int ProfileFile::GetInt(const std::string& section, const std::string& key, int fallback) const {
    const char* p = ini_->GetValue(section.c_str(), key.c_str());
    if (p == nullptr) return fallback;
    while (*p == ' ' || *p == '\t') ++p;
    bool negative = false;
    if (*p == '+' || *p == '-') negative = *p++ == '-';
    long long value = 0;
    while (*p >= '0' && *p <= '9') {
        value = value * 10 + (*p++ - '0');
        if (value > 0xFFFFFFFFLL) value = 0xFFFFFFFFLL;
    }
    return static_cast<int>(static_cast<unsigned int>(negative ? -value : value));
}

std::string ProfileFile::GetString(const std::string& section, const std::string& key,
                                   const std::string& fallback) const {
    const char* value = ini_->GetValue(section.c_str(), key.c_str());
    return value != nullptr ? std::string(value) : fallback;
}

Status ProfileFile::WriteString(const std::string& section, const std::string& key,
                                const std::string& value) {
    ini_->SetValue(section.c_str(), key.c_str(), value.c_str());
    return ini_->SaveFile(path_.c_str()) == SI_OK ? Status::kOk : Status::kIoError;
}

}  // namespace zelir
