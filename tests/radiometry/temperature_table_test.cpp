// The table's limits and rebuilds, and region statistics. How it inverts the response for
// objects of every kind is checked against the emulator's scenes (emulator_truth_test.cpp).
#include "radiometry/temperature_table.h"
#include "radiometry/region_statistics.h"
#include "support/radiometry_model.h"
#include "support/unit.h"

namespace {

using zelir::radiometry::FrameView;
using zelir::radiometry::TemperatureTable;
using zelir_test::kEmulatedModel;
using zelir_test::ModelDigits;

TEST(Table, DigitsWithoutATemperatureAreNaN) {
    TemperatureTable table;
    ZelIrRadiometry narrow = kEmulatedModel;
    narrow.minCelsius = 0.0f;
    narrow.maxCelsius = 100.0f;
    table.Update(narrow, {1.0f, 20.0f, 1.0f, 20.0f});
    EXPECT_TRUE(std::isnan(table[0])) << "below the response's offset";
    EXPECT_TRUE(std::isnan(table[uint16_t(ModelDigits(narrow, -5.0))])) << "below the range";
    EXPECT_TRUE(std::isnan(table[uint16_t(ModelDigits(narrow, 105.0))])) << "above the range";
    EXPECT_TRUE(std::isnan(table[65535]));
    EXPECT_NEAR(table[uint16_t(std::lround(ModelDigits(narrow, 50.0)))], 50.0, 0.1);
}

// A 6 x 4 frame: temperature rises with x and y; one pixel has none (digit 0).
class Regions : public ::testing::Test {
  protected:
    void SetUp() override {
        table_.Update(kEmulatedModel, {1.0f, 20.0f, 1.0f, 20.0f});
        for (int y = 0; y < 4; ++y) {
            for (int x = 0; x < 6; ++x) {
                digits_.push_back(uint16_t(std::lround(ModelDigits(kEmulatedModel, 10.0 * x + y))));
            }
        }
        digits_[1 * 6 + 2] = 0;
    }
    FrameView Frame() const { return {digits_, 6, 4}; }

    TemperatureTable table_;
    std::vector<uint16_t> digits_;
};

struct OutsideCase {
    int x, y, w, h;
    zelir::Status status = zelir::Status::kInvalidArgument;
};

class RegionsOutside : public Regions, public ::testing::WithParamInterface<OutsideCase> {};

TEST_P(RegionsOutside, RefusedWithNaN) {
    const OutsideCase c = GetParam();
    ZelIrTempStats s;
    EXPECT_EQ(zelir::radiometry::RectStatistics(Frame(), table_, c.x, c.y, c.w, c.h, s), c.status);
    EXPECT_TRUE(std::isnan(s.meanCelsius));
    EXPECT_EQ(s.pixels, 0u);
    EXPECT_EQ(zelir::radiometry::LineStatistics(Frame(), table_, c.x, c.y, c.x + c.w - 1,
                                                c.y + c.h - 1, s),
              c.status);
}

INSTANTIATE_TEST_SUITE_P(Rects, RegionsOutside,
                         ::testing::Values(OutsideCase{-1, 0, 2, 2}, OutsideCase{5, 0, 2, 1},
                                           // the one pixel there has no temperature
                                           OutsideCase{2, 1, 1, 1, zelir::Status::kNotFound}));

}  // namespace
