// The handle table, its checks and the handle life cycle.
#include <zelir/zelir.h>

#include "api/handle_table.h"
#include "support/fake_handle.h"
#include "support/unit.h"

namespace {

using zelir_test::FakeManager;

class HandleTableTest : public ::testing::Test {
  protected:
    void TearDown() override {
        for (int i = 0; i < zelir::kHandleSlots; ++i) zelir::RemoveManager(zelir::SlotHandle(i));
    }
    // Places a fake manager in the lowest free slot.
    ZelIrHandle Put(uint32_t handleType, uint32_t streamCode = 0) {
        auto manager =
            std::make_shared<FakeManager>(handleType, streamCode, 4, 4, L"/nonexistent/");
        if (manager->Fake() != nullptr) manager->Fake()->closes = &closes_;
        zelir::PlaceManager(manager);
        return manager.get();
    }
    std::vector<ZelIrHandle> Slots() {
        std::vector<ZelIrHandle> slots;
        for (int i = 0; i < zelir::kHandleSlots; ++i) slots.push_back(zelir::SlotHandle(i));
        return slots;
    }
    int closes_ = 0;
};

TEST_F(HandleTableTest, FailedOpensLeaveTheTableAsItWas) {
    Put(kHandleCamera, kStreamGigE);
    const std::vector<ZelIrHandle> before = Slots();
    // A path without ":" fails before any discovery: tests outside the network namespaces
    // never open an adapter.
    EXPECT_EQ(ZelIr_OpenDevice(L"cam0", nullptr), nullptr);
    EXPECT_EQ(ZelIr_MovieFileOpen(L"/nonexistent/a.irm"), nullptr);
    EXPECT_EQ(Slots(), before);
}

TEST_F(HandleTableTest, SeventeenthOpenFindsNoSlotAndFreedSlotIsReusedLowestFirst) {
    for (int i = 0; i < zelir::kHandleSlots; ++i) Put(kHandleMovie, kStreamMovie);
    EXPECT_EQ(zelir::FindFreeSlot(), -1);
    EXPECT_EQ(ZelIr_MovieFileOpen(L"any.irm"), nullptr);
    ZelIrHandle fifth = zelir::SlotHandle(5);
    ZelIrHandle ninth = zelir::SlotHandle(9);
    EXPECT_EQ(ZelIr_Close(ninth), 1);
    EXPECT_EQ(ZelIr_Close(fifth), 1);
    EXPECT_EQ(zelir::FindFreeSlot(), 5);
    EXPECT_EQ(closes_, 2);
}

TEST_F(HandleTableTest, CloseTwiceSucceedsOnce) {
    ZelIr_Init();
    ZelIrHandle handle = Put(kHandleImage, kStreamRawImage);
    ZelIr_Init();  // a second start-up never disturbs open handles
    EXPECT_EQ(ZelIr_IsOpen(handle), 1);
    EXPECT_EQ(ZelIr_Close(handle), 1);
    EXPECT_EQ(ZelIr_Close(handle), 0);
    EXPECT_EQ(zelir::FindSlot(handle), -1);
}

struct CheckCase {
    uint32_t handleType;
    uint32_t streamCode;
    bool open;
    bool typed;
};

TEST_F(HandleTableTest, ChecksFollowTheHandleType) {
    const std::vector<CheckCase> cases = {
        {0, 0, false, false}, {1, 1, true, true},  {2, 6, true, true},
        {3, 7, true, true},   {4, 1, false, true},
    };
    for (const CheckCase& c : cases) {
        ZelIrHandle handle = Put(c.handleType, c.streamCode);
        SCOPED_TRACE(testing::Message() << "handle type " << c.handleType);
        EXPECT_EQ(zelir::TableCheck(handle), handle);
        EXPECT_EQ(zelir::OpenCheck(handle) != nullptr, c.open);
        EXPECT_EQ(zelir::TypedCheck(handle) != nullptr, c.typed);
        EXPECT_EQ(zelir::TypeCheck(handle, c.handleType), handle);
        EXPECT_EQ(zelir::TypeCheck(handle, c.handleType + 1), nullptr);
        EXPECT_EQ(ZelIr_GetHandleType(handle), c.handleType);
        EXPECT_EQ(ZelIr_GetHandleTypeExt(handle), c.streamCode);
        zelir::RemoveManager(handle);
    }
}

TEST_F(HandleTableTest, ChecksRefuseWhatIsNotInTheTable) {
    FakeManager outside(kHandleCamera, kStreamGigE, 4, 4, L"/nonexistent/");
    EXPECT_EQ(zelir::TableCheck(&outside), nullptr);
    EXPECT_EQ(zelir::TypeCheck(&outside, kHandleCamera), nullptr);
    EXPECT_EQ(zelir::OpenCheck(&outside), nullptr);
    EXPECT_EQ(zelir::TypedCheck(nullptr), nullptr);
    EXPECT_EQ(zelir::FindSlot(nullptr), -1);
}

}  // namespace
