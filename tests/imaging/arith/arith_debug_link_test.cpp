// Inside the library, the arithmetic library's texts reach the library's debug sink.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "api/base_library/debug_output.h"
#include "imaging/arith/zelir_arith.h"

namespace {

TEST(ArithDebugLink, TextsReachTheLibrarySink) {
    std::vector<std::string> texts;
    zelir::SetDebugSink(
        [](const char* text, void* context) {
            static_cast<std::vector<std::string>*>(context)->emplace_back(text);
        },
        &texts);
    ZelIrArith arith;
    arith.Init(64, 48, L"", L"");
    EXPECT_FALSE(arith.CalcK());
    zelir::SetDebugSink(nullptr, nullptr);
    EXPECT_EQ(texts, std::vector<std::string>{
                         "ZelIrArith: calibration needs a low and a high reference\n"});
}

}  // namespace
