// Writes the sample files: a 640 x 512 movie of a synthetic thermal scene whose frames carry a
// valid parameter line, and, taken from its tenth frame through the public interface, a combined
// image file and a raw image file. The output is the same on every run.
#include <zelir/zelir.h>

#include <cstdio>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <string>
#include <vector>

#include "base/string_conversion.h"
#include "formats/movie_header.h"
#include "imaging/ir_manager.h"
#include "thermal_scene.h"

namespace {

constexpr uint16_t kWidth = 640;
constexpr uint16_t kHeight = 512;
constexpr uint32_t kFrames = 60;
constexpr uint32_t kImageFrame = 10;

// The camera's parameter line: frame id and temperatures change from frame to frame.
void WriteParameterLine(uint32_t frameId, std::vector<uint16_t>& frame) {
    ZelIrParameterBlock line;
    CIRManager::InitParameterBlock(line, kWidth, kHeight);
    std::memcpy(line.serialNumber, "SAMPLE01", 8);
    std::memcpy(line.modelText, "CAMSIM", 6);
    line.frameId = frameId;
    line.ambientTemp = static_cast<uint16_t>(2350 + frameId % 7);
    line.vTemp = static_cast<uint16_t>(3010 + frameId % 5);
    line.vTempFpa = static_cast<uint16_t>(3105 + frameId % 3);
    line.integrationTime = 2400;
    line.gain = 1;
    std::memcpy(frame.data(), &line, ZELIR_PARAMETER_LINE_SIZE);
}

bool WriteMovie(const std::filesystem::path& path) {
    FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) return false;
    std::tm fixed{};
    fixed.tm_year = 126;
    fixed.tm_mon = 11;
    fixed.tm_mday = 6;
    fixed.tm_hour = 12;
    zelir::files::MovieHeader header = zelir::files::MakeMovieStartHeader("IRGIGE", fixed);
    fixed.tm_sec = 2;
    zelir::files::FinishMovieHeader(header, fixed, kFrames, kFrames * 1000 / 30, kWidth, kHeight);
    std::fwrite(&header, sizeof(header), 1, file);
    const camsim::ThermalScene scene(kWidth, kHeight);
    std::vector<uint16_t> frame(size_t{kWidth} * kHeight);
    for (uint32_t n = 0; n < kFrames; ++n) {
        scene.Render(n, frame);
        WriteParameterLine(n + 1, frame);
        std::fwrite(frame.data(), sizeof(uint16_t), frame.size(), file);
    }
    return std::fclose(file) == 0;
}

bool WriteImages(const std::filesystem::path& movie, const std::filesystem::path& dir) {
    ZelIrHandle handle = ZelIr_MovieFileOpen(zelir::Utf8ToWide(movie.string()).c_str());
    if (handle == nullptr) return false;
    ZelIr_SetCyclePlay(handle, 0);
    const bool fetched =
        ZelIr_MovieGoto(handle, kImageFrame) == 1 && ZelIr_MovieForward(handle, 0) == 1;
    const std::wstring image = zelir::Utf8ToWide((dir / "sample.bmp").string());
    const bool saved = fetched && ZelIr_SaveCurrImage(handle, image.c_str()) == 1;
    ZelIr_Close(handle);
    if (!saved) return false;
    std::error_code error;
    std::filesystem::rename(dir / "sample.bmp.raw", dir / "sample.raw", error);
    return !error;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: zelir-samples OUTPUT_DIR\n");
        return 2;
    }
    const std::filesystem::path dir = argv[1];
    std::error_code error;
    std::filesystem::create_directories(dir, error);
    const std::filesystem::path movie = dir / "sample.irm";
    if (!WriteMovie(movie) || !WriteImages(movie, dir)) {
        std::fprintf(stderr, "zelir-samples: cannot write the samples into %s\n", argv[1]);
        return 1;
    }
    return 0;
}
