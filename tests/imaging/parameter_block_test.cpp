// "para.ini": loading, replacing unusable values, saving.
#include "imaging/ir_manager.h"
#include "support/scoped_locale.h"
#include "support/unit.h"

namespace {

// Fields of any type side by side, each as it converts to a float.
template <typename... Field>
std::vector<float> Values(Field... fields) {
    return {static_cast<float>(fields)...};
}

class ParaIni : public ::testing::Test {
  protected:
    void SetUp() override { CIRManager::InitParameterBlock(block_, 640, 512); }
    void WriteIni(const std::string& body) {
        zelir_test::WriteText(dir_ / "para.ini", "[Calc Para]\n" + body);
    }
    std::string IniText() const {
        const std::vector<uint8_t> bytes = zelir_test::ReadBytes(dir_ / "para.ini");
        return {bytes.begin(), bytes.end()};
    }
    zelir_test::ScratchDir dir_{"para"};
    std::wstring directory_ = dir_.path().wstring() + L"/";
    ZelIrParameterBlock block_;
};

TEST_F(ParaIni, ValuesAreConvertedAsStored) {
    WriteIni(
        "BCType=11\nPalette=3\nIRBrightness=61.5\nIRContrast=12.25\nKTHR=0.5\n"
        "ADPerCutTop=0.0125\nADPerCutBot=0.002\nPOLE=-3.9\nUSE_MASK=1\nREGION_SIZE=44.7\n"
        "ISO_NUM=258\nISO_COLOR_NUM=2\nlAlarmColor_1=255\nSP_parity=Even\nSerailPort=260\n"
        "SP_band=9600\nGNET_M=1\n");
    CIRManager::LoadParameters(block_, directory_.c_str());
    const ZelIrParameterBlock& b = block_;
    // USE_MASK is not taken from the file; ISO_NUM and SerailPort keep their low 8 bits.
    EXPECT_EQ(
        Values(b.bcType, b.paletteIndex, b.brightness, b.contrast, b.kthr, b.topCut, b.bottomCut,
               b.pole, b.useMask, b.regionSize, b.isothermCount, b.alarmColorCount,
               b.alarmColors[0], b.serialParity, b.serialPort, b.serialBaud, b.networkMode),
        Values(11, 3, 61.5f, 12.25f, 0.5f, 12, 2, -3, 0, 44, 2, 2, 255, 'E', 4, 9600, 1));
}

// Below 0.05 the threshold is replaced by 0.2 and written back; 0.05 itself is kept as it stands.
TEST_F(ParaIni, SmallKthrIsReplacedAndWrittenBack) {
    for (const auto& [text, kept, written] :
         {std::tuple{"0.01", 0.2f, "0.200000"}, {"0.05", 0.05f, "KTHR=0.05"}}) {
        WriteIni(std::string("KTHR=") + text + "\n");
        CIRManager::LoadParameters(block_, directory_.c_str());
        EXPECT_FLOAT_EQ(block_.kthr, kept) << text;
        EXPECT_NE(IniText().find(written), std::string::npos) << text;
    }
}

TEST_F(ParaIni, GarbageValuesNeverCrash) {
    WriteIni("BCType=abc\nIRBrightness=xyz\nKTHR=\nREGION_DIS=1e300\nISO_NUM=nan\n");
    CIRManager::LoadParameters(block_, directory_.c_str());
    EXPECT_EQ(block_.bcType, 0);
    EXPECT_FLOAT_EQ(block_.brightness, 0.0f);
    EXPECT_FLOAT_EQ(block_.kthr, 0.2f);  // empty text reads as 0, below the threshold
    EXPECT_EQ(block_.isothermCount, 0);
}

// A missing folder is harmless.
TEST_F(ParaIni, MissingDirectoryIsHarmless) {
    const std::wstring missing = directory_ + L"not-there/";
    CIRManager::SaveParameters(block_, missing.c_str());
    CIRManager::LoadParameters(block_, missing.c_str());
    EXPECT_FLOAT_EQ(block_.contrast, 50.0f);
}

// Values no display can use: non-finite ones take the key's default, finite ones beyond the
// documented range (brightness and contrast 0..100) are clamped; none is ever written back.
struct UnusableValue {
    const char* line;
    float brightness, contrast, kthr;
    int16_t topCut;
};

class ParaIniUnusable : public ParaIni, public ::testing::WithParamInterface<UnusableValue> {};

TEST_P(ParaIniUnusable, LoadsAsDefaultOrClampedAndSavesFinite) {
    const UnusableValue& c = GetParam();
    WriteIni(std::string(c.line) + "\n");
    CIRManager::LoadParameters(block_, directory_.c_str());
    EXPECT_FLOAT_EQ(block_.brightness, c.brightness);
    EXPECT_FLOAT_EQ(block_.contrast, c.contrast);
    EXPECT_FLOAT_EQ(block_.kthr, c.kthr);
    EXPECT_EQ(block_.topCut, c.topCut);
    CIRManager::SaveParameters(block_, directory_.c_str());
    const std::string text = IniText();
    EXPECT_EQ(text.find("nan"), std::string::npos) << text;
    EXPECT_EQ(text.find("inf"), std::string::npos) << text;
}

INSTANTIATE_TEST_SUITE_P(Values, ParaIniUnusable,
                         ::testing::Values(UnusableValue{"IRContrast=1e39", 50, 100, 0.2f, 5},
                                           UnusableValue{"IRContrast=1e400", 50, 100, 0.2f, 5},
                                           UnusableValue{"IRBrightness=-3e9", 0, 50, 0.2f, 5},
                                           UnusableValue{"KTHR=nan", 50, 50, 0.2f, 5},
                                           UnusableValue{"ADPerCutTop=nan", 50, 50, 0.2f, 5}));

TEST_F(ParaIni, NonFiniteBlockValuesAreSavedAsDefaults) {
    block_.brightness = std::numeric_limits<float>::quiet_NaN();
    block_.contrast = std::numeric_limits<float>::infinity();
    block_.kthr = std::numeric_limits<float>::quiet_NaN();
    CIRManager::SaveParameters(block_, directory_.c_str());
    const std::string text = IniText();
    for (const char* expected : {"IRBrightness = 50.0", "IRContrast = 50.0", "KTHR = 0.200000"}) {
        EXPECT_NE(text.find(expected), std::string::npos) << text;
    }
}

TEST_F(ParaIni, NumbersIgnoreTheApplicationsLocale) {
    zelir_test::ScopedLocale comma("de_DE.UTF-8");
    if (!comma.active())
        GTEST_SKIP() << "locale de_DE.UTF-8 is missing (scripts/setup.sh makes it)";
    WriteIni("KTHR=0.3\nADPerCutTop=0.005\nADPerCutBot=0.0125\nIRBrightness=61.5\n");
    CIRManager::LoadParameters(block_, directory_.c_str());
    EXPECT_FLOAT_EQ(block_.kthr, 0.3f);
    EXPECT_EQ(block_.topCut, 5);
    CIRManager::SaveParameters(block_, directory_.c_str());
    const std::string text = IniText();
    for (const char* expected : {"= 61.5", "= 50.0", "= 0.005000", "= 0.012000", "= 0.300000"}) {
        EXPECT_NE(text.find(expected), std::string::npos) << expected << " in " << text;
    }
    EXPECT_EQ(text.find(','), std::string::npos) << text;
}

}  // namespace
