#pragma once

// The bits of floats and doubles and back. memcpy rather than std::bit_cast, which not every
// standard library the project is built with provides (Emscripten's, for one).

#include <cstdint>
#include <cstring>

namespace vantrel_sim {

inline std::uint32_t bits_of(float value) {
    std::uint32_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    return bits;
}

inline float float_from_bits(std::uint32_t bits) {
    float value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

inline std::uint64_t bits_of(double value) {
    std::uint64_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    return bits;
}

inline double double_from_bits(std::uint64_t bits) {
    double value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

}  // namespace vantrel_sim
