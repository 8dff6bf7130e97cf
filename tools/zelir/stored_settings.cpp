#include "stored_settings.h"

#include <array>
#include <fstream>
#include <iterator>
#include <system_error>

namespace zelir_cli {
namespace {

constexpr const char* kSettingsFile = "para.ini";
constexpr size_t kFolderRoom = 256;

std::optional<std::string> ReadFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return std::nullopt;
    return std::string(std::istreambuf_iterator<char>(in), {});
}

}  // namespace

std::filesystem::path DataFolder(ZelIrHandle handle) {
    std::array<wchar_t, kFolderRoom> folder{};
    if (ZelIr_GetDeviceConPath(handle, folder.data()) != 1) return {};
    return std::filesystem::path(std::wstring(folder.data()));
}

StoredSettings::StoredSettings(ZelIrHandle handle)
    : folder_(DataFolder(handle)), content_(ReadFile(folder_ / kSettingsFile)) {}

void StoredSettings::Restore() const {
    if (folder_.empty()) return;
    const std::filesystem::path path = folder_ / kSettingsFile;
    std::error_code ignored;
    if (!content_) {
        std::filesystem::remove(path, ignored);
        return;
    }
    if (ReadFile(path) == content_) return;
    // Through a temporary file, so an interrupted restore never leaves half a file.
    const std::filesystem::path temporary = folder_ / (std::string(kSettingsFile) + ".restore");
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        out << *content_;
        if (!out.flush()) {
            std::filesystem::remove(temporary, ignored);
            return;
        }
    }
    std::filesystem::rename(temporary, path, ignored);
}

}  // namespace zelir_cli
