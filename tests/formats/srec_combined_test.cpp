// SrecCombinedToBin and ZelIr_SrecCombinedToBin: pairing rules, part files, names.
#include <zelir/zelir.h>

#include "support/run_tool.h"
#include "support/unit.h"

namespace {

using namespace zelir_test;

namespace fs = std::filesystem;

// Writes `bytes` at `address` as an S3 file made by srec_cat.
void MakeFlash(const std::string& path, const std::vector<uint8_t>& bytes, uint32_t address) {
    WriteBytes(path + ".raw", bytes);
    RunTool("srec_cat " + path + ".raw -binary -offset " + std::to_string(address) + " -o " + path +
            " -address-length=4");
    fs::remove(path + ".raw");
}

struct PairCase {
    uint32_t hardwareStart;
    size_t hardwareLength;
    uint32_t softwareStart;
    size_t softwareLength;
    bool accepted;
};

void PrintTo(const PairCase& c, std::ostream* os) {
    *os << std::hex << "hw 0x" << c.hardwareStart << "+0x" << c.hardwareLength << " sw 0x"
        << c.softwareStart << "+0x" << c.softwareLength;
}

class CombinedPair : public testing::TestWithParam<PairCase> {};

TEST_P(CombinedPair, JoinsTheImagesOrRefuses) {
    const PairCase& c = GetParam();
    const ScratchDir dir;
    const std::vector<uint8_t> hardware = RandomBytes(c.hardwareLength, 1);
    const std::vector<uint8_t> software = RandomBytes(c.softwareLength, 2);
    MakeFlash(dir.File("hw.flash"), hardware, c.hardwareStart);
    MakeFlash(dir.File("sw.flash"), software, c.softwareStart);

    uint32_t start = 0x12345678;
    uint8_t* image = nullptr;
    const size_t length =
        SrecCombinedToBin(dir.File("hw.flash").c_str(), dir.File("sw.flash").c_str(), &start,
                          &image, dir.File("all.bin").c_str());
    // Both parts are converted before the pair is judged, so their files exist either way.
    EXPECT_EQ(ReadBytes(dir.File("hw.bin")), hardware);
    EXPECT_EQ(ReadBytes(dir.File("sw.bin")), software);
    if (!c.accepted) {
        EXPECT_EQ(length, 0u);
        EXPECT_EQ(image, nullptr);
        EXPECT_EQ(start, 0x12345678u);
        EXPECT_FALSE(fs::exists(dir.File("all.bin")));
        return;
    }
    std::vector<uint8_t> expected = hardware;
    expected.insert(expected.end(), software.begin(), software.end());
    ASSERT_EQ(length, expected.size());
    EXPECT_EQ(start, c.hardwareStart);
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(std::vector<uint8_t>(image, image + length), expected);
    EXPECT_EQ(ReadBytes(dir.File("all.bin")), expected);
    ZelIr_FreeSrecImage(image);

    // The export with a handle ignores the handle and gives the same result.
    int unused = 0;
    EXPECT_EQ(ZelIr_SrecCombinedToBin(&unused, dir.File("hw.flash").c_str(),
                                      dir.File("sw.flash").c_str(), nullptr, nullptr, nullptr),
              expected.size());
}

INSTANTIATE_TEST_SUITE_P(
    Pairs, CombinedPair,
    testing::Values(PairCase{0x1000, 0x100, 0x1100, 0x80, true},   // adjacent
                    PairCase{0x1000, 0x100, 0x1080, 0x80, false},  // overlapping
                    PairCase{0x1000, 0x100, 0x4000, 0x40, true},   // gap is not filled
                    PairCase{0x2000, 0x10, 0x1000, 0x10, false},   // software below hardware
                    PairCase{0xFFFFFF00, 0x100, 0xFFFFFFF0, 0x4, false}));  // end past 4 GiB

struct NameCase {
    const char* hardware;
    const char* software;
    bool accepted;
    // Part binaries that must exist afterwards.
    std::vector<const char*> binaries;
};

void PrintTo(const NameCase& c, std::ostream* os) {
    *os << c.hardware << " " << c.software;
}

class CombinedNames : public testing::TestWithParam<NameCase> {};

TEST_P(CombinedNames, OnlyFlashFilesArePaired) {
    const NameCase& c = GetParam();
    const ScratchDir dir;
    fs::create_directories(dir.File("v1.2"));
    MakeFlash(dir.File(c.hardware), RandomBytes(16, 3), 0x1000);
    MakeFlash(dir.File(c.software), RandomBytes(16, 4), 0x2000);
    const size_t length = SrecCombinedToBin(
        dir.File(c.hardware).c_str(), dir.File(c.software).c_str(), nullptr, nullptr, nullptr);
    EXPECT_EQ(length, c.accepted ? 32u : 0u);
    for (const char* binary : c.binaries) EXPECT_TRUE(fs::exists(dir.File(binary))) << binary;
    size_t binaryCount = 0;
    for (const auto& entry : fs::recursive_directory_iterator(dir.File(""))) {
        binaryCount += entry.path().extension() == ".bin";
    }
    EXPECT_EQ(binaryCount, c.binaries.size());
}

INSTANTIATE_TEST_SUITE_P(
    Names, CombinedNames,
    testing::Values(NameCase{"v1.2/hw.flash", "sw.flash", true, {"v1.2/hw.bin", "sw.bin"}},
                    NameCase{"hw.flash", "sw.srec", false, {"hw.bin"}}));

TEST(SrecCombinedToBin, RefusesAPartNameLongerThanTheNameBuffer) {
    const ScratchDir dir;
    // 256 characters with the terminator do not fit.
    const std::string base = dir.File("");
    const std::string tooLong = base + std::string(256 - base.size() - 4, 'h') + ".flash";
    MakeFlash(tooLong, RandomBytes(8, 5), 0x1000);
    MakeFlash(dir.File("sw.flash"), RandomBytes(8, 6), 0x2000);
    EXPECT_EQ(
        SrecCombinedToBin(tooLong.c_str(), dir.File("sw.flash").c_str(), nullptr, nullptr, nullptr),
        0u);
}

}  // namespace
