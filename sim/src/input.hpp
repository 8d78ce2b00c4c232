#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <variant>

namespace vantrel_sim {

// One frame of input. Field order is the order of the array form of the JSON text.
struct Input {
    float dt = 0.0f;
    float mx = 0.0f;
    float mz = 0.0f;
    float yaw = 0.0f;
    float pitch = 0.0f;
    bool jump = false;
    bool interact = false;
    bool throw_ = false;  // JSON key "throw"
    bool commit = false;
    bool reset = false;
    bool retry = false;
    bool undo = false;
    bool next = false;
};

struct InputError {
    std::string description;
    std::size_t line = 1;
    std::size_t column = 0;

    // "<description> at line <line> column <column>"
    std::string text() const;
};

std::variant<Input, InputError> parse_input(std::string_view text);

}  // namespace vantrel_sim
