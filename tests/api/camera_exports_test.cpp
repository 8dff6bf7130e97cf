// The camera-control and device-list exports on handles that are not cameras, and the device
// list without discovery (nothing here opens an adapter).
#include <zelir/zelir.h>

#include "support/open_handle.h"
#include "support/unit.h"

namespace {

using Handle = zelir_test::OpenHandle;

int Ignore(uint8_t*, FrameInfo*, void*) {
    return 0;
}

class CameraExports : public ::testing::Test {
  protected:
    void SetUp() override {
        std::vector<zelir_test::Frame> frames{zelir_test::NumberedFrame(64, 48, 0),
                                              zelir_test::NumberedFrame(64, 48, 1)};
        zelir_test::WriteMovie(dir_.File("m.irm"), 64, 48, frames, 2);
        movie_.reset(ZelIr_MovieFileOpen(dir_.WideFile("m.irm").c_str()));
        ASSERT_TRUE(movie_);
    }
    zelir_test::ScratchDir dir_{"camera-exports"};
    Handle movie_;
};

struct ExportCase {
    const char* name;
    int32_t (*call)(ZelIrHandle);
    int32_t onMovie;  // every one gives 0 for a handle that is not in the table
};

const ExportCase kCases[] = {
    {"FarFocus", [](ZelIrHandle h) { return ZelIr_FarFocus(h); }, 0},
    {"CaptureReset", [](ZelIrHandle h) { return ZelIr_CaptureReset(h); }, 1},
    {"SetMacAddress",
     [](ZelIrHandle h) {
         const uint8_t mac[4] = {1, 2, 3, 4};
         return ZelIr_SetMacAddress(h, mac);
     },
     0},
    {"SetExtTrigger", [](ZelIrHandle h) { return ZelIr_SetExtTrigger(h, 1, 0); }, 1},
    {"SetCallBackFun",
     [](ZelIrHandle h) {
         int context = 0;
         return ZelIr_SetCallBackFun(h, &Ignore, &context);
     },
     0},
};

TEST_F(CameraExports, OnAMovieAndOnForeignHandles) {
    int foreign = 0;
    for (const ExportCase& c : kCases) {
        EXPECT_EQ(c.call(movie_.get()), c.onMovie) << c.name;
        EXPECT_EQ(c.call(nullptr), 0) << c.name;
        EXPECT_EQ(c.call(&foreign), 0) << c.name;
    }
    EXPECT_EQ(ZelIr_GetNewArray(movie_.get()), 1) << "the movie still plays";
}

TEST(DeviceList, WithoutDiscoveryTheListIsEmptyAndStaysSo) {
    EXPECT_EQ(ZelIr_FreeDevices(), 0);
    DeviceInfo record;
    std::memset(&record, 0xEE, sizeof record);
    int32_t count = -1;
    EXPECT_EQ(ZelIr_EnumerateDevices(&record, &count, ZELIR_ENUM_CACHED), 0);
    EXPECT_EQ(count, 0);
    EXPECT_EQ(reinterpret_cast<const uint8_t*>(&record)[0], 0xEE) << "nothing copied";
    EXPECT_EQ(ZelIr_EnumerateDevices(nullptr, nullptr, ZELIR_ENUM_CACHED), 0);
}

}  // namespace
