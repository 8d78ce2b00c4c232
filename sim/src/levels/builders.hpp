#pragma once

#include <string_view>
#include <vector>

#include "levels/level.hpp"

namespace vantrel_sim {

std::vector<BoxView> room_shell(float width, float depth);
std::vector<BoxView> room_shell_at_height(float width, float depth, float height);
// A full-height piece of a wall line along x between two x positions, 0.45 thick.
BoxView wall_piece(float from, float to, float z);
SocketView powered_socket(float x, float z, std::string_view label);
PlateView plate(Vec3 pos, std::string_view label);
void barrier(std::vector<BoxView>& walls, std::vector<DoorView>& doors, float z, float window_x,
             float door_x, std::string_view label);
void bulkhead(Level& level, float x, float z, std::string_view label);

}  // namespace vantrel_sim
