// Placeholder: replaced by the real implementation.
#include "levels/builders.hpp"
#include "internal_error.hpp"

namespace vantrel_sim {



}  // namespace vantrel_sim
