// Synthetic thermal scene, rendered from a temperature map in degrees Celsius: a background
// gradient, a person near 34 C, a hot object going round, and a blackbody target whose
// temperature is set from outside (it can fill the whole view). Each pixel's object radiance,
// eps L(T) + (1 - eps) L(T_refl), seen through an atmosphere of transmission tau, becomes
// digits = R / (exp(B / T) - F) + O; then come per-pixel fixed-pattern gain and offset, temporal
// noise and a few dead and hot pixels, as 14-bit detector values.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace camsim {

// The emulated model's response: digits = r / (exp(b / T) - f) + o, T in kelvin.
struct ResponseConstants {
    double r = 0, b = 0, f = 0, o = 0;
    bool operator==(const ResponseConstants&) const = default;
};
// Constants of an emulated model; unknown models answer like "G003L".
ResponseConstants ModelResponse(const std::string& model);

struct SceneSettings {
    ResponseConstants response = ModelResponse("");
    float blackbodyCelsius = 35.0f;
    bool blackbodyFills = false;  // the target fills the whole view
    float emissivity = 1.0f;
    float reflectedCelsius = 20.0f;
    float transmission = 1.0f;
    float atmosphereCelsius = 20.0f;
    float noise = 2.0f;        // temporal noise, standard deviation in digit values
    bool fixedPattern = true;  // false: frames as a corrected camera delivers them
    bool operator==(const SceneSettings&) const = default;
};

class ThermalScene {
  public:
    static constexpr uint16_t kMaxValue = 16383;
    static constexpr uint16_t kHotValue = kMaxValue;
    static constexpr uint16_t kDeadValue = 0;

    ThermalScene(uint32_t width, uint32_t height, const SceneSettings& settings = {});

    uint32_t Width() const { return width_; }
    uint32_t Height() const { return height_; }
    const SceneSettings& Settings() const { return settings_; }
    // Rebuilds the fixed part of the scene when the settings differ.
    void Configure(const SceneSettings& settings);

    // Writes the whole frame for frame number n (row-major, width x height values).
    void Render(uint32_t n, std::span<uint16_t> out) const;
    // The object temperature at (x, y) in frame n, degrees Celsius.
    float TrueCelsius(uint32_t n, uint32_t x, uint32_t y) const;
    // The response to an object at `celsius` with the scene's emissivity and atmosphere, before
    // fixed pattern and noise.
    double IdealDigits(double celsius) const;

    // A uniform scene at digit `level`, seen through the same fixed-pattern gain and offset and
    // with the same bad pixels (no noise).
    void RenderUniform(float level, std::span<uint16_t> out) const;
    // The bad pixels, as indices into the frame.
    const std::vector<uint32_t>& DeadPixels() const { return dead_; }
    const std::vector<uint32_t>& HotPixels() const { return hot_; }

  private:
    float StaticCelsius(uint32_t x, uint32_t y) const;
    // The hot object of frame n: its centre and radius.
    struct Disc {
        float cx, cy, r;
    };
    Disc HotDisc(uint32_t n) const;
    bool InDisc(const Disc& d, uint32_t x, uint32_t y, float& celsius) const;
    uint16_t Detector(size_t i, double ideal, uint32_t n) const;

    uint32_t width_, height_;
    SceneSettings settings_;
    std::vector<float> staticDigits_;  // background, person, target through the response
    std::vector<float> gain_;
    std::vector<float> offset_;
    std::vector<uint32_t> dead_, hot_;
};

}  // namespace camsim
