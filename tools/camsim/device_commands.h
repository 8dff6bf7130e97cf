// The camera's framed messages, carried as the data of GVCP device commands (code 0x8000):
// 55 AA 10, length, flag, data length, command id, data, 16-bit checksum (little-endian).
// Settings written with flag 1 are kept and reported back by a query with flag 0; the
// configuration block, block transfers, flash programming and bad-point lists have their own
// ids. Everything received is kept in inspectable state (the admin port's "state" queries).
#pragma once

#include <cstdint>
#include <map>
#include <span>
#include <string>
#include <utility>
#include <vector>

#include "camsim_options.h"

namespace camsim {

class DeviceCommands {
  public:
    static constexpr uint16_t kStatusOk = 0x0000;
    static constexpr uint16_t kStatusInvalidParameter = 0x8002;
    static constexpr uint16_t kStatusAccessDenied = 0x8006;

    explicit DeviceCommands(float frameRate);
    // Handles one device command's data; fills the acknowledgement data and returns its
    // status. `acknowledged`: the host asked for an acknowledgement.
    uint16_t Handle(std::span<const uint8_t> message, bool acknowledged, const Options& options,
                    std::vector<uint8_t>& reply);
    // Back to the state after construction.
    void Reset();
    // Puts a setting's value in place as if the camera had it all along ("store ID HEX").
    std::string Store(const std::vector<std::string>& what);
    // One line describing a part of the state: "setting ID", "config", "transfer", "buffer",
    // "flash", "badpoints"; an error text for anything else.
    std::string State(const std::vector<std::string>& what, const Options& options) const;

  private:
    // One transfer as the camera assembles it.
    struct Transfer {
        bool started = false;
        bool ended = false;
        uint32_t type = 0;
        uint32_t declaredSize = 0;
        uint32_t declaredBlocks = 0;
        uint32_t blocks = 0;  // data messages taken
        uint32_t errors = 0;  // offsets or phases out of order
        uint32_t rejected = 0;
        std::vector<uint8_t> data;
    };
    struct SettingCounts {
        uint32_t writes = 0;
        uint32_t queries = 0;
    };

    uint16_t Setting(uint16_t id, uint8_t flag, std::span<const uint8_t> data,
                     const Options& options, std::vector<uint8_t>& reply);
    uint16_t ArrayBlock(std::span<const uint8_t> data, const Options& options);
    void BufferBlock(std::span<const uint8_t> data);
    void BadPoints(std::span<const uint8_t> data);
    uint16_t FlashProgress(const Options& options, std::vector<uint8_t>& reply);

    float frameRate_;
    std::map<uint16_t, std::vector<uint8_t>> settings_;
    std::map<uint16_t, SettingCounts> counts_;
    uint32_t softTriggers_ = 0;
    Transfer array_;
    Transfer buffer_;
    bool flashProgramming_ = false;
    uint32_t flashValue_ = 0;
    uint32_t flashPolls_ = 0;
    uint32_t badPointMessages_ = 0;
    bool badPointsEnded_ = false;
    std::vector<std::pair<uint16_t, uint16_t>> badPoints_;
};

// The configuration block the emulator answers id 1913 with (256 bytes).
std::vector<uint8_t> ConfigurationBlock(const Options& options);

}  // namespace camsim
