// Hot pixel loops are compiled twice, for the baseline instruction set and for AVX2, and the
// loader picks the one the processor runs (GCC function multiversioning). Elsewhere, and in
// sanitizer builds (the clones' resolvers run before a sanitizer's runtime is up): baseline.
#pragma once

#if defined(__x86_64__) && defined(__GNUC__) && !defined(__clang__) && \
    !defined(__SANITIZE_ADDRESS__) && !defined(ZELIR_SINGLE_CODE_PATH)
#define ZELIR_PIXEL_LOOP __attribute__((target_clones("arch=x86-64-v4", "avx2", "default")))
#else
#define ZELIR_PIXEL_LOOP
#endif
