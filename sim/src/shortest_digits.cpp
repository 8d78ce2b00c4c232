#include "shortest_digits.hpp"

#include <array>
#include <cstring>

#include "big_integer.hpp"
#include "math/wide_product.hpp"

namespace vantrel_sim {
namespace {

// floor(log10(2^e)), floor(log10(3/4 · 2^e)) and floor(log2(10^e)) for |e| below 1100.
constexpr int floor_log10_pow2(int e) { return (e * 1262611) >> 22; }
constexpr int floor_log10_three_quarters_pow2(int e) { return (e * 1262611 - 524031) >> 22; }
constexpr int floor_log2_pow10(int e) { return (e * 1741647) >> 19; }

// 10^k scaled into [2^63, 2^64) and rounded up: floor(10^k · 2^(63 - floor(log2 10^k))) + 1.
constexpr std::uint64_t normalised_power_of_ten(int k) {
    BigInteger power(1);
    power.multiply_power_of_ten(k < 0 ? -k : k);
    const int length = power.bit_length();
    if (k >= 0 && length <= 64) return (power.low_bits() << (64 - length)) + 1;
    BigInteger dividend(1);
    BigInteger divisor(1);
    if (k >= 0) {
        dividend = power;
        divisor.shift_left(length - 64);
    } else {
        dividend.shift_left(63 + length);
        divisor = power;
    }
    return divide_short_quotient(dividend, divisor, 64) + 1;
}

// The powers that the decimal exponents of floats need.
constexpr int MIN_POWER = -31;
constexpr int MAX_POWER = 45;
constexpr auto POWERS_OF_TEN = [] {
    std::array<std::uint64_t, MAX_POWER - MIN_POWER + 1> table{};
    for (int k = MIN_POWER; k <= MAX_POWER; ++k) {
        table[static_cast<std::size_t>(k - MIN_POWER)] = normalised_power_of_ten(k);
    }
    return table;
}();

// The high 32 bits of the 96-bit product g · cp, rounded to odd by the bits below.
std::uint32_t round_to_odd(std::uint64_t g, std::uint32_t cp) {
    const ProductBits product = product_bits(g, cp);
    return product.high | (product.middle > 1 ? 1u : 0u);
}

// In the significand's own width: a float's nine digits at most take cheaper 32-bit steps.
template <typename Unsigned>
ShortestDigits without_trailing_zeros(Unsigned significand, int exponent) {
    while (significand != 0 && significand % 10 == 0) {
        significand /= 10;
        ++exponent;
    }
    return {significand, exponent};
}

int bit_length(std::uint64_t value) {
    int bits = 0;
    for (; value != 0; value >>= 1) ++bits;
    return bits;
}

// Whether a distance reaches a bound: a midpoint between two neighbours counts as reached
// when the significand is even, since reading rounds ties to even.
bool reaches(const BigInteger& value, const BigInteger& bound, bool even) {
    const int order = compare(value, bound);
    return even ? order >= 0 : order > 0;
}

}  // namespace

// Schubfach (R. Giulietti): the value and the midpoints to its neighbours, scaled by a
// power of ten to four times about nine digits, are each one 64x32-bit product rounded to
// odd; of the candidates one digit shorter and at full length, the one inside is taken.
ShortestDigits shortest_digits(float magnitude) {
    std::uint32_t bits = 0;
    std::memcpy(&bits, &magnitude, sizeof bits);
    const std::uint32_t fraction = bits & 0x7FFFFFu;
    const auto biased = static_cast<int>(bits >> 23 & 0xFFu);
    if (fraction == 0 && biased == 0) return {};
    std::uint32_t c = fraction;
    int q = -149;
    if (biased != 0) {
        c = fraction | 0x800000u;
        q = biased - 150;
    }
    const bool even = (c & 1u) == 0;
    const bool lower_closer = fraction == 0 && biased > 1;
    const std::uint32_t cbl = 4 * c - 2 + (lower_closer ? 1u : 0u);
    const std::uint32_t cb = 4 * c;
    const std::uint32_t cbr = 4 * c + 2;
    const int k = lower_closer ? floor_log10_three_quarters_pow2(q) : floor_log10_pow2(q);
    const int h = q + floor_log2_pow10(-k) + 1;
    const std::uint64_t g = POWERS_OF_TEN[static_cast<std::size_t>(-k - MIN_POWER)];
    const std::uint32_t vbl = round_to_odd(g, cbl << h);
    const std::uint32_t vb = round_to_odd(g, cb << h);
    const std::uint32_t vbr = round_to_odd(g, cbr << h);
    const std::uint32_t lower = vbl + (even ? 0u : 1u);
    const std::uint32_t upper = vbr - (even ? 0u : 1u);
    const std::uint32_t s = vb / 4;
    if (s >= 10) {
        const std::uint32_t shorter = s / 10;
        const bool down_inside = lower <= 40 * shorter;
        const bool up_inside = 40 * shorter + 40 <= upper;
        if (down_inside != up_inside) {
            return without_trailing_zeros(shorter + (up_inside ? 1u : 0u), k + 1);
        }
    }
    const bool down_inside = lower <= 4 * s;
    const bool up_inside = 4 * s + 4 <= upper;
    if (down_inside != up_inside) return without_trailing_zeros(s + (up_inside ? 1u : 0u), k);
    const std::uint32_t middle = 4 * s + 2;
    const bool round_up = vb > middle || (vb == middle && (s & 1u) != 0);
    return without_trailing_zeros(s + (round_up ? 1u : 0u), k);
}

// Exact digit generation (Steele and White, with Burger and Dybvig's free format): value,
// and the distances to the midpoints between it and its neighbours, as big integers over
// a common denominator; digits are produced until the rest lies within reach of a midpoint.
ShortestDigits shortest_digits(double magnitude) {
    std::uint64_t bits = 0;
    std::memcpy(&bits, &magnitude, sizeof bits);
    const std::uint64_t fraction = bits & ((std::uint64_t{1} << 52) - 1);
    const auto biased = static_cast<int>(bits >> 52 & 0x7FFu);
    if (fraction == 0 && biased == 0) return {};
    const std::uint64_t f = biased != 0 ? fraction | std::uint64_t{1} << 52 : fraction;
    const int e = biased != 0 ? biased - 1075 : -1074;
    const bool even = (f & 1u) == 0;
    // The gap below a power of two is half the gap above it.
    const int gap_ratio_log = fraction == 0 && biased > 1 ? 1 : 0;
    const int above = e > 0 ? e : 0;
    const int below = e < 0 ? -e : 0;
    BigInteger rest(f);  // value = rest / scale
    rest.shift_left(1 + gap_ratio_log + above);
    BigInteger scale(1);
    scale.shift_left(1 + gap_ratio_log + below);
    BigInteger low(1);  // distance to the lower midpoint, over scale
    low.shift_left(above);
    BigInteger high = low;
    high.shift_left(gap_ratio_log);

    int k = floor_log10_pow2(bit_length(f) - 1 + e) + 1;
    if (k >= 0) {
        scale.multiply_power_of_ten(k);
    } else {
        rest.multiply_power_of_ten(-k);
        low.multiply_power_of_ten(-k);
        high.multiply_power_of_ten(-k);
    }
    const auto upper_reach = [&] {
        BigInteger sum = rest;
        sum.add(high);
        return sum;
    };
    // Make the upper midpoint lie in [10^(k-1), 10^k).
    while (reaches(upper_reach(), scale, even)) {
        scale.multiply_add(10, 0);
        ++k;
    }
    for (;;) {
        BigInteger tenfold = upper_reach();
        tenfold.multiply_add(10, 0);
        if (reaches(tenfold, scale, even)) break;
        rest.multiply_add(10, 0);
        low.multiply_add(10, 0);
        high.multiply_add(10, 0);
        --k;
    }
    std::uint64_t digits = 0;
    for (;;) {
        rest.multiply_add(10, 0);
        low.multiply_add(10, 0);
        high.multiply_add(10, 0);
        --k;
        std::uint32_t digit = 0;
        while (compare(rest, scale) >= 0) {
            rest.subtract(scale);
            ++digit;
        }
        const bool down_inside = reaches(low, rest, even);
        const bool up_inside = reaches(upper_reach(), scale, even);
        if (!down_inside && !up_inside) {
            digits = digits * 10 + digit;
            continue;
        }
        bool round_up = up_inside;
        if (down_inside && up_inside) {
            BigInteger twice = rest;
            twice.shift_left(1);
            const int order = compare(twice, scale);
            round_up = order > 0 || (order == 0 && (digit & 1u) != 0);
        }
        return without_trailing_zeros(digits * 10 + digit + (round_up ? 1u : 0u), k);
    }
}

}  // namespace vantrel_sim
