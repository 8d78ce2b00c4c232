#include "json_text.hpp"

#include <charconv>
#include <cmath>
#include <cstdint>

#include "shortest_digits.hpp"

namespace vantrel_sim {
namespace {

// A finite value as d.ddd times ten to the power `exponent`, with the fewest digits that
// read back as the same value.
struct DecimalDigits {
    char digits[24];
    int count = 0;
    int exponent = 0;
    bool negative = false;
};

template <typename Real>
DecimalDigits decimal_digits(Real value) {
    DecimalDigits decimal;
    decimal.negative = std::signbit(value);
    const ShortestDigits shortest = shortest_digits(decimal.negative ? -value : value);
    char reversed[24];
    int count = 0;
    std::uint64_t rest = shortest.significand;
    do {
        reversed[count++] = static_cast<char>('0' + rest % 10);
        rest /= 10;
    } while (rest != 0);
    for (int i = 0; i < count; ++i) {
        decimal.digits[i] = reversed[count - 1 - i];
    }
    decimal.count = count;
    decimal.exponent = shortest.exponent + count - 1;
    return decimal;
}

char* write_digits(char* out, const char* digits, int count) {
    for (int i = 0; i < count; ++i) {
        *out++ = digits[i];
    }
    return out;
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
        return write_digits(out, decimal.digits, decimal.count);
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
    return write_digits(out, decimal.digits + whole_count, decimal.count - whole_count);
}

// 1e-7, 1.5e-7, 1e+13: the point only when more digits follow.
char* write_scientific(char* out, const DecimalDigits& decimal) {
    if (decimal.negative) {
        *out++ = '-';
    }
    *out++ = decimal.digits[0];
    if (decimal.count > 1) {
        *out++ = '.';
        out = write_digits(out, decimal.digits + 1, decimal.count - 1);
    }
    *out++ = 'e';
    *out++ = decimal.exponent < 0 ? '-' : '+';
    const int magnitude = decimal.exponent < 0 ? -decimal.exponent : decimal.exponent;
    return std::to_chars(out, out + 8, magnitude).ptr;
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
    const DecimalDigits decimal = decimal_digits(value);
    if (decimal.exponent >= -6 && decimal.exponent <= 12) {
        return write_plain(buffer, decimal);
    }
    return write_scientific(buffer, decimal);
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
