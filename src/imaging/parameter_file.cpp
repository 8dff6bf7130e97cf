// "para.ini": the display settings of the parameter block, section "Calc Para".
#include <cmath>
#include <cstdio>
#include <limits>
#include <string>

#include "base/profile_file.h"
#include "base/string_conversion.h"
#include "imaging/ir_manager.h"

namespace {

constexpr char kSection[] = "Calc Para";
constexpr size_t kTextLimit = 255;  // texts are read into a 256-character buffer

std::string ParameterFilePath(const wchar_t* directory) {
    return zelir::WideToUtf8(directory != nullptr ? directory : L"") + "para.ini";
}

// "para.ini" read once; a write goes to disk at once, as the private-profile functions do.
class ParameterFile {
  public:
    explicit ParameterFile(std::string path) : file_(std::move(path)) {}

    int Integer(const char* key, int fallback) const {
        return file_.GetInt(kSection, key, fallback);
    }
    std::wstring Text(const char* key, const char* fallback) const {
        std::string text = file_.GetString(kSection, key, fallback);
        if (text.size() > kTextLimit) text.resize(kTextLimit);
        return zelir::Utf8ToWide(text);
    }
    double Number(const char* key, const char* fallback) const {
        return CStringToDouble(Text(key, fallback));
    }
    void Write(const char* key, const char* format, double value) {
        char text[64];
        std::snprintf(text, sizeof(text), format, value);
        file_.WriteString(kSection, key, text);
    }
    void Write(const char* key, int value) {
        file_.WriteString(kSection, key, std::to_string(value));
    }

  private:
    zelir::ProfileFile file_;
};

// Truncates toward zero, then keeps the low bits of the field's width; out-of-range and
// non-finite values saturate before the narrowing so nothing is undefined.
template <typename T>
T Truncated(double value) {
    if (!std::isfinite(value)) return 0;
    constexpr double kLimit = 9.0e18;
    const double clamped = value > kLimit ? kLimit : value < -kLimit ? -kLimit : value;
    return static_cast<T>(static_cast<long long>(clamped));
}

}  // namespace

void CIRManager::LoadParameters(ZelIrParameterBlock& block, const wchar_t* directory) {
    ParameterFile file(ParameterFilePath(directory));
    block.bcType = static_cast<int16_t>(file.Integer("BCType", 0));
    block.paletteIndex = static_cast<uint16_t>(file.Integer("Palette", 0));
    block.brightness = static_cast<float>(file.Number("IRBrightness", "50.0"));
    block.contrast = static_cast<float>(file.Number("IRContrast", "50.0"));
    char kthrDefault[16];
    std::snprintf(kthrDefault, sizeof(kthrDefault), "%.2f", 0.2);
    block.kthr = static_cast<float>(file.Number("KTHR", kthrDefault));
    if (block.kthr < 0.05f) {
        block.kthr = 0.2f;
        file.Write("KTHR", "%.6f", 0.2);
    }
    block.topCut = Truncated<int16_t>(file.Number("ADPerCutTop", "0.005") * 1000.0);
    block.bottomCut = Truncated<int16_t>(file.Number("ADPerCutBot", "0.005") * 1000.0);
    block.pole = Truncated<int16_t>(file.Number("POLE", "0"));
    block.useMinMax = Truncated<int16_t>(file.Number("USE_MINMAX", "0"));
    file.Text("USE_MASK", "0");
    block.useMask = 0;  // the mask is only ever switched on by an application, never by the file
    block.useRegionGrow = Truncated<int16_t>(file.Number("USE_REGION_GROW", "0"));
    block.regionIncrease = Truncated<int16_t>(file.Number("REGION_INCREASE", "30"));
    block.regionSize = Truncated<int16_t>(file.Number("REGION_SIZE", "30"));
    block.regionDistance = Truncated<int16_t>(file.Number("REGION_DIS", "50"));
    block.isothermCount = Truncated<uint8_t>(file.Number("ISO_NUM", "0"));
    block.alarmColorCount = Truncated<int8_t>(file.Number("ISO_COLOR_NUM", "0"));
    block.alarmColors[0] = Truncated<int32_t>(file.Number("lAlarmColor_1", "0"));
    block.alarmColors[1] = Truncated<int32_t>(file.Number("lAlarmColor_2", "0"));
    block.alarmColors[2] = Truncated<int32_t>(file.Number("lAlarmColor_3", "0"));
    block.smoothFrameCount = static_cast<uint8_t>(file.Integer("SMOOTH_FRAME_NUM", 0));
    block.serialPort = static_cast<uint8_t>(file.Integer("SerailPort", 0));
    block.serialBaud = static_cast<uint32_t>(file.Integer("SP_band", 115200));
    const std::wstring parity = file.Text("SP_parity", "N");
    char parityText[2] = {};
    TcsToStr(parityText, 1, parity.c_str(), -1);
    block.serialParity = parityText[0];
    block.serialDataBits = static_cast<uint32_t>(file.Integer("SP_databits", 8));
    block.serialStopBits = static_cast<uint32_t>(file.Integer("SP_stopsbits", 1));
    block.grabberCard = static_cast<uint8_t>(file.Integer("CL_cardId", 1));
    block.grabberChannel = static_cast<uint8_t>(file.Integer("CL_chanId", 0));
    block.networkMode = static_cast<uint8_t>(file.Integer("GNET_M", 0));
}

void CIRManager::SaveParameters(const ZelIrParameterBlock& block, const wchar_t* directory) {
    ParameterFile file(ParameterFilePath(directory));
    file.Write("Palette", block.paletteIndex);
    file.Write("BCType", block.bcType);
    file.Write("IRBrightness", "%.1f", block.brightness);
    file.Write("IRContrast", "%.1f", block.contrast);
    file.Write("ADPerCutTop", "%.6f", block.topCut / 1000.0);
    file.Write("ADPerCutBot", "%.6f", block.bottomCut / 1000.0);
    file.Write("KTHR", "%.6f", block.kthr);
}
