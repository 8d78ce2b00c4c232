#include "decimal_to_binary.hpp"

#include <algorithm>
#include <cstdint>
#include <cstring>

#include "big_integer.hpp"

namespace vantrel_sim {
namespace {

bool is_digit_at(std::string_view text, std::size_t at) {
    return at < text.size() && text[at] >= '0' && text[at] <= '9';
}

// The parts of a text, read as far as it has the form of a number.
DecimalParts split_decimal(std::string_view text) {
    DecimalParts parts;
    std::size_t at = 0;
    const auto digits = [&text, &at] {
        const std::size_t start = at;
        while (is_digit_at(text, at)) ++at;
        return text.substr(start, at - start);
    };
    if (at < text.size() && text[at] == '-') {
        parts.negative = true;
        ++at;
    }
    parts.whole = digits();
    if (at < text.size() && text[at] == '.') {
        ++at;
        parts.fraction = digits();
    }
    if (at < text.size() && (text[at] == 'e' || text[at] == 'E')) {
        ++at;
        const bool negative = at < text.size() && text[at] == '-';
        if (at < text.size() && (text[at] == '-' || text[at] == '+')) ++at;
        for (; is_digit_at(text, at); ++at) {
            parts.exponent = std::min(parts.exponent * 10 + (text[at] - '0'),
                                      DecimalParts::EXPONENT_SATURATION);
        }
        if (negative) parts.exponent = -parts.exponent;
    }
    return parts;
}

// The first `Digits::MAX_DIGITS` significant digits of a number: value = digits · 10^exponent,
// exactly unless a nonzero digit beyond them was dropped.
template <typename Digits>
struct Significant {
    typename Digits::Value digits{};
    std::int64_t exponent = 0;
    int kept = 0;
    bool dropped_nonzero = false;

    void add(char character, bool in_fraction) {
        const int digit = character - '0';
        if (kept == 0 && digit == 0) {
            exponent -= in_fraction ? 1 : 0;
        } else if (kept < Digits::MAX_DIGITS) {
            Digits::append(digits, digit);
            ++kept;
            exponent -= in_fraction ? 1 : 0;
        } else {
            exponent += in_fraction ? 0 : 1;
            dropped_nonzero = dropped_nonzero || digit != 0;
        }
    }

    explicit Significant(const DecimalParts& parts) {
        for (const char c : parts.whole) add(c, false);
        for (const char c : parts.fraction) add(c, true);
        exponent += parts.exponent;
    }
};

// Nineteen digits stay below 2^64.
struct ShortDigits {
    using Value = std::uint64_t;
    static constexpr int MAX_DIGITS = 19;
    static void append(std::uint64_t& digits, int digit) {
        digits = digits * 10 + static_cast<std::uint64_t>(digit);
    }
};

// Every value halfway between two doubles has at most 767 significant digits, so digits
// beyond 800 only matter as "something more", which one extra 1 digit stands for.
struct LongDigits {
    using Value = BigInteger;
    static constexpr int MAX_DIGITS = 800;
    static void append(BigInteger& digits, int digit) {
        digits.multiply_add(10, static_cast<std::uint32_t>(digit));
    }
};

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
typename Format::Bits round_exactly(const DecimalParts& parts) {
    using Bits = typename Format::Bits;
    constexpr Bits SIGN = Bits{1} << (sizeof(Bits) * 8 - 1);
    Significant<LongDigits> scan(parts);
    BigInteger& digits = scan.digits;
    const Bits sign = parts.negative ? SIGN : 0;
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

// A number of at most 19 digits in all (nearly every one) is taken whole, leading zeros
// and all; a longer one by its first 19 significant digits.
struct ShortDecimal {
    std::uint64_t digits = 0;
    std::int64_t exponent = 0;
    bool exact = true;
};

ShortDecimal short_decimal(const DecimalParts& parts) {
    if (parts.whole.size() + parts.fraction.size() > ShortDigits::MAX_DIGITS) {
        const Significant<ShortDigits> significant(parts);
        ShortDecimal decimal;
        decimal.digits = significant.digits;
        decimal.exponent = significant.exponent;
        decimal.exact = !significant.dropped_nonzero;
        return decimal;
    }
    ShortDecimal decimal;
    for (const char c : parts.whole) ShortDigits::append(decimal.digits, c - '0');
    for (const char c : parts.fraction) ShortDigits::append(decimal.digits, c - '0');
    decimal.exponent = parts.exponent - static_cast<std::int64_t>(parts.fraction.size());
    return decimal;
}

// Mantissas up to 2^53 and powers of ten up to 10^22 are exact doubles, so one division or
// multiplication rounds the value correctly (and likewise 2^24 and 10^10 for floats).
bool exact_in_double(const ShortDecimal& decimal) {
    return decimal.exact && decimal.digits <= TWO_TO_THE_53 && decimal.exponent >= -22 &&
           decimal.exponent <= 22;
}

bool exact_in_float(const ShortDecimal& decimal) {
    return decimal.exact && decimal.digits <= TWO_TO_THE_24 && decimal.exponent >= -10 &&
           decimal.exponent <= 10;
}

double scaled_exactly(const ShortDecimal& decimal) {
    const auto value = static_cast<double>(decimal.digits);
    return decimal.exponent < 0 ? value / DOUBLE_POWERS_OF_TEN[-decimal.exponent]
                                : value * DOUBLE_POWERS_OF_TEN[decimal.exponent];
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

float decimal_to_float(const DecimalParts& parts) {
    const ShortDecimal decimal = short_decimal(parts);
    if (decimal.digits == 0) return parts.negative ? -0.0f : 0.0f;
    if (exact_in_float(decimal)) {
        const auto value = static_cast<float>(decimal.digits);
        const float scaled = decimal.exponent < 0 ? value / FLOAT_POWERS_OF_TEN[-decimal.exponent]
                                                  : value * FLOAT_POWERS_OF_TEN[decimal.exponent];
        return parts.negative ? -scaled : scaled;
    }
    if (exact_in_double(decimal)) {
        const double wide = scaled_exactly(decimal);
        if (!halfway_between_floats(wide)) {
            const auto value = static_cast<float>(wide);
            return parts.negative ? -value : value;
        }
    }
    return from_bits<float>(round_exactly<FloatFormat>(parts));
}

double decimal_to_double(const DecimalParts& parts) {
    const ShortDecimal decimal = short_decimal(parts);
    if (decimal.digits == 0) return parts.negative ? -0.0 : 0.0;
    if (exact_in_double(decimal)) {
        const double value = scaled_exactly(decimal);
        return parts.negative ? -value : value;
    }
    return from_bits<double>(round_exactly<DoubleFormat>(parts));
}

float decimal_to_float(std::string_view text) { return decimal_to_float(split_decimal(text)); }

double decimal_to_double(std::string_view text) { return decimal_to_double(split_decimal(text)); }

}  // namespace vantrel_sim
