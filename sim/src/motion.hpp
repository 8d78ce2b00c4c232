#pragma once

#include <algorithm>
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

// A solid box as one moving body meets it: per axis, how far apart their centres are
// when the faces touch (half the sum of the sizes), the bound below which they
// interpenetrate, and where a move up or down the axis has passed the face it meets and
// where it stops short of it. Worked out once for the many steps of one body.
struct BodyBox {
    Vec3 pos;
    Vec3 half_sum;
    Vec3 overlap_reach;
    Vec3 past_up;
    Vec3 stop_up;
    Vec3 past_down;
    Vec3 stop_down;
};

[[noreturn]] void too_many_boxes();

// A fixed-capacity list of boxes, so that building the solid boxes never allocates.
template <typename Box>
struct FixedBoxList {
    static constexpr std::size_t CAPACITY = 64;
    // Only the first `count` slots hold boxes. The rest are left unset and are not copied:
    // lists are built and copied several times a tick, and 64 boxes are over 1.5 KB.
    union {
        Box items[CAPACITY];
    };
    std::size_t count = 0;

    FixedBoxList() {}
    FixedBoxList(const FixedBoxList& other) : count(other.count) { std::copy_n(other.items, count, items); }
    FixedBoxList& operator=(const FixedBoxList& other) {
        if (this != &other) {
            count = other.count;
            std::copy_n(other.items, count, items);
        }
        return *this;
    }

    // Overflow is an internal error. In line: rooms push every wall several times a tick.
    void push(const Box& box) {
        if (count >= CAPACITY) {
            too_many_boxes();
        }
        items[count] = box;
        ++count;
    }
    // Drops every box equal to this one, keeping the order of the rest.
    void remove_equal(const Box& box) {
        std::size_t kept = 0;
        for (std::size_t i = 0; i < count; ++i) {
            if (!(items[i] == box)) {
                items[kept] = items[i];
                ++kept;
            }
        }
        count = kept;
    }
    std::span<const Box> view() const { return {items, count}; }
};

using BoxList = FixedBoxList<BoxView>;

// A region of space and, in list order, the solid boxes that reach into it, prepared for
// one body size. A query that lies inside the region sees exactly the boxes that can touch
// it, in the order that breaks ties, so results stay those of the whole list; a query
// outside it moves the region. For the many steps of one body through one set of boxes,
// such as the throw preview. Only `all` needs setting: the rest follows the body.
struct NearBoxes {
    static constexpr float NOT_A_REGION = std::numeric_limits<float>::quiet_NaN();
    std::span<const BoxView> all;
    // Not a number until the first query: no query lies inside.
    Vec3 lo{NOT_A_REGION, NOT_A_REGION, NOT_A_REGION};
    Vec3 hi{NOT_A_REGION, NOT_A_REGION, NOT_A_REGION};
    Vec3 body{NOT_A_REGION, NOT_A_REGION, NOT_A_REGION};
    Vec3 half_body{NOT_A_REGION, NOT_A_REGION, NOT_A_REGION};
    Vec3 step_reach{NOT_A_REGION, NOT_A_REGION, NOT_A_REGION};  // what one step can reach
    FixedBoxList<BodyBox> near;
};

// Makes the near boxes those of a body of this size, dropping the region if it was
// prepared for another.
void prepare_for_body(NearBoxes& solids, Vec3 size);
// The boxes of `solids.all` that can touch the box from `lo` to `hi`, in list order.
std::span<const BodyBox> boxes_around(NearBoxes& solids, Vec3 lo, Vec3 hi);

// The last step of every free cargo, remembered with all it read (the cargo's position,
// velocity, size and style; the solid boxes, the fans and the gravity), so that a cargo at
// rest among unchanged surroundings is not stepped again: the step is a pure function of
// what it reads, so its remembered result is the result. Fixed sizes: no allocation.
struct CargoSteps {
    static constexpr std::size_t MAX_CARGO = 32;
    static constexpr std::size_t MAX_FANS = 8;
    struct Step {
        std::array<std::uint32_t, 10> read{};   // position, velocity, size and style
        std::array<std::uint32_t, 6> result{};  // position and velocity
        bool known = false;
    };
    // The surroundings every known step was taken in.
    BoxList solids;
    std::array<std::array<std::uint32_t, 7>, MAX_FANS> fans{};
    std::size_t fan_count = 0;
    std::uint32_t gravity = 0;
    bool surroundings_known = false;
    std::array<Step, MAX_CARGO> steps{};
};

// Starts a tick's cargo steps: the remembered ones stay only when the solid boxes, the fans
// and the gravity are bit for bit those they were taken in.
void begin_cargo_steps(CargoSteps& memo, const BoxList& solids, std::span<const FanView> fans, float gravity);
// integrate_cargo for cargo number `index`, or its remembered result when it read the same.
void integrate_cargo(Cargo& cargo, std::size_t index, CargoSteps& memo, std::span<const BoxView> boxes,
                     std::span<const FanView> fans, float gravity);

// The lift platform as a box whose top surface lies at the lift's height.
BoxView lift_platform_box(const LiftView& lift);
// Walls, closed doors, then the lift platform: the order breaks ties.
BoxList solid_boxes(const Level& level);

float clip_axis(Vec3 pos, Vec3 size, std::size_t axis, float delta, std::span<const BoxView> boxes);
Vec3 sweep_box(Vec3& from, Vec3 to, Vec3 size, std::span<const BoxView> boxes);
void separate_cargo(Cargo& cargo, std::span<const BoxView> boxes);
void integrate_cargo(Cargo& cargo, std::span<const BoxView> boxes, std::span<const FanView> fans,
                     float gravity);
// `steps` of the same step, looking only at the boxes near the cargo; the result is
// identical. Several in one call keep the body's state out of the call's way.
void integrate_cargo(Cargo& cargo, NearBoxes& solids, std::span<const FanView> fans, float gravity,
                     std::size_t steps);

}  // namespace vantrel_sim
