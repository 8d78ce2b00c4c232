#pragma once

namespace vantrel_sim {

// The player's body: an upright column on its feet point. Against a box it counts as a
// rounded footprint whose radius is 0.3 less the overlap tolerance (the float 0.29990003).
inline constexpr float BODY_HEIGHT = 1.75f;
inline constexpr float BODY_CONTACT_RADIUS = 0.29990003f;

}  // namespace vantrel_sim
