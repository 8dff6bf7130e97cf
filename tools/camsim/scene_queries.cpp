#include "scene_queries.h"

#include <cstdio>
#include <cstdlib>
#include <memory>

namespace camsim {
namespace {

bool ToIndex(const std::string& text, unsigned long limit, uint32_t& out) {
    if (text.empty()) return false;
    char* end = nullptr;
    const unsigned long v = std::strtoul(text.c_str(), &end, 10);
    if (*end != '\0' || v >= limit) return false;
    out = static_cast<uint32_t>(v);
    return true;
}

std::string Truth(const std::vector<std::string>& words, const Options& o) {
    uint32_t x = 0, y = 0, frame = 0;
    if (words.size() < 3 || words.size() > 4 || !ToIndex(words[1], o.width, x) ||
        !ToIndex(words[2], o.height, y) ||
        (words.size() == 4 && !ToIndex(words[3], 0xFFFFFFFFul, frame))) {
        return "error: truth X Y [FRAME] with X, Y inside the frame";
    }
    // Kept between questions: a test asks about many pixels of one frame.
    static std::unique_ptr<ThermalScene> scene;
    if (!scene || scene->Width() != o.width || scene->Height() != o.height) {
        scene = std::make_unique<ThermalScene>(o.width, o.height, SceneSettingsFrom(o));
    }
    scene->Configure(SceneSettingsFrom(o));
    char text[64];
    std::snprintf(text, sizeof text, "celsius=%.4f", scene->TrueCelsius(frame, x, y));
    return text;
}

}  // namespace

SceneSettings SceneSettingsFrom(const Options& o) {
    SceneSettings s;
    s.response = ModelResponse(o.model);
    s.blackbodyCelsius = o.blackbodyCelsius;
    s.blackbodyFills = o.blackbodyView;
    s.emissivity = o.emissivity;
    s.reflectedCelsius = o.reflectedCelsius;
    s.transmission = o.transmission;
    s.atmosphereCelsius = o.atmosphereCelsius;
    s.noise = o.noise;
    return s;
}

std::string AnswerSceneQuery(const std::vector<std::string>& words, const Options& o) {
    if (words.empty()) return {};
    if (words[0] == "truth") return Truth(words, o);
    if (words.size() == 1 && words[0] == "radiometry") {
        const ResponseConstants c = ModelResponse(o.model);
        char text[128];
        std::snprintf(text, sizeof text, "r=%.6g b=%.6g f=%.6g o=%.6g", c.r, c.b, c.f, c.o);
        return text;
    }
    return {};
}

}  // namespace camsim
