// Placeholder: replaced by the real implementation.
#include "game.hpp"
#include "internal_error.hpp"

namespace vantrel_sim {


void Game::move_player(std::uint32_t, const Input&) { throw InternalError("not built"); }

}  // namespace vantrel_sim
