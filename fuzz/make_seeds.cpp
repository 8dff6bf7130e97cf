// Writes the seed inputs of every fuzz target into DIR/<target>/, made by the library's own
// writers and the camera emulator's answers: a small movie, the combined and raw images saved
// from it, S-records, the settings files, the packets of a frame, framed messages, discovery
// and control acknowledgements. The output is the same on every run.
#include <zelir/zelir.h>

#include <cstdio>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "arith/coefficient_file.h"
#include "base/string_conversion.h"
#include "device_commands.h"
#include "formats/movie_header.h"
#include "formats/raw_image.h"
#include "gige/command_message.h"
#include "gige/stream_packets.h"
#include "gvcp_server.h"
#include "imaging/ir_manager.h"
#include "radiometry/radiometry_file.h"

namespace fs = std::filesystem;
using Bytes = std::vector<uint8_t>;

namespace {

constexpr uint16_t kWidth = 64, kHeight = 40;

void Put(const fs::path& file, const Bytes& bytes) {
    fs::create_directories(file.parent_path());
    std::ofstream(file, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}
Bytes Read(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), {});
}
void Append(Bytes& to, const Bytes& from) {
    to.insert(to.end(), from.begin(), from.end());
}
// A chunk as the harnesses read them: 16-bit length, little-endian, then the bytes.
void AppendChunk(Bytes& to, const Bytes& chunk) {
    to.push_back(static_cast<uint8_t>(chunk.size()));
    to.push_back(static_cast<uint8_t>(chunk.size() >> 8));
    Append(to, chunk);
}

// A raw image of a size in the table: `leadingRows` rows of parameter data, then a ramp.
bool WriteRawImage(const fs::path& file, uint16_t width, uint16_t height, int leadingRows) {
    std::vector<uint16_t> rows(size_t{width} * (height + leadingRows));
    ZelIrParameterBlock line;
    CIRManager::InitParameterBlock(line, width, height);
    if (leadingRows > 0) std::memcpy(rows.data(), &line, ZELIR_PARAMETER_LINE_SIZE);
    for (size_t i = size_t{width} * leadingRows; i < rows.size(); ++i) {
        rows[i] = static_cast<uint16_t>(7000 + i % 4096);
    }
    const auto* bytes = reinterpret_cast<const uint8_t*>(rows.data());
    return zelir::files::WriteRawImageFile(file, {bytes, rows.size() * 2}) ==
           zelir::files::FileResult::kOk;
}

bool WriteMovieAndImages(const fs::path& dir) {
    const fs::path movie = dir / "fuzz_movie_file" / "seed.irm";
    fs::create_directories(movie.parent_path());
    std::tm when{};
    when.tm_year = 126;
    when.tm_mday = 1;
    auto header = zelir::files::MakeMovieStartHeader("IRGIGE", when);
    zelir::files::FinishMovieHeader(header, when, 3, 100, kWidth, kHeight);
    Bytes file(reinterpret_cast<const uint8_t*>(&header),
               reinterpret_cast<const uint8_t*>(&header) + sizeof header);
    for (uint32_t n = 1; n <= 3; ++n) {
        std::vector<uint16_t> frame(size_t{kWidth} * kHeight);
        for (size_t i = 0; i < frame.size(); ++i) frame[i] = static_cast<uint16_t>(8000 + i * n);
        ZelIrParameterBlock line;
        CIRManager::InitParameterBlock(line, kWidth, kHeight);
        line.frameId = n;
        std::memcpy(frame.data(), &line, ZELIR_PARAMETER_LINE_SIZE);
        const auto* bytes = reinterpret_cast<const uint8_t*>(frame.data());
        file.insert(file.end(), bytes, bytes + frame.size() * 2);
    }
    Put(movie, file);

    ZelIrHandle handle = ZelIr_MovieFileOpen(zelir::Utf8ToWide(movie.string()).c_str());
    if (handle == nullptr) return false;
    const fs::path image = dir / "fuzz_combined_image" / "seed.bmp";
    fs::create_directories(image.parent_path());
    const bool saved = ZelIr_GetNewArray(handle) == 1 &&
                       ZelIr_SaveCurrImage(handle, zelir::Utf8ToWide(image.string()).c_str()) == 1;
    ZelIr_Close(handle);
    if (!saved) return false;
    // The raw file saved beside the image has no size a raw image may have (its geometry is
    // told by its size alone); it stays as a refused seed beside two that open.
    fs::create_directories(dir / "fuzz_raw_image");
    fs::rename(image.string() + ".raw", dir / "fuzz_raw_image" / "refused.raw");
    return WriteRawImage(dir / "fuzz_raw_image" / "48x36.raw", 48, 36, 0) &&
           WriteRawImage(dir / "fuzz_raw_image" / "320x240-leading-rows.raw", 320, 240, 2);
}

void WriteSrec(const fs::path& dir) {
    std::string text;
    auto line = [&](uint8_t type, uint32_t address, const std::vector<uint8_t>& data) {
        SrecRecord record{};
        record.type = type;
        record.address = address;
        record.length = static_cast<uint8_t>(data.size());
        if (!data.empty()) std::memcpy(record.data, data.data(), data.size());
        char encoded[SREC_LINE_BUFFER_SIZE];
        if (EncodeSrec(&record, encoded) == 0) text += encoded;
    };
    line(0, 0, {'h', 'w'});
    for (uint32_t a = 0; a < 4; ++a) line(3, 0x1000 + a * 16, std::vector<uint8_t>(16, uint8_t(a)));
    line(7, 0x1000, {});
    Put(dir / "fuzz_srec" / "seed.srec", Bytes(text.begin(), text.end()));
}

bool WriteSettingsFiles(const fs::path& dir) {
    const fs::path out = dir / "fuzz_settings_files";
    const fs::path scratch = dir / ".scratch";
    fs::create_directories(scratch);
    ZelIrParameterBlock block;
    CIRManager::InitParameterBlock(block, kWidth, kHeight);
    block.bcType = 4;
    block.paletteIndex = 2;
    CIRManager::SaveParameters(block, zelir::Utf8ToWide(scratch.string() + "/").c_str());
    Bytes ini{0};
    Append(ini, Read(scratch / "para.ini"));
    Put(out / "para_ini", ini);

    Bytes palette{1};
    for (int level = 0; level < 256; ++level) palette.insert(palette.end(), 3, uint8_t(level));
    Put(out / "palette", palette);
    Bytes mask{2};
    for (int i = 0; i < kWidth * kHeight; ++i) mask.push_back(i % 7 == 0);
    Put(out / "mask", mask);

    zelir::arith::CoefficientSet set;
    set.tables.gain.assign(size_t{kWidth} * kHeight, 1.0f);
    set.tables.offset.assign(size_t{kWidth} * kHeight, 0.0f);
    set.badMask.assign(size_t{kWidth} * kHeight, 0);
    const fs::path nuc = scratch / "channel.nuc";
    if (zelir::arith::SaveCoefficients(nuc.string(), "FUZZ", 0, kWidth, kHeight, set) !=
        zelir::Status::kOk) {
        return false;
    }
    Bytes channel{3};
    Append(channel, Read(nuc));
    Put(out / "calibration_channel", channel);

    const zelir::radiometry::RadiometryRecord record{{1e6f, 1400.0f, 1.0f, 0.0f, -50.0f, 650.0f},
                                                     {1.0f, 20.0f, 1.0f, 20.0f}};
    const fs::path rad = scratch / "record.rad";
    if (zelir::radiometry::SaveRecord(rad.string(), "FUZZ", record) != zelir::Status::kOk) {
        return false;
    }
    Bytes radiometry{4};
    Append(radiometry, Read(rad));
    Put(out / "radiometry", radiometry);
    fs::remove_all(scratch);
    return true;
}

void WriteFramePackets(const fs::path& dir) {
    using namespace zelir::test;
    FrameSpec frame;
    frame.width = kWidth;
    frame.height = kHeight;
    // Geometry bytes as the harness reads them (1 + b % 160, 1 + b % 64), then the callback flag.
    const Bytes head{kWidth - 1, kHeight - 1, 1};
    Bytes clean = head, reordered = head;
    std::vector<uint32_t> ids = InOrder(frame);
    for (uint32_t k : ids) AppendChunk(clean, MakePacket(frame, k));
    frame.blockId = 2;
    frame.window = true;
    frame.windowWidth = 32;
    frame.windowHeight = 20;
    std::swap(ids.front(), ids.back());
    for (uint32_t k : ids) AppendChunk(reordered, MakePacket(frame, k));
    Put(dir / "fuzz_frame_assembler" / "clean", clean);
    Put(dir / "fuzz_frame_assembler" / "windowed_reordered", reordered);

    Bytes control{0x34, 0x12, 0x00, 0x02, 1};  // request id, destination size, stream port
    AppendChunk(control, MakePacket(frame, 0));
    Put(dir / "fuzz_control_reply" / "stream_packet", control);
}

// The camera's answers: framed messages in acknowledgements, as the emulator makes them.
void WriteCameraAnswers(const fs::path& dir) {
    zelir::gige::CommandMessage message;
    camsim::DeviceCommands camera(25.0f);
    const camsim::Options options;
    Bytes framed, control{0x01, 0x00, 0x40, 0x02};  // request id 1, destination size 576
    uint16_t requestId = 1;
    for (const uint16_t id : {uint16_t{1913}, uint16_t{1926}, uint16_t{1818}, uint16_t{1001}}) {
        const uint32_t value = 3;
        message.BuildMessage(id, 0, reinterpret_cast<const uint8_t*>(&value), sizeof value);
        Bytes reply;
        const uint16_t status =
            camera.Handle({message.GetMessage(), message.GetMessageLength()}, true, options, reply);
        AppendChunk(framed, reply);
        Bytes ack(8);
        ack[0] = uint8_t(status >> 8), ack[1] = uint8_t(status);
        ack[2] = 0x00, ack[3] = 0x81;  // device command acknowledgement
        ack[4] = uint8_t(reply.size() >> 8), ack[5] = uint8_t(reply.size());
        ack[6] = uint8_t(requestId >> 8), ack[7] = uint8_t(requestId++);
        Append(ack, reply);
        control.push_back(0);  // control port
        AppendChunk(control, ack);
    }
    Put(dir / "fuzz_command_message" / "camera_replies", framed);
    Put(dir / "fuzz_control_reply" / "device_command_acks", control);

    camsim::InterfaceInfo info;
    info.mac = {0x02, 0x00, 0x5E, 0x10, 0x00, 0x01};
    info.address = 0x020012C6;  // 198.18.0.2
    info.netmask = 0x00FFFFFF;
    Bytes ack{0x00, 0x00, 0x00, 0x03, 0x00, 0xF8, 0x00, 0x01};
    Append(ack, camsim::DiscoveryAckData(options, info));
    Bytes discovery;
    AppendChunk(discovery, ack);
    Put(dir / "fuzz_discovery_ack" / "camsim_ack", discovery);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: zelir-fuzz-seeds DIR\n");
        return 2;
    }
    const fs::path dir = argv[1];
    if (!WriteMovieAndImages(dir)) {
        std::fprintf(stderr, "zelir-fuzz-seeds: cannot write the movie and its images\n");
        return 1;
    }
    WriteSrec(dir);
    if (!WriteSettingsFiles(dir)) {
        std::fprintf(stderr, "zelir-fuzz-seeds: cannot write the calibration files\n");
        return 1;
    }
    WriteFramePackets(dir);
    WriteCameraAnswers(dir);
    return 0;
}
