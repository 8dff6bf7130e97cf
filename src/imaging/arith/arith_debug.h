// Diagnostic texts of the arithmetic library (see ZelIrArith::SetDebugOutput).
#pragma once

namespace zelir::arith {

// printf-style; the text should end in "\n".
void DebugPrint(const char* format, ...) __attribute__((format(printf, 1, 2)));

}  // namespace zelir::arith
