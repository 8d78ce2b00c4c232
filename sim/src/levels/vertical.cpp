// Placeholder: replaced by the real implementation.
#include "levels/vertical.hpp"
#include "internal_error.hpp"

namespace vantrel_sim {


void gravity_terminal(Level&) { throw InternalError("not built"); }

}  // namespace vantrel_sim
