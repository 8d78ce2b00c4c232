#pragma once

#include <cmath>
#include <cstddef>

namespace vantrel_sim {

// Three 32-bit floats, y up. Operators evaluate exactly as written component by
// component, so callers control the order of every float operation.
struct Vec3 {
    float x = 0.0f;
    float y = 0.0f;
    float z = 0.0f;

    float& operator[](std::size_t axis) { return axis == 0 ? x : (axis == 1 ? y : z); }
    float operator[](std::size_t axis) const { return axis == 0 ? x : (axis == 1 ? y : z); }

    friend bool operator==(const Vec3&, const Vec3&) = default;
};

inline Vec3 operator+(Vec3 a, Vec3 b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }
inline Vec3 operator-(Vec3 a, Vec3 b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
inline Vec3 operator*(Vec3 a, float s) { return {a.x * s, a.y * s, a.z * s}; }
inline float dot(Vec3 a, Vec3 b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
inline float length(Vec3 a) { return std::sqrt(dot(a, a)); }

}  // namespace vantrel_sim
