#pragma once

#include <cstdint>

namespace vantrel_sim {

// A finite nonzero magnitude as significand × 10^exponent, the significand without
// trailing zeros: the fewest digits that read back as the same value and, among those,
// the ones closest to it (ties to an even last digit).
struct ShortestDigits {
    std::uint64_t significand = 0;
    int exponent = 0;
};

// Fast, for the thousands of floats of each snapshot.
ShortestDigits shortest_digits(float magnitude);
// Exact and slower, for the doubles that error messages name.
ShortestDigits shortest_digits(double magnitude);

}  // namespace vantrel_sim
