#include <array>
#include <cstdint>

#include "input.hpp"
#include "json_reader.hpp"
#include "json_text.hpp"

namespace vantrel_sim {
namespace {

// The keys in declaration order, which is also the order of the array form.
constexpr std::array<std::string_view, 13> FIELD_KEYS = {
    "dt", "mx", "mz", "yaw", "pitch", "jump", "interact",
    "throw", "commit", "reset", "retry", "undo", "next",
};
constexpr std::size_t FIELD_COUNT = FIELD_KEYS.size();

// Every key fits in eight bytes, so a key is matched by comparing its length and its bytes
// packed into one integer with each field's.
constexpr std::uint64_t packed(std::string_view key) {
    std::uint64_t value = 0;
    for (std::size_t i = 0; i < key.size() && i < 8; ++i) {
        value |= std::uint64_t{static_cast<unsigned char>(key[i])} << (8 * i);
    }
    return value;
}

constexpr auto PACKED_KEYS = [] {
    std::array<std::uint64_t, FIELD_COUNT> keys{};
    for (std::size_t i = 0; i < FIELD_COUNT; ++i) keys[i] = packed(FIELD_KEYS[i]);
    return keys;
}();

std::size_t field_index(std::string_view key) {
    if (key.size() > 8) return FIELD_COUNT;
    const std::uint64_t value = packed(key);
    for (std::size_t i = 0; i < FIELD_COUNT; ++i) {
        if (PACKED_KEYS[i] == value && FIELD_KEYS[i].size() == key.size()) return i;
    }
    return FIELD_COUNT;
}

float* float_field(Input& input, std::size_t field) {
    switch (field) {
        case 0: return &input.dt;
        case 1: return &input.mx;
        case 2: return &input.mz;
        case 3: return &input.yaw;
        case 4: return &input.pitch;
        default: return nullptr;
    }
}

bool& flag_field(Input& input, std::size_t field) {
    switch (field) {
        case 5: return input.jump;
        case 6: return input.interact;
        case 7: return input.throw_;
        case 8: return input.commit;
        case 9: return input.reset;
        case 10: return input.retry;
        case 11: return input.undo;
        default: return input.next;
    }
}

bool fail_invalid_type(JsonReader& reader, std::string_view expected) {
    std::string name;
    if (!reader.name_value(name)) return false;
    std::string description = "invalid type: ";
    description += name;
    description += ", expected ";
    description += expected;
    return reader.fail_here(std::move(description));
}

bool read_field(JsonReader& reader, Input& input, std::size_t field) {
    const int c = reader.peek_significant();
    if (float* value = float_field(input, field)) {
        if (c == '-' || (c >= '0' && c <= '9')) return reader.read_float(*value);
        return fail_invalid_type(reader, "f32");
    }
    bool& flag = flag_field(input, field);
    if (c == 't' || c == 'f') {
        flag = c == 't';
        return flag ? reader.read_literal("true") : reader.read_literal("false");
    }
    return fail_invalid_type(reader, "a boolean");
}

bool read_object_form(JsonReader& reader, Input& input) {
    reader.advance();  // '{'
    std::array<bool, FIELD_COUNT> seen{};
    std::string decoded;
    for (bool first = true;; first = false) {
        int c = reader.peek_significant();
        if (c == '}') {
            reader.advance();
            return true;
        }
        if (!first) {
            if (c < 0) return reader.fail_at_next("EOF while parsing an object");
            if (c != ',') return reader.fail_at_next("expected `,` or `}`");
            reader.advance();
            c = reader.peek_significant();
            if (c == '}') return reader.fail_at_next("trailing comma");
            if (c < 0) return reader.fail_at_next("EOF while parsing a value");
        }
        if (c < 0) return reader.fail_at_next("EOF while parsing an object");
        if (c != '"') return reader.fail_at_next("key must be a string");
        std::string_view key;
        if (!reader.read_key(key, decoded)) return false;
        const std::size_t field = field_index(key);
        if (field < FIELD_COUNT && seen[field]) {
            return reader.fail_here("duplicate field `" + std::string(key) + "`");
        }
        if (!reader.read_colon()) return false;
        if (field == FIELD_COUNT) {
            if (!reader.skip_value()) return false;
            continue;
        }
        seen[field] = true;
        if (!read_field(reader, input, field)) return false;
    }
}

bool read_array_form(JsonReader& reader, Input& input) {
    reader.advance();  // '['
    for (std::size_t field = 0; field < FIELD_COUNT; ++field) {
        int c = reader.peek_significant();
        if (c == ']') {
            reader.advance();
            return true;
        }
        if (c < 0) return reader.fail_at_next("EOF while parsing a list");
        if (field > 0) {
            if (c != ',') return reader.fail_at_next("expected `,` or `]`");
            reader.advance();
            if (reader.peek_significant() == ']') return reader.fail_at_next("trailing comma");
        }
        if (!read_field(reader, input, field)) return false;
    }
    // Every field is filled: only the closing bracket may follow.
    const int c = reader.peek_significant();
    if (c == ']') {
        reader.advance();
        return true;
    }
    if (c == ',') {
        reader.advance();
        if (reader.peek_significant() == ']') return reader.fail_at_next("trailing comma");
        return reader.fail_at_next("trailing characters");
    }
    if (c < 0) return reader.fail_at_next("EOF while parsing a list");
    return reader.fail_at_next("trailing characters");
}

bool read_document(JsonReader& reader, Input& input) {
    const int c = reader.peek_significant();
    if (c < 0) return reader.fail_at_next("EOF while parsing a value");
    if (c != '{' && c != '[') return fail_invalid_type(reader, "struct Input");
    if (!(c == '{' ? read_object_form(reader, input) : read_array_form(reader, input))) {
        return false;
    }
    if (reader.peek_significant() >= 0) return reader.fail_at_next("trailing characters");
    return true;
}

}  // namespace

std::string InputError::text() const {
    std::string text = description;
    text += " at line ";
    append_integer(text, line);
    text += " column ";
    append_integer(text, column);
    return text;
}

std::variant<Input, InputError> parse_input(std::string_view text) {
    JsonReader reader(text);
    Input input;
    if (!read_document(reader, input)) return reader.error();
    return input;
}

}  // namespace vantrel_sim
