#include "imaging/data_folders.h"

#include <dlfcn.h>
#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <system_error>

#include "base/string_conversion.h"

#ifndef ZELIR_INSTALLED_DATA_FROM_LIBRARY
#define ZELIR_INSTALLED_DATA_FROM_LIBRARY "../share/zelir"
#endif
#ifndef ZELIR_BUILD_PALETTE_DIR
#define ZELIR_BUILD_PALETTE_DIR ""
#endif

namespace zelir {
namespace {

namespace fs = std::filesystem;

std::wstring AsFolder(const fs::path& path) {
    std::string text = path.lexically_normal().string();
    if (text.empty() || text.back() != '/') text += '/';
    return Utf8ToWide(text);
}

const char* NonEmptyVariable(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr && value[0] != '\0' ? value : nullptr;
}

bool IsFolder(const fs::path& path) {
    std::error_code ignored;
    return fs::is_directory(path, ignored);
}

void MakeFolder(const fs::path& path) {
    std::error_code ignored;  // a folder that cannot be made only costs para.ini and the mask
    fs::create_directories(path, ignored);
}

// The file this code was loaded from: libzelir.so for applications, whatever links the
// objects statically otherwise.
fs::path LibraryDirectory() {
    Dl_info info{};
    if (dladdr(reinterpret_cast<const void*>(&LibraryDirectory), &info) == 0 ||
        info.dli_fname == nullptr) {
        return {};
    }
    std::error_code ignored;
    const fs::path library = fs::canonical(info.dli_fname, ignored);
    return ignored ? fs::path() : library.parent_path();
}

fs::path HomeDirectory() {
    if (const char* home = NonEmptyVariable("HOME")) return home;
    const passwd* entry = getpwuid(getuid());
    return entry != nullptr && entry->pw_dir != nullptr ? fs::path(entry->pw_dir)
                                                        : fs::path("/tmp");
}

}  // namespace

ChosenFolder ChoosePaletteFolder(const std::wstring& moduleDirectory) {
    if (const char* folder = NonEmptyVariable("ZELIR_PALETTE_DIR")) {
        return {AsFolder(folder), L"ZELIR_PALETTE_DIR"};
    }
    const fs::path beside = fs::path(WideToUtf8(moduleDirectory)) / "Palette";
    if (IsFolder(beside)) return {AsFolder(beside), L"beside the executable"};
    const fs::path library = LibraryDirectory();
    if (!library.empty()) {
        const fs::path installed = library / ZELIR_INSTALLED_DATA_FROM_LIBRARY / "Palette";
        if (IsFolder(installed)) return {AsFolder(installed), L"installed data"};
    }
    return {AsFolder(ZELIR_BUILD_PALETTE_DIR), L"build tree"};
}

ChosenFolder ChooseDataFolder(const std::wstring& moduleDirectory) {
    if (const char* folder = NonEmptyVariable("ZELIR_DATA_DIR")) {
        MakeFolder(folder);
        return {AsFolder(folder), L"ZELIR_DATA_DIR"};
    }
    const fs::path beside = fs::path(WideToUtf8(moduleDirectory)) / "_TempData";
    if (IsFolder(beside) && access(beside.c_str(), W_OK | X_OK) == 0) {
        return {AsFolder(beside), L"beside the executable"};
    }
    const char* xdg = NonEmptyVariable("XDG_DATA_HOME");
    // The XDG rules ignore a relative XDG_DATA_HOME.
    const fs::path base =
        xdg != nullptr && xdg[0] == '/' ? fs::path(xdg) : HomeDirectory() / ".local/share";
    const fs::path folder = base / "zelir";
    MakeFolder(folder);
    return {AsFolder(folder), L"XDG data home"};
}

}  // namespace zelir
