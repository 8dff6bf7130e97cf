// Radiometry files: kept per camera serial and beside recordings, refused when not trustworthy.
#include "radiometry/radiometry_file.h"
#include "support/radiometry_model.h"
#include "support/unit.h"

namespace {

using namespace zelir::radiometry;

const RadiometryRecord kRecord{zelir_test::kOtherModel, {0.9f, 35.0f, 0.97f, 18.0f}};

TEST(RadiometryFile, PathsNameTheCameraOrTheFile) {
    EXPECT_EQ(CameraFilePath("/data/", "ZS 42/x"), "/data/radiometry_ZS_42_x.cal");
    EXPECT_EQ(CameraFilePath("/data", ""), "");
    EXPECT_EQ(CompanionPath("/m/run.irm"), "/m/run.irm.rad");
}

TEST(RadiometryFile, ReadsBackWhatWasSaved) {
    zelir_test::ScratchDir dir("radfile");
    ASSERT_EQ(SaveRecord(dir.File("a.cal"), "ZS000042", kRecord), zelir::Status::kOk);
    RadiometryRecord read{};
    std::string reason;
    ASSERT_EQ(LoadRecord(dir.File("a.cal"), "ZS000042", read, reason), LoadResult::kLoaded);
    EXPECT_EQ(std::memcmp(&read, &kRecord, sizeof read), 0);
    EXPECT_EQ(LoadRecord(dir.File("a.cal"), "", read, reason), LoadResult::kLoaded)
        << "a companion file is read whatever camera made it";
    EXPECT_EQ(LoadRecord(dir.File("none.cal"), "", read, reason), LoadResult::kMissing);
}

constexpr int kCut = -1, kIntact = -2;

struct DamageCase {
    const char* name;
    int offset;  // byte to change; kCut: the last byte goes, kIntact: nothing changes
    const char* serial;
    const char* reason;
};

class Damaged : public ::testing::TestWithParam<DamageCase> {};

TEST_P(Damaged, IsRefusedWithTheReasonAndLeavesTheRecordAlone) {
    const DamageCase& c = GetParam();
    zelir_test::ScratchDir dir("raddamage");
    ASSERT_EQ(SaveRecord(dir.File("a.cal"), "ZS000042", kRecord), zelir::Status::kOk);
    std::vector<uint8_t> bytes = zelir_test::ReadBytes(dir.File("a.cal"));
    if (c.offset >= 0) bytes[size_t(c.offset)] ^= 0x40;
    if (c.offset == kCut) bytes.pop_back();
    zelir_test::WriteBytes(dir.File("a.cal"), bytes);
    RadiometryRecord read{};
    std::string reason;
    EXPECT_EQ(LoadRecord(dir.File("a.cal"), c.serial, read, reason), LoadResult::kRefused);
    EXPECT_EQ(reason, c.reason);
    EXPECT_EQ(read.constants.r, 0.0f);
}

INSTANTIATE_TEST_SUITE_P(
    Files, Damaged,
    ::testing::Values(DamageCase{"payload", 90, "ZS000042", "bad checksum"},
                      DamageCase{"magic", 1, "ZS000042", "not a radiometry file"},
                      DamageCase{"cut", kCut, "ZS000042", "wrong size"},
                      DamageCase{"other_camera", kIntact, "ZS000043", "other camera"}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
