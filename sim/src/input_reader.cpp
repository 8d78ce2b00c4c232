// Placeholder: replaced by the real implementation.
#include "input.hpp"
#include "internal_error.hpp"

namespace vantrel_sim {


std::string InputError::text() const { throw InternalError("not built"); }
std::variant<Input, InputError> parse_input(std::string_view) { throw InternalError("not built"); }

}  // namespace vantrel_sim
