// Synthetic thermal frames for the arithmetic tests.
#pragma once

#include <cstdint>
#include <vector>

namespace arith_test {

// A scene: a horizontal gradient from `low` to `high` digit values with a warm disc and
// deterministic noise of +- `noise`.
std::vector<std::uint16_t> Scene(int w, int h, int low = 3000, int high = 9000, int noise = 20,
                                 unsigned seed = 1);
std::vector<std::uint16_t> Uniform(int w, int h, std::uint16_t value);

double Mean(const std::vector<std::uint8_t>& image);
double StdDev(const std::vector<std::uint8_t>& image);

}  // namespace arith_test
