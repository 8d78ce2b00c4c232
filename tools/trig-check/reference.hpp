#pragma once

// Correctly rounded float results and the constants behind the simulation's sin and cos,
// computed with MPFR. Only the checks use this; the libraries never link MPFR.

#include <cstdint>
#include <vector>

namespace vantrel_reference {

float reference_sin(float x);
float reference_cos(float x);
float reference_hypot(float a, float b);

// How close the exact sin (cos) of x lies to a midpoint between two floats: log2 of the
// distance in units of the gap between the floats on either side of it (-1 is halfway between
// a float and a midpoint; -30 is 2^-30 of the gap away from a midpoint).
double sin_midpoint_closeness(float x);
double cos_midpoint_closeness(float x);

// The first 64 * count bits of 2/π after the binary point, most significant first.
std::vector<std::uint64_t> two_over_pi_words(int count);

struct DoublePair {
    double hi;
    double lo;
};

// 2/π as head + tail: the head rounded to head_bits significant bits, the tail the double
// nearest to the rest.
DoublePair two_over_pi_split(int head_bits);

// The Taylor coefficient of u^n in sin(πu/2) (n odd) or cos(πu/2) (n even): ±(π/2)^n / n!,
// as the nearest double and as an unevaluated sum of two doubles.
double quarter_turn_coefficient(int n);
DoublePair quarter_turn_coefficient_pair(int n);

// Double coefficients of p with sin(πu/2) ≈ u p(u²) (sine) or cos(πu/2) ≈ p(u²) for
// |u| <= reach, near the best of their degree: the function's Chebyshev series in u², cut
// after `count` terms and rounded. The bound on the relative error counts the terms cut and
// the rounding of the coefficients, not the evaluation.
struct Fit {
    std::vector<double> coefficients;
    double relative_error_bound;
};
Fit quarter_turn_fit(bool sine, int count, double reach);

}  // namespace vantrel_reference
