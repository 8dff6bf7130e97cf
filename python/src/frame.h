// One frame: its digit values (owned), the parameter line it came with, and the display
// mapping of its source on request.
#pragma once

#include <pybind11/numpy.h>
#include <pybind11/pybind11.h>
#include <pybind11/stl.h>
#include <zelir/zelir.h>

#include <array>
#include <cstdint>
#include <memory>
#include <optional>

#include "source.h"

namespace zelir_py {

inline constexpr size_t kParameterLineBytes = 100;
using ParameterLine = std::array<uint8_t, kParameterLineBytes>;

class Frame {
  public:
    Frame(std::shared_ptr<Source> source, py::array_t<uint16_t> digits, const ParameterLine& line,
          std::optional<int64_t> index);

    const py::array_t<uint16_t>& Digits() const { return digits_; }
    std::optional<int64_t> Index() const { return index_; }
    const ParameterLine& Line() const { return line_; }
    uint32_t Id() const;
    // The 8-bit picture (top row first) through the source's display mapping; `palette` and
    // `display` apply to this call only.
    py::array_t<uint8_t> Image(std::optional<int> palette, const py::object& display) const;
    // The picture through the palette: height x width x 3, red, green, blue.
    py::array_t<uint8_t> Rgb(std::optional<int> palette, const py::object& display) const;
    // Degrees Celsius per pixel (float32, H x W) with the source's radiometric constants and
    // object parameters as they stand; NaN where a digit value has no temperature.
    py::array_t<float> Celsius() const;

  private:
    std::shared_ptr<Source> source_;
    py::array_t<uint16_t> digits_;
    ParameterLine line_;
    std::optional<int64_t> index_;
};

// The current frame of `source` after a successful fetch, copied out.
std::shared_ptr<Frame> TakeFrame(const std::shared_ptr<Source>& source,
                                 std::optional<int64_t> index);

// A frame from the bytes a camera hands to its frame callback.
std::shared_ptr<Frame> MakeFrame(const std::shared_ptr<Source>& source, const uint16_t* pixels,
                                 uint32_t width, uint32_t height, const ParameterLine& line);

// The brightness/contrast type for a display argument: an int, or a name such as "clahe".
int DisplayType(const py::object& display);

void BindFrame(py::module_& module);

}  // namespace zelir_py
