#pragma once

#include "levels/level.hpp"

namespace vantrel_sim {

// Room 15: two floors, a lift and the cargo-gravity consoles.
void gravity_terminal(Level& level);

}  // namespace vantrel_sim
