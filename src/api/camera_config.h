// Unpacking the camera's configuration reply into the CameraConfig record.
#pragma once

#include <zelir/zelir.h>

#include <cstdint>
#include <span>

namespace zelir {

inline constexpr uint16_t kConfigQueryId = 1913;
inline constexpr uint32_t kConfigReplyBytes = 1024;

// Zeroes the record, then fills it from the reply (kConfigReplyBytes, zero beyond what the
// camera sent). False, leaving the record zero, for a reply identifier other than 2049 and
// 2050. `modelText` is the parameter block's model field, read on into the block as far as
// `modelTextRoom`.
bool FillCameraConfig(std::span<const uint8_t, kConfigReplyBytes> reply, const char* modelText,
                      size_t modelTextRoom, CameraConfig& config);

}  // namespace zelir
