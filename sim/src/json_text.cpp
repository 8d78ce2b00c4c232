#include "json_text.hpp"

#include <algorithm>
#include <array>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>

#include "shortest_digits.hpp"

namespace vantrel_sim {
namespace {

// A finite double as d.ddd times ten to the power `exponent`, with the fewest digits that
// read back as the same value. Error messages only, so plainness beats speed here.
struct DecimalDigits {
    char digits[24];
    int count = 0;
    int exponent = 0;
    bool negative = false;
};

DecimalDigits decimal_digits(double value) {
    DecimalDigits decimal;
    decimal.negative = std::signbit(value);
    const ShortestDigits shortest = shortest_digits(decimal.negative ? -value : value);
    const char* const end = std::to_chars(decimal.digits, decimal.digits + sizeof decimal.digits,
                                          shortest.significand).ptr;
    decimal.count = static_cast<int>(end - decimal.digits);
    decimal.exponent = shortest.exponent + decimal.count - 1;
    return decimal;
}

// 1234.5, 20.0, 0.00012: always a point and at least one digit after it.
char* write_plain(char* out, const DecimalDigits& decimal) {
    if (decimal.negative) {
        *out++ = '-';
    }
    if (decimal.exponent < 0) {
        *out++ = '0';
        *out++ = '.';
        for (int i = 1; i < -decimal.exponent; ++i) {
            *out++ = '0';
        }
        return std::copy_n(decimal.digits, decimal.count, out);
    }
    const int whole_count = decimal.exponent + 1;
    for (int i = 0; i < whole_count; ++i) {
        *out++ = i < decimal.count ? decimal.digits[i] : '0';
    }
    *out++ = '.';
    if (decimal.count <= whole_count) {
        *out++ = '0';
        return out;
    }
    return std::copy_n(decimal.digits + whole_count, decimal.count - whole_count, out);
}

// Floats, thousands per snapshot: a float's shortest significand has at most nine digits,
// so 32-bit arithmetic suffices, eight digits are made at once in one 64-bit word, and the
// texts are placed with fixed-size stores, which may leave scratch bytes after the text.

static_assert(std::endian::native == std::endian::little, "digit bytes are stored low first");

// Decimal digits of a value, zero with one, by one addition: for the values of bit width
// i + 1, [2^i, 2^(i+1)), step i holds the count d of 2^i in its high half and 2^32 - 10^d in
// its low half, so that adding the value carries into the count exactly when it reaches 10^d.
constexpr auto DIGIT_COUNT_STEPS = [] {
    constexpr std::uint64_t WORD = std::uint64_t{1} << 32;
    std::array<std::uint64_t, 32> steps{};
    for (std::size_t i = 0; i < steps.size(); ++i) {
        std::uint64_t count = 1;
        std::uint64_t next_power = 10;
        for (; next_power <= std::uint64_t{1} << i; next_power *= 10) ++count;
        steps[i] = count * WORD + (WORD - std::min(next_power, WORD));  // no carry above 2^32
    }
    return steps;
}();

int digit_count(std::uint32_t value) {
    const int top_bit = std::bit_width(value | 1u) - 1;
    return static_cast<int>((value + DIGIT_COUNT_STEPS[static_cast<std::size_t>(top_bit)]) >> 32);
}

// The eight digits of a value below 10^8, leading zeros included, as ASCII bytes with the
// first digit lowest. Each step splits every lane of the word into a high and low half in
// lanes of half the width, by a multiply-shift that divides exactly for the lane's range:
// four and four digits in 32-bit lanes, two and two in 16-bit lanes, one and one in bytes.
// Lanes x = q·m + r become q + r·2^w as x·2^w - q·(m·2^w - 1): one multiply, no masks.
std::uint64_t eight_digits(std::uint32_t value) {
    const std::uint64_t high_four = value / 10000;
    const std::uint64_t fours = (std::uint64_t{value} << 32) - high_four * ((10000ull << 32) - 1);
    const std::uint64_t high_pairs = (fours * 10486 >> 20) & 0x0000007F0000007Fu;  // x / 100
    const std::uint64_t pairs = (fours << 16) - high_pairs * ((100u << 16) - 1);
    const std::uint64_t tens = (pairs * 103 >> 10) & 0x000F000F000F000Fu;  // x / 10
    const std::uint64_t digits = (pairs << 8) - tens * ((10u << 8) - 1);
    return digits + 0x3030303030303030u;
}

// The `count` digits (1 to 9) of a value below 10^count. Stores 8 or 9 bytes whatever the
// count; returns the end of the digits.
char* write_digits(char* out, std::uint32_t value, int count) {
    if (count == 9) {
        *out++ = static_cast<char>('0' + value / 100000000);
        value %= 100000000;
        count = 8;
    }
    const std::uint64_t text = eight_digits(value) >> (8 * (8 - count));  // no leading zeros
    std::memcpy(out, &text, sizeof text);
    return out + count;
}

// The `count` digits (2 to 9) with a point after the first `whole` (1 to count - 1). The
// point goes in while the digits are still in a register: reading back bytes just stored at
// another offset would stall on the store. Stores 9 or 10 bytes whatever the count.
char* write_with_point(char* out, std::uint32_t significand, int count, int whole) {
    if (count == 9) {
        *out++ = static_cast<char>('0' + significand / 100000000);
        significand %= 100000000;
        count = 8;
        whole -= 1;
    }
    const std::uint64_t digits = eight_digits(significand) >> (8 * (8 - count));
    const int shift = 8 * whole;  // 0 to 56
    const std::uint64_t after = digits >> shift << shift;
    // The digits after the point one byte on: digits + after · 255.
    const std::uint64_t text = digits + after * 255 + (std::uint64_t{'.'} << shift);
    std::memcpy(out, &text, sizeof text);
    // With eight digits the last one falls out of the word: it is the ninth byte.
    out[8] = static_cast<char>(after >> 56);
    return out + count + 1;
}

// 20.0, 0.00012, for the decimal exponents -6..12 where all digits fall on one side of the
// point: always a point and at least one digit after it.
char* write_plain_one_side(char* out, std::uint32_t significand, int count, int exponent) {
    if (exponent < 0) {
        std::memcpy(out, "0.000000", 8);
        return write_digits(out + 1 - exponent, significand, count);
    }
    write_digits(out, significand, count);
    std::memset(out + count, '0', 16);  // the 12 zeros of 1e12 at most, then scratch
    std::memcpy(out + exponent + 1, ".0", 2);
    return out + exponent + 3;
}

// 1e-7, 1.5e-7, 1e+13: the point only when more digits follow.
char* write_scientific(char* out, std::uint32_t significand, int count, int exponent) {
    // All digits one place on, then the first moved before the point.
    write_digits(out + 1, significand, count);
    out[0] = out[1];
    out[1] = '.';
    out += count == 1 ? 1 : count + 1;
    *out++ = 'e';
    *out++ = exponent < 0 ? '-' : '+';
    const int magnitude = exponent < 0 ? -exponent : exponent;
    return write_digits(out, static_cast<std::uint32_t>(magnitude), magnitude < 10 ? 1 : 2);
}

void append_escape(std::string& out, unsigned char byte) {
    switch (byte) {
        case '"': out += "\\\""; return;
        case '\\': out += "\\\\"; return;
        case '\b': out += "\\b"; return;
        case '\t': out += "\\t"; return;
        case '\n': out += "\\n"; return;
        case '\f': out += "\\f"; return;
        case '\r': out += "\\r"; return;
        default: break;
    }
    constexpr char HEX[] = "0123456789abcdef";
    const char escape[6] = {'\\', 'u', '0', '0', HEX[byte >> 4], HEX[byte & 0xF]};
    out.append(escape, sizeof escape);
}

}  // namespace

char* format_float(char* buffer, float value) {
    char* out = buffer;
    if (std::signbit(value)) {
        *out++ = '-';
        value = -value;
    }
    const ShortestDigits shortest = shortest_digits(value);
    const auto significand = static_cast<std::uint32_t>(shortest.significand);
    const int count = digit_count(significand);
    const int exponent = shortest.exponent + count - 1;
    // Digits on both sides of the point, 1234.5, are the common case: tested first.
    if (exponent >= 0 && exponent < count - 1) {
        return write_with_point(out, significand, count, exponent + 1);
    }
    if (exponent >= -6 && exponent <= 12) {
        return write_plain_one_side(out, significand, count, exponent);
    }
    return write_scientific(out, significand, count, exponent);
}

void append_number(std::string& out, float value) {
    if (!std::isfinite(value)) {
        out += "null";
        return;
    }
    char buffer[FLOAT_TEXT_CAPACITY];
    out.append(buffer, format_float(buffer, value));
}

void append_plain_decimal(std::string& out, double value) {
    if (!std::isfinite(value)) {
        out += std::isnan(value) ? "NaN" : (value < 0.0 ? "-inf" : "inf");
        return;
    }
    // Up to 309 whole digits, or 323 zeros after the point before 17 digits.
    char buffer[360];
    out.append(buffer, write_plain(buffer, decimal_digits(value)));
}

void append_json_string(std::string& out, std::string_view text) {
    out += '"';
    std::size_t run_start = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto byte = static_cast<unsigned char>(text[i]);
        if (byte >= 0x20 && byte != '"' && byte != '\\') {
            continue;
        }
        out.append(text.data() + run_start, i - run_start);
        append_escape(out, byte);
        run_start = i + 1;
    }
    out.append(text.data() + run_start, text.size() - run_start);
    out += '"';
}

}  // namespace vantrel_sim
