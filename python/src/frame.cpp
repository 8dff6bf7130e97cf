#include "frame.h"

#include <cmath>
#include <cstring>
#include <map>
#include <string>
#include <utility>
#include <vector>

namespace zelir_py {
namespace {

constexpr int kPaletteCount = 9;
constexpr int kTypeCount = 15;  // what ZelIr_SetBrihgtContrastType accepts

const std::map<std::string, int>& DisplayNames() {
    static const std::map<std::string, int> names = {
        {"auto", 0},  {"linear", 1},  {"clahe", 3},     {"plateau", 4},
        {"mixed", 5}, {"retinex", 6}, {"bilateral", 7},
    };
    return names;
}

// Selects palette and display type for one mapping and puts the source's own back afterwards.
class DisplayOverride {
  public:
    DisplayOverride(Source& source, std::optional<int> palette, const py::object& display)
        : source_(source) {
        if (palette && (*palette < 0 || *palette >= kPaletteCount)) {
            throw py::value_error("palette takes 0..8");
        }
        const std::optional<int> type =
            display.is_none() ? std::nullopt : std::optional<int>(DisplayType(display));
        if (!palette && !type) return;  // the common case costs nothing
        source_.RunUnchecked([&](ZelIrHandle h) {
            oldPalette_ = ZelIr_GetCurrPalette(h, nullptr);
            oldType_ = ZelIr_GetBrihgtContrastType(h);
            if (palette) ZelIr_SetPalette(h, static_cast<uint32_t>(*palette), nullptr);
            if (type) ZelIr_SetBrihgtContrastType(h, *type);
            changedPalette_ = palette.has_value();
            changedType_ = type.has_value();
            return 0;
        });
    }
    ~DisplayOverride() {
        if (!changedPalette_ && !changedType_) return;
        try {
            source_.RunUnchecked([&](ZelIrHandle h) {
                if (changedPalette_) ZelIr_SetPalette(h, oldPalette_, nullptr);
                if (changedType_) ZelIr_SetBrihgtContrastType(h, oldType_);
                return 0;
            });
        } catch (const LibraryError&) {  // closed meanwhile: nothing to put back
        }
    }
    DisplayOverride(const DisplayOverride&) = delete;
    DisplayOverride& operator=(const DisplayOverride&) = delete;

  private:
    Source& source_;
    uint32_t oldPalette_ = 0;
    int32_t oldType_ = 0;
    bool changedPalette_ = false;
    bool changedType_ = false;
};

template <class T>
T LineValue(const ParameterLine& line, size_t offset) {
    T value;
    std::memcpy(&value, line.data() + offset, sizeof(T));
    return value;
}

std::string LineText(const ParameterLine& line, size_t offset, size_t size) {
    const char* text = reinterpret_cast<const char*>(line.data() + offset);
    return std::string(text, strnlen(text, size));
}

// The parameter-line fields a frame reports, by their place in the parameter block.
struct LineField {
    const char* name;
    size_t offset;
    py::object (*read)(const ParameterLine&, size_t);
};

template <class T>
py::object ReadNumber(const ParameterLine& line, size_t offset) {
    return py::int_(LineValue<T>(line, offset));
}

const LineField kLineFields[] = {
    {"frame_rate", offsetof(ZelIrParameterBlock, frameRate), ReadNumber<uint8_t>},
    {"ambient_temp", offsetof(ZelIrParameterBlock, ambientTemp), ReadNumber<uint16_t>},
    {"atmosphere_temp", offsetof(ZelIrParameterBlock, atmosphereTemp), ReadNumber<uint16_t>},
    {"vtemp", offsetof(ZelIrParameterBlock, vTemp), ReadNumber<uint16_t>},
    {"vtemp_fpa", offsetof(ZelIrParameterBlock, vTempFpa), ReadNumber<uint16_t>},
    {"integration_time", offsetof(ZelIrParameterBlock, integrationTime), ReadNumber<uint32_t>},
    {"frame_divider", offsetof(ZelIrParameterBlock, frameDivider), ReadNumber<uint16_t>},
    {"gain", offsetof(ZelIrParameterBlock, gain), ReadNumber<uint8_t>},
    {"bave", offsetof(ZelIrParameterBlock, bAve), ReadNumber<uint16_t>},
    {"gfid", offsetof(ZelIrParameterBlock, gfid), ReadNumber<uint16_t>},
    {"gsk", offsetof(ZelIrParameterBlock, gsk), ReadNumber<uint16_t>},
    {"bvt", offsetof(ZelIrParameterBlock, bvt), ReadNumber<uint16_t>},
    {"serial", offsetof(ZelIrParameterBlock, serialNumber),
     [](const ParameterLine& line, size_t offset) -> py::object {
         return py::str(LineText(line, offset, 8));
     }},
    {"model", offsetof(ZelIrParameterBlock, modelText),
     [](const ParameterLine& line, size_t offset) -> py::object {
         return py::str(LineText(line, offset, 8));
     }},
};

}  // namespace

int DisplayType(const py::object& display) {
    if (py::isinstance<py::str>(display)) {
        const auto name = display.cast<std::string>();
        const auto found = DisplayNames().find(name);
        if (found == DisplayNames().end()) {
            throw py::value_error("unknown display '" + name +
                                  "' (auto, linear, clahe, plateau, mixed, retinex, bilateral)");
        }
        return found->second;
    }
    const int type = display.cast<int>();
    if (type < 0 || type >= kTypeCount) throw py::value_error("display type takes 0..14");
    return type;
}

Frame::Frame(std::shared_ptr<Source> source, py::array_t<uint16_t> digits,
             const ParameterLine& line, std::optional<int64_t> index)
    : source_(std::move(source)), digits_(std::move(digits)), line_(line), index_(index) {}

uint32_t Frame::Id() const {
    return LineValue<uint32_t>(line_, offsetof(ZelIrParameterBlock, frameId));
}

py::array_t<uint8_t> Frame::Image(std::optional<int> palette, const py::object& display) const {
    const auto height = static_cast<size_t>(digits_.shape(0));
    const auto width = static_cast<size_t>(digits_.shape(1));
    py::array_t<uint8_t> image({height, width});
    DisplayOverride scope(*source_, palette, display);
    const uint16_t* digits = digits_.data();
    uint8_t* out = image.mutable_data();
    source_->RunChecked("display mapping", [&](ZelIrHandle h) {
        uint32_t w = 0, ht = 0;
        ZelIr_GetDigitArrayPara(h, &w, &ht);
        // The mapping takes its size from the source: a frame of another size cannot be mapped.
        if (w != width || ht != height) return 0;
        return ZelIr_DigitArrayToBmp(h, digits, out, 0, 1, nullptr);
    });
    return image;
}

py::array_t<uint8_t> Frame::Rgb(std::optional<int> palette, const py::object& display) const {
    std::array<uint8_t, 1024> table{};
    py::array_t<uint8_t> image;
    {
        DisplayOverride scope(*source_, palette, py::none());
        source_->RunUnchecked([&](ZelIrHandle h) { return ZelIr_GetCurrPalette(h, table.data()); });
        image = Image(std::nullopt, display);
    }
    const auto height = static_cast<size_t>(image.shape(0));
    const auto width = static_cast<size_t>(image.shape(1));
    py::array_t<uint8_t> rgb({height, width, size_t{3}});
    const uint8_t* levels = image.data();
    uint8_t* out = rgb.mutable_data();
    {
        py::gil_scoped_release release;
        for (size_t i = 0; i < height * width; ++i) {
            const uint8_t* entry = table.data() + 4 * size_t{levels[i]};  // blue, green, red, 0
            out[3 * i] = entry[2];
            out[3 * i + 1] = entry[1];
            out[3 * i + 2] = entry[0];
        }
    }
    return rgb;
}

py::array_t<float> Frame::Celsius() const {
    // One conversion per digit value, through the same calls as the C interface; the frame
    // may no longer be its source's current frame, so its own digits are looked up.
    std::vector<float> table(65536);
    source_->RunChecked("temperature conversion", [&](ZelIrHandle h) {
        bool any = false;
        for (size_t d = 0; d < table.size(); ++d) {
            table[d] = ZelIr_DigitToTemp(h, static_cast<uint16_t>(d));
            any = any || !std::isnan(table[d]);
        }
        return any ? 1 : 0;
    });
    const auto height = static_cast<size_t>(digits_.shape(0));
    const auto width = static_cast<size_t>(digits_.shape(1));
    py::array_t<float> celsius({height, width});
    const uint16_t* digits = digits_.data();
    float* out = celsius.mutable_data();
    {
        py::gil_scoped_release release;
        for (size_t i = 0; i < height * width; ++i) out[i] = table[digits[i]];
    }
    return celsius;
}

std::shared_ptr<Frame> MakeFrame(const std::shared_ptr<Source>& source, const uint16_t* pixels,
                                 uint32_t width, uint32_t height, const ParameterLine& line) {
    py::array_t<uint16_t> digits({size_t{height}, size_t{width}});
    std::memcpy(digits.mutable_data(), pixels, size_t{width} * height * sizeof(uint16_t));
    return std::make_shared<Frame>(source, std::move(digits), line, std::nullopt);
}

std::shared_ptr<Frame> TakeFrame(const std::shared_ptr<Source>& source,
                                 std::optional<int64_t> index) {
    py::array_t<uint16_t> digits({size_t{source->Height()}, size_t{source->Width()}});
    uint16_t* out = digits.mutable_data();
    ParameterLine line{};
    source->RunChecked("reading the frame", [&](ZelIrHandle h) {
        uint32_t w = 0, ht = 0;
        ZelIr_GetDigitArrayPara(h, &w, &ht);
        if (w != source->Width() || ht != source->Height()) return 0;
        void* block = nullptr;
        if (ZelIr_GetDeviceIRIParam(h, &block) == 1) std::memcpy(line.data(), block, line.size());
        return ZelIr_GetDigitArray(h, out, nullptr);
    });
    return std::make_shared<Frame>(source, std::move(digits), line, index);
}

void BindFrame(py::module_& module) {
    py::class_<Frame, std::shared_ptr<Frame>> frame(
        module, "Frame", "One frame of a source: digit values, parameter line, display mapping.");
    frame
        .def_property_readonly(
            "digits", &Frame::Digits,
            "Raw 16-bit detector values, height x width (numpy.uint16), owned by the frame.")
        .def_property_readonly("id", &Frame::Id, "Frame id from the camera's parameter line.")
        .def_property_readonly("index", &Frame::Index,
                               "Position in the movie (0 = first frame); None for a camera.")
        .def_property_readonly(
            "width", [](const Frame& f) { return f.Digits().shape(1); }, "Width in pixels.")
        .def_property_readonly(
            "height", [](const Frame& f) { return f.Digits().shape(0); }, "Height in pixels.")
        .def("image", &Frame::Image, py::arg("palette") = py::none(),
             py::arg("display") = py::none(),
             "The 8-bit picture (height x width, numpy.uint8, top row first) through the\n"
             "source's brightness/contrast mapping. `display` (a type 0..14 or a name: 'auto',\n"
             "'linear', 'clahe', 'plateau', 'mixed', 'retinex', 'bilateral') applies to this\n"
             "call only; `palette` (0..8) is checked but does not change the levels, so that\n"
             "image() and rgb() take the same arguments.")
        .def_property_readonly("celsius", &Frame::Celsius,
                               "Temperatures in degrees Celsius (float32, height x width) with "
                               "the source's radiometric constants; NaN where a value has none. "
                               "Raises zelir.Error when the source has no constants.")
        .def("rgb", &Frame::Rgb, py::arg("palette") = py::none(), py::arg("display") = py::none(),
             "The picture in colour: height x width x 3 (red, green, blue; numpy.uint8) through\n"
             "palette `palette` (default: the source's), mapped as image() maps it.")
        .def_property_readonly(
            "parameters",
            [](const Frame& f) {
                py::dict fields;
                fields["id"] = f.Id();
                for (const LineField& field : kLineFields) {
                    fields[field.name] = field.read(f.Line(), field.offset);
                }
                return fields;
            },
            "All parameter-line fields as a dict (also attributes of the frame).")
        .def("__repr__", [](const Frame& f) {
            return "<zelir.Frame id=" + std::to_string(f.Id()) + " " +
                   std::to_string(f.Digits().shape(1)) + "x" + std::to_string(f.Digits().shape(0)) +
                   ">";
        });
    for (const LineField& field : kLineFields) {
        frame.def_property_readonly(
            field.name, [field](const Frame& f) { return field.read(f.Line(), field.offset); },
            "Parameter-line field.");
    }
}

}  // namespace zelir_py
