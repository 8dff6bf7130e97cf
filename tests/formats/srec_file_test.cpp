// SrecToBin on files made by srec_cat, with objcopy as the judge of what the data are.
#include <zelir/zelir.h>

#include "support/debug_capture.h"
#include "support/finishes_within.h"
#include "support/run_tool.h"
#include "support/unit.h"

namespace {

using namespace zelir_test;

// S-record text of `bytes` at `address`, written by srec_cat with the given address width
// (2: S1, 3: S2, 4: S3) and data bytes per line.
std::string SrecCatText(const ScratchDir& dir, const std::vector<uint8_t>& bytes, uint32_t address,
                        int addressLength, int bytesPerLine, bool crlf) {
    WriteBytes(dir.File("block.raw"), bytes);
    RunTool("srec_cat " + dir.File("block.raw") + " -binary -offset " + std::to_string(address) +
            " -o " + dir.File("block.srec") + " -address-length=" + std::to_string(addressLength) +
            " -output-block-size=" + std::to_string(bytesPerLine) + (crlf ? " -crlf" : ""));
    const std::vector<uint8_t> text = ReadBytes(dir.File("block.srec"));
    return {text.begin(), text.end()};
}

// What objcopy makes of an S-record text: the data from its lowest address on.
std::vector<uint8_t> ObjcopyImage(const ScratchDir& dir, const std::string& text) {
    WriteText(dir.File("judge.srec"), text);
    RunTool("objcopy -I srec -O binary " + dir.File("judge.srec") + " " + dir.File("judge.bin"));
    return ReadBytes(dir.File("judge.bin"));
}

struct Converted {
    size_t length = 0;
    uint32_t start = 0;
    std::vector<uint8_t> image;
};

Converted Convert(const std::string& srecPath, const char* binPath = nullptr) {
    Converted result;
    uint8_t* image = nullptr;
    result.length = SrecToBin(srecPath.c_str(), &result.start, &image, binPath);
    if (image != nullptr) result.image.assign(image, image + result.length);
    ZelIr_FreeSrecImage(image);
    return result;
}

struct ContiguousCase {
    size_t size;
    uint32_t address;
    int bytesPerLine;
    bool crlf;
};

void PrintTo(const ContiguousCase& c, std::ostream* os) {
    *os << c.size << " bytes at 0x" << std::hex << c.address << std::dec << ", " << c.bytesPerLine
        << " a line" << (c.crlf ? ", CRLF" : "");
}

class SrecToBinContiguous : public testing::TestWithParam<ContiguousCase> {};

TEST_P(SrecToBinContiguous, ImageIsWhatObjcopyReads) {
    const ContiguousCase& c = GetParam();
    const ScratchDir dir;
    const std::string text =
        SrecCatText(dir, RandomBytes(c.size, 11), c.address, 4, c.bytesPerLine, c.crlf);
    WriteText(dir.File("part.srec"), text);
    const Converted converted = Convert(dir.File("part.srec"), dir.File("part.bin").c_str());
    const std::vector<uint8_t> expected = ObjcopyImage(dir, text);
    EXPECT_EQ(converted.start, c.address);
    EXPECT_EQ(converted.image, expected);
    EXPECT_EQ(ReadBytes(dir.File("part.bin")), expected);
}

INSTANTIATE_TEST_SUITE_P(Files, SrecToBinContiguous,
                         testing::Values(ContiguousCase{4097, 0x80000000, 32, true},
                                         ContiguousCase{65536, 0xFFFF0000, 7, false}));

// S1 and S2 blocks, a line whose checksum is broken and blank lines (LF and CRLF) between S3
// blocks that are neither adjacent nor in address order: only the S3 data count, in file
// order, with no filling between them.
TEST(SrecToBin, MixedFileKeepsS3DataInFileOrderWithoutGaps) {
    const ScratchDir dir;
    struct Block {
        uint32_t address;
        int addressLength;
        size_t size;
        bool crlf;
    };
    const Block blocks[] = {{0x10000, 4, 100, false}, {0x2000, 2, 50, true},
                            {0x20000, 4, 300, true},  {0x30000, 3, 70, false},
                            {0x8000, 4, 64, false},   {0x30100, 4, 33, true}};
    std::string file;
    std::vector<uint8_t> expected;
    uint32_t seed = 100;
    for (const Block& block : blocks) {
        const std::string text = SrecCatText(dir, RandomBytes(block.size, ++seed), block.address,
                                             block.addressLength, 16, block.crlf);
        file += text + (block.crlf ? "\r\n\r\n" : "\n\n");
        // A good S3 line with one digit changed: it fails its checksum and adds nothing.
        file += "S30900000000DEADBEEF00\n";
        if (block.addressLength == 4) {
            const std::vector<uint8_t> judged = ObjcopyImage(dir, text);
            expected.insert(expected.end(), judged.begin(), judged.end());
        }
    }
    WriteText(dir.File("mixed.srec"), file);
    const Converted converted = Convert(dir.File("mixed.srec"));
    EXPECT_EQ(converted.start, 0x10000u);
    EXPECT_EQ(converted.length, 100u + 300u + 64u + 33u);
    EXPECT_EQ(converted.image, expected);
}

// S3 data of exactly the image capacity fit; one byte more is refused without a binary file.
TEST(SrecToBin, RefusesMoreDataThanTheImageHolds) {
    const ScratchDir dir;
    const std::vector<uint8_t> full = RandomBytes(SREC_IMAGE_CAPACITY, 3);
    WriteText(dir.File("full.srec"), SrecCatText(dir, full, 0x100000, 4, 32, false));
    const Converted fits = Convert(dir.File("full.srec"), dir.File("full.bin").c_str());
    EXPECT_TRUE(fits.image == full);

    // One more record of a single byte, after the terminating records.
    WriteText(dir.File("over.srec"),
              SrecCatText(dir, full, 0x100000, 4, 32, false) + "S30600400000AA0F\n");
    uint32_t start = 0;
    uint8_t* image = reinterpret_cast<uint8_t*>(&start);
    EXPECT_EQ(
        SrecToBin(dir.File("over.srec").c_str(), &start, &image, dir.File("over.bin").c_str()), 0u);
    EXPECT_EQ(image, nullptr);
    if (image != reinterpret_cast<uint8_t*>(&start)) ZelIr_FreeSrecImage(image);
    EXPECT_EQ(start, 0xFFFFFFFFu);
    EXPECT_FALSE(std::filesystem::exists(dir.File("over.bin")));
}

// A file that cannot be read converts to nothing, yet still hands out an (empty) image.
TEST(SrecToBin, UnreadableFileGivesEmptyImage) {
    const ScratchDir dir;
    uint32_t start = 0;
    uint8_t* image = nullptr;
    EXPECT_EQ(
        SrecToBin(dir.File("missing.srec").c_str(), &start, &image, dir.File("empty.bin").c_str()),
        0u);
    EXPECT_EQ(start, 0xFFFFFFFFu);
    EXPECT_NE(image, nullptr);
    ZelIr_FreeSrecImage(image);
    EXPECT_TRUE(std::filesystem::exists(dir.File("empty.bin")));
    EXPECT_EQ(std::filesystem::file_size(dir.File("empty.bin")), 0u);
}

// Every out argument may be left out; the length is still reported.
TEST(SrecToBin, OutArgumentsAreOptional) {
    const ScratchDir dir;
    WriteText(dir.File("small.srec"), "S0030000FC\nS307000100000102F4\n");
    EXPECT_EQ(SrecToBin(dir.File("small.srec").c_str(), nullptr, nullptr, nullptr), 2u);
}

// A FIFO would block the open and /dev/zero never ends: neither is read, and the debug output
// says why.
TEST(SrecToBin, SpecialFilesAreNotRead) {
    const ScratchDir dir;
    ASSERT_TRUE(MakeFifo(dir.File("fifo.srec")));
    for (const std::string& path : {dir.File("fifo.srec"), std::string("/dev/zero")}) {
        zelir::test::DebugCapture capture;
        zelir_test::ExpectFinishesWithin(std::chrono::seconds(20), path, [&] {
            EXPECT_EQ(SrecToBin(path.c_str(), nullptr, nullptr, nullptr), 0u) << path;
        });
        EXPECT_EQ(capture.CountContaining(path + " is not a regular file"), 1u) << path;
    }
}

}  // namespace
