#include "formats/combined_image.h"

#include "formats/bmp_file.h"
#include "formats/file_checksum.h"
#include "support/unit.h"

namespace zelir::files {
namespace {

namespace test = ::zelir_test;
using namespace ::zelir_test;

constexpr size_t kBlockBytes = sizeof(ZelIrParameterBlock);

std::unique_ptr<ZelIrParameterBlock> Block(uint16_t width, uint16_t height, uint8_t seed = 1) {
    auto block = std::make_unique<ZelIrParameterBlock>();
    const auto bytes = test::Pattern(kBlockBytes, seed);
    std::memcpy(block.get(), bytes.data(), kBlockBytes);
    block->width = width;
    block->height = height;
    block->kthr = 0.5f;
    return block;
}

std::vector<uint8_t> BytesOf(const ZelIrParameterBlock& block) {
    const auto* p = reinterpret_cast<const uint8_t*>(&block);
    return {p, p + kBlockBytes};
}

std::vector<uint8_t> CurrentBitmap(uint16_t width, uint16_t height) {
    std::vector<RGBQUAD> palette(256);
    for (int i = 0; i < 256; ++i) palette[i] = {uint8_t(i), uint8_t(255 - i), uint8_t(i / 2), 0};
    std::vector<uint8_t> bitmap;
    EXPECT_EQ(BuildBitmap(CurrentImageInfoHeader(width, height), palette,
                          test::Pattern(size_t{width} * height, 4), bitmap),
              FileResult::kOk);
    return bitmap;
}

// The file as its layout describes it, assembled independently of the writer.
std::vector<uint8_t> Assemble(const std::vector<uint8_t>& bitmap,
                              const std::vector<uint8_t>& stored,
                              const std::vector<uint8_t>& digits,
                              const std::vector<uint8_t>& analysis) {
    std::vector<uint8_t> file = bitmap;
    const size_t s = file.size();
    Append<uint32_t>(file, 68);
    std::vector<uint8_t> header(64, 0);
    Put<uint16_t>(header, 0, 1);
    Put<uint16_t>(header, 2, 6);
    Put<uint32_t>(header, 8, 68);
    Put<uint32_t>(header, 12, uint32_t(stored.size() + digits.size() + 2));
    if (!analysis.empty()) {
        Put<uint32_t>(header, 32, uint32_t(s + 68 + 2 + stored.size() + digits.size()));
        Put<uint32_t>(header, 36, uint32_t(analysis.size()));
    }
    file.insert(file.end(), header.begin(), header.end());
    Append<uint16_t>(file, uint16_t(stored.size()));
    for (const auto* part : {&stored, &digits, &analysis}) {
        file.insert(file.end(), part->begin(), part->end());
    }
    Append<uint32_t>(file, FileChecksum(file));
    return file;
}

struct Written {
    std::vector<uint8_t> bitmap;
    std::unique_ptr<ZelIrParameterBlock> block;
    std::vector<uint8_t> digits;
    std::vector<uint8_t> analysis;
    std::vector<uint8_t> file;
};

Written WriteSample(uint16_t width, uint16_t height, size_t analysisBytes) {
    Written w{CurrentBitmap(width, height),
              Block(width, height),
              test::Pattern(size_t{width} * height * 2, 2),
              test::Pattern(analysisBytes, 3),
              {}};
    test::ScratchDir dir;
    EXPECT_EQ(
        WriteCombinedImageFile(dir / "a.bmp", {w.bitmap, w.block.get(), {}, w.digits, w.analysis}),
        FileResult::kOk);
    w.file = test::ReadBytes(dir / "a.bmp");
    return w;
}

struct Loaded {
    FileResult result;
    std::unique_ptr<ZelIrParameterBlock> block = Block(0, 0, 77);
    std::vector<uint8_t> frame = std::vector<uint8_t>(1280 * 1024 * 2);
    std::vector<uint8_t> analysis = std::vector<uint8_t>(kAnalysisBlockCapacity);
    CombinedImageInfo info{};
};

Loaded Read(std::span<const uint8_t> file, size_t frameCapacity = 1280 * 1024 * 2,
            size_t analysisCapacity = kAnalysisBlockCapacity) {
    Loaded l;
    l.frame.resize(frameCapacity);
    l.analysis.resize(analysisCapacity);
    l.result = ReadCombinedImage(SpanSource(file), *l.block, l.frame, l.analysis, l.info);
    return l;
}

// The file as the layout describes it: BMP part, IR header, stored block, digits, analysis
// block, checksum; without an analysis block its offset and length fields stay zero.
TEST(CombinedImageWriter, WritesTheDocumentedLayout) {
    for (size_t analysis : {500, 0}) {
        const Written w = WriteSample(8, 4, analysis);
        ASSERT_EQ(w.file.size(), 1110 + 68 + 2 + kBlockBytes + 64 + analysis + 4);
        EXPECT_EQ(Get<uint32_t>(w.file, 1110 + 36),
                  analysis == 0 ? 0u : 1110 + 70 + kBlockBytes + 64);
        EXPECT_EQ(w.file, Assemble(w.bitmap, BytesOf(*w.block), w.digits, w.analysis));
    }
}

TEST(CombinedImageWriter, RefusesInconsistentInput) {
    test::ScratchDir dir;
    const auto block = Block(8, 4);
    const auto bitmap = CurrentBitmap(8, 4);
    const auto digits = test::Pattern(64);
    const std::vector<CombinedImageContent> bad = {
        {std::span(bitmap).first(13), block.get(), {}, digits, {}},
        {bitmap, block.get(), {}, std::span(digits).first(63), {}},
        {bitmap, nullptr, {}, digits, {}},
    };
    for (const auto& content : bad) {
        EXPECT_EQ(WriteCombinedImageFile(dir / "a.bmp", content), FileResult::kBadInput);
        EXPECT_FALSE(std::filesystem::exists(dir / "a.bmp"));
    }
    EXPECT_EQ(WriteCombinedImageFile(dir / "no" / "a.bmp", {bitmap, block.get(), {}, digits, {}}),
              FileResult::kCannotOpen);
    EXPECT_FALSE(std::filesystem::exists(dir / "no"));
}

struct Refusal {
    const char* name;
    std::function<void(std::vector<uint8_t>&)> damage;
    FileResult result;
};

class CombinedImageRefusals : public testing::TestWithParam<Refusal> {};

// The sample: 8 x 4, analysis block of 500 bytes; the IR section starts at S = 1110.
constexpr size_t S = 1110;
constexpr size_t kFrameAt = S + 70 + kBlockBytes;

TEST_P(CombinedImageRefusals, AreRefusedAndLeaveTheBlockAlone) {
    auto file = WriteSample(8, 4, 500).file;
    GetParam().damage(file);
    const Loaded l = Read(file);
    EXPECT_EQ(l.result, GetParam().result);
    EXPECT_EQ(BytesOf(*l.block), BytesOf(*Block(0, 0, 77)));
}

INSTANTIATE_TEST_SUITE_P(
    Damaged, CombinedImageRefusals,
    testing::Values(
        Refusal{"ShorterThanFileHeader", [](auto& f) { f.resize(13); }, FileResult::kTruncated},
        Refusal{"NotBM", [](auto& f) { f[1] = 'X'; }, FileResult::kNotBitmap},
        Refusal{"BfSizePastEnd", [](auto& f) { Put<uint32_t>(f, 2, uint32_t(f.size() + 1)); },
                FileResult::kTruncated},
        Refusal{"HeaderSizeCut", [](auto& f) { f.resize(S + 3); }, FileResult::kNoIrSection},
        Refusal{"IrHeaderCut", [](auto& f) { f.resize(S + 67); }, FileResult::kTruncated},
        Refusal{"ParameterOffsetPastEnd", [](auto& f) { Put<uint32_t>(f, S + 12, 1u << 30); },
                FileResult::kTruncated},
        Refusal{"ParameterSizeAboveBlock", [](auto& f) { Put<uint16_t>(f, S + 68, 34865); },
                FileResult::kBadParameterSize},
        Refusal{"FirstBlockBytesCut", [](auto& f) { f.resize(S + 70 + 63); },
                FileResult::kTruncated},
        Refusal{"BlockCut", [](auto& f) { f.resize(S + 70 + 30000); }, FileResult::kTruncated},
        Refusal{"FrameCut", [](auto& f) { f.resize(kFrameAt + 63); }, FileResult::kTruncated},
        Refusal{"AnalysisBlockCut", [](auto& f) { f.resize(kFrameAt + 64 + 499); },
                FileResult::kTruncated}),
    [](const auto& info) { return std::string(info.param.name); });

// Any geometry is written; only those within 1280 x 1024 are read.
TEST(CombinedImageReader, GeometryWithinTheLimitsOnly) {
    for (const auto& [width, height, result] : {std::tuple{1280, 1024, FileResult::kOk},
                                                {1281, 1, FileResult::kBadGeometry},
                                                {1, 1025, FileResult::kBadGeometry}}) {
        const Written w = WriteSample(uint16_t(width), uint16_t(height), 0);
        ASSERT_FALSE(w.file.empty());
        EXPECT_EQ(Read(w.file).result, result) << width << "x" << height;
    }
}

TEST(CombinedImageReader, DestinationsTooSmallAreRefused) {
    const Written w = WriteSample(8, 4, 500);
    EXPECT_EQ(Read(w.file, 63).result, FileResult::kBufferTooSmall);
    EXPECT_EQ(Read(w.file, 64, 499).result, FileResult::kBufferTooSmall);
    EXPECT_EQ(Read(w.file, 64, 500).result, FileResult::kOk);
}

// Analysis blocks up to 10000 bytes are loaded; a longer one is not.
TEST(CombinedImageReader, AnalysisBlockIsLoadedUpTo10000Bytes) {
    for (const auto& [length, loaded] : {std::pair{1, 1}, {10000, 10000}, {10001, 0}}) {
        const Written w = WriteSample(8, 4, size_t(length));
        const Loaded l = Read(w.file, 64, 10001);
        ASSERT_EQ(l.result, FileResult::kOk);
        EXPECT_EQ(l.info.analysisBytes, loaded);
        EXPECT_TRUE(
            std::equal(l.analysis.begin(), l.analysis.begin() + loaded, w.analysis.begin()));
    }
}

class CombinedImageKthr : public testing::TestWithParam<std::pair<float, float>> {};

TEST_P(CombinedImageKthr, NearZeroOrNotANumberBecomesDefault) {
    auto file = WriteSample(8, 4, 0).file;
    Put<float>(file, S + 70 + 112, GetParam().first);
    const Loaded l = Read(file);
    ASSERT_EQ(l.result, FileResult::kOk);
    EXPECT_EQ(l.block->kthr, GetParam().second);
}

INSTANTIATE_TEST_SUITE_P(Values, CombinedImageKthr,
                         testing::Values(std::pair{0.0009f, 0.2f}, std::pair{0.001f, 0.001f},
                                         std::pair{std::numeric_limits<float>::quiet_NaN(), 0.2f}));

// A stored block shorter than the caller's (down to the 11 bytes holding the geometry) fills
// only its own bytes; the frame behind it is still found.
TEST(CombinedImageReader, ShorterStoredBlockKeepsTheRestOfTheCallersBlock) {
    for (size_t size : {200, 11}) {
        auto stored = BytesOf(*Block(8, 4, 5));
        stored.resize(size);
        const auto digits = test::Pattern(64, 8);
        const Loaded l = Read(Assemble(CurrentBitmap(8, 4), stored, digits, {}));
        ASSERT_EQ(l.result, FileResult::kOk);
        EXPECT_EQ((std::pair{l.info.width, l.info.height}), (std::pair<uint16_t, uint16_t>{8, 4}));
        auto expected = BytesOf(*Block(0, 0, 77));
        std::copy(stored.begin(), stored.end(), expected.begin());
        const auto loaded = BytesOf(*l.block);  // bytes 11..63 come before the size is known
        EXPECT_TRUE(std::equal(stored.begin(), stored.end(), loaded.begin())) << size;
        EXPECT_TRUE(std::equal(expected.begin() + 64, expected.end(), loaded.begin() + 64));
        EXPECT_TRUE(std::equal(digits.begin(), digits.end(), l.frame.begin()));
    }
}

}  // namespace
}  // namespace zelir::files
