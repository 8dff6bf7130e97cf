// Calibration channels kept in the data directory under the camera's serial text.
#include "arith/synthetic_frames.h"
#include "arith/zelir_arith.h"
#include "support/unit.h"

namespace {

namespace fs = std::filesystem;
using arith_test::Sensor;

constexpr int kW = 64, kH = 48;

std::vector<std::uint16_t> Corrected(ZelIrArith& arith, const std::vector<std::uint16_t>& raw) {
    return arith_test::Corrected(arith, raw, kW, kH);
}

class CalibrationChannelTest : public ::testing::Test {
  protected:
    void SetUp() override {
        sensor.gain[300] = 0.0;  // a dead pixel, so the mask is saved too
        ZelIrArith arith;
        arith.Init(kW, kH, dir.path().wstring().c_str(), L"SN-0042");
        ASSERT_EQ(arith.SetCurrChan(2), 1);
        ASSERT_TRUE(arith_test::Calibrate(arith, sensor));
        expected = Corrected(arith, raw);
        ASSERT_NE(expected, raw);
    }
    fs::path File(const char* serial, int channel) const {
        return dir.path() /
               ("arith_" + std::string(serial) + "_ch" + std::to_string(channel) + ".nuc");
    }

    zelir_test::ScratchDir dir{"arith"};
    Sensor sensor{kW, kH};
    std::vector<std::uint16_t> raw = sensor.SceneFrame(4500, 8500);
    std::vector<std::uint16_t> expected;
};

TEST_F(CalibrationChannelTest, SavedChannelReloadsIdentically) {
    EXPECT_TRUE(fs::exists(File("SN-0042", 2)));
    ZelIrArith restarted;
    restarted.Init(kW, kH, dir.path().wstring().c_str(), L"SN-0042");
    EXPECT_EQ(Corrected(restarted, raw), raw) << "channel 0 holds nothing";
    ASSERT_EQ(restarted.SetCurrChan(2), 1);
    EXPECT_EQ(Corrected(restarted, raw), expected);
}

struct Damage {
    const char* name;
    std::size_t offset;  // where to flip a byte; npos truncates the file instead
};

class DamagedFileTest : public CalibrationChannelTest,
                        public ::testing::WithParamInterface<Damage> {};

TEST_P(DamagedFileTest, IsIgnored) {
    const Damage damage = GetParam();
    const fs::path file = File("SN-0042", 2);
    auto bytes = zelir_test::ReadBytes(file);
    if (damage.offset == std::string::npos) {
        bytes.pop_back();
    } else {
        bytes[damage.offset] ^= 0x40;
    }
    zelir_test::WriteBytes(file, bytes);
    ZelIrArith arith;
    arith.Init(kW, kH, dir.path().wstring().c_str(), L"SN-0042");
    arith.SetCurrChan(2);
    EXPECT_EQ(Corrected(arith, raw), raw);
}

INSTANTIATE_TEST_SUITE_P(Damages, DamagedFileTest,
                         ::testing::Values(Damage{"magic", 0}, Damage{"width", 12},
                                           Damage{"truncated", std::string::npos}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(CalibrationChannelTest, ResetForgetsTheSavedSet) {
    ZelIrArith arith;
    arith.Init(kW, kH, dir.path().wstring().c_str(), L"SN-0042");
    arith.SetCurrChan(2);
    arith.ResetTwoPT();
    EXPECT_EQ(Corrected(arith, raw), raw);
    EXPECT_FALSE(fs::exists(File("SN-0042", 2)));
}

TEST_F(CalibrationChannelTest, SerialTextIsMadeSafeForAFileName) {
    ZelIrArith arith;
    arith.Init(kW, kH, dir.path().wstring().c_str(), L"../a b/\u00e9");
    ASSERT_TRUE(arith_test::Calibrate(arith, sensor));
    EXPECT_TRUE(fs::exists(File(".._a_b___", 0)));  // é is two UTF-8 bytes
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()), 2);
}

}  // namespace
