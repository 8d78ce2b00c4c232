// Correctly rounded hypot of floats.
//
// Squares of floats are exact in double and never overflow or underflow there, so
// sqrt(a² + b²) in double is within 2^-52 of the true result, nearly always far enough from a
// float rounding boundary. When it is not, the result is decided exactly: a² + b² against the
// square of the midpoint m between the two candidate floats. m has 25 bits, so m² is exact, and
// so is a² + b² - m² as shown below. A tie rounds to even.

#include <cmath>
#include <cstdint>
#include <limits>

#include "math/double_double.hpp"
#include "math/float_bits.hpp"
#include "math/trig.hpp"

namespace vantrel_sim {

namespace {

constexpr std::uint32_t INFINITY_BITS = 0x7f800000u;

// The value of a positive float's bits, taking those of infinity as 2^128: the number the next
// float up from the largest would have.
double value_of(std::uint32_t bits) {
    return bits == INFINITY_BITS ? 0x1p128 : static_cast<double>(float_from_bits(bits));
}

// r = sqrt(a² + b²) in double lies near the midpoint between the float nearest to it and the
// next one on its side.
float decide_at_midpoint(double a_squared, double b_squared, double r) {
    const std::uint32_t nearest = bits_of(static_cast<float>(r));
    const std::uint32_t other = r >= value_of(nearest) ? nearest + 1 : nearest - 1;
    const double midpoint = (value_of(nearest) + value_of(other)) * 0.5;
    const double midpoint_squared = midpoint * midpoint;
    // a² + b² = sum.hi + sum.lo exactly; sum.hi and m² lie within a factor of two, so their
    // difference is exact (Sterbenz), and adding sum.lo rounds but keeps the sign.
    const DoubleDouble sum = two_sum(a_squared, b_squared);
    const double excess = (sum.hi - midpoint_squared) + sum.lo;
    std::uint32_t chosen = 0;
    if (excess > 0.0) {
        chosen = nearest > other ? nearest : other;
    } else if (excess < 0.0) {
        chosen = nearest < other ? nearest : other;
    } else {
        chosen = nearest % 2 == 0 ? nearest : other;
    }
    return float_from_bits(chosen);
}

}  // namespace

float exact_hypot(float a, float b) {
    const std::uint32_t a_magnitude = bits_of(a) & 0x7fffffffu;
    const std::uint32_t b_magnitude = bits_of(b) & 0x7fffffffu;
    if (a_magnitude == INFINITY_BITS || b_magnitude == INFINITY_BITS) {
        return std::numeric_limits<float>::infinity();
    }
    if (a_magnitude > INFINITY_BITS || b_magnitude > INFINITY_BITS) {
        return std::numeric_limits<float>::quiet_NaN();
    }
    const double a_squared = static_cast<double>(a) * static_cast<double>(a);
    const double b_squared = static_cast<double>(b) * static_cast<double>(b);
    const double r = std::sqrt(a_squared + b_squared);
    // Two roundings of relative error 2^-53 each (the sum's halved by the root).
    const double margin = r * 0x1p-50;
    const auto low = static_cast<float>(r - margin);
    const auto high = static_cast<float>(r + margin);
    if (low == high) {
        return low;
    }
    return decide_at_midpoint(a_squared, b_squared, r);
}

}  // namespace vantrel_sim
