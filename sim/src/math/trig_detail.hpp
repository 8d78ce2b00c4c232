#pragma once

// The pieces of exact_sin and exact_cos, open to the tests and the exhaustive check.

#include <cstdint>
#include <optional>

#include "math/double_double.hpp"

namespace vantrel_sim::trig_detail {

// Below this magnitude (2^-12) sin x rounds to x and cos x to 1: x²/6 and x²/2 stay under
// half the gap between the floats there.
inline constexpr std::uint32_t TINY_BITS = 0x39800000u;

// |x| (2/pi) = 4n + quadrant + u with |u| about 1/2 at most: the argument in quarter turns,
// reduced.
struct QuarterTurns {
    unsigned quadrant = 0;
    DoubleDouble u;
};

// For the bits of a finite float of magnitude at least 2^-12, sign bit clear.
// Exact to 2^-126 for every float, by integer products with the bits of 2/pi.
QuarterTurns reduce(std::uint32_t magnitude_bits);
// In double, u to within 2^-52 relative (u.lo is 0); none for magnitudes from 2^16 on, or
// when |u| falls below 2^-14 and the error would grow.
std::optional<QuarterTurns> reduce_fast(std::uint32_t magnitude_bits);

// sin of (quadrant + u) quarter turns (so cos is one quadrant on), rounded to float: from a
// double polynomial in u.hi, none when its error bound leaves the rounding in doubt.
std::optional<float> fast_value(unsigned quadrant, const QuarterTurns& turns);

// The same from a double-double series (relative error below 2^-100 for exact u). `decided`
// is false when even that leaves the rounding in doubt; the exhaustive check finds no float
// argument where it does.
struct Rounding {
    float value = 0.0f;
    bool decided = false;
};
Rounding accurate_value(unsigned quadrant, const QuarterTurns& turns);

}  // namespace vantrel_sim::trig_detail
