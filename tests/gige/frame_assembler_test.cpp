#include "gige/frame_assembler.h"

#include <thread>

#include "gige/stream_packets.h"
#include "support/unit.h"

namespace {

using namespace zelir::gige;
using namespace zelir::test;

constexpr uint32_t kSlotBytes = 656640;  // 640 x 512 x 2 + 1280

void Feed(FrameAssembler& a, const FrameSpec& f, const std::vector<uint32_t>& ids) {
    for (uint32_t k : ids) a.HandlePacket(MakePacket(f, k));
}
void Feed(FrameAssembler& a, const FrameSpec& f) {
    Feed(a, f, InOrder(f));
}

struct Fetched {
    int result = 0;
    std::vector<uint8_t> data = std::vector<uint8_t>(kSlotBytes + 1280, 0);
    uint32_t imageBytes = 0, pixelKind = 0, bytesPerPixel = 2;
};

Fetched Fetch(const FrameAssembler& a) {
    Fetched out;
    out.result =
        a.FetchNewestFrame({out.data, &out.imageBytes, &out.pixelKind, &out.bytesPerPixel});
    return out;
}

// Whole frames against their packets are DamagedFrame's rows (16 bit) and NetFrames' (both
// formats); here what only the fetch decides.
TEST(Reassembly, FetchGivesNothingBeforeTheFirstFrameThenTheNewestWithoutConsumingIt) {
    FrameAssembler a(640, 512);
    EXPECT_EQ(Fetch(a).result, 0);
    Feed(a, FrameSpec{.eightBit = true});
    const Fetched got = Fetch(a);
    ASSERT_EQ(got.result, 1);
    EXPECT_EQ((std::array{got.imageBytes, got.pixelKind, got.bytesPerPixel}),
              (std::array{327680u, 1u, 1u}));
    EXPECT_EQ(Fetch(a).data, got.data);
}

using Ids = std::vector<uint32_t>;

struct FaultCase {
    const char* name;
    std::function<Ids(Ids)> damage;
    bool delivered;
    uint64_t dropped, outOfOrder, repeated;
};

// Each fault in sequence (the default) and in any order.
class DamagedFrame : public ::testing::TestWithParam<std::tuple<FaultCase, bool>> {};

// Frame 2 arrives damaged between two clean frames. In sequence every fault drops the frame.
TEST_P(DamagedFrame, IsDeliveredOnlyWholeAndCounted) {
    const auto& [c, anyOrder] = GetParam();
    const bool delivered = anyOrder && c.delivered;
    FrameAssembler a(640, 512);
    a.SetAnyOrder(anyOrder);
    FrameSpec f;
    Feed(a, f);  // frame 1 into slot 0
    f = {.blockId = 2, .frameId = 2};
    Feed(a, f, c.damage(InOrder(f)));
    EXPECT_EQ(a.CurrentSlot(), delivered ? 2 : 1) << "a dropped frame's slot is reused";
    const Fetched got = Fetch(a);
    ASSERT_EQ(got.result, 1);
    EXPECT_EQ(got.data[0], PixelByte(delivered ? 2 : 1, 0));
    if (delivered) {
        for (size_t i = 0; i < 655360; i += 1279) ASSERT_EQ(got.data[i], PixelByte(2, i)) << i;
        const auto line = ParameterLine(f);
        EXPECT_TRUE(std::equal(line.begin(), line.end(), got.data.begin() + 655360));
    }

    f = {.blockId = 3, .frameId = 3};
    Feed(a, f);
    EXPECT_EQ(Fetch(a).data[0], PixelByte(3, 0));
    const StreamCounters n = a.Counters();
    EXPECT_EQ(n.framesCompleted, delivered ? 3u : 2u);
    EXPECT_EQ(n.framesDroppedIncomplete, anyOrder ? c.dropped : 1u);
    EXPECT_EQ(n.packetsOutOfOrder, anyOrder ? c.outOfOrder : 0u);
    EXPECT_EQ(n.packetsRepeated, anyOrder ? c.repeated : 0u);
}

Ids Erase(Ids ids, size_t at) {
    ids.erase(ids.begin() + at);
    return ids;
}
Ids Swap(Ids ids, size_t at) {
    std::swap(ids[at], ids[at + 1]);
    return ids;
}

INSTANTIATE_TEST_SUITE_P(
    Faults, DamagedFrame,
    ::testing::Combine(
        ::testing::
            Values(FaultCase{"lost_last", [](Ids ids) { return Erase(ids, 512); }, false, 1, 0, 0},
                   FaultCase{"repeated",
                             [](Ids ids) {
                                 ids.insert(ids.begin() + 100, 100);
                                 return ids;
                             },
                             true, 0, 0, 1},
                   FaultCase{"tail_reordered", [](Ids ids) { return Swap(ids, 511); }, true, 0, 1,
                             0},
                   FaultCase{"first_late",
                             [](Ids ids) {
                                 std::rotate(ids.begin(), ids.begin() + 1, ids.begin() + 6);
                                 return ids;
                             },
                             true, 0, 1, 0},
                   FaultCase{
                       "shuffled_in_eights",
                       [](Ids ids) {
                           for (size_t at = 0; at + 8 <= ids.size(); at += 8) {
                               std::reverse(ids.begin() + at, ids.begin() + at + 8);
                           }
                           return ids;
                       },
                       true, 0, 64 * 7, 0}),
        ::testing::Bool()),
    [](const auto& info) {
        return std::string(std::get<0>(info.param).name) +
               (std::get<1>(info.param) ? "_any_order" : "_in_sequence");
    });

TEST(Reassembly, RepeatedBlockIdAfterAnIncompleteFrameStartsANewFrame) {
    FrameAssembler a(640, 512);
    a.SetAnyOrder(true);
    FrameSpec f{.blockId = 2};
    Feed(a, f, Erase(InOrder(f), 300));
    f.frameId = 3;  // same block id, next frame: none of its packets fill the gap
    Feed(a, f);
    const Fetched got = Fetch(a);
    ASSERT_EQ(got.result, 1);
    for (size_t i = 0; i < 655360; i += 1280) ASSERT_EQ(got.data[i], PixelByte(3, i)) << i;
    EXPECT_EQ(a.Counters().framesDroppedIncomplete, 1u);
}

TEST(Reassembly, StreamIsLostWhenNoFrameCameWithinTheLimit) {
    using namespace std::chrono_literals;
    FrameAssembler a(640, 512);
    EXPECT_EQ(a.State(1h), StreamState::Waiting);
    EXPECT_EQ(a.State(0ns), StreamState::Lost) << "not even a first frame";
    Feed(a, FrameSpec{.blockId = 2});
    EXPECT_EQ(a.State(1h), StreamState::Receiving);
    std::this_thread::sleep_for(1ms);
    EXPECT_EQ(a.State(500us), StreamState::Lost);
}

TEST(Reassembly, SlotsWrapWithTheNewestFetchedAndTheNextSlotClearedBeforeFilling) {
    FrameAssembler a(640, 512);
    for (uint16_t n = 1; n <= 9; ++n) {
        Feed(a, FrameSpec{.blockId = n, .frameId = n});
        EXPECT_EQ(Fetch(a).data[3], PixelByte(n, 3)) << "the newest after frame " << n;
    }
    EXPECT_EQ(a.CurrentSlot(), 1);
    EXPECT_EQ(a.ReadyMask(), 0xFD) << "slot 1 is being filled, all others hold frames";
}

TEST(Reassembly, PacketBeyondTheSlotIsNotCopied) {
    FrameAssembler a(640, 512);
    const FrameSpec f{.eightBit = true};  // 257 packets: ids 257..600 follow after completion
    std::vector<uint32_t> ids = InOrder(f);
    for (uint32_t k = 257; k <= 600; ++k) ids.push_back(k);
    Feed(a, f, ids);  // would write past the slot if copied (caught by the sanitizer build)
    EXPECT_EQ(a.ReadyMask(), 0x01);
    EXPECT_EQ(Fetch(a).imageBytes, 327680u);
}

TEST(Reassembly, FetchRefusesADestinationTooSmall) {
    FrameAssembler a(640, 512);
    Feed(a, FrameSpec{});
    std::vector<uint8_t> small(kSlotBytes - 1);
    uint32_t bytes = 0, kind = 0, bpp = 0;
    EXPECT_EQ(a.FetchNewestFrame({small, &bytes, &kind, &bpp}), 0);
}

struct Delivery {
    std::vector<FrameInfo> infos;
    std::vector<uint8_t> firstBytes;
};

int Record(uint8_t* frame, FrameInfo* info, void* context) {
    auto* d = static_cast<Delivery*>(context);
    d->infos.push_back(*info);
    d->firstBytes.push_back(frame[0]);
    return 0;
}

TEST(Reassembly, CallbackGetsFrameInPlaceAndOnlyAValidLineIsPublishedOnce) {
    FrameAssembler a(640, 512);
    Delivery d;
    a.SetFrameCallback(&Record, &d);
    FrameSpec f{.frameId = 0x01020304};
    Feed(a, f);
    ASSERT_EQ(d.infos.size(), 1u);
    EXPECT_EQ(d.firstBytes[0], PixelByte(f.frameId, 0));

    // The application thread takes the line's first 64 bytes over, once.
    uint64_t seen = 0;
    std::array<uint8_t, FrameAssembler::kPublishedLineBytes> line{};
    ASSERT_TRUE(a.TakePublishedLine(seen, line));
    EXPECT_FALSE(a.TakePublishedLine(seen, line));
    const auto expected = ParameterLine(f);
    EXPECT_TRUE(std::equal(line.begin(), line.end(), expected.begin()));

    // An invalid line is delivered but not published.
    f.validLine = false;
    f.blockId = 2;
    Feed(a, f);
    EXPECT_EQ(d.infos.size(), 2u);
    EXPECT_FALSE(a.TakePublishedLine(seen, line));
}

struct WindowCase {
    uint32_t streamWidth, streamHeight;
    uint16_t width, height;
    bool taken;
    uint32_t expectedPackets;
};

class WindowedFrame : public ::testing::TestWithParam<WindowCase> {};

TEST_P(WindowedFrame, SetsPacketCountEventWordsAndFrameInfo) {
    const WindowCase c = GetParam();
    FrameAssembler a(c.streamWidth, c.streamHeight);
    Delivery d;
    a.SetFrameCallback(&Record, &d);
    FrameSpec f{.width = c.streamWidth,
                .height = c.streamHeight,
                .window = true,
                .windowWidth = c.width,
                .windowHeight = c.height,
                .position1 = 16,
                .position2 = 8};
    Feed(a, f);
    EXPECT_EQ(a.ExpectedPacketCount(), c.expectedPackets);
    const auto words = a.EventWords();
    ASSERT_EQ(d.infos.size(), 1u);
    // Window fields come from the wire: what the callback is told never exceeds the image.
    EXPECT_LE(d.infos[0].byteCount, c.streamWidth * c.streamHeight * 2);
    if (c.taken) {
        EXPECT_EQ(words, (std::array<int16_t, 4>{16, 8, int16_t(c.width), int16_t(c.height)}));
        EXPECT_EQ(d.infos[0].height, c.height);
        EXPECT_EQ(d.infos[0].width, c.width);
        EXPECT_EQ(d.infos[0].byteCount, uint32_t{c.width} * c.height * 2);
    } else {
        EXPECT_EQ(words, (std::array<int16_t, 4>{0, 0, 0, 0}));
        EXPECT_EQ(d.infos[0].width, c.streamWidth);
        EXPECT_EQ(d.infos[0].height, c.streamHeight);
    }
    // The next packet 0 sets the count from the data format again.
    f.window = false;
    f.blockId = 2;
    a.HandlePacket(MakePacket(f, 0));
    EXPECT_EQ(a.ExpectedPacketCount(), PacketCount(f));
}

INSTANTIATE_TEST_SUITE_P(Windows, WindowedFrame,
                         ::testing::Values(WindowCase{640, 512, 1280, 256, true, 256},
                                           WindowCase{640, 512, 1280, 257, false, 513},
                                           WindowCase{640, 512, 1281, 100, false, 513},
                                           WindowCase{64, 20, 64, 2, true, 0}));

TEST(Reassembly, FrameRateStaysZeroUntilTheHundredthFrame) {
    FrameAssembler a(64, 20);  // three packets a frame: 2560 image bytes, then the line
    FrameSpec f{.width = 64, .height = 20};
    for (uint32_t n = 1; n <= 100; ++n) {
        f.blockId = static_cast<uint16_t>(n);
        EXPECT_EQ(a.GetFrameRate(), 0.0f) << "before frame " << n;
        Feed(a, f);
    }
    EXPECT_EQ(a.FrameCount(), 100u);
    EXPECT_GT(a.GetFrameRate(), 0.0f);
}

}  // namespace
