// The camera's framed messages, carried as the data of GVCP device commands (code 0x8000):
// 55 AA 10, length, flag, data length, command id, data, 16-bit checksum (little-endian).
// Settings written with flag 1 are kept and reported back by a query with flag 0.
#pragma once

#include <cstdint>
#include <map>
#include <span>
#include <vector>

namespace camsim {

class DeviceCommands {
  public:
    static constexpr uint16_t kStatusOk = 0x0000;
    static constexpr uint16_t kStatusInvalidParameter = 0x8002;

    explicit DeviceCommands(float frameRate);
    // Handles one device command's data; fills the acknowledgement data and returns its status.
    uint16_t Handle(std::span<const uint8_t> message, std::vector<uint8_t>& reply);

  private:
    std::map<uint16_t, std::vector<uint8_t>> settings_;
};

}  // namespace camsim
