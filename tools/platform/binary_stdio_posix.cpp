#include "binary_stdio.hpp"

namespace vantrel_tools {

// POSIX streams never translate line ends.
void use_binary_stdio() {}

}  // namespace vantrel_tools
