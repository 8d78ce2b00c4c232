#pragma once

#include <charconv>
#include <cstddef>
#include <string>
#include <string_view>

namespace vantrel_sim {

// Room for any text of format_float; the longest, 17 bytes, is a sign, "0.", five zeros and
// nine digits.
inline constexpr std::size_t FLOAT_TEXT_CAPACITY = 32;

// Writes a finite float with its shortest round-trip digits: plain notation for decimal
// exponents -6..12 (20.0, 0.04), scientific otherwise (1e-7, 1.5e-7, 1e+13). Returns the end;
// bytes after it, up to FLOAT_TEXT_CAPACITY, may have been overwritten.
char* format_float(char* buffer, float value);

// An integer in plain decimal, with a minus sign when negative.
template <typename Integer>
void append_integer(std::string& out, Integer value) {
    char buffer[24];
    out.append(buffer, std::to_chars(buffer, buffer + sizeof buffer, value).ptr);
}

// The JSON number of a float, or null when it is not finite.
void append_number(std::string& out, float value);

// A finite double with its shortest round-trip digits in plain notation with at least one
// fractional digit (100000.0, 0.0000001), as error messages name numbers.
void append_plain_decimal(std::string& out, double value);

// A JSON string literal: \" \\ \b \t \n \f \r, other bytes below 32 as \u00xx, the rest raw.
void append_json_string(std::string& out, std::string_view text);

}  // namespace vantrel_sim
