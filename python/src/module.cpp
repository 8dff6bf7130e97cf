// The extension module zelir._zelir; the package zelir (__init__.py) presents it.
#include <pybind11/pybind11.h>
#include <pybind11/stl.h>
#include <zelir/zelir.h>

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <string>
#include <vector>

#include "debug_messages.h"
#include "frame.h"
#include "source.h"

namespace zelir_py {
namespace {

constexpr uint32_t kDiscoverGige = 8;
constexpr uint32_t kCachedList = 0x1000000;

// A zero-terminated UTF-16 field of the packed record.
py::object FieldText(const DeviceInfo& record, size_t offset, size_t chars) {
    std::u16string text(chars, u'\0');
    std::memcpy(text.data(), reinterpret_cast<const uint8_t*>(&record) + offset, chars * 2);
    text.resize(std::min(text.find(u'\0'), chars));
    return py::cast(text);
}

// One tuple per camera: index, path, address, host address, serial, name, width, height.
py::list Discover() {
    CollectDebugMessages();
    std::vector<DeviceInfo> records;
    {
        py::gil_scoped_release release;
        int32_t count = 0;
        ZelIr_Init();
        ZelIr_EnumerateDevices(nullptr, &count, kDiscoverGige);
        records.resize(static_cast<size_t>(count));
        if (count > 0) ZelIr_EnumerateDevices(records.data(), &count, kCachedList);
        records.resize(static_cast<size_t>(count));
    }
    py::list cameras;
    for (size_t i = 0; i < records.size(); ++i) {
        const DeviceInfo& r = records[i];
        const auto text = [&r](size_t offset) { return FieldText(r, offset, 16); };
        cameras.append(py::make_tuple(
            i, FieldText(r, offsetof(DeviceInfo, connectionPath), 32),
            text(offsetof(DeviceInfo, address)), text(offsetof(DeviceInfo, hostAddress)),
            text(offsetof(DeviceInfo, serial)), text(offsetof(DeviceInfo, name)),
            static_cast<uint16_t>(r.width), static_cast<uint16_t>(r.height)));
    }
    return cameras;
}

}  // namespace
}  // namespace zelir_py

PYBIND11_MODULE(_zelir, module) {
    using namespace zelir_py;
    module.doc() = "The C interface of libzelir.so for Python (see the package zelir).";
    py::register_exception<LibraryError>(module, "Error", PyExc_RuntimeError);
    module.def("_discover", &Discover,
               "Discovery on every adapter: (index, path, address, host_address, serial, name,\n"
               "width, height) per camera.");
    BindFrame(module);
    BindSource(module);
}
