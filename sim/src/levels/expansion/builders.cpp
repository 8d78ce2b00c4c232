#include <string>
#include <utility>

#include "levels/builders.hpp"
#include "levels/expansion/expansion.hpp"

namespace vantrel_sim {
namespace {

// The part above an opening: openings are 3.4 high under a 5-high wall.
BoxView opening_lintel(float center, float half, float z) {
    return {{center, 4.2f, z}, {2.0f * half, 1.6f, 0.45f}};
}

}  // namespace

void gate(Level& level, float x, float z, std::string_view label, DoorRule rule) {
    DoorView door;
    door.label = std::string(label);
    door.pos = {x, 1.7f, z};
    door.size = {3.3f, 3.4f, 0.45f};
    level.doors.push_back(std::move(door));
    level.door_rules.push_back(std::move(rule));
}

void partition(Level& level, float z, PartitionOpenings openings) {
    const float half = level.room_size[0] / 2.0f;
    const float a_start = openings.center_a - openings.half_a;
    const float a_end = openings.center_a + openings.half_a;
    const float b_start = openings.center_b - openings.half_b;
    const float b_end = openings.center_b + openings.half_b;
    if (a_start > -half) {
        level.walls.push_back(wall_piece(-half, a_start, z));
    }
    level.walls.push_back(opening_lintel(openings.center_a, openings.half_a, z));
    if (b_start - a_end > 0.0f) {
        level.walls.push_back(wall_piece(a_end, b_start, z));
    }
    level.walls.push_back(opening_lintel(openings.center_b, openings.half_b, z));
    if (half - b_end > 0.0f) {
        level.walls.push_back(wall_piece(b_end, half, z));
    }
}

}  // namespace vantrel_sim
