// Placeholder: replaced by the real implementation.
#include "levels/expansion/expansion.hpp"
#include "internal_error.hpp"

namespace vantrel_sim {


void expansion(Level&, std::size_t) { throw InternalError("not built"); }

}  // namespace vantrel_sim
