#pragma once

// Unevaluated sums of two doubles, hi + lo with |lo| <= ulp(hi)/2, for the rare arguments of
// sin and cos whose double result lies too close to a float rounding boundary. Only IEEE
// additions and multiplications, no fused multiply-add, so every platform gets the same bits.
// None of the values met there comes near overflow or underflow, where these would be inexact.

namespace vantrel_sim {

struct DoubleDouble {
    double hi = 0.0;
    double lo = 0.0;
};

// a + b exactly, given |a| >= |b| or a == 0.
inline DoubleDouble fast_two_sum(double a, double b) {
    const double s = a + b;
    return {s, b - (s - a)};
}

// a + b exactly, whatever their magnitudes.
inline DoubleDouble two_sum(double a, double b) {
    const double s = a + b;
    const double b_part = s - a;
    const double a_part = s - b_part;
    return {s, (a - a_part) + (b - b_part)};
}

// a as the sum of two halves of at most 26 significant bits each (Veltkamp).
inline DoubleDouble split(double a) {
    const double t = 0x1.0000002p27 * a;  // 2^27 + 1
    const double hi = t - (t - a);
    return {hi, a - hi};
}

// a * b exactly (Dekker): the halves' products are exact in double.
inline DoubleDouble two_product(double a, double b) {
    const double p = a * b;
    const DoubleDouble x = split(a);
    const DoubleDouble y = split(b);
    const double error = ((x.hi * y.hi - p) + x.hi * y.lo + x.lo * y.hi) + x.lo * y.lo;
    return {p, error};
}

// Relative error below 2^-102.
inline DoubleDouble operator*(DoubleDouble a, DoubleDouble b) {
    DoubleDouble p = two_product(a.hi, b.hi);
    p.lo += a.hi * b.lo + a.lo * b.hi;
    return fast_two_sum(p.hi, p.lo);
}

// Relative error below 2^-102 when a and b do not nearly cancel, as in a series whose terms
// shrink fast; no caller adds numbers that do.
inline DoubleDouble operator+(DoubleDouble a, DoubleDouble b) {
    DoubleDouble s = two_sum(a.hi, b.hi);
    s.lo += a.lo + b.lo;
    return fast_two_sum(s.hi, s.lo);
}

}  // namespace vantrel_sim
