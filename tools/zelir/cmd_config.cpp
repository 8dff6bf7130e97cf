// zelir config PATH [--json]: the camera's configuration block, unpacked. Fields are named by
// where the camera's reply holds them; the model options follow the model text.
#include <cstddef>
#include <cstdio>
#include <cstring>
#include <nlohmann/json.hpp>
#include <string>

#include "commands.h"
#include "open_handle.h"

namespace zelir_cli {

namespace {

std::string Text(const char* field, size_t size) {
    std::string text(field, size);
    return text.substr(0, text.find('\0'));
}

// The record is packed: lists are copied out before use.
nlohmann::json List(const CameraConfig& c, size_t offset, uint16_t count) {
    uint16_t list[4] = {};
    std::memcpy(list, reinterpret_cast<const char*>(&c) + offset, sizeof list);
    nlohmann::json out = nlohmann::json::array();
    for (uint16_t i = 0; i < count && i < 4; ++i) out.push_back(list[i]);
    return out;
}

nlohmann::json Describe(const CameraConfig& c) {
    return {
        {"model", Text(c.model, sizeof c.model)},
        {"text", Text(c.text108, sizeof c.text108)},
        {"reply_word_68", uint32_t{c.wordB}},
        {"reply_word_72", uint32_t{c.wordC}},
        {"reply_word_60", uint32_t{c.word60}},
        {"reply_values",
         {{"28", uint16_t{c.value28}},
          {"32", uint16_t{c.value32}},
          {"34", uint16_t{c.value34}},
          {"36", uint16_t{c.value36}},
          {"38", uint16_t{c.value38}},
          {"40", uint16_t{c.value40}},
          {"42", uint16_t{c.value42}},
          {"44", uint16_t{c.value44}},
          {"46", uint16_t{c.value46}},
          {"48", uint16_t{c.value48}},
          {"172", uint16_t{c.value172}},
          {"192", uint16_t{c.value192}}}},
        {"reply_value_52", int32_t{c.value52}},
        {"log2_reply_value_58", uint16_t{c.log2Value58}},
        {"model_option_s", uint16_t{c.optionS}},
        {"model_list_l", List(c, offsetof(CameraConfig, listL), c.countL)},
        {"model_option_m", uint16_t{c.optionM}},
        {"model_list_n", List(c, offsetof(CameraConfig, listN), c.countN)},
        {"model_option_p", uint16_t{c.optionP}},
        {"model_flags",
         {uint16_t{c.flagF1}, uint16_t{c.valueF2}, uint16_t{c.flagF3}, uint16_t{c.flagF4}}},
    };
}

std::string Words(const nlohmann::json& list) {
    std::string text;
    for (const auto& v : list) text += (text.empty() ? "" : " ") + v.dump();
    return text.empty() ? "-" : text;
}

void PrintText(const nlohmann::json& d) {
    const auto& values = d["reply_values"];
    std::printf("model:                %s\n", d["model"].get<std::string>().c_str());
    std::printf("text:                 %s\n", d["text"].get<std::string>().c_str());
    std::printf("reply words 68, 72:   0x%08x 0x%08x\n", d["reply_word_68"].get<unsigned>(),
                d["reply_word_72"].get<unsigned>());
    std::printf("reply word 60:        0x%08x\n", d["reply_word_60"].get<unsigned>());
    std::string list;
    for (const char* key : {"28", "32", "34", "36", "38", "40", "42", "44", "46", "48"}) {
        list += std::string(list.empty() ? "" : " ") + values[key].dump();
    }
    std::printf("reply values 28..48:  %s\n", list.c_str());
    std::printf("reply values 172, 192: %s %s\n", values["172"].dump().c_str(),
                values["192"].dump().c_str());
    std::printf("reply value 52:       %d\n", d["reply_value_52"].get<int>());
    std::printf("log2 reply value 58:  %u\n", d["log2_reply_value_58"].get<unsigned>());
    std::printf("model option S:       %u\n", d["model_option_s"].get<unsigned>());
    std::printf("model list L:         %s\n", Words(d["model_list_l"]).c_str());
    std::printf("model option M:       %u\n", d["model_option_m"].get<unsigned>());
    std::printf("model list N:         %s\n", Words(d["model_list_n"]).c_str());
    std::printf("model option P:       %u\n", d["model_option_p"].get<unsigned>());
    std::printf("model flags F1..F4:   %s\n", Words(d["model_flags"]).c_str());
}

}  // namespace

int RunConfig(const Args& args) {
    if (!CheckUsage(args, "config", 1, 1, {"json"})) return kExitUsage;
    Handle handle = OpenCamera(args.Positional()[0]);
    if (!handle) return kExitFailure;
    CameraConfig c{};
    if (ZelIr_GetCameraConfig(handle.get(), &c) != 1) {
        return Fail(kExitFailure,
                    "the camera did not send its configuration (zelir get works? "
                    "then its firmware does not answer this query)");
    }
    const nlohmann::json d = Describe(c);
    if (args.Has("json")) {
        std::printf("%s\n", d.dump(2).c_str());
    } else {
        PrintText(d);
    }
    return kExitOk;
}

}  // namespace zelir_cli
