#pragma once

// Bits 32 to 95 of the product of a 64-bit and a 32-bit factor, as two 32-bit halves. 64-bit
// targets have one multiply instruction for it through unsigned __int128; on 32-bit ones
// (wasm32) that type is a library call, so they take two 64-bit products instead.

#include <cstdint>

namespace vantrel_sim {

struct ProductBits {
    std::uint32_t high;    // bits 64 to 95
    std::uint32_t middle;  // bits 32 to 63
};

inline ProductBits product_bits(std::uint64_t a, std::uint32_t b) {
#if defined(__SIZEOF_INT128__) && UINTPTR_MAX > 0xFFFFFFFFu
    const unsigned __int128 product = static_cast<unsigned __int128>(a) * b;
    return {static_cast<std::uint32_t>(product >> 64), static_cast<std::uint32_t>(product >> 32)};
#else
    const std::uint64_t low = (a & 0xFFFFFFFFu) * b;
    const std::uint64_t above = (a >> 32) * b + (low >> 32);
    return {static_cast<std::uint32_t>(above >> 32), static_cast<std::uint32_t>(above)};
#endif
}

}  // namespace vantrel_sim
