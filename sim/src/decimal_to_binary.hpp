#pragma once

#include <string_view>

namespace vantrel_sim {

// Decimal text to the nearest float or double, ties to even, from a JSON number's text
// (-?digits(.digits)?([eE][+-]?digits)?), correctly rounded however many digits it has.
// Beyond the range the result is an infinity and below it a zero, each with the text's
// sign. Any other text is read as far as it has that form, never beyond its end.
float decimal_to_float(std::string_view text);
double decimal_to_double(std::string_view text);

}  // namespace vantrel_sim
