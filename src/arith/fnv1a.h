// FNV-1a checksum of the files the library keeps in its data directory.
#pragma once

#include <cstddef>
#include <cstdint>

namespace zelir::arith {

inline constexpr std::uint32_t kFnv1aStart = 2166136261u;

inline std::uint32_t Fnv1a(std::uint32_t hash, const void* data, std::size_t bytes) {
    const auto* p = static_cast<const unsigned char*>(data);
    for (std::size_t i = 0; i < bytes; ++i) hash = (hash ^ p[i]) * 16777619u;
    return hash;
}

}  // namespace zelir::arith
