// The save folder every frame source shares.
#include <gtest/gtest.h>

#include <string>

#include "support/fake_handle.h"

namespace {

using zelir_test::FakeSource;

TEST(StreamBase, SaveDirectoryGetsItsSlashAndRefusesOverlongPaths) {
    const struct {
        std::wstring given, stored;
    } cases[] = {
        {L"/tmp/data", L"/tmp/data/"},
        {L"/tmp/data/", L"/tmp/data/"},
        {std::wstring(255, L'a'), std::wstring(255, L'a') + L"/"},
        {std::wstring(256, L'a'), L""},
        {L"", L""},
    };
    for (const auto& c : cases) {
        FakeSource stream(kStreamGigE, 8, 4);
        stream.SetSaveDirectory(c.given.c_str());
        EXPECT_EQ(stream.SaveDirectory(), c.stored) << c.given.size();
    }
}

}  // namespace
