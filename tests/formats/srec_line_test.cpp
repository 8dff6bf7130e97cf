// DecodeSrec / EncodeSrec through the library's exports; srec_cat judges encoded lines.
#include <zelir/zelir.h>

#include "support/run_tool.h"
#include "support/unit.h"

namespace {

using namespace zelir_test;

SrecRecord Filled(uint8_t pattern) {
    SrecRecord record;
    std::memset(&record, pattern, sizeof record);
    return record;
}

struct DecodeCase {
    const char* line;
    uint8_t type;
    uint32_t address;
    std::vector<uint8_t> data;
};

void PrintTo(const DecodeCase& c, std::ostream* os) {
    *os << testing::PrintToString(c.line);
}

// Lines as other tools write them (lower-case digits, line ends, text after a carriage return)
// and one of each address width, written independently of the encoder.
class DecodeAccepts : public testing::TestWithParam<DecodeCase> {};

TEST_P(DecodeAccepts, FieldsOfTheLine) {
    const DecodeCase& c = GetParam();
    SrecRecord record = Filled(0xEE);
    ASSERT_EQ(DecodeSrec(&record, c.line), 0);
    EXPECT_EQ(record.type, c.type);
    EXPECT_EQ(record.address, c.address);
    ASSERT_EQ(record.length, c.data.size());
    EXPECT_EQ(std::vector<uint8_t>(record.data, record.data + record.length), c.data);
}

INSTANTIATE_TEST_SUITE_P(
    Lines, DecodeAccepts,
    testing::Values(DecodeCase{"S00600004844521b", 0, 0, {0x48, 0x44, 0x52}},
                    DecodeCase{"S00600004844521B\rjunk", 0, 0, {0x48, 0x44, 0x52}},
                    DecodeCase{"S30700010000010Aec", 3, 0x00010000, {0x01, 0x0A}},
                    DecodeCase{"S1051234abcd3C", 1, 0x1234, {0xAB, 0xCD}},
                    DecodeCase{"S2050123450091", 2, 0x012345, {0x00}}));

struct RefuseCase {
    const char* line;
    int32_t code;
};

void PrintTo(const RefuseCase& c, std::ostream* os) {
    *os << testing::PrintToString(c.line);
}

class DecodeRefuses : public testing::TestWithParam<RefuseCase> {};

TEST_P(DecodeRefuses, WithItsCodeAndLeavesTheRecordAlone) {
    SrecRecord record = Filled(0x5A);
    const SrecRecord before = record;
    EXPECT_EQ(DecodeSrec(&record, GetParam().line), GetParam().code) << GetParam().line;
    EXPECT_EQ(std::memcmp(&record, &before, sizeof record), 0);
}

INSTANTIATE_TEST_SUITE_P(Lines, DecodeRefuses,
                         testing::Values(RefuseCase{"S00", SREC_ERROR_SHORT_LINE},
                                         RefuseCase{"S006000048445G1B", SREC_ERROR_NOT_HEX},
                                         RefuseCase{"S403000000", SREC_ERROR_TYPE},
                                         RefuseCase{"S3050001000", SREC_ERROR_NO_ADDRESS},
                                         RefuseCase{"S00600004844521B00", SREC_ERROR_LENGTH},
                                         RefuseCase{"S00600004844521C", SREC_ERROR_CHECKSUM}));

struct EncodeRefusal {
    uint8_t type;
    uint8_t length;
    int32_t code;
};

void PrintTo(const EncodeRefusal& c, std::ostream* os) {
    *os << "S" << int{c.type} << " with " << int{c.length} << " bytes";
}

class EncodeRefuses : public testing::TestWithParam<EncodeRefusal> {};

TEST_P(EncodeRefuses, WithItsCodeAndWritesNothing) {
    SrecRecord record{};
    record.type = GetParam().type;
    record.length = GetParam().length;
    char text[SREC_LINE_BUFFER_SIZE] = "untouched";
    EXPECT_EQ(EncodeSrec(&record, text), GetParam().code);
    EXPECT_STREQ(text, "untouched");
}

INSTANTIATE_TEST_SUITE_P(Records, EncodeRefuses,
                         testing::Values(EncodeRefusal{4, 0, SREC_ERROR_TYPE},
                                         EncodeRefusal{3, 33, SREC_ERROR_TOO_LONG}));

TEST(SrecLines, MissingRecordOrTextIsRefused) {
    SrecRecord record{};
    EXPECT_EQ(DecodeSrec(nullptr, "S00600004844521B"), SREC_ERROR_MISSING);
    EXPECT_EQ(EncodeSrec(&record, nullptr), SREC_ERROR_MISSING);
}

// Every accepted type with data lengths up to the longest line: each line decodes back to its
// record, and srec_cat (which checks every checksum and count) reads the same bytes.
TEST(EncodeSrec, RoundTripAndSrecCatAgrees) {
    const ScratchDir dir;
    const std::vector<uint8_t> payload = zelir_test::RandomBytes(32, 7);
    std::string file;
    std::vector<uint8_t> s3Bytes;
    uint32_t address = 0x00200000;
    // Address digits of each accepted type.
    const std::pair<uint8_t, int> types[] = {{0, 4}, {1, 4}, {2, 6}, {3, 8},
                                             {5, 4}, {7, 8}, {8, 6}, {9, 4}};
    for (const auto& [type, digits] : types) {
        for (uint8_t length : {0, 1, 17, 32}) {
            SrecRecord record{};
            record.type = type;
            record.address = address & static_cast<uint32_t>((uint64_t{1} << (4 * digits)) - 1);
            record.length = length;
            std::memcpy(record.data, payload.data(), length);
            char text[SREC_LINE_BUFFER_SIZE];
            std::memset(text, 'x', sizeof text);
            ASSERT_EQ(EncodeSrec(&record, text), 0);
            ASSERT_LE(std::strlen(text), 79u);
            SrecRecord back = Filled(0);
            ASSERT_EQ(DecodeSrec(&back, text), 0) << text;
            EXPECT_EQ(back.type, type);
            EXPECT_EQ(back.address, record.address);
            ASSERT_EQ(back.length, length);
            EXPECT_EQ(std::memcmp(back.data, record.data, length), 0);
            if (type == 3) {
                file += text;
                s3Bytes.insert(s3Bytes.end(), payload.begin(), payload.begin() + length);
                address += length;
            }
        }
    }
    WriteText(dir.File("encoded.srec"), file);
    RunTool("srec_cat " + dir.File("encoded.srec") + " -offset -0x200000 -o " +
            dir.File("encoded.bin") + " -binary");
    EXPECT_EQ(ReadBytes(dir.File("encoded.bin")), s3Bytes);
}

}  // namespace
