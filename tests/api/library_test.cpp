// The library frame through the public interface alone.
#include <zelir/zelir.h>

#include "support/unit.h"

namespace {

TEST(LibraryFrame, QueriesRefuseMissingOrShortBuffers) {
    EXPECT_EQ(ZelIr_GetVersion(nullptr), -2);
    char buffer[32];
    std::memset(buffer, 'x', sizeof(buffer));
    EXPECT_EQ(ZelIr_GetRevisionTime(buffer, 15), -2);
    EXPECT_EQ(buffer[0], 'x');
    EXPECT_EQ(ZelIr_GetRevisionTime(nullptr, 16), -2);
    EXPECT_EQ(ZelIr_GetRevisionTime(buffer, 16), 0);
    EXPECT_STREQ(buffer, "20171001-08:08");
}

TEST(LibraryFrame, UnknownHandlesAreRefused) {
    int foreign = 0;
    for (ZelIrHandle handle :
         {static_cast<ZelIrHandle>(nullptr), static_cast<ZelIrHandle>(&foreign)}) {
        EXPECT_EQ(ZelIr_GetHandleTypeExt(handle), 20u);
        EXPECT_EQ(ZelIr_GetHandleType(handle), 0u);
        EXPECT_EQ(ZelIr_IsOpen(handle), 0);
        EXPECT_EQ(ZelIr_Close(handle), 0);
    }
}

}  // namespace
