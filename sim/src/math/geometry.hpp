#pragma once

#include <optional>

#include "math/vec3.hpp"

namespace vantrel_sim {

// Fraction in [0, 1] along a->b at which the segment enters the box (0 when a is
// inside); none when it misses. Boundaries count as inside.
std::optional<float> segment_box_time(Vec3 a, Vec3 b, Vec3 center, Vec3 size);
bool segment_hits_box(Vec3 a, Vec3 b, Vec3 center, Vec3 size);
// p clamped into the box axis by axis; a negative size is an internal error.
Vec3 closest_point_on_box(Vec3 p, Vec3 center, Vec3 size);
// The boxes interpenetrate by more than 0.0001 on all three axes.
bool overlap(Vec3 center_a, Vec3 size_a, Vec3 center_b, Vec3 size_b);

}  // namespace vantrel_sim
