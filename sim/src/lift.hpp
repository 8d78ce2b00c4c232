#pragma once

namespace vantrel_sim {

// The platform's largest move in one tick (2.4 m/s): the float just above 0.02.
inline constexpr float LIFT_MAX_STEP = 0.020000001f;

}  // namespace vantrel_sim
