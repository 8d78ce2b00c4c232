#pragma once

#include "math/vec3.hpp"

namespace vantrel_sim {

// Shared by choosing a target and by the action that checks it again when it runs.
inline constexpr float REACH = 2.5f;  // length of the view ray from the eye
inline constexpr float TARGET_MARGIN = 0.12f;  // how far beside a target box a Near hit counts
inline constexpr Vec3 SWITCH_SIZE{0.62f, 0.62f, 0.62f};  // around a fan, console or lift control

}  // namespace vantrel_sim
