// Camera commands against zelir-camsim, inside the network namespaces, where the zelir tool's
// own tests (net_cli_commands_test) do not reach: raw messages, the frequency read-back window,
// the cached trigger word, the configuration record field by field, a rejected array block,
// flash programming and the unacknowledged buffer transfer. The emulator's admin port reports
// what it was sent ("state ...").
#include <chrono>
#include <map>

#include "gige/block_transfer.h"
#include "gige/camera_settings.h"
#include "gige/gnet_device.h"
#include "support/camsim_admin.h"
#include "support/command_camera.h"
#include "support/debug_capture.h"
#include "support/unit.h"

namespace {

using namespace zelir::test;
using zelir::gige::LoadTriggerCache;
using zelir_test::Get;
using zelir_test::RandomBytes;
using Clock = std::chrono::steady_clock;

std::map<std::string, std::string> Fields(const std::string& state) {
    std::map<std::string, std::string> fields;
    std::istringstream in(state);
    for (std::string word; in >> word;) {
        const size_t eq = word.find('=');
        if (eq != std::string::npos) fields[word.substr(0, eq)] = word.substr(eq + 1);
    }
    return fields;
}

std::string HexLe32(uint32_t v) {
    char text[9];
    std::snprintf(text, sizeof text, "%02x%02x%02x%02x", v & 0xFF, (v >> 8) & 0xFF,
                  (v >> 16) & 0xFF, v >> 24);
    return text;
}

std::vector<uint8_t> FromHex(const std::string& hex) {
    std::vector<uint8_t> bytes;
    for (size_t i = 0; i + 1 < hex.size(); i += 2)
        bytes.push_back(static_cast<uint8_t>(std::stoul(hex.substr(i, 2), nullptr, 16)));
    return bytes;
}

// FNV-1a, as the emulator reports what it received.
std::string Hash(const std::vector<uint8_t>& bytes) {
    uint64_t h = 0xcbf29ce484222325ull;
    for (uint8_t b : bytes) h = (h ^ b) * 0x100000001b3ull;
    char text[17];
    std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(h));
    return text;
}

// The values of some fields of a state answer, in the order asked.
using Values = std::vector<std::string>;
Values Pick(std::map<std::string, std::string> state, const Values& keys) {
    Values values;
    for (const std::string& key : keys) values.push_back(state[key]);
    return values;
}

double MillisecondsSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// The messages of a capture without the stale-acknowledgement warnings: the camera answers
// unacknowledged commands too, and those answers are skipped on the next exchange.
std::vector<std::string> Significant(DebugCapture& capture) {
    std::vector<std::string> kept;
    for (const std::string& m : capture.Messages()) {
        if (m.rfind("Warning:Unexpected ackID", 0) != 0) kept.push_back(m);
    }
    return kept;
}

struct ProgressLog {
    using Calls = std::vector<std::pair<uint16_t, uint32_t>>;
    Calls calls;
    static void Record(uint16_t code, uint32_t progress, void* context) {
        static_cast<ProgressLog*>(context)->calls.emplace_back(code, progress);
    }
};

class NetCommands : public ::testing::Test {
  protected:
    static void SetUpTestSuite() { camera_ = new CommandCamera; }
    static void TearDownTestSuite() {
        delete camera_;
        camera_ = nullptr;
    }
    void SetUp() override {
        ASSERT_NE(camera_->handle(), nullptr) << "no camera at 198.18.0.2";
        ASSERT_EQ(admin_.Send("reset"), "ok");
        ZelIr_SetCommandCallback(handle(), nullptr, nullptr);
    }
    void TearDown() override { admin_.Send("reset"); }

    ZelIrHandle handle() const { return camera_->handle(); }
    void Set(const std::string& options) { ASSERT_EQ(admin_.Send("set " + options), "ok"); }
    std::map<std::string, std::string> State(const std::string& what) {
        return Fields(admin_.Send("state " + what));
    }
    // The trigger word as the camera holds it (a write would take bit 1 as a pulse).
    void CameraTriggerWord(uint32_t word) {
        ASSERT_EQ(admin_.Send("store 1818 " + HexLe32(word)), "ok");
    }

    static CommandCamera* camera_;
    CamsimAdmin admin_;
};
CommandCamera* NetCommands::camera_ = nullptr;

// ---- raw messages ----

// At most the capacity is copied; the length reported is the whole reply's (12 bytes), so a
// cut reply shows.
TEST_F(NetCommands, CallerFramedQueryIsAnsweredWithinTheGivenCapacity) {
    // 1826 query, framed by hand: checksum 09 + 04 + 22 + 07 = 0x36.
    const uint8_t query[] = {0x55, 0xAA, 0x10, 0x09, 0x00, 0x00, 0x04, 0x00,
                             0x22, 0x07, 0x00, 0x00, 0x00, 0x00, 0x36, 0x00};
    ASSERT_EQ(ZelIr_SendSeriaPortCmd(handle(), query, sizeof query), 1);
    uint8_t reply[16] = {};
    uint32_t length = 8;
    uint16_t id = 0;
    ASSERT_EQ(ZelIr_ReceiveSeriaPortCmd(handle(), reply, &length, &id), 1);
    EXPECT_EQ(length, 12u) << "the reply's own length, even when cut";
    EXPECT_EQ(
        id, static_cast<CIRDeviceManager*>(handle())->Camera()->Channel()->Control().requestCounter)
        << "the camera's own request counter";
    uint32_t first = 0;
    std::memcpy(&first, reply, 4);
    EXPECT_EQ(first, 1200u);
    EXPECT_EQ(reply[8], 0) << "nothing past the capacity";
    EXPECT_EQ(State("setting 1826")["queries"], "1");
}

TEST_F(NetCommands, MessagesCarryTheValueOrTheCallersBytes) {
    ASSERT_EQ(ZelIr_SendMessage(handle(), 1817, 1, 0x01020304), 1);
    EXPECT_EQ(State("setting 1817")["value"], "04030201");
    const uint8_t data[] = {0x02, 0x00, 0x00, 0x00, 0x77};
    ASSERT_EQ(ZelIr_SendMessageEx(handle(), 1845, 1, data, sizeof data), 1);
    EXPECT_EQ(State("setting 1845")["value"], "0200000077");
}

// ---- settings ----

struct FrequencyCase {
    const char* name;
    const char* offset;  // what the camera adds to the value it reports
    int32_t result;
    int queries;
};

class NetFrameFrequency : public NetCommands,
                          public ::testing::WithParamInterface<FrequencyCase> {};

TEST_P(NetFrameFrequency, ReadBackAcceptsHalfAFrameEitherWay) {
    const FrequencyCase& c = GetParam();
    Set(std::string("--freq-offset ") + c.offset);
    EXPECT_EQ(ZelIr_SetFrameFreq(handle(), 25.0f), c.result);
    EXPECT_EQ(State("setting 1868")["queries"], std::to_string(c.queries));
    float values[3] = {};
    ASSERT_EQ(ZelIr_GetFrameFreq(handle(), values), 1);
    EXPECT_FLOAT_EQ(values[0], 25.0f + std::stof(c.offset));
}

INSTANTIATE_TEST_SUITE_P(Offsets, NetFrameFrequency,
                         ::testing::Values(FrequencyCase{"plus_0_5", "0.5", 1, 1},
                                           FrequencyCase{"minus_0_6", "-0.6", 0, 4}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(NetCommands, ThreeValueGettersRefuseShortReplies) {
    struct Case {
        const char* fault;
        std::function<int32_t()> get;
        std::string message;
    };
    float floats[3];
    uint32_t words[3];
    const std::vector<Case> cases = {
        {"1826:8", [&] { return ZelIr_GetExposureTime(handle(), words); },
         "received exposure time length is wrong\n"},
        {"1868:4", [&] { return ZelIr_GetFrameFreq(handle(), floats); },
         "received frame frequency length is wrong\n"},
    };
    for (const Case& c : cases) {
        Set(std::string("--reply-length ") + c.fault);
        DebugCapture capture;
        EXPECT_EQ(c.get(), 0) << c.fault;
        EXPECT_EQ(Significant(capture), std::vector<std::string>{c.message}) << c.fault;
    }
}

// ---- trigger word ----

TEST_F(NetCommands, SoftTriggerPulsesFromTheCachedWord) {
    CameraTriggerWord(1);
    uint32_t values[3];
    ASSERT_EQ(ZelIr_GetTriggerMode(handle(), values, nullptr), 1);
    ASSERT_EQ(LoadTriggerCache().word, 1u);
    auto before = State("setting 1818");
    EXPECT_EQ(ZelIr_SetSoftTrigger(handle()), 1);
    auto state = State("setting 1818");
    EXPECT_EQ(state["soft"], "1") << "the word written carried the pulse bit";
    EXPECT_EQ(state["value"], HexLe32(1));
    EXPECT_EQ(std::stoi(state["queries"]) - std::stoi(before["queries"]), 1)
        << "no query of the word while it is cached; one read-back";
    EXPECT_EQ(LoadTriggerCache().word, 1u);
}

// ---- configuration ----

struct ModelCase {
    const char* name;
    const char* model;
    uint32_t a, b, c;
    // Expected model values, worked out by hand from the words.
    uint16_t s, countL;
    std::array<uint16_t, 4> listL;
    uint16_t m, countN;
    std::array<uint16_t, 4> listN;
    uint16_t p, f1, f2, f3, f4;
};

class NetConfig : public NetCommands, public ::testing::WithParamInterface<ModelCase> {
  protected:
    std::vector<uint8_t> Reply() { return FromHex(State("config")["bytes"]); }
};

TEST_P(NetConfig, RecordHoldsTheCommonFieldsAndTheModelsOptions) {
    const ModelCase& c = GetParam();
    char words[160];
    std::snprintf(words, sizeof words,
                  "--config-model %s --config-word-a %u --config-word-b %u --config-word-c %u",
                  c.model, c.a, c.b, c.c);
    Set(words);
    CameraConfig config;
    std::memset(&config, 0xAA, sizeof config);
    ASSERT_EQ(ZelIr_GetCameraConfig(handle(), &config), 1);
    const std::vector<uint8_t> reply = Reply();
    ASSERT_EQ(reply.size(), 256u);
    const auto* record = reinterpret_cast<const uint8_t*>(&config);
    const std::span<const uint8_t> recordBytes(record, sizeof config);
    using List = std::array<uint16_t, 4>;  // four 16-bit entries of the packed record

    // (record offset, reply offset, bytes) of every copied field.
    const std::vector<std::array<size_t, 3>> copies = {
        {0, 76, 16},  {16, 92, 16},  {32, 108, 16}, {48, 124, 16}, {64, 140, 16}, {80, 68, 4},
        {84, 72, 4},  {88, 60, 4},   {92, 36, 2},   {94, 38, 2},   {96, 40, 2},   {98, 42, 2},
        {100, 28, 2}, {102, 192, 2}, {104, 34, 2},  {106, 32, 2},  {108, 44, 2},  {110, 46, 2},
        {112, 48, 2}, {152, 52, 4},  {158, 172, 2}, {160, 174, 8}};
    for (const auto& [at, from, size] : copies) {
        EXPECT_EQ(std::memcmp(record + at, reply.data() + from, size), 0)
            << "record offset " << at << " from reply offset " << from;
    }
    for (size_t zero : {150, 151, 156, 157}) EXPECT_EQ(record[zero], 0) << "offset " << zero;
    for (size_t i = 168; i < 192; ++i) EXPECT_EQ(record[i], 0) << "offset " << i;

    EXPECT_EQ(config.optionS, c.s);
    EXPECT_EQ(config.countL, c.countL);
    EXPECT_EQ(Get<List>(recordBytes, 120), c.listL);
    EXPECT_EQ(config.optionM, c.m);
    EXPECT_EQ(config.countN, c.countN);
    EXPECT_EQ(Get<List>(recordBytes, 132), c.listN);
    EXPECT_EQ(config.optionP, c.p);
    EXPECT_EQ(config.flagF1, c.f1);
    EXPECT_EQ(config.valueF2, c.f2);
    EXPECT_EQ(config.flagF3, c.f3);
    EXPECT_EQ(config.flagF4, c.f4);
}

// One model a line, in the field order of ModelCase.
// clang-format off
INSTANTIATE_TEST_SUITE_P(
    Models, NetConfig,
    ::testing::Values(
        // A = 0xC6EB: A&3 = 3, m = 2, (A&0x60)>>5 = 3, bit 10 = 1, bits 14-15 = 3.
        ModelCase{"kolda", "KOLDA", 0xC6EB, 0, 0, 3, 4, {0, 1, 2, 3}, 4, 3, {2, 4, 8, 0}, 3, 1, 3, 0, 0},
        // B&1 = 1, (C&0xC)>>2 = 3, bit 13 of A = 1, bits 14-15 = 2.
        ModelCase{"mx204r", "MX204R", 0xA000, 0x3, 0xC, 1, 4, {0, 0, 0, 0}, 4, 1, {4, 0, 0, 0}, 3, 1, 2, 0, 0},
        // A = 0xC6FB: as KOLDA's word plus bit 9 = 1 (F3) and bit 4 = 1 (F4).
        ModelCase{"mx209r", "MX209R", 0xC6FB, 0, 0, 3, 4, {0, 1, 2, 3}, 4, 3, {2, 4, 8, 0}, 3, 1, 3, 1, 1},
        // B = 0xF: B&1 = 1, M = 4 << 1, (B&0xC)>>2 = 3; A bit 13 = 1.
        ModelCase{"qorden551k", "QORDEN551K", 0x2000, 0xF, 0, 1, 2, {0, 1, 0, 0}, 8, 2, {4, 8, 0, 0}, 3, 1, 0, 0, 0},
        ModelCase{"unknown", "KOLDA2", 0xFFFF, 0xFFFF, 0xFFFF, 0, 0, {0, 0, 0, 0}, 0, 0, {0, 0, 0, 0}, 0, 0, 0, 0, 0}),
    [](const auto& info) { return std::string(info.param.name); });
// clang-format on

// ---- array transfer ----

TEST_F(NetCommands, RejectedBlockStopsTheArrayWithItsShare) {
    Set("--reject-block 3");
    const std::vector<uint8_t> data = RandomBytes(5 * 512, 7);
    ProgressLog log;
    ZelIr_SetCommandCallback(handle(), ProgressLog::Record, &log);
    EXPECT_EQ(camera_->camera().TransmitArray(data.data(), 5 * 512, 1), 40u);
    EXPECT_EQ(log.calls, (ProgressLog::Calls{{1929, 20}, {1929, 40}}));
    // The rejected block was sent twice.
    EXPECT_EQ(Pick(State("transfer"), {"blocks", "rejected", "ended"}), (Values{"2", "2", "0"}));
    EXPECT_EQ(ZelIr_TransmitArray(handle(), data.data(), 5 * 512, 1), 0);
}

// ---- flash programming ----

TEST_F(NetCommands, FlashProgrammingPollsUntilTheTarget) {
    Set("--flash-polls 3 --flash-target 100");
    ProgressLog log;
    ZelIr_SetCommandCallback(handle(), ProgressLog::Record, &log);
    DebugCapture capture;
    const auto start = Clock::now();
    EXPECT_EQ(ZelIr_UpgradeFireware(handle(), 0x12345678, 100), 0);
    const double elapsed = MillisecondsSince(start);
    EXPECT_EQ(log.calls, (ProgressLog::Calls{{1927, 33}, {1927, 66}, {1927, 100}}));
    EXPECT_GT(elapsed, 3000.0) << "one poll a second";
    EXPECT_LT(elapsed, 4500.0);
    EXPECT_EQ(Pick(State("flash"), {"value", "polls"}), (Values{std::to_string(0x12345678), "3"}));
    EXPECT_EQ(Significant(capture), std::vector<std::string>{"ProgramFlash command successful\n"});
}

TEST_F(NetCommands, FlashProgrammingWithoutCallbackPollsUntilTheTimeLimit) {
    // The camera's own routine with a 0.7 s limit and a poll every 0.1 s instead of 180 s / 1 s.
    CGNetDevice& camera = camera_->camera();
    EXPECT_EQ(zelir::gige::ProgramFlash(*camera.Commands(), camera_->Target(), 1, 100, {},
                                        {700, 100, 1000}),
              0);
    const int polls = std::stoi(State("flash")["polls"]);
    EXPECT_GE(polls, 5);
    EXPECT_LE(polls, 7);
}

TEST_F(NetCommands, RejectedProgramCommandFailsAtOnce) {
    Set("--error-status 0x8001");
    DebugCapture capture;
    EXPECT_EQ(ZelIr_UpgradeFireware(handle(), 1, 100), -2);
    EXPECT_EQ(capture.CountOf("ProgramFlash command failed\n"), 1u);
    EXPECT_EQ(State("flash")["polls"], "0");
}

// ---- unacknowledged buffer ----

// A failed send part way is pinned on a fake stream (camera_settings_test).
TEST_F(NetCommands, BufferGoesOutIn496ByteBlocks) {
    const std::vector<uint8_t> data = RandomBytes(1100, 3);
    DebugCapture capture;
    ASSERT_EQ(zelir::gige::TransmitBuffer(camera_->camera(), data.data(), 1100, 9, 0), 1);
    EXPECT_EQ(Pick(State("buffer"), {"started", "ended", "errors", "type", "blocks", "hash"}),
              (Values{"1", "1", "0", "9", "3", Hash(data)}));
    EXPECT_EQ(Significant(capture),
              (std::vector<std::string>{
                  "       0:496 bytes\n", "   0x1f0:496 bytes\n", "   0x3e0:108 bytes\n",
                  "1100 bytes transfered in 0 seconds with 3 transactions, speed:infKiB/s\n"}));
}

}  // namespace
