#pragma once

#include <cstddef>
#include <cstring>
#include <string>
#include <string_view>

#include "decimal_to_binary.hpp"
#include "input.hpp"

namespace vantrel_sim {

// A cursor over one JSON text with the token readers the Input reader needs. Every reader
// returns false after recording the first fault; the caller then stops and asks for error().
class JsonReader {
public:
    explicit JsonReader(std::string_view text) : text_(text) {}

    // Skips blanks and returns the next byte, or -1 at the end of the text.
    int peek_significant() {
        const std::size_t size = text_.size();
        std::size_t at = pos_;
        while (at < size && is_blank(text_[at])) ++at;
        pos_ = at;
        return at < size ? static_cast<unsigned char>(text_[at]) : -1;
    }
    void advance() { ++pos_; }

    // Faults end where the reader stopped: after what it consumed, or on the byte it looked at.
    bool fail_here(std::string description);
    bool fail_at_next(std::string description);
    InputError error() const;

    bool read_colon();
    // At the opening quote. Resolves escapes into `decoded` when it is given.
    bool read_string(std::string* decoded);
    // At the opening quote of a key: its bytes straight from the text when they need no
    // decoding, else decoded into `decoded`.
    bool read_key(std::string_view& key, std::string& decoded);
    // At a true, false or null literal. Inline, so that a literal word is compared whole.
    bool read_literal(std::string_view word) {
        if (text_.size() - pos_ >= word.size() &&
            std::memcmp(text_.data() + pos_, word.data(), word.size()) == 0) {
            pos_ += word.size();
            return true;
        }
        return read_literal_slowly(word);
    }
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
        DecimalParts parts;
        bool integer = true;
    };

    static bool is_blank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }
    // Byte by byte, to find where a word that is not the literal goes wrong.
    bool read_literal_slowly(std::string_view word);
    int peek() const {
        return pos_ < text_.size() ? static_cast<unsigned char>(text_[pos_]) : -1;
    }
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
