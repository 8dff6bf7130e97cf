#include "y8_filters.h"

#include <algorithm>
#include <cstring>

#include "pixel_loop.h"
#include "working_buffers.h"

namespace zelir::arith {

namespace {

// Three source rows with one repeated pixel at each end, copied before the destination row
// overwrites them (src may be dst).
class RowWindow {
  public:
    RowWindow(const std::uint8_t* src, int w, int h, std::vector<std::uint8_t>& rows)
        : src_(src), w_(w), h_(h), rows_(Room(rows, 3 * std::size_t(w + 2))) {}

    // Row pointers (x = -1 at index 0) above, at and below y, for y = 0, 1, 2, ... in order.
    // Row r lives in slot r % 3; row y + 1 replaces row y - 2, which nobody needs any more.
    void Advance(int y, const std::uint8_t*& above, const std::uint8_t*& at,
                 const std::uint8_t*& below) {
        if (y == 0) Load(0);
        if (y + 1 < h_) Load(y + 1);
        above = Slot(std::max(y - 1, 0));
        at = Slot(y);
        below = Slot(std::min(y + 1, h_ - 1));
    }

  private:
    std::uint8_t* Slot(int y) { return rows_ + std::size_t(y % 3) * (w_ + 2); }
    void Load(int y) {
        std::uint8_t* row = Slot(y);
        const std::uint8_t* source = src_ + std::size_t(y) * w_;
        std::memcpy(row + 1, source, w_);
        row[0] = source[0];
        row[w_ + 1] = source[w_ - 1];
    }

    const std::uint8_t* src_;
    int w_;
    int h_;
    std::uint8_t* rows_;
};

inline void Order(std::uint8_t& a, std::uint8_t& b) {
    const std::uint8_t lo = std::min(a, b), hi = std::max(a, b);
    a = lo;
    b = hi;
}

// Median of nine by a fixed exchange network.
inline std::uint8_t Median9(std::uint8_t p0, std::uint8_t p1, std::uint8_t p2, std::uint8_t p3,
                            std::uint8_t p4, std::uint8_t p5, std::uint8_t p6, std::uint8_t p7,
                            std::uint8_t p8) {
    Order(p1, p2), Order(p4, p5), Order(p7, p8), Order(p0, p1), Order(p3, p4), Order(p6, p7);
    Order(p1, p2), Order(p4, p5), Order(p7, p8), Order(p0, p3), Order(p5, p8), Order(p4, p7);
    Order(p3, p6), Order(p1, p4), Order(p2, p5), Order(p4, p7), Order(p4, p2), Order(p6, p4);
    Order(p4, p2);
    return p4;
}

ZELIR_PIXEL_LOOP
void DenoiseRow(const std::uint8_t* a, const std::uint8_t* b, const std::uint8_t* c,
                std::uint8_t* out, int w, int threshold) {
    for (int x = 0; x < w; ++x) {
        const std::uint8_t median =
            Median9(a[x], a[x + 1], a[x + 2], b[x], b[x + 1], b[x + 2], c[x], c[x + 1], c[x + 2]);
        const std::uint8_t v = b[x + 1];
        const std::uint8_t distance = v > median ? v - median : median - v;
        out[x] = distance > threshold ? median : v;
    }
}

ZELIR_PIXEL_LOOP
void SharpenRow(const std::uint8_t* a, const std::uint8_t* b, const std::uint8_t* c,
                std::uint8_t* out, int w, int amount) {
    for (int x = 0; x < w; ++x) {
        const int sum =
            a[x] + a[x + 1] + a[x + 2] + b[x] + b[x + 1] + b[x + 2] + c[x] + c[x + 1] + c[x + 2];
        const int v = b[x + 1];
        const int detail = 9 * v - sum;  // 9 x (v - mean)
        const int sharpened = v + ((detail * amount / 9 + 32768) >> 16);
        out[x] = static_cast<std::uint8_t>(std::clamp(sharpened, 0, 255));
    }
}

}  // namespace

void ImpulseDenoise(const std::uint8_t* src, std::uint8_t* dst, int w, int h, int threshold,
                    std::vector<std::uint8_t>& rows) {
    RowWindow window(src, w, h, rows);
    for (int y = 0; y < h; ++y) {
        const std::uint8_t *a, *b, *c;
        window.Advance(y, a, b, c);
        DenoiseRow(a, b, c, dst + std::size_t(y) * w, w, threshold);
    }
}

void Sharpen(const std::uint8_t* src, std::uint8_t* dst, int w, int h, int amountPercent,
             std::vector<std::uint8_t>& rows) {
    RowWindow window(src, w, h, rows);
    // Fixed point: amount / 100 with 16 fractional bits.
    const int amount = amountPercent * 65536 / 100;
    for (int y = 0; y < h; ++y) {
        const std::uint8_t *a, *b, *c;
        window.Advance(y, a, b, c);
        SharpenRow(a, b, c, dst + std::size_t(y) * w, w, amount);
    }
}

}  // namespace zelir::arith
