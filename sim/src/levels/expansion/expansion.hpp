#pragma once

#include <cstddef>
#include <string_view>

#include "levels/level.hpp"

namespace vantrel_sim {

// Rooms 12 and 13; every other index builds room 14.
void expansion(Level& level, std::size_t index);

// A wide door with its rule, in an opening a partition already left.
void gate(Level& level, float x, float z, std::string_view label, DoorRule rule);

// Two openings (centre, half width), left to right, in a full-width wall at depth z.
struct PartitionOpenings {
    float center_a;
    float half_a;
    float center_b;
    float half_b;
};
void partition(Level& level, float z, PartitionOpenings openings);

}  // namespace vantrel_sim
