#include "json_reader.hpp"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <system_error>
#include <utility>
#include <vector>

#include "decimal_to_binary.hpp"
#include "json_text.hpp"

namespace vantrel_sim {
namespace {

bool is_digit(int c) { return c >= '0' && c <= '9'; }

int hex_value(int c) {
    if (is_digit(c)) return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// Length of the well-formed UTF-8 sequence starting at `at`, 0 when there is none.
std::size_t utf8_length(std::string_view text, std::size_t at) {
    const auto byte = [&](std::size_t k) -> unsigned {
        return at + k < text.size() ? static_cast<unsigned char>(text[at + k]) : 0u;
    };
    const unsigned lead = byte(0);
    std::size_t length = 0;
    unsigned low = 0x80;
    unsigned high = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        if (lead == 0xE0) low = 0xA0;   // overlong
        if (lead == 0xED) high = 0x9F;  // surrogates
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        if (lead == 0xF0) low = 0x90;   // overlong
        if (lead == 0xF4) high = 0x8F;  // beyond U+10FFFF
    } else {
        return 0;
    }
    if (byte(1) < low || byte(1) > high) return 0;
    for (std::size_t k = 2; k < length; ++k) {
        if (byte(k) < 0x80 || byte(k) > 0xBF) return 0;
    }
    return length;
}

void append_utf8(std::string& out, unsigned code) {
    if (code < 0x80) {
        out += static_cast<char>(code);
    } else if (code < 0x800) {
        out += static_cast<char>(0xC0 | (code >> 6));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
        out += static_cast<char>(0xE0 | (code >> 12));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (code >> 18));
        out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    }
}

}  // namespace

bool JsonReader::fail_here(std::string description) {
    description_ = std::move(description);
    stop_ = pos_;
    return false;
}

bool JsonReader::fail_at_next(std::string description) {
    description_ = std::move(description);
    stop_ = std::min(pos_ + 1, text_.size());
    return false;
}

InputError JsonReader::error() const {
    InputError error;
    error.description = description_;
    for (std::size_t i = 0; i < stop_; ++i) {
        if (text_[i] == '\n') {
            ++error.line;
            error.column = 0;
        } else {
            ++error.column;
        }
    }
    return error;
}

bool JsonReader::read_colon() {
    const int c = peek_significant();
    if (c == ':') {
        advance();
        return true;
    }
    if (c < 0) return fail_at_next("EOF while parsing an object");
    return fail_at_next("expected `:`");
}

bool JsonReader::read_string(std::string* decoded) {
    advance();  // opening quote
    if (decoded) decoded->clear();
    std::size_t run_start = pos_;
    for (;;) {
        const int c = peek();
        if (c < 0) return fail_here("EOF while parsing a string");
        if (c >= 0x20 && c < 0x80 && c != '"' && c != '\\') {
            advance();
            continue;
        }
        if (decoded) decoded->append(text_.data() + run_start, pos_ - run_start);
        if (c == '"') {
            advance();
            return true;
        }
        if (c < 0x20) {
            return fail_at_next("control character (\\u0000-\\u001F) found while parsing a string");
        }
        if (!(c == '\\' ? read_escape(decoded) : read_utf8_sequence(decoded))) return false;
        run_start = pos_;
    }
}

bool JsonReader::read_key(std::string_view& key, std::string& decoded) {
    const std::size_t start = pos_ + 1;
    for (std::size_t at = start; at < text_.size(); ++at) {
        const auto c = static_cast<unsigned char>(text_[at]);
        if (c == '"') {
            key = text_.substr(start, at - start);
            pos_ = at + 1;
            return true;
        }
        if (c < 0x20 || c >= 0x80 || c == '\\') break;
    }
    if (!read_string(&decoded)) return false;
    key = decoded;
    return true;
}

bool JsonReader::read_utf8_sequence(std::string* decoded) {
    const std::size_t length = utf8_length(text_, pos_);
    if (length == 0) return fail_at_next("invalid unicode code point");
    if (decoded) decoded->append(text_.data() + pos_, length);
    pos_ += length;
    return true;
}

bool JsonReader::read_escape(std::string* decoded) {
    advance();  // backslash
    const int c = peek();
    if (c < 0) return fail_here("EOF while parsing a string");
    advance();
    char simple = 0;
    switch (c) {
        case '"': simple = '"'; break;
        case '\\': simple = '\\'; break;
        case '/': simple = '/'; break;
        case 'b': simple = '\b'; break;
        case 'f': simple = '\f'; break;
        case 'n': simple = '\n'; break;
        case 'r': simple = '\r'; break;
        case 't': simple = '\t'; break;
        case 'u': break;
        default: return fail_here("invalid escape");
    }
    if (c != 'u') {
        if (decoded) *decoded += simple;
        return true;
    }
    unsigned code = 0;
    if (!read_hex_quad(code)) return false;
    if (code >= 0xDC00 && code <= 0xDFFF) return fail_here("lone surrogate in hex escape");
    if (code >= 0xD800 && code <= 0xDBFF) {
        if (text_.substr(pos_, 2) != "\\u") return fail_here("unexpected end of hex escape");
        pos_ += 2;
        unsigned low = 0;
        if (!read_hex_quad(low)) return false;
        if (low < 0xDC00 || low > 0xDFFF) return fail_here("lone surrogate in hex escape");
        code = 0x10000 + ((code - 0xD800) << 10) + (low - 0xDC00);
    }
    if (decoded) append_utf8(*decoded, code);
    return true;
}

bool JsonReader::read_hex_quad(unsigned& code) {
    code = 0;
    for (int i = 0; i < 4; ++i) {
        const int c = peek();
        if (c < 0) return fail_here("EOF while parsing a string");
        advance();
        const int digit = hex_value(c);
        if (digit < 0) return fail_here("invalid escape");
        code = code * 16 + static_cast<unsigned>(digit);
    }
    return true;
}

bool JsonReader::read_literal_slowly(std::string_view word) {
    for (const char expected : word) {
        const int c = peek();
        if (c < 0) return fail_here("EOF while parsing a value");
        advance();
        if (c != expected) return fail_here("expected ident");
    }
    return true;
}

// Checks the form and finds the parts for the conversion in the same pass.
bool JsonReader::read_number(NumberToken& number) {
    // Locals: a store through a char pointer could otherwise alias the members.
    const char* const text = text_.data();
    const std::size_t size = text_.size();
    const std::size_t start = pos_;
    std::size_t at = pos_;
    const auto digit_at = [text, size](std::size_t k) { return k < size && is_digit(text[k]); };
    const auto digits = [&] {
        const std::size_t from = at;
        while (digit_at(at)) ++at;
        return std::string_view(text + from, at - from);
    };
    // The integer, fraction and exponent parts each need at least one digit.
    const auto missing_digit = [this, &at, size] {
        pos_ = at;
        return at < size ? fail_at_next("invalid number") : fail_here("EOF while parsing a value");
    };
    DecimalParts& parts = number.parts;
    parts = {};
    parts.negative = at < size && text[at] == '-';
    if (parts.negative) ++at;
    if (!digit_at(at)) return missing_digit();
    if (text[at] == '0' && digit_at(at + 1)) {
        pos_ = at + 1;
        return fail_at_next("invalid number");
    }
    parts.whole = text[at] == '0' ? std::string_view(text + at++, 1) : digits();
    number.integer = true;
    if (at < size && text[at] == '.') {
        ++at;
        number.integer = false;
        if (!digit_at(at)) return missing_digit();
        parts.fraction = digits();
    }
    if (at < size && (text[at] == 'e' || text[at] == 'E')) {
        ++at;
        number.integer = false;
        const bool negative = at < size && text[at] == '-';
        if (at < size && (text[at] == '-' || text[at] == '+')) ++at;
        if (!digit_at(at)) return missing_digit();
        for (; digit_at(at); ++at) {
            parts.exponent =
                std::min(parts.exponent * 10 + (text[at] - '0'), DecimalParts::EXPONENT_SATURATION);
        }
        if (negative) parts.exponent = -parts.exponent;
    }
    pos_ = at;
    number.text = std::string_view(text + start, at - start);
    return true;
}

bool JsonReader::number_to_double(const NumberToken& number, double& value) {
    value = decimal_to_double(number.parts);
    if (std::isinf(value)) return fail_here("number out of range");
    return true;
}

bool JsonReader::read_float(float& value) {
    NumberToken number;
    if (!read_number(number)) return false;
    // Rounded from the decimal text directly: going through the double could round twice.
    value = decimal_to_float(number.parts);
    // Beyond the float range: still an error when it does not even fit a double.
    double wide = 0.0;
    return !std::isinf(value) || number_to_double(number, wide);
}

bool JsonReader::name_number(const NumberToken& number, std::string& name) {
    // An integer is named as it was written, whatever its size or sign (-0 included).
    if (number.integer) {
        name = "integer `";
        name += number.text;
        name += '`';
        return true;
    }
    double value = 0.0;
    if (!number_to_double(number, value)) return false;
    name = "floating point `";
    append_plain_decimal(name, value);
    name += '`';
    return true;
}

bool JsonReader::name_value(std::string& name) {
    const int c = peek_significant();
    switch (c) {
        case 'n':
            name = "null";
            return read_literal("null");
        case 't':
            name = "boolean `true`";
            return read_literal("true");
        case 'f':
            name = "boolean `false`";
            return read_literal("false");
        case '"': {
            std::string text;
            if (!read_string(&text)) return false;
            name = "string ";
            append_json_string(name, text);
            return true;
        }
        case '[':
            name = "sequence";
            return true;
        case '{':
            name = "map";
            return true;
        case -1:
            return fail_at_next("EOF while parsing a value");
        default:
            break;
    }
    if (c != '-' && !is_digit(c)) return fail_at_next("expected value");
    NumberToken number;
    return read_number(number) && name_number(number, name);
}

bool JsonReader::skip_scalar() {
    const int c = peek_significant();
    switch (c) {
        case '"': return read_string(nullptr);
        case 't': return read_literal("true");
        case 'f': return read_literal("false");
        case 'n': return read_literal("null");
        case -1: return fail_at_next("EOF while parsing a value");
        default: break;
    }
    if (c != '-' && !is_digit(c)) return fail_at_next("expected value");
    NumberToken number;
    return read_number(number);
}

bool JsonReader::read_member_key() {
    const int c = peek_significant();
    if (c == '"') return read_string(nullptr) && read_colon();
    if (c < 0) return fail_at_next("EOF while parsing an object");
    return fail_at_next("key must be a string");
}

bool JsonReader::skip_value() {
    std::vector<char> closings;  // of every container still open, innermost last
    bool expect_value = true;
    for (;;) {
        if (expect_value) {
            const int c = peek_significant();
            if (c != '[' && c != '{') {
                if (!skip_scalar()) return false;
                expect_value = false;
                continue;
            }
            advance();
            const char closing = c == '[' ? ']' : '}';
            if (peek_significant() == closing) {
                advance();
                expect_value = false;
                continue;
            }
            closings.push_back(closing);
            if (closing == '}' && !read_member_key()) return false;
            continue;
        }
        if (closings.empty()) return true;
        const char closing = closings.back();
        const int c = peek_significant();
        if (c == closing) {
            advance();
            closings.pop_back();
        } else if (c == ',') {
            advance();
            if (peek_significant() == closing) return fail_at_next("trailing comma");
            if (closing == '}' && !read_member_key()) return false;
            expect_value = true;
        } else if (c < 0) {
            return fail_at_next(closing == ']' ? "EOF while parsing a list"
                                               : "EOF while parsing an object");
        } else {
            return fail_at_next(closing == ']' ? "expected `,` or `]`" : "expected `,` or `}`");
        }
    }
}

}  // namespace vantrel_sim
