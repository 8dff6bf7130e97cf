#include "region_statistics.h"

#include <cmath>
#include <cstdlib>
#include <limits>

namespace zelir::radiometry {
namespace {

class Accumulator {
  public:
    explicit Accumulator(ZelIrTempStats& stats) : stats_(stats) {
        constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();
        stats_ = ZelIrTempStats{kNaN, kNaN, kNaN, -1, -1, -1, -1, 0, 0};
    }
    void Add(float celsius, int32_t x, int32_t y) {
        ++stats_.total;
        if (std::isnan(celsius)) return;
        if (stats_.pixels == 0 || celsius < stats_.minCelsius) {
            stats_.minCelsius = celsius, stats_.minX = x, stats_.minY = y;
        }
        if (stats_.pixels == 0 || celsius > stats_.maxCelsius) {
            stats_.maxCelsius = celsius, stats_.maxX = x, stats_.maxY = y;
        }
        ++stats_.pixels;
        sum_ += celsius;
    }
    Status Finish() {
        if (stats_.pixels == 0) return Status::kNotFound;
        stats_.meanCelsius = static_cast<float>(sum_ / stats_.pixels);
        return Status::kOk;
    }

  private:
    ZelIrTempStats& stats_;
    double sum_ = 0.0;
};

bool Inside(const FrameView& f, int32_t x, int32_t y) {
    return x >= 0 && y >= 0 && x < f.width && y < f.height;
}

bool Fits(const FrameView& f) {
    return f.width > 0 && f.height > 0 &&
           f.digits.size() >= std::size_t(f.width) * std::size_t(f.height);
}

}  // namespace

Status RectStatistics(const FrameView& frame, const TemperatureTable& table, int32_t x, int32_t y,
                      int32_t w, int32_t h, ZelIrTempStats& stats) {
    Accumulator acc(stats);
    if (!Fits(frame) || w < 1 || h < 1 || !Inside(frame, x, y) || w > frame.width - x ||
        h > frame.height - y) {
        stats.total = 0;
        return Status::kInvalidArgument;
    }
    for (int32_t row = y; row < y + h; ++row) {
        const uint16_t* line = frame.digits.data() + std::size_t(row) * frame.width;
        for (int32_t col = x; col < x + w; ++col) acc.Add(table[line[col]], col, row);
    }
    return acc.Finish();
}

Status LineStatistics(const FrameView& frame, const TemperatureTable& table, int32_t x0, int32_t y0,
                      int32_t x1, int32_t y1, ZelIrTempStats& stats) {
    Accumulator acc(stats);
    if (!Fits(frame) || !Inside(frame, x0, y0) || !Inside(frame, x1, y1)) {
        return Status::kInvalidArgument;
    }
    const int32_t dx = std::abs(x1 - x0), dy = -std::abs(y1 - y0);
    const int32_t sx = x0 < x1 ? 1 : -1, sy = y0 < y1 ? 1 : -1;
    int32_t error = dx + dy;
    for (int32_t x = x0, y = y0;;) {
        acc.Add(table[frame.digits[std::size_t(y) * frame.width + x]], x, y);
        if (x == x1 && y == y1) break;
        const int32_t twice = 2 * error;
        if (twice >= dy) error += dy, x += sx;
        if (twice <= dx) error += dx, y += sy;
    }
    return acc.Finish();
}

}  // namespace zelir::radiometry
