#pragma once

#include "levels/level.hpp"

namespace vantrel_sim {

// Speed in m/s along the view direction: shared by a real throw and its preview.
inline float throw_speed(CargoStyle style) {
    switch (style) {
        case CargoStyle::Oxygen:
        case CargoStyle::Battery:
            return 5.4f;
        case CargoStyle::Bio:
            return 9.0f;
        case CargoStyle::Ballast:
            return 3.9f;
        default:
            return 7.8f;
    }
}

}  // namespace vantrel_sim
