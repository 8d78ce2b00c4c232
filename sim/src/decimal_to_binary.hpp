#pragma once

#include <cstdint>
#include <string_view>

namespace vantrel_sim {

// A decimal number as its text reads: ±whole.fraction · 10^exponent.
struct DecimalParts {
    // A written exponent of any length saturates here: far beyond every range, yet far from
    // overflowing when the place of the digits is added.
    static constexpr std::int64_t EXPONENT_SATURATION = 1'000'000'000'000'000;

    bool negative = false;
    std::string_view whole;     // digits before the point
    std::string_view fraction;  // digits after it, if any
    std::int64_t exponent = 0;  // as written, saturated
};

// Decimal text to the nearest float or double, ties to even, from a JSON number's text
// (-?digits(.digits)?([eE][+-]?digits)?), correctly rounded however many digits it has.
// Beyond the range the result is an infinity and below it a zero, each with the text's
// sign. Any other text is read as far as it has that form, never beyond its end.
float decimal_to_float(std::string_view text);
double decimal_to_double(std::string_view text);

// The same from the parts a reader has already found.
float decimal_to_float(const DecimalParts& parts);
double decimal_to_double(const DecimalParts& parts);

}  // namespace vantrel_sim
