#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "input.hpp"

namespace vantrel_sim {

// A cursor over one JSON text with the token readers the Input reader needs. Every reader
// returns false after recording the first fault; the caller then stops and asks for error().
class JsonReader {
public:
    explicit JsonReader(std::string_view text) : text_(text) {}

    // Skips blanks and returns the next byte, or -1 at the end of the text.
    int peek_significant();
    void advance() { ++pos_; }

    // Faults end where the reader stopped: after what it consumed, or on the byte it looked at.
    bool fail_here(std::string description);
    bool fail_at_next(std::string description);
    InputError error() const;

    bool read_colon();
    // At the opening quote. Resolves escapes into `decoded` when it is given.
    bool read_string(std::string* decoded);
    // At a true, false or null literal.
    bool read_literal(std::string_view word);
    // At a number: the value rounded to the nearest float, ±infinity beyond the float range.
    bool read_float(float& value);
    // Skips one value of any depth, keeping the open brackets in a list instead of recursing.
    bool skip_value();
    // Reads a scalar (or looks at a bracket) and names it as type errors do: null,
    // boolean `true`, integer `1`, floating point `1.5`, string "a", sequence, map.
    bool name_value(std::string& name);

private:
    struct NumberToken {
        std::string_view text;
        bool integer = true;
    };

    int peek() const;
    bool read_digits();
    bool read_number(NumberToken& number);
    bool number_to_double(const NumberToken& number, double& value);
    bool name_number(const NumberToken& number, std::string& name);
    bool read_escape(std::string* decoded);
    bool read_hex_quad(unsigned& code);
    bool read_utf8_sequence(std::string* decoded);
    bool skip_scalar();
    bool read_member_key();

    std::string_view text_;
    std::size_t pos_ = 0;
    std::string description_;
    std::size_t stop_ = 0;
};

}  // namespace vantrel_sim
