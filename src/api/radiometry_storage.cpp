#include "api/radiometry_storage.h"

#include <cstdio>

#include "api/handle_table.h"
#include "base/debug_output.h"
#include "base/string_conversion.h"
#include "radiometry/radiometry_file.h"

namespace zelir {
namespace {

using radiometry::LoadResult;
using radiometry::RadiometryRecord;

constexpr size_t kSerialLimit = 31;

std::string CameraSerial(CIRDeviceManager* manager) {
    return WideToUtf8(CIRManager::SerialText(*manager->ParameterBlock(), kSerialLimit));
}

std::string CameraFile(CIRDeviceManager* manager) {
    return radiometry::CameraFilePath(WideToUtf8(manager->DataDirectory()), CameraSerial(manager));
}

void Load(CIRDeviceManager* manager, const std::string& path, const std::string& serial) {
    RadiometryRecord record;
    std::string reason;
    const LoadResult result = radiometry::LoadRecord(path, serial, record, reason);
    if (result == LoadResult::kLoaded) manager->Radiometry().Adopt(record);
    if (result == LoadResult::kRefused) {
        odprintf("ignored radiometry file %s (%s)\n", path.c_str(), reason.c_str());
    }
}

}  // namespace

void LoadRadiometry(CIRDeviceManager* manager, const std::wstring& openedPath) {
    if (manager->HandleType() == kHandleCamera) {
        Load(manager, CameraFile(manager), CameraSerial(manager));
    } else {
        Load(manager, radiometry::CompanionPath(WideToUtf8(openedPath)), "");
    }
}

void KeepCameraRadiometry(CIRDeviceManager* manager) {
    if (manager->HandleType() != kHandleCamera || !manager->Radiometry().HasConstants()) return;
    const std::string path = CameraFile(manager);
    if (radiometry::SaveRecord(path, CameraSerial(manager), manager->Radiometry().Record()) !=
        Status::kOk) {
        odprintf("could not save radiometry file %s\n", path.c_str());
    }
}

void WriteCompanion(CIRDeviceManager* manager, const wchar_t* path) {
    if (path == nullptr) return;
    const std::string companion = radiometry::CompanionPath(WideToUtf8(path));
    if (!manager->Radiometry().HasConstants()) {
        std::remove(companion.c_str());
        return;
    }
    const std::string serial =
        manager->HandleType() == kHandleCamera ? CameraSerial(manager) : std::string();
    if (radiometry::SaveRecord(companion, serial, manager->Radiometry().Record()) != Status::kOk) {
        odprintf("could not save radiometry file %s\n", companion.c_str());
    }
}

}  // namespace zelir
