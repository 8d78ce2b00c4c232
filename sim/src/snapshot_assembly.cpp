// Placeholder: replaced by the real implementation.
#include "game.hpp"
#include "internal_error.hpp"

namespace vantrel_sim {


Snapshot Game::snapshot() const { throw InternalError("not built"); }

}  // namespace vantrel_sim
