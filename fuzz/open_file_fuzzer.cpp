// A recorded file (movie, combined image or raw image, by ZELIR_FUZZ_EXTENSION) opened through
// the public interface, then a few frames fetched, read out and mapped to 8 bits.
#include <zelir/zelir.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz_support.h"

using namespace zelir::fuzz;

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    setenv("ZELIR_DATA_DIR", ScratchFolder().c_str(), 1);
    ZelIr_Init();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string path = ScratchFolder() + "input" ZELIR_FUZZ_EXTENSION;
    WriteFile(path, {data, size});
    const std::wstring widePath(path.begin(), path.end());
    const bool rawImage = std::string_view(ZELIR_FUZZ_EXTENSION) == ".raw";
    ZelIrHandle handle =
        rawImage ? ZelIr_RawImageOpen(widePath.c_str()) : ZelIr_MovieFileOpen(widePath.c_str());
    if (handle == nullptr) return 0;

    std::vector<uint16_t> digits;
    std::vector<uint8_t> image;
    for (int fetch = 0; fetch < 3; ++fetch) {
        ZelIr_GetNewArray(handle);
        uint32_t width = 0, height = 0;
        ZelIr_GetDigitArrayPara(handle, &width, &height);
        // What the handle reports bounds what the caller provides, as an application does.
        const size_t pixels = size_t{width} * height;
        if (pixels == 0 || pixels > 1280 * 1024) break;
        digits.assign(pixels, 0);
        image.assign(pixels, 0);
        uint32_t kind = 0;
        ZelIr_GetDigitArray(handle, digits.data(), &kind);
        ZelIr_DigitArrayToBmp(handle, digits.data(), image.data(), 0, fetch & 1, nullptr);
        ZelIr_GetDigitVal(handle, static_cast<int16_t>(width - 1), static_cast<int16_t>(height));
        ZelIr_GetFrameID(handle);
        ZelIr_GetAmbientTemp(handle);
    }
    ZelIr_MovieGoto(handle, ZelIr_MovieGetTotalFrm(handle) / 2);
    ZelIr_MovieBackward(handle, 1);
    ZelIr_GetNewArray(handle);
    ZelIr_Close(handle);
    // Close writes the display settings back: start every input from the same state.
    std::remove((ScratchFolder() + "para.ini").c_str());
    return 0;
}
