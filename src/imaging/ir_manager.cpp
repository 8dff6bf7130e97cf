#include "imaging/ir_manager.h"

#include <unistd.h>

#include <algorithm>
#include <climits>
#include <cstddef>
#include <cstring>

#include "base/string_conversion.h"

namespace zelir {

std::wstring ExecutableDirectory() {
    char path[PATH_MAX + 1] = {};
    const ssize_t length = readlink("/proc/self/exe", path, PATH_MAX);
    if (length <= 0) return std::wstring();
    std::string text(path, static_cast<size_t>(length));
    const size_t slash = text.rfind('/');
    // A path whose only separator is its first character stays whole.
    if (slash != std::string::npos && slash > 0) text.resize(slash + 1);
    return Utf8ToWide(text);
}

}  // namespace zelir

CIRManager::CIRManager()
    : moduleDirectory_(zelir::ExecutableDirectory()),
      histogramRecord_(std::make_unique<HISTOGRAM_INFO>()) {
    std::memset(histogramRecord_.get(), 0, sizeof(HISTOGRAM_INFO));
    std::memcpy(revisionTime_, kRevisionTime, sizeof(kRevisionTime));
}

CIRManager::~CIRManager() = default;

std::wstring CIRManager::SerialText(const ZelIrParameterBlock& block, size_t limit) {
    const char* text = block.serialNumber;
    const size_t room = sizeof(ZelIrParameterBlock) - offsetof(ZelIrParameterBlock, serialNumber);
    const size_t length = strnlen(text, std::min(limit, room));
    std::wstring serial;
    for (size_t i = 0; i < length; ++i) serial += static_cast<unsigned char>(text[i]);
    return serial;
}

void CIRManager::InitParameterBlock(ZelIrParameterBlock& block, uint16_t width, uint16_t height) {
    std::memset(&block, 0, sizeof(block));
    block.marker = 1;
    block.paramLineSize = 6;
    block.width = width;
    block.height = height;
    block.frameRate = 25;
    std::memcpy(block.serialNumber, "00000006", 8);
    std::memcpy(block.modelText, "G003L", 5);
    block.unnamed26 = 1;
    block.ambientTemp = 200;
    block.atmosphereTemp = 200;
    block.unnamed40 = 200;
    block.contrast = 50.0f;
    block.brightness = 50.0f;
    block.kthr = 0.2f;
    block.topCut = 5;
    block.bottomCut = 5;
    block.unnamed152 = 1.0f;
    std::memcpy(block.unnamed156, "USEDX", 5);
    for (ZelIrRegionRecord& region : block.regions) {
        region.emissivity = 78.338f;
        region.value4 = 200;
    }
    block.unnamed592 = 78.338f;
    block.unnamed602[0] = 100;
    block.unnamed602[1] = 45;
    block.unnamed602[2] = 18;
    const uint16_t values858[5] = {80, 60, 100, 80, 300};
    std::memcpy(block.unnamed858, values858, sizeof(values858));
    for (int i = 0; i < 5; ++i) {
        block.listA[i] = 0xBFFF;
        block.listB[i] = 0xBFFF;
    }
    block.regionIncrease = 1;
    block.regionSize = 30;
    block.regionDistance = 50;
    block.unnamed2074 = -200;
}
