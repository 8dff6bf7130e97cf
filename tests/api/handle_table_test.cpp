// The handle table, its checks and the handle life cycle.
#include <gtest/gtest.h>
#include <zelir/zelir.h>

#include <vector>

#include "api/handle_table.h"

namespace {

// A stream that reports a chosen type code and counts its closes.
class FakeStream : public CStreamBase {
  public:
    explicit FakeStream(uint32_t code, int* closes) : closes_(closes) {
        streamType_ = code;
        open_ = 1;
    }
    FrameRecord* GetFrame(uint32_t) override { return nullptr; }
    int32_t Open() override { return 1; }
    void Close() override {
        open_ = 0;
        ++*closes_;
    }
    const char* GetSourceTag() override { return "TEST"; }

  private:
    int* closes_;
};

class FakeManager : public CIRDeviceManager {
  public:
    FakeManager(uint32_t handleType, uint32_t streamCode, int* closes) {
        handleType_ = handleType;
        if (streamCode != 0) AdoptStream(std::make_unique<FakeStream>(streamCode, closes));
        dataDirectory_ = L"/nonexistent-zelir-dir/";
    }
};

class HandleTableTest : public ::testing::Test {
  protected:
    void TearDown() override {
        for (auto*& slot : zelir::HandleTable()) {
            delete slot;
            slot = nullptr;
        }
    }
    FakeManager* Put(int slot, uint32_t handleType, uint32_t streamCode = 0) {
        auto* manager = new FakeManager(handleType, streamCode, &closes_);
        zelir::HandleTable()[slot] = manager;
        return manager;
    }
    int closes_ = 0;
};

TEST_F(HandleTableTest, FailedOpensLeaveTheTableAsItWas) {
    Put(0, 1, 1);
    const auto before = zelir::HandleTable();
    // A path without ":" fails before any discovery: tests outside the network namespaces
    // never open an adapter.
    EXPECT_EQ(ZelIr_OpenDevice(L"cam0", nullptr), nullptr);
    EXPECT_EQ(ZelIr_RawImageOpen(L"/nonexistent/a.raw"), nullptr);
    EXPECT_EQ(ZelIr_MovieFileOpen(L"/nonexistent/a.irm"), nullptr);
    EXPECT_EQ(zelir::HandleTable(), before);
}

TEST_F(HandleTableTest, SeventeenthOpenFindsNoSlotAndFreedSlotIsReusedLowestFirst) {
    for (int i = 0; i < zelir::kHandleSlots; ++i) Put(i, 2, 6);
    EXPECT_EQ(zelir::FindFreeSlot(), -1);
    EXPECT_EQ(ZelIr_MovieFileOpen(L"any.irm"), nullptr);
    ZelIrHandle fifth = zelir::HandleTable()[5];
    ZelIrHandle ninth = zelir::HandleTable()[9];
    EXPECT_EQ(ZelIr_Close(ninth), 1);
    EXPECT_EQ(ZelIr_Close(fifth), 1);
    EXPECT_EQ(zelir::FindFreeSlot(), 5);
    EXPECT_EQ(closes_, 2);
}

TEST_F(HandleTableTest, CloseTwiceSucceedsOnce) {
    ZelIr_Init();
    ZelIrHandle handle = Put(3, 3, 8);
    ZelIr_Init();  // a second start-up never disturbs open handles
    EXPECT_EQ(ZelIr_IsOpen(handle), 1);
    EXPECT_EQ(ZelIr_Close(handle), 1);
    EXPECT_EQ(ZelIr_Close(handle), 0);
    EXPECT_EQ(zelir::HandleTable()[3], nullptr);
}

TEST_F(HandleTableTest, ManagerWithoutHandleTypeIsNotOpenAndCannotBeClosed) {
    ZelIrHandle handle = Put(0, 0);
    EXPECT_EQ(ZelIr_IsOpen(handle), 0);
    EXPECT_EQ(ZelIr_Close(handle), 0);
    EXPECT_EQ(zelir::HandleTable()[0], handle);
    EXPECT_EQ(ZelIr_GetHandleTypeExt(handle), 0u);  // no stream
}

struct CheckCase {
    uint32_t handleType;
    uint32_t streamCode;
    bool open;
    bool typed;
};

TEST_F(HandleTableTest, ChecksFollowTheHandleType) {
    const std::vector<CheckCase> cases = {
        {0, 0, false, false}, {1, 1, true, true}, {2, 6, true, true},
        {3, 7, true, true},   {3, 8, true, true}, {4, 1, false, true},
    };
    for (const CheckCase& c : cases) {
        ZelIrHandle handle = Put(0, c.handleType, c.streamCode);
        SCOPED_TRACE(testing::Message() << "handle type " << c.handleType);
        EXPECT_EQ(zelir::TableCheck(handle), handle);
        EXPECT_EQ(zelir::OpenCheck(handle) != nullptr, c.open);
        EXPECT_EQ(zelir::TypedCheck(handle) != nullptr, c.typed);
        EXPECT_EQ(zelir::TypeCheck(handle, c.handleType), handle);
        EXPECT_EQ(zelir::TypeCheck(handle, c.handleType + 1), nullptr);
        EXPECT_EQ(ZelIr_GetHandleType(handle), c.handleType);
        EXPECT_EQ(ZelIr_GetHandleTypeExt(handle), c.streamCode);
        delete zelir::HandleTable()[0];
        zelir::HandleTable()[0] = nullptr;
    }
}

TEST_F(HandleTableTest, ChecksRefuseWhatIsNotInTheTable) {
    FakeManager outside(1, 1, &closes_);
    EXPECT_EQ(zelir::TableCheck(&outside), nullptr);
    EXPECT_EQ(zelir::TypeCheck(&outside, 1), nullptr);
    EXPECT_EQ(zelir::OpenCheck(&outside), nullptr);
    EXPECT_EQ(zelir::TypedCheck(nullptr), nullptr);
    EXPECT_EQ(zelir::FindSlot(nullptr), -1);
}

TEST_F(HandleTableTest, StreamKindSets) {
    ZelIrHandle camera = Put(0, 1, 1);
    ZelIrHandle movie = Put(1, 2, 6);
    auto* cameraManager = zelir::TableCheck(camera);
    auto* movieManager = zelir::TableCheck(movie);
    EXPECT_TRUE(zelir::StreamTypeIn(cameraManager, {1, 2, 3, 4, 9}));
    EXPECT_FALSE(zelir::StreamTypeIn(movieManager, {1, 2, 3, 4, 9}));
    EXPECT_TRUE(IsCameraStreamType(9));
    EXPECT_FALSE(IsCameraStreamType(6));
}

}  // namespace
