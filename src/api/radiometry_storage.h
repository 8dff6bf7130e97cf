// Where a handle's radiometric state is kept: per camera serial in the data directory, and in a
// companion file ("<file>.rad") beside recorded movies and saved images.
#pragma once

#include <string>

#include "device/device_manager.h"

namespace zelir {

// After an open: a camera reads its serial's file, a recorded file its companion. Damaged or
// foreign files are ignored with a debug message.
void LoadRadiometry(CIRDeviceManager* manager, const std::wstring& openedPath);
// After the constants or object parameters of a camera changed; a file handle keeps nothing.
void KeepCameraRadiometry(CIRDeviceManager* manager);
// After a movie or image was written at `path`: the companion with the handle's state, or no
// companion at all when the handle has no constants (a stale one would lie).
void WriteCompanion(CIRDeviceManager* manager, const wchar_t* path);

}  // namespace zelir
