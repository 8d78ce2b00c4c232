// Placeholder: replaced by the real implementation.
#include "game.hpp"
#include "internal_error.hpp"

namespace vantrel_sim {


void Game::commit() { throw InternalError("not built"); }
void Game::place_echoes(std::uint32_t) { throw InternalError("not built"); }
void Game::replay_echo_actions(std::uint32_t) { throw InternalError("not built"); }

}  // namespace vantrel_sim
