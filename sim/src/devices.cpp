// Placeholder: replaced by the real implementation.
#include "game.hpp"
#include "internal_error.hpp"

namespace vantrel_sim {


void Game::update_switches(bool) { throw InternalError("not built"); }

}  // namespace vantrel_sim
