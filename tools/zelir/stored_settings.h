// The display settings the library keeps for every application: para.ini in its data folder,
// written back whenever a handle closes. The tool puts the file back as it found it unless the
// user asks to keep a change, so the flags of one command never reach the next.
#pragma once

#include <zelir/zelir.h>

#include <filesystem>
#include <optional>
#include <string>

namespace zelir_cli {

class StoredSettings {
  public:
    // Remembers para.ini of `handle`'s data folder as it is now.
    explicit StoredSettings(ZelIrHandle handle);
    // Puts the remembered file back, or removes the file when there was none.
    void Restore() const;
    const std::filesystem::path& Folder() const { return folder_; }

  private:
    std::filesystem::path folder_;
    std::optional<std::string> content_;
};

// The data folder of an open handle.
std::filesystem::path DataFolder(ZelIrHandle handle);

}  // namespace zelir_cli
