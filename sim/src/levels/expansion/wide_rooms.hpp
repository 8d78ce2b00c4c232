#pragma once

#include <cstdint>
#include <string_view>

#include "levels/level.hpp"

namespace vantrel_sim {

// What every wide room sets first: texts, size, shell, spawn, goal, limit and main cargo.
struct WideRoomFrame {
    std::string_view title;
    std::string_view objective;
    std::string_view hint;
    float width = 0.0f;
    float depth = 0.0f;
    float spawn_z = 0.0f;
    float goal_z = 0.0f;
    std::uint32_t limit = 0;
    std::string_view cargo_label;
    Vec3 cargo_pos;
};
void begin_wide_room(Level& level, const WideRoomFrame& frame);

// Rooms 12, 13 and 14 without their decoys.
void sorting_ring(Level& level);
void radio_shadow(Level& level);
void far_dock(Level& level);

}  // namespace vantrel_sim
