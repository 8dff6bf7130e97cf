// Camera settings with read-back, the trigger, the configuration block, calibration, recording
// and the display settings, as properties and methods of zelir.Source.
#include <pybind11/stl.h>

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstring>
#include <string>

#include "frame.h"
#include "source.h"

namespace zelir_py {
namespace {

using SourceClass = py::class_<Source, std::shared_ptr<Source>>;
using WordGetter = int32_t (*)(ZelIrHandle, void*, int32_t*);
using WordSetter = int32_t (*)(ZelIrHandle, uint32_t);
using TripleGetter = int32_t (*)(ZelIrHandle, uint32_t*, uint32_t*);

constexpr size_t kAnswerBytes = 32;

// A setting whose getter copies the camera's answer (the current value is its first word).
void BindWordSetting(SourceClass& source, const char* name, const char* doc, WordGetter get,
                     WordSetter set) {
    source.def_property(
        name,
        [get, name](Source& s) {
            s.RequireCamera(name);
            std::array<uint8_t, kAnswerBytes> answer{};
            s.RunChecked(name, [&](ZelIrHandle h) {
                int32_t length = static_cast<int32_t>(answer.size());
                return get(h, answer.data(), &length);
            });
            uint32_t value = 0;
            std::memcpy(&value, answer.data(), sizeof(value));
            return value;
        },
        [set, name](Source& s, uint32_t value) {
            s.RequireCamera(name);
            s.RunChecked(name, [&](ZelIrHandle h) { return set(h, value); });
        },
        doc);
}

// The trigger bits: the getter reports {bit, 0, 1}.
void BindTriggerSetting(SourceClass& source, const char* name, const char* doc, TripleGetter get,
                        WordSetter set) {
    source.def_property(
        name,
        [get, name](Source& s) {
            s.RequireCamera(name);
            std::array<uint32_t, 3> values{};
            s.RunChecked(name, [&](ZelIrHandle h) {
                uint32_t length = sizeof(values);
                return get(h, values.data(), &length);
            });
            return values[0];
        },
        [set, name](Source& s, uint32_t value) {
            s.RequireCamera(name);
            s.RunChecked(name, [&](ZelIrHandle h) { return set(h, value); });
        },
        doc);
}

// One of the option lists (four 16-bit values in the packed record) cut to its count.
py::list OptionList(const CameraConfig& config, size_t offset, size_t count) {
    std::array<uint16_t, 4> list{};
    std::memcpy(list.data(), reinterpret_cast<const uint8_t*>(&config) + offset, sizeof(list));
    py::list values;
    for (size_t i = 0; i < std::min(list.size(), count); ++i) values.append(list[i]);
    return values;
}

py::dict ConfigDict(const CameraConfig& c) {
    py::dict d;
    d["model"] = std::string(c.model, strnlen(c.model, sizeof(c.model)));
    d["text108"] = std::string(c.text108, strnlen(c.text108, sizeof(c.text108)));
    d["word_b"] = c.wordB;
    d["word_c"] = c.wordC;
    d["word60"] = c.word60;
    const std::pair<const char*, uint16_t> words[] = {
        {"value36", c.value36},  {"value38", c.value38},   {"value40", c.value40},
        {"value42", c.value42},  {"value28", c.value28},   {"value192", c.value192},
        {"value34", c.value34},  {"value32", c.value32},   {"value44", c.value44},
        {"value46", c.value46},  {"value48", c.value48},   {"log2_value58", c.log2Value58},
        {"option_s", c.optionS}, {"option_m", c.optionM},  {"option_p", c.optionP},
        {"flag_f1", c.flagF1},   {"value_f2", c.valueF2},  {"flag_f3", c.flagF3},
        {"flag_f4", c.flagF4},   {"value172", c.value172},
    };
    for (const auto& [name, value] : words) d[name] = value;
    d["list_l"] = OptionList(c, offsetof(CameraConfig, listL), c.countL);
    d["list_n"] = OptionList(c, offsetof(CameraConfig, listN), c.countN);
    d["value52"] = c.value52;
    return d;
}

void BindDisplay(SourceClass& source) {
    source
        .def_property(
            "palette",
            [](Source& s) {
                return s.RunUnchecked(
                    [](ZelIrHandle h) { return ZelIr_GetCurrPalette(h, nullptr); });
            },
            [](Source& s, int index) {
                if (index < 0 || index > 8) throw py::value_error("palette takes 0..8");
                s.RunChecked("palette", [&](ZelIrHandle h) {
                    return ZelIr_SetPalette(h, static_cast<uint32_t>(index), nullptr);
                });
            },
            "Palette index 0..8 (0 grey, 1 ironbow, ...); stored in para.ini at close.")
        .def_property_readonly(
            "palette_table",
            [](Source& s) {
                std::array<uint8_t, 1024> table{};
                s.RunUnchecked(
                    [&](ZelIrHandle h) { return ZelIr_GetCurrPalette(h, table.data()); });
                py::array_t<uint8_t> rgb({size_t{256}, size_t{3}});
                for (size_t i = 0; i < 256; ++i) {
                    for (size_t c = 0; c < 3; ++c) rgb.mutable_at(i, c) = table[4 * i + 2 - c];
                }
                return rgb;
            },
            "The current palette: 256 x 3 (red, green, blue; numpy.uint8), one row per level.")
        .def_property(
            "display", [](Source& s) { return s.RunUnchecked(ZelIr_GetBrihgtContrastType); },
            [](Source& s, const py::object& display) {
                const int type = DisplayType(display);
                s.RunChecked("display",
                             [&](ZelIrHandle h) { return ZelIr_SetBrihgtContrastType(h, type); });
            },
            "Brightness/contrast type: 0..14 or a name ('auto', 'linear', 'clahe', 'plateau',\n"
            "'mixed', 'retinex', 'bilateral'); reads back as the number.")
        .def_property(
            "brightness", [](Source& s) { return s.RunUnchecked(ZelIr_GetCurrBright); },
            [](Source& s, int value) {
                s.RunChecked("brightness",
                             [&](ZelIrHandle h) { return ZelIr_SetCurrBright(h, value); });
            },
            "Brightness 0..100 (50 neutral) of the manual mappings.")
        .def_property(
            "contrast", [](Source& s) { return s.RunUnchecked(ZelIr_GetCurrContrast); },
            [](Source& s, int value) {
                s.RunChecked("contrast",
                             [&](ZelIrHandle h) { return ZelIr_SetCurrContrast(h, value); });
            },
            "Contrast 0..100 (50 neutral) of the manual mappings.");
}

void BindCalibrationAndRecording(SourceClass& source) {
    source
        .def(
            "calibrate_low", [](Source& s) { s.RunChecked("calibrate_low", ZelIr_CalibrateP1); },
            "Two-point calibration, first point: the next fetched frame is the cold scene.")
        .def(
            "calibrate_high", [](Source& s) { s.RunChecked("calibrate_high", ZelIr_CalibrateP2); },
            "Two-point calibration, second point: the next fetched frame is the warm scene.")
        .def(
            "calibration_reset",
            [](Source& s) { s.RunChecked("calibration_reset", ZelIr_CalibrateReset); },
            "Returns the channel to no correction and deletes its file.")
        .def(
            "calibrate_from_files",
            [](Source& s, const std::string& low, const std::string& high) {
                const auto wideLow = py::str(low).cast<std::wstring>();
                const auto wideHigh = py::str(high).cast<std::wstring>();
                s.RunChecked("calibrate_from_files", [&](ZelIrHandle h) {
                    return ZelIr_ReadDataCalcK(h, wideLow.c_str(), wideHigh.c_str());
                });
            },
            py::arg("low"), py::arg("high"),
            "Two-point calibration from two raw images of the source's size.")
        .def_property(
            "calibration_channel",
            [](Source& s) { return s.RunUnchecked(ZelIr_CalibrateGetCurrChan); },
            [](Source& s, int channel) {
                s.RunChecked("calibration_channel",
                             [&](ZelIrHandle h) { return ZelIr_CalibrateSetCurrChan(h, channel); });
            },
            "Coefficient set 0..7 in use; each is kept per camera serial in the data folder.")
        .def_property(
            "correction", [](Source& s) { return s.RunUnchecked(ZelIr_DebugGet) != 0; },
            [](Source& s, bool on) {
                s.RunUnchecked([&](ZelIrHandle h) { return ZelIr_DebugSet(h, on ? 1 : 0); });
            },
            "True when fetched frames get gain, offset and bad-pixel correction.")
        .def(
            "start_recording",
            [](Source& s, const std::string& path) {
                const auto wide = py::str(path).cast<std::wstring>();
                // 0 means started here (and for a source that cannot record, hence the check).
                s.RunChecked("start_recording", [&](ZelIrHandle h) {
                    return ZelIr_StartRecordMovie(h, wide.c_str()) == 0 &&
                           ZelIr_IsRecordingMovie(h) == 1;
                });
            },
            py::arg("path"), "Starts a raw movie: every frame fetched from now on goes into it.")
        .def(
            "stop_recording",
            [](Source& s) {
                s.RunChecked("stop_recording", [](ZelIrHandle h) {
                    if (ZelIr_IsRecordingMovie(h) != 1) return false;
                    ZelIr_StopRecordMovie(h);
                    return true;
                });
            },
            "Finishes the movie; zelir.Error when none is being recorded.")
        .def_property_readonly(
            "recording", [](Source& s) { return s.RunUnchecked(ZelIr_IsRecordingMovie) == 1; },
            "True while a movie is being recorded.");
}

}  // namespace

void BindCameraControls(SourceClass& source) {
    BindDisplay(source);
    BindCalibrationAndRecording(source);
    source.def_property(
        "frame_rate",
        [](Source& s) {
            s.RequireCamera("frame_rate");
            std::array<float, 3> values{};
            s.RunChecked("frame_rate",
                         [&](ZelIrHandle h) { return ZelIr_GetFrameFreq(h, values.data()); });
            return values[0];
        },
        [](Source& s, float value) {
            s.RequireCamera("frame_rate");
            s.RunChecked("frame_rate", [&](ZelIrHandle h) { return ZelIr_SetFrameFreq(h, value); });
        },
        "Frame frequency in frames per second; setting it waits for the camera to confirm.");
    source.def_property(
        "exposure_time",
        [](Source& s) {
            s.RequireCamera("exposure_time");
            std::array<uint32_t, 3> values{};
            s.RunChecked("exposure_time",
                         [&](ZelIrHandle h) { return ZelIr_GetExposureTime(h, values.data()); });
            return values[0];
        },
        [](Source& s, uint32_t value) {
            s.RequireCamera("exposure_time");
            s.RunChecked("exposure_time",
                         [&](ZelIrHandle h) { return ZelIr_SetExposureTime(h, value); });
        },
        "Exposure time; setting it waits for the camera to confirm.");
    BindWordSetting(source, "exposure_mode", "Exposure mode (read back from the camera).",
                    ZelIr_GetExposureMode, ZelIr_SetExposureMode);
    BindWordSetting(source, "gain", "Gain (read back from the camera).", ZelIr_GetGain,
                    ZelIr_SetGain);
    BindWordSetting(source, "pixel_format", "Pixel format (read back from the camera).",
                    ZelIr_GetPixelFormat, ZelIr_SetPixelFormat);
    BindWordSetting(source, "flip", "Flip direction (read back from the camera).", ZelIr_GetFlipDir,
                    ZelIr_SetFlipDir);
    BindTriggerSetting(source, "trigger_mode", "Trigger mode: 0 free running, 1 triggered.",
                       ZelIr_GetTriggerMode, ZelIr_SetTriggerMode);
    BindTriggerSetting(source, "trigger_source", "Trigger source: 0 software, 1 external.",
                       ZelIr_GetTriggerSource, ZelIr_SetTriggerSource);
    source.def(
        "soft_trigger",
        [](Source& s) {
            s.RequireCamera("soft_trigger");
            s.RunChecked("soft_trigger", ZelIr_SetSoftTrigger);
        },
        "One software trigger pulse (in trigger mode with trigger source 0).");
    source.def_property_readonly(
        "config",
        [](Source& s) {
            s.RequireCamera("config");
            CameraConfig config{};
            s.RunChecked("config",
                         [&](ZelIrHandle h) { return ZelIr_GetCameraConfig(h, &config); });
            return ConfigDict(config);
        },
        "The camera's configuration block as a dict (model text, words, option lists).");
    source.def(
        "on_frame", &Source::SetFrameCallback, py::arg("callback"),
        "Calls callback(frame) for every frame of the camera, on a thread of the package that\n"
        "holds the GIL only for the call; a frame that arrives while the callback still runs\n"
        "replaces any older one not yet delivered. None removes it. While it is set, frames()\n"
        "gets nothing.");
}

}  // namespace zelir_py
