// Correctly rounded sin and cos of floats.
//
// The argument is reduced to quarter turns, |x| (2/pi) = 4n + quadrant + u with |u| <= 1/2.
// Below 2^16 that is done in double with 2/pi split in two, exact but for two roundings. For
// every float, up to 3.4e38, it is also done with integers: a float is m 2^e with a 24-bit m,
// so only the 190 bits of 2/pi just above weight 2^-e matter, and products of m with three
// 64-bit windows of them give u to 2^-126. A double polynomial in u then gives
// sin(pi u / 2) or cos(pi u / 2) within 2^-42 relative; when that interval holds a float
// rounding boundary (about one argument in 100000) a double-double series decides. Only IEEE
// additions and multiplications, so every platform computes the same bits.

#include "math/trig.hpp"

#include <cfloat>
#include <limits>

#include "math/float_bits.hpp"
#include "math/trig_detail.hpp"
#include "math/trig_tables.hpp"

// Float and double expressions must be evaluated in their own precision, never wider.
static_assert(FLT_EVAL_METHOD == 0);
static_assert(std::numeric_limits<double>::is_iec559 && std::numeric_limits<float>::is_iec559);

namespace vantrel_sim {

namespace trig_detail {

namespace {

constexpr std::uint32_t SIGN_BIT = 0x80000000u;
constexpr std::uint32_t INFINITY_BITS = 0x7f800000u;
constexpr std::uint32_t TWO_TO_16_BITS = 0x47800000u;

// The polynomial's relative error stays below 2^-43.4: 2^-47.57 (sin) or 2^-43.53 (cos) from
// the polynomials themselves (trig_tables.hpp), below 2^-52 from u and 2^-51.1 from rounding.
// Call it 2^-42: in a double y of [2^k, 2^(k+1)) that is below 2^11 units of its last place,
// which must keep the 29 bits that rounding to float drops from half of their range.
constexpr std::uint64_t FAST_ERROR_UNITS = 0x800u;
// The accurate path's series and products stay below 2^-100 relative; u's own error of
// 2^-126 adds at most 2^-96, as no float comes nearer than 2^-29.86 quarter turns to a multiple
// of a quarter turn (0x1.f37c8ap+95 does). No float's sin or cos lies nearer than 2^-56
// relative to a rounding boundary, so this always decides.
constexpr double ACCURATE_ERROR = 0x1p-90;

constexpr std::array<std::array<double, 6>, 2> FAST_POLYNOMIALS{trig_tables::FAST_SIN,
                                                                trig_tables::FAST_COS};

// 2/pi with 64 zero bits before it, so that windows for the smallest arguments, which start
// above the binary point, read zeros there.
constexpr std::array<std::uint64_t, 6> PADDED_TWO_OVER_PI = [] {
    std::array<std::uint64_t, 6> padded{};
    for (std::size_t i = 0; i < trig_tables::TWO_OVER_PI.size(); ++i) {
        padded[i + 1] = trig_tables::TWO_OVER_PI[i];
    }
    return padded;
}();

float from_bits(std::uint32_t bits) {
    return float_from_bits(bits);
}
std::uint32_t to_bits(float value) {
    return bits_of(value);
}

// The 64 bits of the padded table starting at bit `first` (0 is the first bit of word 0).
std::uint64_t window(unsigned first) {
    const unsigned word = first / 64;
    const unsigned shift = first % 64;
    // Shifting the second word by one and then 63 - shift stays defined when shift is 0.
    return (PADDED_TWO_OVER_PI[word] << shift) |
           ((PADDED_TWO_OVER_PI[word + 1] >> 1) >> (63 - shift));
}

struct Wide {
    std::uint64_t high;
    std::uint64_t low;
};

// m * w for m below 2^24, as 88 bits, through 32-bit halves so no wider type is needed.
Wide multiply(std::uint64_t m, std::uint64_t w) {
    const std::uint64_t low_product = m * (w & 0xffffffffu);
    const std::uint64_t high_product = m * (w >> 32) + (low_product >> 32);
    return {high_product >> 32, (high_product << 32) | (low_product & 0xffffffffu)};
}

// An integer below 2^53 as a double, exactly.
double exactly(std::uint64_t n) {
    return static_cast<double>(static_cast<std::int64_t>(n));
}

// A 126-bit magnitude (high at most 2^61) times 2^-126 as a double-double, exactly but for
// the last addition: the three parts have at most 53 bits each.
DoubleDouble to_double_double(std::uint64_t high, std::uint64_t low) {
    const double top = exactly(high >> 8) * 0x1p-54;
    const double middle = exactly(((high & 0xffu) << 45) | (low >> 19)) * 0x1p-107;
    const double bottom = exactly(low & 0x7ffffu) * 0x1p-126;
    DoubleDouble sum = fast_two_sum(top, middle);
    sum.lo += bottom;
    return sum;
}

// |x| head is exact, so is its difference from the nearest integer k (Sterbenz, or k = 0);
// only the tail's product rounds, and the last sum. Meaningless from 2^16 on.
QuarterTurns reduce_in_double(std::uint32_t magnitude_bits) {
    const double x = static_cast<double>(from_bits(magnitude_bits));
    const double head = x * trig_tables::TWO_OVER_PI_HEAD;
    const double rounder = head + 0x1.8p52;  // k in the low bits: head < 2^51
    QuarterTurns turns;
    turns.quadrant = static_cast<unsigned>(bits_of(rounder) % 4);
    turns.u = {(head - (rounder - 0x1.8p52)) + x * trig_tables::TWO_OVER_PI_TAIL, 0.0};
    return turns;
}

double absolute(double a) {
    return double_from_bits(bits_of(a) & ~(std::uint64_t{1} << 63));
}

// Whether reduce_in_double's u is within 2^-52 relative: below 2^-67.6 absolute from the tail
// (its product's rounding and its own) against |u| >= 2^-14, and 2^-53 from the last sum.
bool reduced_well_in_double(std::uint32_t magnitude_bits, const QuarterTurns& turns) {
    return magnitude_bits < TWO_TO_16_BITS && absolute(turns.u.hi) >= 0x1p-14;
}

// sin of (quadrant + u) quarter turns is sin(pi u / 2) in even quadrants and cos(pi u / 2) in
// odd ones, both negated in the lower half turn.
std::uint32_t sign_of_quadrant(unsigned quadrant) {
    return (quadrant & 2u) << 30;
}

// Never the bits of a result (they are a NaN's).
constexpr std::uint32_t IN_DOUBT = 0xffffffffu;

// sin of (quadrant + u) quarter turns from a double polynomial, as float bits; IN_DOUBT when
// the polynomial's error leaves the rounding in doubt. (A plain integer rather than an
// optional: returning that costs a store and a stalled load in the hottest path.)
std::uint32_t polynomial_value(unsigned quadrant, const QuarterTurns& turns) {
    // sin(pi u / 2) = u S(u²) and cos(pi u / 2) = C(u²): one polynomial, chosen by table, and
    // no branch on the quadrant, which is as good as random.
    const unsigned cosine = quadrant % 2;
    const std::array<double, 6>& c = FAST_POLYNOMIALS[cosine];
    const double u = turns.u.hi;
    const std::array<double, 2> factor{u, 1.0};
    const double z = u * u;
    const double z2 = z * z;
    const double p = (c[0] + z * c[1]) + z2 * ((c[2] + z * c[3]) + z2 * (c[4] + z * c[5]));
    const double y = p * factor[cosine];
    // Rounding y to float drops 29 bits; only near half their range (a midpoint) can the error
    // change the result.
    const std::uint64_t dropped = bits_of(y) & 0x1fffffffu;
    if (dropped - (0x10000000u - FAST_ERROR_UNITS) <= 2 * FAST_ERROR_UNITS) {
        return IN_DOUBT;
    }
    return to_bits(static_cast<float>(y)) ^ sign_of_quadrant(quadrant);
}

// Rounds y (positive, below 2) by comparing it with the midpoints around float(y.hi);
// y.hi - midpoint is exact as the two lie within a factor of two (Sterbenz), and adding y.lo
// rounds but keeps the sign.
Rounding round_positive_within(DoubleDouble y, double relative_error) {
    const auto nearest = static_cast<float>(y.hi);
    const std::uint32_t bits = to_bits(nearest);
    const double above =
        (static_cast<double>(nearest) + static_cast<double>(from_bits(bits + 1))) * 0.5;
    const double below =
        (static_cast<double>(nearest) + static_cast<double>(from_bits(bits - 1))) * 0.5;
    const double margin = y.hi * relative_error;
    const double past_above = (y.hi - above) + y.lo;
    const double past_below = (y.hi - below) + y.lo;
    if (past_above > margin) {
        return {from_bits(bits + 1), true};
    }
    if (past_below < -margin) {
        return {from_bits(bits - 1), true};
    }
    return {nearest, past_above < -margin && past_below > margin};
}

Rounding round_within(DoubleDouble y, double relative_error) {
    if (y.hi >= 0.0) {
        return round_positive_within(y, relative_error);
    }
    Rounding r = round_positive_within({-y.hi, -y.lo}, relative_error);
    r.value = -r.value;
    return r;
}

template <std::size_t N>
DoubleDouble series(const std::array<DoubleDouble, N>& coefficients, DoubleDouble z) {
    DoubleDouble sum = coefficients[N - 1];
    for (std::size_t k = N - 1; k-- > 0;) {
        sum = sum * z + coefficients[k];
    }
    return sum;
}

// The rare arguments: from 2^16 on, or near a multiple of a quarter turn, or with a result
// near a rounding boundary.
std::uint32_t sin_of_quarter_turns_carefully(std::uint32_t magnitude_bits, unsigned quadrant_offset,
                                             bool polynomial_tried) {
    const QuarterTurns turns = reduce(magnitude_bits);
    const unsigned quadrant = turns.quadrant + quadrant_offset;
    if (!polynomial_tried) {
        const std::uint32_t y = polynomial_value(quadrant, turns);
        if (y != IN_DOUBT) {
            return y;
        }
    }
    return to_bits(accurate_value(quadrant, turns).value);
}

// sin of |x| + quadrant_offset quarter turns, as float bits.
std::uint32_t sin_of_quarter_turns(std::uint32_t magnitude_bits, unsigned quadrant_offset) {
    const QuarterTurns turns = reduce_in_double(magnitude_bits);
    const bool reduced_well = reduced_well_in_double(magnitude_bits, turns);
    if (reduced_well) {
        const std::uint32_t y = polynomial_value(turns.quadrant + quadrant_offset, turns);
        if (y != IN_DOUBT) {
            return y;
        }
    }
    return sin_of_quarter_turns_carefully(magnitude_bits, quadrant_offset, reduced_well);
}

}  // namespace

QuarterTurns reduce(std::uint32_t magnitude_bits) {
    // |x| = m 2^e. Bit i of 2/pi (weight 2^-i) enters m 2^e 2^62 (2/pi), the quarter turns with
    // 62 bits after the point, with weight 2^(e + 62 - i): the bits from i = e - 1 on matter
    // modulo 2^64, and 190 of them suffice. In the padded table bit i is bit i + 63.
    const int e = static_cast<int>(magnitude_bits >> 23) - 150;
    const std::uint64_t m = (magnitude_bits & 0x7fffffu) | 0x800000u;
    const auto first = static_cast<unsigned>(e + 62);
    const Wide b = multiply(m, window(first + 64));
    const Wide c = multiply(m, window(first + 128));
    const std::uint64_t low = b.low + c.high;
    const std::uint64_t high = m * window(first) + b.high + (low < b.low ? 1u : 0u);

    QuarterTurns turns;
    turns.quadrant = static_cast<unsigned>(high >> 62);
    const std::uint64_t fraction = high & ((std::uint64_t{1} << 62) - 1);
    if (fraction < (std::uint64_t{1} << 61)) {
        turns.u = to_double_double(fraction, low);
        return turns;
    }
    // Past half a quarter turn: the next quadrant, u negative; its magnitude is
    // 2^126 - (fraction 2^64 + low).
    turns.quadrant = (turns.quadrant + 1) % 4;
    const std::uint64_t borrow = low != 0 ? 1u : 0u;
    const DoubleDouble magnitude =
        to_double_double((std::uint64_t{1} << 62) - fraction - borrow, 0 - low);
    turns.u = {-magnitude.hi, -magnitude.lo};
    return turns;
}

std::optional<QuarterTurns> reduce_fast(std::uint32_t magnitude_bits) {
    const QuarterTurns turns = reduce_in_double(magnitude_bits);
    if (!reduced_well_in_double(magnitude_bits, turns)) {
        return std::nullopt;
    }
    return turns;
}

std::optional<float> fast_value(unsigned quadrant, const QuarterTurns& turns) {
    const std::uint32_t bits = polynomial_value(quadrant, turns);
    if (bits == IN_DOUBT) {
        return std::nullopt;
    }
    return from_bits(bits);
}

Rounding accurate_value(unsigned quadrant, const QuarterTurns& turns) {
    const DoubleDouble u = turns.u;
    const DoubleDouble z = u * u;
    Rounding r = quadrant % 2 != 0
                     ? round_within(series(trig_tables::ACCURATE_COS, z), ACCURATE_ERROR)
                     : round_within(series(trig_tables::ACCURATE_SIN, z) * u, ACCURATE_ERROR);
    r.value = from_bits(to_bits(r.value) ^ sign_of_quadrant(quadrant));
    return r;
}

}  // namespace trig_detail

float exact_sin(float x) {
    using namespace trig_detail;
    const std::uint32_t bits = to_bits(x);
    const std::uint32_t magnitude = bits & ~SIGN_BIT;
    if (magnitude >= INFINITY_BITS) {
        return std::numeric_limits<float>::quiet_NaN();
    }
    if (magnitude < TINY_BITS) {
        return x;
    }
    // sin is odd.
    return from_bits(sin_of_quarter_turns(magnitude, 0) ^ (bits & SIGN_BIT));
}

float exact_cos(float x) {
    using namespace trig_detail;
    const std::uint32_t magnitude = to_bits(x) & ~SIGN_BIT;
    if (magnitude >= INFINITY_BITS) {
        return std::numeric_limits<float>::quiet_NaN();
    }
    if (magnitude < TINY_BITS) {
        return 1.0f;
    }
    // cos is even, and cos x = sin(x + pi/2): one quarter turn on.
    return from_bits(sin_of_quarter_turns(magnitude, 1));
}

}  // namespace vantrel_sim
