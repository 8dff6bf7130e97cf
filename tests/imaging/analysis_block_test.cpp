// Analysis block and alarm mask through their exports.
#include "support/fake_handle.h"
#include "support/unit.h"

namespace {

using zelir_test::ScopedHandle;

TEST(AnalysisBlock, ImportBoundsAndReadBack) {
    ScopedHandle handle(1, 1, 64, 48);
    void* data = reinterpret_cast<void*>(0x1);
    EXPECT_EQ(ZelIr_GetAnalysisBlock(handle.handle(), &data), 0);
    EXPECT_EQ(data, reinterpret_cast<void*>(0x1));  // nothing written before an import

    std::vector<uint8_t> bytes(10000);
    for (size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<uint8_t>(i * 7);
    EXPECT_EQ(ZelIr_ImportAnalysisBlock(handle.handle(), bytes.data(), 9999), 1);
    EXPECT_EQ(ZelIr_ImportAnalysisBlock(handle.handle(), bytes.data() + 1, 10000), 0);
    EXPECT_EQ(ZelIr_ImportAnalysisBlock(handle.handle(), nullptr, 10), 0);

    ASSERT_EQ(ZelIr_GetAnalysisBlock(handle.handle(), &data), 9999);
    const auto* got = static_cast<const uint8_t*>(data);
    EXPECT_TRUE(std::equal(got, got + 9999, bytes.begin()));  // the earlier block stands

    const uint8_t second[3] = {9, 8, 7};
    EXPECT_EQ(ZelIr_ImportAnalysisBlock(handle.handle(), second, 3), 1);
    EXPECT_EQ(ZelIr_GetAnalysisBlock(handle.handle(), &data), 3);
    EXPECT_EQ(static_cast<const uint8_t*>(data)[2], 7);
}

TEST(AnalysisBlock, HandleWithoutAStreamHasNone) {
    const uint8_t byte = 1;
    ScopedHandle streamless(1, 0, 64, 48);
    EXPECT_EQ(ZelIr_ImportAnalysisBlock(streamless.handle(), &byte, 1), 0);
    void* data = nullptr;
    EXPECT_EQ(ZelIr_GetAnalysisBlock(streamless.handle(), &data), 0);
}

TEST(AlarmMask, CopiesOnlyWhenTheHandleUsesAMask) {
    ScopedHandle handle(1, 1, 4, 2);
    const std::vector<uint8_t> mask(8, 0xAA);
    EXPECT_EQ(ZelIr_ImportAlarmMask(handle.handle(), nullptr), 0);
    EXPECT_EQ(ZelIr_ImportAlarmMask(handle.handle(), mask.data()), 1);
    EXPECT_EQ(handle.manager()->Mask(), nullptr);  // use-mask 0: nothing allocated or copied

    handle.manager()->ParameterBlock()->useMask = 1;
    handle.manager()->LoadMask();  // no mask file: an all-zero mask
    ASSERT_NE(handle.manager()->Mask(), nullptr);
    EXPECT_EQ(handle.manager()->Mask()[7], 0);
    EXPECT_EQ(ZelIr_ImportAlarmMask(handle.handle(), mask.data()), 1);
    EXPECT_EQ(handle.manager()->Mask()[7], 0xAA);
}

}  // namespace
