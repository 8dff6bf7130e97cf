// The arithmetic library stands alone and prints nothing by itself; its diagnostic texts join
// the library's own debug output here, once, when the library is loaded.
#include "api/base_library/debug_output.h"
#include "imaging/arith/zelir_arith.h"

namespace {

const bool arithDebugLinked = [] {
    ZelIrArith::SetDebugOutput([](const char* text) { zelir::EmitDebugText(text); });
    return true;
}();

}  // namespace
