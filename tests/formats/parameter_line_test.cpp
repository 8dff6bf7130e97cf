#include "formats/parameter_line.h"

#include "support/unit.h"

namespace zelir::files {
namespace {

std::array<uint8_t, 100> Line(uint16_t marker, uint16_t size, uint16_t width, uint16_t height) {
    std::array<uint8_t, 100> line{};
    std::memcpy(&line[0], &marker, 2);
    std::memcpy(&line[2], &size, 2);
    std::memcpy(&line[4], &width, 2);
    std::memcpy(&line[6], &height, 2);
    return line;
}

struct LineCase {
    uint16_t marker;
    uint16_t size;
    uint16_t width;
    uint16_t height;
    bool valid;
};

class ParameterLineValidity : public testing::TestWithParam<LineCase> {};

TEST_P(ParameterLineValidity, ForA640x512Image) {
    const LineCase& c = GetParam();
    EXPECT_EQ(IsValidParameterLine(Line(c.marker, c.size, c.width, c.height), 640, 512), c.valid);
}

INSTANTIATE_TEST_SUITE_P(
    Bounds, ParameterLineValidity,
    testing::Values(LineCase{1, 5, 640, 512, true}, LineCase{1, 100, 640, 512, true},
                    LineCase{1, 4, 640, 512, false}, LineCase{1, 101, 640, 512, false},
                    LineCase{2, 6, 640, 512, false}, LineCase{1, 6, 641, 512, false},
                    LineCase{1, 6, 640, 511, false}));

TEST(ParameterLine, FewerThan100BytesAreNeverValid) {
    const auto line = Line(1, 6, 640, 512);
    EXPECT_FALSE(IsValidParameterLine(std::span(line).first(99), 640, 512));
}

}  // namespace
}  // namespace zelir::files
