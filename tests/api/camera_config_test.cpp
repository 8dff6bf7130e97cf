// Unpacking of the configuration reply that needs no camera, and the temperature conversion.
#include "api/camera_config.h"
#include "support/unit.h"

namespace {

using Reply = std::array<uint8_t, zelir::kConfigReplyBytes>;

Reply ReplyWith58(uint16_t v) {
    Reply r{};
    r[0] = 0x01;  // identifier 2049
    r[1] = 0x08;
    r[58] = static_cast<uint8_t>(v);
    r[59] = static_cast<uint8_t>(v >> 8);
    return r;
}

TEST(CameraConfig, Offset114HoldsTheRoundedLog2OfValue58) {
    // log2(v) + 0.5, truncated: 3 -> 2.08, 5 -> 2.82, 6 -> 3.08, 11 -> 3.96, 12 -> 4.08.
    const std::vector<std::pair<uint16_t, uint16_t>> cases = {
        {1, 0}, {2, 1}, {3, 2}, {5, 2}, {6, 3}, {11, 3}, {12, 4}, {65535, 16}, {0, 0}};
    for (const auto& [v, expected] : cases) {
        CameraConfig c;
        ASSERT_TRUE(zelir::FillCameraConfig(ReplyWith58(v), nullptr, 0, c));
        EXPECT_EQ(c.log2Value58, expected) << v;
    }
}

TEST(CameraConfig, ModelTextOfTheBlockIsReadUpToItsTerminatorOnly) {
    Reply r = ReplyWith58(1);
    std::memcpy(&r[76], "MX204R", 6);
    r[68] = 2;  // word B: bit 0 clear
    struct Case {
        const char* block;
        size_t room;
        uint32_t wordB;
    };
    // The grabber's name is 12 characters: it runs past the 8-byte model field.
    for (const Case& k :
         {Case{"IR_CL_ADLINK", 13, 863}, Case{"IR_CL_ADLINK", 12, 2}, Case{"IR_CL_AD", 9, 2}}) {
        CameraConfig c;
        ASSERT_TRUE(zelir::FillCameraConfig(r, k.block, k.room, c));
        EXPECT_EQ(c.wordB, k.wordB) << k.block << " room " << k.room;
        EXPECT_EQ(c.optionS, k.wordB & 1);
    }
}

// The model and text fields end at their terminator: bytes behind it in the reply stay out of
// the record; a text of all 16 characters has none and is copied whole.
TEST(CameraConfig, TextFieldsAreCopiedUpToTheirTerminator) {
    struct Field {
        size_t replyAt, recordAt;
        std::string text;
    };
    for (const Field& f : {Field{76, 0, "KOLDA"}, Field{108, 32, "V2.1"}, Field{108, 32, ""},
                           Field{76, 0, "ABCDEFGHIJKLMNOP"}}) {
        Reply r = ReplyWith58(1);
        std::fill_n(&r[f.replyAt], 16, uint8_t{0xAB});
        std::memcpy(&r[f.replyAt], f.text.c_str(), std::min<size_t>(f.text.size() + 1, 16));
        CameraConfig c;
        ASSERT_TRUE(zelir::FillCameraConfig(r, nullptr, 0, c));
        std::array<uint8_t, 16> expected{};
        std::memcpy(expected.data(), f.text.data(), std::min<size_t>(f.text.size(), 16));
        std::array<uint8_t, 16> got{};
        std::memcpy(got.data(), reinterpret_cast<const uint8_t*>(&c) + f.recordAt, 16);
        EXPECT_EQ(got, expected) << "\"" << f.text << "\" at " << f.replyAt;
    }
}

TEST(TemperatureConversion, MatchesTheWorkedValues) {
    EXPECT_NEAR(ZelIr_640V1_ADtoT(0.0f), 2135.0 / 6.6 + 27.0, 1e-4);
    // 16384 / 16 x 5.32 / 3 = 1815.8933; (2135 - 1815.8933) / 6.6 + 27 = 75.34949.
    EXPECT_NEAR(ZelIr_640V1_ADtoT(16384.0f), 75.34949, 1e-4);
    // The worked values pin the line; the round trip pins its inverse.
    for (float t : {-40.0f, 0.0f, 27.0f, 85.5f, 150.0f})
        EXPECT_NEAR(ZelIr_640V1_ADtoT(ZelIr_640V1_TtoAD(t)), t, 1e-3) << t;
}

}  // namespace
