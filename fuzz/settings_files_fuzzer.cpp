// The settings files a handle reads: the first byte picks para.ini, a palette, the alarm mask, a
// calibration channel's coefficient set or a radiometric calibration record; the rest is the
// file. A frame is then mapped to 8 bits with what was read.
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "arith/coefficient_file.h"
#include "arith/zelir_arith.h"
#include "fuzz_support.h"
#include "imaging/ir_manager.h"
#include "radiometry/radiometry_file.h"

using namespace zelir::fuzz;

namespace {

constexpr int kWidth = 64, kHeight = 40;  // the smallest frames the arithmetic takes, and some

// A manager reading its files from the scratch folder.
class ScratchManager : public CIRManager {
  public:
    ScratchManager() {
        const std::string& folder = ScratchFolder();
        dataDirectory_.assign(folder.begin(), folder.end());
    }
};

void MapAFrame(ScratchManager& manager) {
    ZelIrArith arith;
    arith.Init(kWidth, kHeight, manager.DataDirectory().c_str(), L"FUZZ");
    std::vector<uint16_t> digits(kWidth * kHeight);
    for (size_t i = 0; i < digits.size(); ++i) digits[i] = static_cast<uint16_t>(i * 37);
    std::vector<uint8_t> image(digits.size());
    manager.MapToY8(arith, true, digits.data(), image.data(), 0, nullptr);
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    setenv("ZELIR_PALETTE_DIR", ScratchFolder().c_str(), 1);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    InputReader input({data, size});
    const uint8_t kind = input.Byte() % 5;
    const auto file = input.Rest();
    const std::string folder = ScratchFolder();
    ScratchManager manager;
    ZelIrParameterBlock& block = *manager.ParameterBlock();
    CIRManager::InitParameterBlock(block, kWidth, kHeight);
    switch (kind) {
        case 0:
            WriteFile(folder + "para.ini", file);
            CIRManager::LoadParameters(block, manager.DataDirectory().c_str());
            std::remove((folder + "para.ini").c_str());
            manager.LoadPalette(block.paletteIndex);
            break;
        case 1:
            WriteFile(folder + "Palette3.raw", file);
            manager.LoadPalette(3);
            break;
        case 2:
            WriteFile(folder + "mask.raw8", file);
            block.useMask = 1;
            manager.LoadMask();
            break;
        case 3: {
            const std::string path = zelir::arith::CoefficientFilePath(folder, "FUZZ", 0);
            WriteFile(path, file);
            zelir::arith::CoefficientSet set;
            // Accepted or refused, the mapping below loads the same file again through the
            // arithmetic object, which must cope with either.
            static_cast<void>(
                zelir::arith::LoadCoefficients(path, "FUZZ", 0, kWidth, kHeight, set));
            break;
        }
        case 4: {
            const std::string path = folder + "radiometry.cal";
            WriteFile(path, file);
            zelir::radiometry::RadiometryRecord record{};
            std::string reason;
            zelir::radiometry::LoadRecord(path, "", record, reason);
            std::remove(path.c_str());
            return 0;
        }
    }
    MapAFrame(manager);
    // Every input starts from the same folder.
    for (const std::string& name : {folder + "Palette3.raw", folder + "mask.raw8",
                                    zelir::arith::CoefficientFilePath(folder, "FUZZ", 0)}) {
        std::remove(name.c_str());
    }
    return 0;
}
