#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <limits>
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

// A region of space and, in list order, the solid boxes that reach into it. A query that
// lies inside the region sees exactly the boxes that can touch it, in the order that breaks
// ties, so results stay those of the whole list; a query outside it moves the region. For
// the many steps of one body through one set of boxes, such as the throw preview.
struct NearBoxes {
    static constexpr float NOT_A_REGION = std::numeric_limits<float>::quiet_NaN();
    std::span<const BoxView> all;
    // Not a number until the first query: no query lies inside.
    Vec3 lo{NOT_A_REGION, NOT_A_REGION, NOT_A_REGION};
    Vec3 hi{NOT_A_REGION, NOT_A_REGION, NOT_A_REGION};
    BoxList near;
};

// The boxes of `solids.all` that can touch the box from `lo` to `hi`, in list order.
std::span<const BoxView> boxes_around(NearBoxes& solids, Vec3 lo, Vec3 hi);

// The lift platform as a box whose top surface lies at the lift's height.
BoxView lift_platform_box(const LiftView& lift);
// Walls, closed doors, then the lift platform: the order breaks ties.
BoxList solid_boxes(const Level& level);

float clip_axis(Vec3 pos, Vec3 size, std::size_t axis, float delta, std::span<const BoxView> boxes);
Vec3 sweep_box(Vec3& from, Vec3 to, Vec3 size, std::span<const BoxView> boxes);
void separate_cargo(Cargo& cargo, std::span<const BoxView> boxes);
void integrate_cargo(Cargo& cargo, std::span<const BoxView> boxes, std::span<const FanView> fans,
                     float gravity);
// The same step, looking only at the boxes near the cargo; the result is identical.
void integrate_cargo(Cargo& cargo, NearBoxes& solids, std::span<const FanView> fans, float gravity);

}  // namespace vantrel_sim
