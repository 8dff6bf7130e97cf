#include "api/base_library/profile_file.h"

// Keys and values are 8-bit text; no wide conversion is wanted.
#define SI_NO_CONVERSION
#include <SimpleIni.h>

namespace zelir {
namespace {

bool LoadIni(CSimpleIniA& ini, const std::string& path) {
    ini.SetUnicode(false);
    ini.SetMultiKey(false);
    return ini.LoadFile(path.c_str()) == SI_OK;
}

}  // namespace

int GetProfileInt(const std::string& section, const std::string& key, int fallback,
                  const std::string& path) {
    CSimpleIniA ini;
    const char* text = LoadIni(ini, path) ? ini.GetValue(section.c_str(), key.c_str()) : nullptr;
    if (text == nullptr) return fallback;
    const char* p = text;
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

std::string GetProfileString(const std::string& section, const std::string& key,
                             const std::string& fallback, const std::string& path) {
    CSimpleIniA ini;
    if (!LoadIni(ini, path)) return fallback;
    const char* value = ini.GetValue(section.c_str(), key.c_str(), nullptr);
    return value != nullptr ? std::string(value) : fallback;
}

bool WriteProfileString(const std::string& section, const std::string& key,
                        const std::string& value, const std::string& path) {
    CSimpleIniA ini;
    LoadIni(ini, path);  // a missing file starts empty
    ini.SetValue(section.c_str(), key.c_str(), value.c_str());
    return ini.SaveFile(path.c_str()) == SI_OK;
}

}  // namespace zelir
