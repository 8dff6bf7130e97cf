// The exports for tools: display choices and the movie writer (movie facts and recorded
// parameter lines are the info command's tests, on the tool).
#include <zelir/zelir.h>

#include "support/open_handle.h"
#include "support/unit.h"

namespace {

using namespace zelir_test;

constexpr uint16_t kW = 48, kH = 36;
constexpr uint32_t kFrameBytes = kW * kH * 2;

OpenHandle Open(const ScratchDir& dir, const std::string& name) {
    return OpenHandle(ZelIr_MovieFileOpen(dir.WideFile(name).c_str()));
}

TEST(ToolSupport, DisplayChoicesCopyAtMostTheCapacity) {
    ZelIrChoice entries[3] = {};
    EXPECT_EQ(ZelIr_GetDisplayChoices(ZELIR_CHOICES_PALETTES, entries, 2), 9);
    EXPECT_NE(entries[1].name, nullptr);
    EXPECT_EQ(entries[2].name, nullptr);
    EXPECT_EQ(ZelIr_GetDisplayChoices(7, entries, 3), -1);
}

TEST(ToolSupport, WriterTakesWholeFramesAndFinishesTheHeader) {
    ScratchDir dir("tool-support-writer");
    WriteMovie(dir.File("source.irm"), kW, kH, {NumberedFrame(kW, kH, 0)}, 1);
    OpenHandle source = Open(dir, "source.irm");
    ASSERT_TRUE(source);
    EXPECT_EQ(ZelIr_MovieWriterOpen(source.get(), dir.WideFile("no/such/x.irm").c_str()), nullptr);
    ZelIrMovieWriter* writer = ZelIr_MovieWriterOpen(source.get(), dir.WideFile("out.irm").c_str());
    ASSERT_NE(writer, nullptr);
    std::vector<uint8_t> written;
    for (uint32_t n = 0; n < 3; ++n) {
        const Frame frame = NumberedFrame(kW, kH, n);
        EXPECT_EQ(ZelIr_MovieWriterAppend(writer, frame.data(), kFrameBytes - 2), 0);
        EXPECT_EQ(ZelIr_MovieWriterAppend(writer, frame.data(), kFrameBytes), 1);
        const auto* bytes = reinterpret_cast<const uint8_t*>(frame.data());
        written.insert(written.end(), bytes, bytes + kFrameBytes);
    }
    EXPECT_EQ(ZelIr_MovieWriterClose(writer), 1);
    const std::vector<uint8_t> file = ReadBytes(dir.File("out.irm"));
    ASSERT_EQ(file.size(), 64 + written.size());
    EXPECT_TRUE(std::equal(written.begin(), written.end(), file.begin() + 64));
    OpenHandle movie = Open(dir, "out.irm");
    ZelIrMovieFacts facts{};
    ASSERT_EQ(ZelIr_MovieGetFacts(movie.get(), &facts), 1);
    EXPECT_EQ((std::array<uint32_t, 3>{facts.headerFrames, facts.wholeFrames, facts.finished}),
              (std::array<uint32_t, 3>{3, 3, 1}));
}

}  // namespace
