#pragma once

#include "levels/level.hpp"
#include "math/vec3.hpp"

namespace vantrel_sim {

// The player's body: an upright column on its feet point. Against a box it counts as a
// rounded footprint whose radius is 0.3 less the overlap tolerance (the float 0.29990003).
inline constexpr float BODY_HEIGHT = 1.75f;
inline constexpr float BODY_CONTACT_RADIUS = 0.29990003f;

// Whether the body standing at `feet` reaches into the box: the test that blocks walking.
bool body_touches(Vec3 feet, const BoxView& box);

}  // namespace vantrel_sim
