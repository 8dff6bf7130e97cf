// Minimum, maximum and mean temperature of a rectangle or a line of a digit frame.
#pragma once

#include <zelir/zelir.h>

#include <cstdint>
#include <span>

#include "temperature_table.h"

#include "base/status.h"

namespace zelir::radiometry {

struct FrameView {
    std::span<const uint16_t> digits;
    int32_t width = 0;
    int32_t height = 0;
};

// kInvalidArgument when the region leaves the frame, kNotFound when no pixel of it has a
// temperature; both leave NaN temperatures and zero counts.
Status RectStatistics(const FrameView& frame, const TemperatureTable& table, int32_t x, int32_t y,
                      int32_t w, int32_t h, ZelIrTempStats& stats);
// Every pixel of the line from (x0, y0) to (x1, y1) once (Bresenham), both ends included.
Status LineStatistics(const FrameView& frame, const TemperatureTable& table, int32_t x0, int32_t y0,
                      int32_t x1, int32_t y1, ZelIrTempStats& stats);

}  // namespace zelir::radiometry
