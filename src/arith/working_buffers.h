// Working buffers of the mapping algorithms: grown to the largest frame seen and then reused,
// so that mapping a frame allocates nothing.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace zelir::arith {

template <typename T>
T* Room(std::vector<T>& buffer, std::size_t count) {
    if (buffer.size() < count) buffer.resize(count);
    return buffer.data();
}

struct WorkingBuffers {
    std::vector<std::uint16_t> levels;      // the frame as quantised levels
    std::vector<std::uint16_t> levelTable;  // digit value -> level
    std::vector<std::uint32_t> levelCounts;
    std::vector<float> greys;  // per level or per digit value
    std::vector<float> planeA;
    std::vector<float> planeB;
    std::vector<float> smallA;
    std::vector<float> smallB;
    std::vector<float> smallC;
    std::vector<float> lineSums;
    std::vector<std::uint16_t> tileTables;
    std::vector<std::uint32_t> tileCounts;
    std::vector<float> grid;
    std::vector<float> gridSpare;
    std::vector<std::uint8_t> rows;
    std::vector<std::int32_t> columnTiles;
    std::vector<float> columnWeights;
};

}  // namespace zelir::arith
