// The base utility layer: string conversion and plain files.
#include <zelir/zelir.h>

#include "base/plain_files.h"
#include "base/string_conversion.h"
#include "support/unit.h"

namespace {

TEST(StringConversion, TcsToStrWritesAtMostSizeBytes) {
    char model[9];
    std::memset(model, '#', sizeof(model));
    TcsToStr(model, 8, L"GIGE", -1);
    EXPECT_STREQ(model, "GIGE");
    std::memset(model, '#', sizeof(model));
    TcsToStr(model, 8, L"ABCDEFGHIJ", -1);
    EXPECT_EQ(std::string(model, 8), "ABCDEFGH");
    EXPECT_EQ(model[8], '#');  // nothing past the limit
    TcsToStr(model, 8, L"XY\u20ac", -1);
    EXPECT_STREQ(model, "XY?");
}

// Kept for callers of the base layer though the library itself no longer calls them.
TEST(StringConversion, StrToTcsStaysWithinSizeAndAnsiToUnicodeCopies) {
    wchar_t out[17];
    out[16] = L'#';
    StrToTcs(out, 16, "0123456789abcdefXYZ", -1);
    EXPECT_EQ(std::wstring(out), L"0123456789abcde");
    EXPECT_EQ(out[16], L'#');  // nothing past the limit
    StrToTcs(out, 16, "abcdef", 3);
    EXPECT_EQ(std::wstring(out), L"abc");
    std::unique_ptr<wchar_t[]> wide(AnsiToUnicode("00000006G003L"));
    EXPECT_EQ(std::wstring(wide.get()), L"00000006G003L");
    EXPECT_EQ(AnsiToUnicode(nullptr), nullptr);
}

TEST(StringConversion, Utf16FieldsRoundTripAndStayTerminated) {
    char16_t field[16];
    const std::wstring text = L"cam://1 \U0001F525\u00e9";
    zelir::WideToUtf16Field(text, field);
    EXPECT_EQ(zelir::Utf16FieldToWide(field), text);
    zelir::WideToUtf16Field(std::wstring(40, L'z'), field);
    EXPECT_EQ(field[15], u'\0');
    EXPECT_EQ(zelir::Utf16FieldToWide(field), std::wstring(15, L'z'));
    EXPECT_EQ(zelir::Utf8ToWide(zelir::WideToUtf8(text)), text);
}

class TempDir : public ::testing::Test {
  protected:
    std::string Path(const char* name) const { return dir_.File(name); }
    zelir_test::ScratchDir dir_{"base"};
};

TEST_F(TempDir, AsciiFileReadsLinesWithoutTheirEnds) {
    std::ofstream(Path("lines.txt"), std::ios::binary) << "S00600004844521B\r\nsecond\n\n"
                                                       << std::string(300, 'L') << "\nlast";
    Infrared_1_0::CAsciiFile file;
    ASSERT_TRUE(file.Open(Path("lines.txt").c_str(), 1));
    char line[128];
    std::vector<std::string> lines;
    while (file.GetLine(line, sizeof(line))) lines.emplace_back(line);
    EXPECT_EQ(lines, (std::vector<std::string>{"S00600004844521B", "second", "",
                                               std::string(127, 'L'), "last"}));
}

}  // namespace
