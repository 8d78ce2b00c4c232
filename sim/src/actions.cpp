// Placeholder: replaced by the real implementation.
#include "game.hpp"
#include "internal_error.hpp"

namespace vantrel_sim {


void Game::execute(std::size_t, const Intent&) { throw InternalError("not built"); }
void Game::apply_catch(std::size_t, std::size_t) { throw InternalError("not built"); }

}  // namespace vantrel_sim
