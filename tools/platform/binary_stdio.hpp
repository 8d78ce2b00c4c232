#pragma once

namespace vantrel_tools {

// Standard input, output and error pass bytes unchanged: a line feed is written as a line
// feed and a carriage return is read as one, so every platform gives the same bytes.
void use_binary_stdio();

}  // namespace vantrel_tools
