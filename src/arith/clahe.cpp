// Contrast-limited adaptive histogram equalisation on the quantised frame.
#include <algorithm>
#include <cmath>

#include "level_quantizer.h"
#include "mapping_input.h"
#include "pixel_loop.h"

namespace zelir::arith {

namespace {

// Levels of the tile histograms: a tile of 80 x 64 pixels fills no more, and the tables stay in
// the fast caches.
constexpr std::uint32_t kClaheLevels = 1024;

// About 80 x 64 pixels per tile, 2 to 8 tiles in each direction.
int TileCount(int size, int perTile) {
    return std::clamp(size / perTile, 2, 8);
}

// Tile index and weight of the next tile for each position: interpolation between tile
// centres, flat beyond the outer centres.
void TileWeights(int size, int tiles, std::int32_t* index, float* weight) {
    const double tileSize = double(size) / tiles;
    for (int p = 0; p < size; ++p) {
        const double f = (p + 0.5) / tileSize - 0.5;
        int t = static_cast<int>(std::floor(f));
        double w = f - t;
        if (t < 0) {
            t = 0;
            w = 0;
        } else if (t >= tiles - 1) {
            t = tiles - 1;
            w = 0;
        }
        index[p] = t;
        weight[p] = static_cast<float>(w);
    }
}

// Clips one tile's histogram, spreads the excess evenly over all levels and turns the
// cumulative sum into grey levels x 256.
void TileTable(const std::uint32_t* counts, std::uint32_t levels, std::size_t pixels, double clip,
               std::uint16_t* table) {
    const double limit = std::max(1.0, clip * double(pixels) / levels);
    double excess = 0;
    for (std::uint32_t l = 0; l < levels; ++l) excess += std::max(0.0, counts[l] - limit);
    const double spread = excess / levels;
    const double scale = 255.0 * 256.0 / double(pixels);
    double sum = 0;
    for (std::uint32_t l = 0; l < levels; ++l) {
        sum += std::min<double>(counts[l], limit) + spread;
        table[l] = static_cast<std::uint16_t>(std::min(65280.0, sum * scale + 0.5));
    }
}

// One output row: the level's grey in the four surrounding tiles, weighted by distance.
ZELIR_PIXEL_LOOP
void InterpolateRow(const std::uint16_t* row, const std::uint16_t* top, const std::uint16_t* bottom,
                    const std::int32_t* left, const std::int32_t* right, const float* columnWeight,
                    float wy, const ToneCurve& tone, std::uint8_t* out, int w) {
    for (int x = 0; x < w; ++x) {
        const std::int32_t l = left[x] + row[x], r = right[x] + row[x];
        const float wx = columnWeight[x];
        const float upper = float(top[l]) + wx * (float(top[r]) - float(top[l]));
        const float lower = float(bottom[l]) + wx * (float(bottom[r]) - float(bottom[l]));
        const float grey = (upper + wy * (lower - upper)) * (1.0f / 256.0f) + 0.5f;
        out[x] = tone[static_cast<int>(grey)];
    }
}

}  // namespace

void ContrastLimitedEqualization(const MappingInput& in, double clip, const ToneCurve& tone) {
    const int w = in.w, h = in.h;
    const LevelScale scale = MakeLevelScale(in.low, in.high, kClaheLevels);
    const std::uint32_t L = scale.levels;
    WorkingBuffers& work = in.work;
    std::uint16_t* levels = Room(work.levels, in.src.size());
    QuantizeFrame(in.histogram, scale, in.src, levels, work.levelTable);

    const int tx = TileCount(w, 80), ty = TileCount(h, 64);
    std::uint32_t* counts = Room(work.tileCounts, std::size_t(tx) * ty * L);
    std::fill(counts, counts + std::size_t(tx) * ty * L, 0u);
    std::int32_t* columnTile = Room(work.columnTiles, std::size_t(w) * 2 + h * 2);
    std::int32_t* rowTile = columnTile + w;
    std::int32_t* countTile = rowTile + h;  // tile of each column for counting
    for (int x = 0; x < w; ++x) countTile[x] = x * tx / w;
    for (int y = 0; y < h; ++y) {
        std::uint32_t* tileRow = counts + std::size_t(y * ty / h) * tx * L;
        const std::uint16_t* row = levels + std::size_t(y) * w;
        for (int x = 0; x < w; ++x) ++tileRow[std::size_t(countTile[x]) * L + row[x]];
    }
    std::uint16_t* tables = Room(work.tileTables, std::size_t(tx) * ty * L);
    for (int j = 0; j < ty; ++j) {
        for (int i = 0; i < tx; ++i) {
            const std::size_t pixels = std::size_t((i + 1) * w / tx - i * w / tx) *
                                       std::size_t((j + 1) * h / ty - j * h / ty);
            const std::size_t t = std::size_t(j) * tx + i;
            TileTable(counts + t * L, L, pixels, clip, tables + t * L);
        }
    }

    float* columnWeight = Room(work.columnWeights, std::size_t(w) + h);
    float* rowWeight = columnWeight + w;
    TileWeights(w, tx, columnTile, columnWeight);
    TileWeights(h, ty, rowTile, rowWeight);
    // Column tiles as offsets into a row of tile tables.
    std::int32_t* right = countTile;
    for (int x = 0; x < w; ++x) {
        right[x] = std::min(columnTile[x] + 1, tx - 1) * std::int32_t(L);
        columnTile[x] *= std::int32_t(L);
    }
    for (int y = 0; y < h; ++y) {
        const std::uint16_t* top = tables + std::size_t(rowTile[y]) * tx * L;
        const std::uint16_t* bottom =
            tables + std::size_t(std::min(rowTile[y] + 1, ty - 1)) * tx * L;
        InterpolateRow(levels + std::size_t(y) * w, top, bottom, columnTile, right, columnWeight,
                       rowWeight[y], tone, in.dst.data() + std::size_t(y) * w, w);
    }
}

}  // namespace zelir::arith
