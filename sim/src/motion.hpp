#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

#include "levels/level.hpp"
#include "math/vec3.hpp"

namespace vantrel_sim {

struct Cargo;

inline constexpr float TICK = 1.0f / 120.0f;  // 0.008333334
inline constexpr float TICKS_PER_SECOND = 119.99999f;  // the f32 reciprocal of TICK
// Whole seconds of level data (limits, latches, cycles) in ticks.
inline constexpr std::uint32_t TICKS_PER_WHOLE_SECOND = 120;

// A fixed-capacity list of boxes, so that building the solid boxes never allocates.
struct BoxList {
    static constexpr std::size_t CAPACITY = 64;
    std::array<BoxView, CAPACITY> items;
    std::size_t count = 0;

    void push(const BoxView& box);  // overflow is an internal error
    void remove_equal(const BoxView& box);  // drops every box equal to this one, keeping order
    std::span<const BoxView> view() const { return {items.data(), count}; }
};

// The lift platform as a box whose top surface lies at the lift's height.
BoxView lift_platform_box(const LiftView& lift);
// Walls, closed doors, then the lift platform: the order breaks ties.
BoxList solid_boxes(const Level& level);

float clip_axis(Vec3 pos, Vec3 size, std::size_t axis, float delta, std::span<const BoxView> boxes);
Vec3 sweep_box(Vec3& from, Vec3 to, Vec3 size, std::span<const BoxView> boxes);
void separate_cargo(Cargo& cargo, std::span<const BoxView> boxes);
void integrate_cargo(Cargo& cargo, std::span<const BoxView> boxes, std::span<const FanView> fans,
                     float gravity);

}  // namespace vantrel_sim
