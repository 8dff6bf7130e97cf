#include "base/circular_buffer.h"

#include "support/debug_capture.h"
#include "support/unit.h"

namespace {

using zelir::test::DebugCapture;

constexpr int32_t kSlots = 512;
constexpr int32_t kSlotSize = 1556;

using Slot = std::array<uint8_t, kSlotSize>;

// Every byte of entry n carries n, so a mixed-up or partial copy shows.
Slot Entry(uint32_t n) {
    Slot slot{};
    for (size_t i = 0; i < slot.size(); ++i) slot[i] = static_cast<uint8_t>(n + i * 7);
    std::memcpy(slot.data(), &n, sizeof n);
    return slot;
}

TEST(CircularBuffer, PopOnEmptyReportsAndLeavesStateAlone) {
    CCircularBuffer buffer(kSlots, kSlotSize);
    DebugCapture capture;
    Slot out{};
    out.fill(0xEE);
    EXPECT_EQ(buffer.Pop(out.data()), 0);
    EXPECT_EQ(capture.Messages(), std::vector<std::string>{"fifo empty\n"});
    EXPECT_EQ(out[0], 0xEE);
    EXPECT_EQ(buffer.ReadIndex(), 0);
    EXPECT_EQ(buffer.WriteIndex(), 0);
    EXPECT_EQ(buffer.Count(), 0);
}

TEST(CircularBuffer, FullPushOverwritesOldestAndKeepsOrder) {
    CCircularBuffer buffer(kSlots, kSlotSize);
    for (uint32_t n = 1; n <= kSlots; ++n) ASSERT_EQ(buffer.Push(Entry(n).data()), 1);
    EXPECT_EQ(buffer.IsFull(), 1);

    DebugCapture capture;
    const Slot extra = Entry(kSlots + 1);
    EXPECT_EQ(buffer.Push(extra.data()), 1);
    EXPECT_EQ(capture.Messages(), std::vector<std::string>{"Circular BUFF fifo full\n"});
    EXPECT_EQ(buffer.Count(), kSlots);

    for (uint32_t n = 2; n <= kSlots + 1; ++n) {
        Slot out{};
        ASSERT_EQ(buffer.Pop(out.data()), 1);
        ASSERT_EQ(out, Entry(n)) << "entry " << n;
    }
    EXPECT_EQ(buffer.IsEmpty(), 1);
}

TEST(CircularBuffer, NullDestinationDiscardsOldest) {
    CCircularBuffer buffer(4, kSlotSize);
    buffer.Push(Entry(10).data());
    buffer.Push(Entry(11).data());
    EXPECT_EQ(buffer.Pop(nullptr), 1);
    Slot out{};
    ASSERT_EQ(buffer.Pop(out.data()), 1);
    EXPECT_EQ(out, Entry(11));
}

}  // namespace
