#include "math/geometry.hpp"

#include <algorithm>
#include <cmath>

#include "internal_error.hpp"

namespace vantrel_sim {

namespace {

constexpr float PARALLEL_EPSILON = 0.00001f;

}  // namespace

std::optional<float> segment_box_time(Vec3 a, Vec3 b, Vec3 center, Vec3 size) {
    float enter = 0.0f;
    float exit = 1.0f;
    for (std::size_t i = 0; i < 3; ++i) {
        const float d = b[i] - a[i];
        const float lo = center[i] - size[i] * 0.5f;
        const float hi = size[i] * 0.5f + center[i];
        if (std::abs(d) < PARALLEL_EPSILON) {
            if (a[i] < lo || a[i] > hi) {
                return std::nullopt;
            }
            continue;
        }
        const float t1 = (lo - a[i]) / d;
        const float t2 = (hi - a[i]) / d;
        enter = std::max(enter, std::min(t1, t2));
        exit = std::min(exit, std::max(t1, t2));
        if (enter > exit) {
            return std::nullopt;
        }
    }
    if (enter <= 1.0f && exit >= 0.0f) {
        return enter;
    }
    return std::nullopt;
}

bool segment_hits_box(Vec3 a, Vec3 b, Vec3 center, Vec3 size) {
    return segment_box_time(a, b, center, size).has_value();
}

Vec3 closest_point_on_box(Vec3 p, Vec3 center, Vec3 size) {
    Vec3 result;
    for (std::size_t i = 0; i < 3; ++i) {
        if (size[i] < 0.0f) {
            throw InternalError("closest_point_on_box: a box with a negative size");
        }
        const float lo = center[i] - size[i] * 0.5f;
        const float hi = center[i] + size[i] * 0.5f;
        float v = p[i];
        if (v < lo) {
            v = lo;
        } else if (hi < v) {
            v = hi;
        }
        result[i] = v;
    }
    return result;
}

}  // namespace vantrel_sim
