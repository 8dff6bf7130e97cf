// Opening a camera by connection path: "cam://N" or "cam:N" (an index into the device list), or
// any other scheme followed by the camera's dotted IPv4 address.
#include <algorithm>
#include <chrono>
#include <cstddef>
#include <cwctype>
#include <memory>
#include <optional>
#include <string>
#include <thread>

#include "base/debug_output.h"
#include "base/string_conversion.h"
#include "device/device_manager.h"
#include "gige/gnet_device.h"

namespace {

// Protocol, location and transport each live in a 16-character field.
constexpr size_t kFieldCharacters = 15;
constexpr size_t kModelTextBytes = 8;
// Room of the wide serial buffer handed to the arithmetic library, terminator included.
constexpr size_t kSerialBuffer = 32;
constexpr auto kSettleAfterOpen = std::chrono::milliseconds(5);

struct ConnectionPath {
    std::wstring protocol;
    std::wstring location;
};

// A path without ":" or with a protocol or location longer than its field has no meaning; it
// is refused rather than cut to fit.
std::optional<ConnectionPath> SplitPath(const wchar_t* path) {
    if (path == nullptr) return std::nullopt;
    const std::wstring text(path);
    const size_t colon = text.find(L':');
    if (colon == std::wstring::npos) return std::nullopt;
    ConnectionPath parts{text.substr(0, colon), text.substr(colon + 1)};
    if (parts.location.rfind(L"//", 0) == 0) parts.location.erase(0, 2);
    if (parts.protocol.size() > kFieldCharacters || parts.location.size() > kFieldCharacters) {
        return std::nullopt;
    }
    return parts;
}

// The decimal value of the leading digits (0 when there are none).
int64_t LeadingNumber(const std::wstring& text) {
    int64_t value = 0;
    for (wchar_t c : text) {
        if (c < L'0' || c > L'9') break;
        value = value * 10 + (c - L'0');  // at most 15 digits: cannot overflow
    }
    return value;
}

std::wstring AddressOf(const DeviceInfo& record) {
    return zelir::DeviceRecordText(record, offsetof(DeviceInfo, address), 16);
}

// Index of the record the path names; nullopt for an index outside the list or an address no
// record carries.
std::optional<size_t> ChooseRecord(const ConnectionPath& path,
                                   std::span<const DeviceInfo> records) {
    if (path.protocol == L"cam") {
        const int64_t index = LeadingNumber(path.location);
        if (index >= static_cast<int64_t>(records.size())) return std::nullopt;
        return static_cast<size_t>(index);
    }
    for (size_t i = 0; i < records.size(); ++i) {
        if (AddressOf(records[i]) == path.location) return i;
    }
    return std::nullopt;
}

// The frame record holds at most 1280 x 1024 pixels; a camera reporting more (or nothing) could
// not deliver a frame and is not opened.
bool FitsFrameRecord(uint16_t width, uint16_t height) {
    return width > 0 && height > 0 && width <= kMaxFrameWidth && height <= kMaxFrameHeight;
}

}  // namespace

zelir::Status CIRDeviceManager::DeviceOpen(const wchar_t* path, void* reserved) {
    const std::optional<ConnectionPath> parts = SplitPath(path);
    if (!parts) return zelir::Status::kInvalidArgument;
    const std::vector<DeviceInfo> records = zelir::ListedOrDiscovered();
    const std::optional<size_t> index = ChooseRecord(*parts, records);
    if (!index) return zelir::Status::kNotFound;
    const DeviceInfo& record = records[*index];
    std::wstring transport = zelir::DeviceRecordText(record, offsetof(DeviceInfo, transport), 16);
    transport.resize(std::min(transport.size(), kFieldCharacters));

    SetUpDataDirectory();
    if (transport == L"USB") {
        odtprintf(L"Error:USB device is not suppoted\n");
        return zelir::Status::kUnsupported;
    }
    const std::optional<zelir::gige::DiscoveryEntry> entry =
        zelir::gige::GetDiscoveryEntry(static_cast<uint32_t>(*index));
    if (!entry) return zelir::Status::kNotFound;
    if (transport != L"GIGE" || !FitsFrameRecord(record.width, record.height)) {
        return zelir::Status::kUnsupported;
    }
    auto camera = std::make_unique<CGNetDevice>(reserved, *entry, record.width, record.height);
    camera->Attach(this, &recorder_);
    camera->SetSaveDirectory(dataDirectory_.c_str());
    if (camera->Open() == 0) return zelir::Status::kCannotOpen;
    camera_ = camera.get();
    AdoptStream(std::move(camera));
    std::this_thread::sleep_for(kSettleAfterOpen);

    const uint16_t width = stream_->GetWidth();
    const uint16_t height = stream_->GetHeight();
    InitParameterBlock(parameterBlock_, width, height);
    TcsToStr(parameterBlock_.modelText, kModelTextBytes, transport.c_str(), -1);
    parameterBlock_.height = height;
    parameterBlock_.width = width;
    parameterBlock_.headerLines =
        static_cast<uint8_t>(width != 0 ? stream_->GetDataOffset() / width / 2 : 0);
    parameterBlock_.frameRate = static_cast<uint8_t>(static_cast<int>(stream_->GetFrameRate()));
    handleType_ = kHandleCamera;
    // Takes over the camera's parameter line when a first frame is already there.
    if (IsCameraStreamType(stream_->StreamTypeCode())) stream_->GetFrame(0);
    LoadParameters(parameterBlock_, dataDirectory_.c_str());
    LoadPalette(parameterBlock_.paletteIndex);
    LoadMask();
    const std::wstring serial = SerialText(parameterBlock_, kSerialBuffer - 1);
    stream_->Arith().Init(width, height, dataDirectory_.c_str(), serial.c_str());
    return zelir::Status::kOk;
}
