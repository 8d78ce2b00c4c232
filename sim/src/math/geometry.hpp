#pragma once

#include <cmath>
#include <cstddef>
#include <optional>

#include "math/vec3.hpp"

namespace vantrel_sim {

// Fraction in [0, 1] along a->b at which the segment enters the box (0 when a is
// inside); none when it misses. Boundaries count as inside.
std::optional<float> segment_box_time(Vec3 a, Vec3 b, Vec3 center, Vec3 size);
bool segment_hits_box(Vec3 a, Vec3 b, Vec3 center, Vec3 size);
// p clamped into the box axis by axis; a negative size is an internal error.
Vec3 closest_point_on_box(Vec3 p, Vec3 center, Vec3 size);
// Inline, both: they run for every solid box on every cargo step.
// How close two centres must come along one axis for the boxes to interpenetrate there.
inline float overlap_reach(float size_a, float size_b) { return (size_a + size_b) * 0.5f - 0.0001f; }
// Along one axis the boxes interpenetrate by more than 0.0001.
inline bool overlap_on_axis(float center_a, float size_a, float center_b, float size_b) {
    return std::abs(center_a - center_b) < overlap_reach(size_a, size_b);
}
// The boxes interpenetrate by more than 0.0001 on all three axes.
inline bool overlap(Vec3 center_a, Vec3 size_a, Vec3 center_b, Vec3 size_b) {
    return overlap_on_axis(center_a.x, size_a.x, center_b.x, size_b.x) &&
           overlap_on_axis(center_a.y, size_a.y, center_b.y, size_b.y) &&
           overlap_on_axis(center_a.z, size_a.z, center_b.z, size_b.z);
}

}  // namespace vantrel_sim
