// Placeholder: replaced by the real implementation.
#include "game.hpp"
#include "internal_error.hpp"

namespace vantrel_sim {


void Game::update(Input&) { throw InternalError("not built"); }
void Game::tick(std::uint32_t, const Input&) { throw InternalError("not built"); }
void Game::move_cargo() { throw InternalError("not built"); }
void Game::catch_flying_cargo() { throw InternalError("not built"); }
void Game::check_goal() { throw InternalError("not built"); }

}  // namespace vantrel_sim
