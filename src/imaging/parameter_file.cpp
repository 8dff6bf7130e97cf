// "para.ini": the display settings of the parameter block, section "Calc Para".
#include <cmath>
#include <limits>
#include <string>

#include "base/debug_output.h"
#include "base/profile_file.h"
#include "base/string_conversion.h"
#include "imaging/display_settings.h"
#include "imaging/ir_manager.h"

namespace {

constexpr char kSection[] = "Calc Para";
constexpr size_t kTextLimit = 255;   // texts are read into a 256-character buffer
constexpr double kKthrFloor = 0.05;  // a smaller KTHR in the file is replaced and written back

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
    // A value that is not finite (nan, inf) takes the key's default.
    double Number(const char* key, const char* fallback) const {
        const double value = CStringToDouble(Text(key, fallback));
        return std::isfinite(value) ? value : CStringToDouble(zelir::Utf8ToWide(fallback));
    }
    void Write(const char* key, double value, int decimals) {
        Report(file_.WriteString(kSection, key, zelir::FormatFixed(value, decimals)));
    }
    void Write(const char* key, int value) {
        Report(file_.WriteString(kSection, key, std::to_string(value)));
    }

  private:
    // Settings that cannot be saved must not vanish without a word; the first failure is told.
    void Report(zelir::Status status) {
        if (status == zelir::Status::kOk || reported_) return;
        reported_ = true;
        odprintf("Error:cannot write para.ini (%s)\n", zelir::StatusText(status));
    }

    zelir::ProfileFile file_;
    bool reported_ = false;
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
    block.brightness = zelir::UsableDisplaySetting(file.Number("IRBrightness", "50.0"));
    block.contrast = zelir::UsableDisplaySetting(file.Number("IRContrast", "50.0"));
    const std::string kthrDefault = zelir::FormatFixed(zelir::kDefaultKthr, 2);
    const double kthr = file.Number("KTHR", kthrDefault.c_str());
    block.kthr = zelir::UsableKthr(kthr);
    if (kthr < kKthrFloor) file.Write("KTHR", zelir::kDefaultKthr, 6);
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
    // Whatever the application stored, nothing non-finite or out of range goes to the file.
    file.Write("IRBrightness", zelir::UsableDisplaySetting(block.brightness), 1);
    file.Write("IRContrast", zelir::UsableDisplaySetting(block.contrast), 1);
    file.Write("ADPerCutTop", block.topCut / 1000.0, 6);
    file.Write("ADPerCutBot", block.bottomCut / 1000.0, 6);
    file.Write("KTHR", std::isfinite(block.kthr) ? block.kthr : zelir::kDefaultKthr, 6);
}
