// Writes the sample files: a 640 x 512 movie of a synthetic thermal scene whose frames carry a
// valid parameter line, and, taken from its tenth frame through the public interface, a combined
// image file and a raw image file. The output is the same on every run.
//
// The frames are those of a camera with the emulator's response, recorded with the two-point
// correction on (no fixed pattern left, temporal noise of 2 digit values). Each file has its
// radiometric constants beside it ("<file>.rad"), and "<file>.truth.npy" holds the true
// temperature of every pixel of the frame a reader sees first (movie: frame 0).
#include <zelir/zelir.h>

#include <cstdio>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <string>
#include <vector>

#include "base/string_conversion.h"
#include "float_image_files.h"
#include "formats/movie_header.h"
#include "imaging/ir_manager.h"
#include "radiometry/radiometry_file.h"
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

camsim::SceneSettings CorrectedCamera() {
    camsim::SceneSettings settings;
    settings.fixedPattern = false;
    return settings;
}

bool WriteCompanion(const std::filesystem::path& file) {
    const camsim::ResponseConstants c = CorrectedCamera().response;
    const zelir::radiometry::RadiometryRecord record{
        {float(c.r), float(c.b), float(c.f), float(c.o), -50.0f, 650.0f},
        {1.0f, 20.0f, 1.0f, 20.0f}};
    return zelir::radiometry::SaveRecord(zelir::radiometry::CompanionPath(file.string()),
                                         "SAMPLE01", record) == zelir::Status::kOk;
}

// The true temperatures of frame n of the scene.
bool WriteTruth(const std::filesystem::path& file, uint32_t n) {
    const camsim::ThermalScene scene(kWidth, kHeight, CorrectedCamera());
    std::vector<float> celsius(size_t{kWidth} * kHeight);
    for (uint32_t y = 0; y < kHeight; ++y) {
        for (uint32_t x = 0; x < kWidth; ++x)
            celsius[size_t{y} * kWidth + x] = scene.TrueCelsius(n, x, y);
    }
    return zelir_cli::WriteNpy(file.string() + ".truth.npy", celsius, kWidth, kHeight);
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
    const camsim::ThermalScene scene(kWidth, kHeight, CorrectedCamera());
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
    return !error && WriteCompanion(dir / "sample.raw");
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
    // The image saver finds the movie's constants and writes the image's companion itself.
    if (!WriteMovie(movie) || !WriteCompanion(movie) || !WriteImages(movie, dir) ||
        !WriteTruth(movie, 0) || !WriteTruth(dir / "sample.bmp", kImageFrame) ||
        !WriteTruth(dir / "sample.raw", kImageFrame)) {
        std::fprintf(stderr, "zelir-samples: cannot write the samples into %s\n", argv[1]);
        return 1;
    }
    return 0;
}
