#include "decimal_to_binary.hpp"

#include <cstdint>
#include <cstring>

#include "big_integer.hpp"

namespace vantrel_sim {
namespace {

// Where a decimal text's significant digits went: value = kept digits × 10^exponent,
// exactly unless a nonzero digit beyond the kept ones was dropped.
struct DecimalScan {
    bool negative = false;
    int kept = 0;
    std::int64_t exponent = 0;
    bool dropped_nonzero = false;
};

// An exponent text of any length saturates here: far beyond every range, yet far from
// overflowing when the position of the first digit is added.
constexpr std::int64_t EXPONENT_SATURATION = 1'000'000'000'000'000;

bool is_digit_at(std::string_view text, std::size_t at) {
    return at < text.size() && text[at] >= '0' && text[at] <= '9';
}

// Hands the first `limit` significant digits to `keep`, one at a time.
template <typename Keep>
DecimalScan scan_decimal(std::string_view text, int limit, Keep&& keep) {
    DecimalScan scan;
    std::size_t at = 0;
    if (at < text.size() && text[at] == '-') {
        scan.negative = true;
        ++at;
    }
    const auto take = [&](int digit, bool in_fraction) {
        if (scan.kept == 0 && digit == 0) {
            scan.exponent -= in_fraction ? 1 : 0;
        } else if (scan.kept < limit) {
            keep(digit);
            ++scan.kept;
            scan.exponent -= in_fraction ? 1 : 0;
        } else {
            scan.exponent += in_fraction ? 0 : 1;
            scan.dropped_nonzero = scan.dropped_nonzero || digit != 0;
        }
    };
    for (; is_digit_at(text, at); ++at) take(text[at] - '0', false);
    if (at < text.size() && text[at] == '.') {
        for (++at; is_digit_at(text, at); ++at) take(text[at] - '0', true);
    }
    if (at < text.size() && (text[at] == 'e' || text[at] == 'E')) {
        ++at;
        const bool negative = at < text.size() && text[at] == '-';
        if (at < text.size() && (text[at] == '-' || text[at] == '+')) ++at;
        std::int64_t written = 0;
        for (; is_digit_at(text, at); ++at) {
            written = written * 10 + (text[at] - '0');
            if (written > EXPONENT_SATURATION) written = EXPONENT_SATURATION;
        }
        scan.exponent += negative ? -written : written;
    }
    return scan;
}

struct FloatFormat {
    using Bits = std::uint32_t;
    static constexpr int PRECISION = 24;
    static constexpr int MIN_EXPONENT = -126;
    static constexpr int MAX_EXPONENT = 127;
    // Leading decimal exponents beyond which the value is surely infinite or zero: 10^39
    // exceeds the largest float, 10^-46 is below half the smallest.
    static constexpr std::int64_t MAX_LEAD = 38;
    static constexpr std::int64_t MIN_LEAD = -46;
};

struct DoubleFormat {
    using Bits = std::uint64_t;
    static constexpr int PRECISION = 53;
    static constexpr int MIN_EXPONENT = -1022;
    static constexpr int MAX_EXPONENT = 1023;
    static constexpr std::int64_t MAX_LEAD = 308;
    static constexpr std::int64_t MIN_LEAD = -324;
};

// Every value halfway between two doubles has at most 767 significant digits, so digits
// beyond 800 only matter as "something more", which one extra 1 digit stands for.
constexpr int MAX_EXACT_DIGITS = 800;

int bit_length(std::uint64_t value) {
    int bits = 0;
    for (; value != 0; value >>= 1) ++bits;
    return bits;
}

// Rounds the binary value (quotient + a sticky fraction) × 2^-shift to the format,
// subnormals and the carry into the next binade or into infinity included.
template <typename Format>
constexpr typename Format::Bits INFINITY_BITS = typename Format::Bits{2 * Format::MAX_EXPONENT + 1}
                                                << (Format::PRECISION - 1);

template <typename Format>
typename Format::Bits round_to_format(std::uint64_t quotient, bool sticky, int shift) {
    using Bits = typename Format::Bits;
    constexpr int P = Format::PRECISION;
    const int length = bit_length(quotient);
    const int exponent = length - 1 - shift;
    if (exponent > Format::MAX_EXPONENT) return INFINITY_BITS<Format>;
    const bool normal = exponent >= Format::MIN_EXPONENT;
    const int keep = normal ? P : P - (Format::MIN_EXPONENT - exponent);
    if (keep < 0) return 0;
    const int drop = length - keep;  // at least 2
    const std::uint64_t half = std::uint64_t{1} << (drop - 1);
    const std::uint64_t rest = quotient & ((half << 1) - 1);
    std::uint64_t kept = quotient >> drop;
    if (rest > half || (rest == half && (sticky || (kept & 1u) != 0))) ++kept;
    // A carry out of the kept bits moves on into the exponent field by itself.
    if (!normal) return static_cast<Bits>(kept);
    const Bits field = static_cast<Bits>(exponent + Format::MAX_EXPONENT - 1);
    return static_cast<Bits>((field << (P - 1)) + kept);
}

// The exact path, for any text: value = digits / divisor, divided out to P + 3 bits.
template <typename Format>
typename Format::Bits round_exactly(std::string_view text) {
    using Bits = typename Format::Bits;
    constexpr Bits SIGN = Bits{1} << (sizeof(Bits) * 8 - 1);
    BigInteger digits;
    DecimalScan scan = scan_decimal(text, MAX_EXACT_DIGITS, [&digits](int digit) {
        digits.multiply_add(10, static_cast<std::uint32_t>(digit));
    });
    const Bits sign = scan.negative ? SIGN : 0;
    if (scan.kept == 0) return sign;
    const std::int64_t lead = scan.exponent + scan.kept - 1;
    if (lead > Format::MAX_LEAD) return sign | INFINITY_BITS<Format>;
    if (lead < Format::MIN_LEAD) return sign;
    if (scan.dropped_nonzero) {
        digits.multiply_add(10, 1);
        --scan.exponent;
    }
    BigInteger divisor(1);
    if (scan.exponent >= 0) {
        digits.multiply_power_of_ten(static_cast<int>(scan.exponent));
    } else {
        divisor.multiply_power_of_ten(static_cast<int>(-scan.exponent));
    }
    constexpr int QUOTIENT_BITS = Format::PRECISION + 3;
    const int shift = QUOTIENT_BITS - 1 - (digits.bit_length() - divisor.bit_length());
    if (shift > 0) {
        digits.shift_left(shift);
    } else {
        divisor.shift_left(-shift);
    }
    const std::uint64_t quotient = divide_short_quotient(digits, divisor, QUOTIENT_BITS);
    return sign | round_to_format<Format>(quotient, !digits.is_zero(), shift);
}

constexpr std::uint64_t TWO_TO_THE_24 = std::uint64_t{1} << 24;
constexpr std::uint64_t TWO_TO_THE_53 = std::uint64_t{1} << 53;

constexpr float FLOAT_POWERS_OF_TEN[] = {1e0f, 1e1f, 1e2f, 1e3f, 1e4f, 1e5f,
                                         1e6f, 1e7f, 1e8f, 1e9f, 1e10f};
constexpr double DOUBLE_POWERS_OF_TEN[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                           1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
                                           1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};

// Mantissas up to 2^53 and powers of ten up to 10^22 are exact doubles, so one division or
// multiplication rounds the value correctly (and likewise 2^24 and 10^10 for floats).
bool exact_in_double(const DecimalScan& scan, std::uint64_t mantissa) {
    return !scan.dropped_nonzero && mantissa <= TWO_TO_THE_53 && scan.exponent >= -22 &&
           scan.exponent <= 22;
}

double scaled_exactly(std::uint64_t mantissa, std::int64_t exponent) {
    const auto value = static_cast<double>(mantissa);
    return exponent < 0 ? value / DOUBLE_POWERS_OF_TEN[-exponent]
                        : value * DOUBLE_POWERS_OF_TEN[exponent];
}

template <typename Real, typename Bits>
Real from_bits(Bits bits) {
    Real value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

// A double that lies exactly halfway between two floats (both normal here) would round to
// a float twice; the exact path decides it instead.
bool halfway_between_floats(double value) {
    std::uint64_t bits = 0;
    std::memcpy(&bits, &value, sizeof bits);
    constexpr std::uint64_t BELOW_FLOAT = (std::uint64_t{1} << 29) - 1;
    return (bits & BELOW_FLOAT) == std::uint64_t{1} << 28;
}

}  // namespace

float decimal_to_float(std::string_view text) {
    std::uint64_t mantissa = 0;
    const DecimalScan scan = scan_decimal(text, 19, [&mantissa](int digit) {
        mantissa = mantissa * 10 + static_cast<std::uint64_t>(digit);
    });
    if (scan.kept == 0) return scan.negative ? -0.0f : 0.0f;
    if (!scan.dropped_nonzero && mantissa <= TWO_TO_THE_24 && scan.exponent >= -10 &&
        scan.exponent <= 10) {
        const auto value = static_cast<float>(mantissa);
        const float scaled = scan.exponent < 0 ? value / FLOAT_POWERS_OF_TEN[-scan.exponent]
                                               : value * FLOAT_POWERS_OF_TEN[scan.exponent];
        return scan.negative ? -scaled : scaled;
    }
    if (exact_in_double(scan, mantissa)) {
        const double wide = scaled_exactly(mantissa, scan.exponent);
        if (!halfway_between_floats(wide)) {
            const auto value = static_cast<float>(wide);
            return scan.negative ? -value : value;
        }
    }
    return from_bits<float>(round_exactly<FloatFormat>(text));
}

double decimal_to_double(std::string_view text) {
    std::uint64_t mantissa = 0;
    const DecimalScan scan = scan_decimal(text, 19, [&mantissa](int digit) {
        mantissa = mantissa * 10 + static_cast<std::uint64_t>(digit);
    });
    if (scan.kept == 0) return scan.negative ? -0.0 : 0.0;
    if (exact_in_double(scan, mantissa)) {
        const double value = scaled_exactly(mantissa, scan.exponent);
        return scan.negative ? -value : value;
    }
    return from_bits<double>(round_exactly<DoubleFormat>(text));
}

}  // namespace vantrel_sim
