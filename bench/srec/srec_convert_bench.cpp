// MB/s of binary image made from a 3 MiB S3 file (32 data bytes a line, 7.5 MB of text):
// SrecToBin against srec_cat doing the same conversion, both writing the binary file.
#include <benchmark/benchmark.h>
#include <zelir/zelir.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

struct BenchFiles {
    fs::path dir;
    std::string srec;
    std::string bin;
    size_t imageBytes = 0;

    BenchFiles() {
        std::string pattern = (fs::temp_directory_path() / "zelir-srec-XXXXXX").string();
        dir = mkdtemp(pattern.data());
        srec = (dir / "image.srec").string();
        bin = (dir / "image.bin").string();
        std::vector<char> bytes(SREC_IMAGE_CAPACITY);
        std::mt19937 generator(1);
        for (char& byte : bytes) byte = static_cast<char>(generator());
        std::ofstream((dir / "image.raw").string(), std::ios::binary)
            .write(bytes.data(), bytes.size());
        const std::string command = "srec_cat " + (dir / "image.raw").string() + " -binary -o " +
                                    srec + " -address-length=4 -output-block-size=32 2>/dev/null";
        if (std::system(command.c_str()) == 0) imageBytes = bytes.size();
    }
    ~BenchFiles() { fs::remove_all(dir); }
};

BenchFiles& Files() {
    static BenchFiles files;
    return files;
}

void BM_SrecToBin(benchmark::State& state) {
    BenchFiles& files = Files();
    if (files.imageBytes == 0) return state.SkipWithError("srec_cat could not make the input");
    for (auto _ : state) {
        uint8_t* image = nullptr;
        const size_t length = SrecToBin(files.srec.c_str(), nullptr, &image, files.bin.c_str());
        ZelIr_FreeSrecImage(image);
        if (length != files.imageBytes) return state.SkipWithError("wrong image length");
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * files.imageBytes));
}
BENCHMARK(BM_SrecToBin)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2.0);

// Baseline: srec_cat, process start included (a few ms against hundreds of ms of work).
void BM_SrecCat(benchmark::State& state) {
    BenchFiles& files = Files();
    if (files.imageBytes == 0) return state.SkipWithError("srec_cat could not make the input");
    const std::string command =
        "srec_cat " + files.srec + " -o " + files.bin + " -binary 2>/dev/null";
    for (auto _ : state) {
        if (std::system(command.c_str()) != 0) return state.SkipWithError("srec_cat failed");
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * files.imageBytes));
}
BENCHMARK(BM_SrecCat)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2.0);

}  // namespace

BENCHMARK_MAIN();
