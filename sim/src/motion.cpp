#include "motion.hpp"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "game.hpp"
#include "internal_error.hpp"
#include "math/float_bits.hpp"
#include "math/geometry.hpp"

namespace vantrel_sim {

namespace {

constexpr float FACE_GAP = 0.001f;
constexpr float SWEEP_STEP = 0.08f;
constexpr float SWEEP_MAX_STEPS = 128.0f;
constexpr int SEPARATION_PASSES = 4;
constexpr float PUSH_OUT_EXTRA = 0.001f;
constexpr float CENTRED_TOLERANCE = 0.001f;
constexpr float WALL_RESTITUTION = -0.26f;
constexpr float STOP_SPEED = 0.25f;
constexpr float FAN_REACH = 12.0f;
constexpr float FAN_HALF_WIDTH = 2.0f;
constexpr float DAMPING = 0.999f;
constexpr float SPEED_CAP = 18.0f;
constexpr float FLOOR_BOUNCE = -0.23f;
constexpr float FLOOR_BOUNCE_SPEED = -0.9f;
constexpr float FLOOR_FRICTION = 0.98333335f;
constexpr float CLIP_TEST = 0.00001f;
// How far a region of near boxes reaches beyond the query that placed it: a flying cargo
// crosses it in several ticks, so one scan of the room serves many queries.
constexpr float NEAR_MARGIN = 1.0f;
// Widens the test whether a box reaches into the region, far beyond the rounding of the
// bounds, so that no box that can touch a query inside the region is ever left out.
constexpr float NEAR_SLACK = 0.01f;
// An axis move a step of a cargo usually stays within: speeds are capped at 18 m/s, 0.15 m
// a tick. Longer moves look at the boxes again.
constexpr float STEP_REACH = 0.16f;

inline bool inside(const Vec3& lo, const Vec3& hi, const Vec3& region_lo, const Vec3& region_hi) {
    return lo.x >= region_lo.x && lo.y >= region_lo.y && lo.z >= region_lo.z &&
           hi.x <= region_hi.x && hi.y <= region_hi.y && hi.z <= region_hi.z;
}

// Where the motion steps get their boxes: the whole list, or only those that the box at `pos`
// can touch while each axis moves by up to `move` either way, the face gap included; every
// clipped axis move of a step stays inside, whatever the order of the axes.
inline std::span<const BoxView> boxes_for_move(std::span<const BoxView> all, const Vec3&, const Vec3&) {
    return all;
}
inline Vec3 move_reach(const Vec3& half, const Vec3& move) {
    return {half.x + std::abs(move.x) + FACE_GAP, half.y + std::abs(move.y) + FACE_GAP,
            half.z + std::abs(move.z) + FACE_GAP};
}
inline std::span<const BodyBox> boxes_within(NearBoxes& solids, const Vec3& pos, const Vec3& reach) {
    const Vec3 lo{pos.x - reach.x, pos.y - reach.y, pos.z - reach.z};
    const Vec3 hi{pos.x + reach.x, pos.y + reach.y, pos.z + reach.z};
    // Most queries fall inside the region: answer those without a call.
    if (inside(lo, hi, solids.lo, solids.hi)) {
        return solids.near.view();
    }
    return boxes_around(solids, lo, hi);
}
inline std::span<const BodyBox> boxes_for_move(NearBoxes& solids, const Vec3& pos, const Vec3& move) {
    return boxes_within(solids, pos, move_reach(solids.half_body, move));
}
// The boxes for a whole step from `pos`: moves of up to STEP_REACH on every axis.
inline std::span<const BoxView> boxes_for_step(std::span<const BoxView> all, const Vec3&) { return all; }
inline std::span<const BodyBox> boxes_for_step(NearBoxes& solids, const Vec3& pos) {
    return boxes_within(solids, pos, solids.step_reach);
}
// Per axis, how far apart the centres of the body and the box are when their faces touch,
// and the bound below which they interpenetrate: worked out, or prepared beforehand.
inline float half_sum_of(const BoxView& box, const Vec3& size, std::size_t axis) {
    return (box.size[axis] + size[axis]) * 0.5f;
}
inline float half_sum_of(const BodyBox& box, const Vec3&, std::size_t axis) { return box.half_sum[axis]; }
inline float overlap_reach_of(const BoxView& box, const Vec3& size, std::size_t axis) {
    return overlap_reach(size[axis], box.size[axis]);
}
inline float overlap_reach_of(const BodyBox& box, const Vec3&, std::size_t axis) { return box.overlap_reach[axis]; }
// The faces a move along an axis meets, with the face gap: a move up starts past the face
// below the box beyond `past_up` and stops at `stop_up`; a move down the same with the face
// above. Each is what the signed rule gives: the sign only ever multiplies exactly.
inline float face_below(const BoxView& box, const Vec3& size, std::size_t axis) {
    return box.pos[axis] - half_sum_of(box, size, axis);
}
inline float face_above(const BoxView& box, const Vec3& size, std::size_t axis) {
    return box.pos[axis] + half_sum_of(box, size, axis);
}
inline float past_up(const BoxView& box, const Vec3& size, std::size_t axis) {
    return face_below(box, size, axis) + FACE_GAP;
}
inline float stop_up(const BoxView& box, const Vec3& size, std::size_t axis) {
    return face_below(box, size, axis) - FACE_GAP;
}
inline float past_down(const BoxView& box, const Vec3& size, std::size_t axis) {
    return face_above(box, size, axis) - FACE_GAP;
}
inline float stop_down(const BoxView& box, const Vec3& size, std::size_t axis) {
    return face_above(box, size, axis) + FACE_GAP;
}
inline float past_up(const BodyBox& box, const Vec3&, std::size_t axis) { return box.past_up[axis]; }
inline float stop_up(const BodyBox& box, const Vec3&, std::size_t axis) { return box.stop_up[axis]; }
inline float past_down(const BodyBox& box, const Vec3&, std::size_t axis) { return box.past_down[axis]; }
inline float stop_down(const BodyBox& box, const Vec3&, std::size_t axis) { return box.stop_down[axis]; }

template <typename Box>
inline bool overlaps_on_axis(float pos, const Box& box, const Vec3& size, std::size_t axis) {
    return std::abs(pos - box.pos[axis]) < overlap_reach_of(box, size, axis);
}
template <typename Box>
inline bool overlaps(const Vec3& pos, const Box& box, const Vec3& size) {
    return overlaps_on_axis(pos.x, box, size, 0) && overlaps_on_axis(pos.y, box, size, 1) &&
           overlaps_on_axis(pos.z, box, size, 2);
}

template <typename Measure>
Vec3 per_axis(const BoxView& box, const Vec3& size, Measure measure) {
    return {measure(box, size, 0), measure(box, size, 1), measure(box, size, 2)};
}

BodyBox body_box(const BoxView& box, const Vec3& size) {
    using Measure = float (*)(const BoxView&, const Vec3&, std::size_t);
    return {box.pos,
            per_axis(box, size, static_cast<Measure>(half_sum_of)),
            per_axis(box, size, static_cast<Measure>(overlap_reach_of)),
            per_axis(box, size, static_cast<Measure>(past_up)),
            per_axis(box, size, static_cast<Measure>(stop_up)),
            per_axis(box, size, static_cast<Measure>(past_down)),
            per_axis(box, size, static_cast<Measure>(stop_down))};
}

std::span<const BoxView> every_box(std::span<const BoxView> all) { return all; }
std::span<const BoxView> every_box(const NearBoxes& solids) { return solids.all; }

bool same_bits(Vec3 a, Vec3 b) {
    return bits_of(a.x) == bits_of(b.x) &&
           bits_of(a.y) == bits_of(b.y) &&
           bits_of(a.z) == bits_of(b.z);
}

bool finite(Vec3 v) { return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z); }

// `lo` and `hi` are the region's bounds, widened by NEAR_SLACK.
bool reaches(const BoxView& box, const Vec3& lo, const Vec3& hi) {
    for (std::size_t i = 0; i < 3; ++i) {
        const float half = box.size[i] * 0.5f;
        if (box.pos[i] - half > hi[i] || box.pos[i] + half < lo[i]) {
            return false;
        }
    }
    return true;
}

// The velocity a fan adds per tick: light cargo drifts less, the bio crate most.
float fan_strength(CargoStyle style) {
    switch (style) {
        case CargoStyle::Oxygen:
        case CargoStyle::Battery:
        case CargoStyle::Samples:
            return 0.022499999f;
        case CargoStyle::Bio:
            return 0.12000001f;
        case CargoStyle::Ballast:
            return 0.012500001f;
        default:
            return 0.050000004f;
    }
}

bool fan_reaches(const FanView& fan, Vec3 target, std::span<const BoxView> boxes) {
    const Vec3 r = target - fan.pos;
    const float along = dot(r, fan.dir);
    if (!(along >= 0.0f && along < FAN_REACH)) {
        return false;
    }
    if (!(length(r - fan.dir * along) < FAN_HALF_WIDTH)) {
        return false;
    }
    for (const BoxView& box : boxes) {
        if (segment_hits_box(fan.pos, target, box.pos, box.size)) {
            return false;
        }
    }
    return true;
}

inline void apply_fans(Cargo& cargo, std::span<const FanView> fans, std::span<const BoxView> boxes) {
    if (fans.empty()) {
        return;
    }
    const float strength = fan_strength(cargo.style);
    for (const FanView& fan : fans) {
        if (fan.active && fan_reaches(fan, cargo.pos, boxes)) {
            cargo.vel = cargo.vel + fan.dir * strength;
        }
    }
}

void cap_speed(Vec3& vel) {
    // The rounded square root of a square no greater than 18² is no greater than 18, so the
    // root, slow and on every step's path, is taken only above it.
    const float squared = dot(vel, vel);
    if (!(squared > SPEED_CAP * SPEED_CAP)) {
        return;
    }
    const float speed = std::sqrt(squared);
    if (speed > SPEED_CAP) {
        vel = vel * (SPEED_CAP / speed);
    }
}

void rest_on_floor(Cargo& cargo) {
    const float half_height = cargo.size.y * 0.5f;
    if (half_height >= cargo.pos.y) {
        cargo.pos.y = half_height;
        cargo.vel.y = cargo.vel.y < FLOOR_BOUNCE_SPEED ? cargo.vel.y * FLOOR_BOUNCE : 0.0f;
        cargo.vel.x = cargo.vel.x * FLOOR_FRICTION;
        cargo.vel.z = cargo.vel.z * FLOOR_FRICTION;
    }
}

}  // namespace

void too_many_boxes() { throw InternalError("too many solid boxes in one room"); }

BoxView lift_platform_box(const LiftView& lift) {
    return {{lift.center.x, lift.height - lift.size.y * 0.5f, lift.center.z}, lift.size};
}

BoxList solid_boxes(const Level& level) {
    BoxList list;
    for (const BoxView& wall : level.walls) {
        list.push(wall);
    }
    for (const DoorView& door : level.doors) {
        if (!door.open) {
            list.push({door.pos, door.size});
        }
    }
    if (level.lift) {
        list.push(lift_platform_box(*level.lift));
    }
    return list;
}

namespace {

// The axis is a template argument so that every component access resolves at compile time:
// these loops run for every box on every cargo step. A move up an axis meets the faces
// below the boxes, a move down the faces above.
template <std::size_t A, typename Box>
inline float clip_up(Vec3 pos, Vec3 size, float start, float result, std::span<const Box> boxes) {
    constexpr std::size_t B = A == 0 ? 1 : 0;
    constexpr std::size_t C = A == 2 ? 1 : 2;
    for (const Box& w : boxes) {
        // Already beyond the face: leaving the overlap is separate_cargo's job.
        if (start > past_up(w, size, A)) {
            continue;
        }
        const float limit = stop_up(w, size, A);
        if (limit >= result) {
            continue;
        }
        if (!overlaps_on_axis(pos[B], w, size, B) || !overlaps_on_axis(pos[C], w, size, C)) {
            continue;
        }
        // Never clip backwards past the start.
        result = std::max(limit, start);
    }
    return result;
}

template <std::size_t A, typename Box>
inline float clip_down(Vec3 pos, Vec3 size, float start, float result, std::span<const Box> boxes) {
    constexpr std::size_t B = A == 0 ? 1 : 0;
    constexpr std::size_t C = A == 2 ? 1 : 2;
    for (const Box& w : boxes) {
        if (start < past_down(w, size, A)) {
            continue;
        }
        const float limit = stop_down(w, size, A);
        if (limit <= result) {
            continue;
        }
        if (!overlaps_on_axis(pos[B], w, size, B) || !overlaps_on_axis(pos[C], w, size, C)) {
            continue;
        }
        result = std::min(limit, start);
    }
    return result;
}

template <std::size_t A, typename Box>
inline float clip_axis_on(Vec3 pos, Vec3 size, float delta, std::span<const Box> boxes) {
    const float start = pos[A];
    if (delta == 0.0f) {
        return start;
    }
    const float result = start + delta;
    return delta > 0.0f ? clip_up<A>(pos, size, start, result, boxes)
                        : clip_down<A>(pos, size, start, result, boxes);
}

// `first` holds the boxes the cargo's box can touch where it stands; later passes, after a
// push, look again. Returns whether the cargo was pushed.
template <typename Solids, typename Box>
bool separate_from(Cargo& cargo, Solids& solids, std::span<const Box> first) {
    for (int pass = 0; pass < SEPARATION_PASSES; ++pass) {
        const std::span<const Box> boxes = pass == 0 ? first : boxes_for_move(solids, cargo.pos, Vec3{});
        bool found = false;
        float best_depth = 0.0f;
        std::size_t best_box = 0;
        std::size_t best_axis = 0;
        for (std::size_t k = 0; k < boxes.size(); ++k) {
            const Box& box = boxes[k];
            if (!overlaps(cargo.pos, box, cargo.size)) {
                continue;
            }
            for (std::size_t i = 0; i < 3; ++i) {
                const float depth = half_sum_of(box, cargo.size, i) - std::abs(cargo.pos[i] - box.pos[i]);
                // Strictly smaller: ties keep the earlier box and the lower axis.
                if (!found || depth < best_depth) {
                    found = true;
                    best_depth = depth;
                    best_box = k;
                    best_axis = i;
                }
            }
        }
        if (!found) {
            return pass > 0;
        }
        const std::size_t a = best_axis;
        const float d = cargo.pos[a] - boxes[best_box].pos[a];
        float sign = d < 0.0f ? -1.0f : 1.0f;
        // Centred on the box: go back the way it came.
        if (std::abs(d) < CENTRED_TOLERANCE && cargo.vel[a] != 0.0f) {
            sign = cargo.vel[a] > 0.0f ? -1.0f : 1.0f;
        }
        cargo.pos[a] = cargo.pos[a] + (best_depth + PUSH_OUT_EXTRA) * sign;
        if (sign * cargo.vel[a] < 0.0f) {
            cargo.vel[a] = cargo.vel[a] * WALL_RESTITUTION;
        }
    }
    return true;
}

template <std::size_t A, typename Box>
void move_clipped_on(Cargo& cargo, float move, std::span<const Box> boxes) {
    const float old = cargo.pos[A];
    const float moved = clip_axis_on<A>(cargo.pos, cargo.size, move, boxes);
    if (std::abs(moved - old - move) > CLIP_TEST) {
        cargo.vel[A] = cargo.vel[A] * WALL_RESTITUTION;
        if (std::abs(cargo.vel[A]) < STOP_SPEED) {
            cargo.vel[A] = 0.0f;
        }
    }
    cargo.pos[A] = moved;
}

// `step` holds the boxes within STEP_REACH of the cargo's box where the step began: enough
// for moves no longer than that from there.
template <typename Solids, typename Box>
void move_clipped(Cargo& cargo, Solids& solids, std::span<const Box> step, bool pushed) {
    // Each axis's move depends only on its own velocity, which the other axes leave alone.
    const Vec3 move{TICK * cargo.vel.x, TICK * cargo.vel.y, TICK * cargo.vel.z};
    const bool within_step = !pushed && std::abs(move.x) <= STEP_REACH &&
                             std::abs(move.y) <= STEP_REACH && std::abs(move.z) <= STEP_REACH;
    const std::span<const Box> boxes = within_step ? step : boxes_for_move(solids, cargo.pos, move);
    move_clipped_on<0>(cargo, move.x, boxes);
    move_clipped_on<1>(cargo, move.y, boxes);
    move_clipped_on<2>(cargo, move.z, boxes);
}

template <typename Solids>
void integrate_with(Cargo& cargo, Solids& solids, std::span<const FanView> fans, float gravity) {
    // One look at the boxes serves the whole step unless the cargo is pushed or flies fast.
    const auto step = boxes_for_step(solids, cargo.pos);
    const bool pushed = separate_from(cargo, solids, step);
    cargo.vel.y = gravity * -TICK + cargo.vel.y;
    apply_fans(cargo, fans, every_box(solids));
    cargo.vel = cargo.vel * DAMPING;
    cap_speed(cargo.vel);
    move_clipped(cargo, solids, step, pushed);
    rest_on_floor(cargo);
}

}  // namespace

float clip_axis(Vec3 pos, Vec3 size, std::size_t axis, float delta, std::span<const BoxView> boxes) {
    switch (axis) {
        case 0:
            return clip_axis_on<0>(pos, size, delta, boxes);
        case 1:
            return clip_axis_on<1>(pos, size, delta, boxes);
        case 2:
            return clip_axis_on<2>(pos, size, delta, boxes);
        default:
            throw InternalError("clip_axis: no such axis");
    }
}

namespace {

template <typename Solids>
Vec3 sweep_through(Vec3& from, Vec3 size, Vec3 step, int count, Solids& solids) {
    for (int s = 0; s < count; ++s) {
        const auto near_path = boxes_for_move(solids, from, step);
        const Vec3 before = from;
        from.x = clip_axis_on<0>(from, size, step.x, near_path);
        from.y = clip_axis_on<1>(from, size, step.y, near_path);
        from.z = clip_axis_on<2>(from, size, step.z, near_path);
        // Blocked on every axis: each later sub-step would start from here and end here too.
        if (same_bits(from, before)) {
            break;
        }
    }
    return from;
}

}  // namespace

Vec3 sweep_box(Vec3& from, Vec3 to, Vec3 size, std::span<const BoxView> boxes) {
    const Vec3 d = to - from;
    float n = std::ceil(length(d) / SWEEP_STEP);
    if (!(n >= 1.0f)) {
        n = 1.0f;
    }
    if (n > SWEEP_MAX_STEPS) {
        n = SWEEP_MAX_STEPS;
    }
    const Vec3 step{d.x / n, d.y / n, d.z / n};
    const int count = static_cast<int>(n);
    if (boxes.size() > BoxList::CAPACITY) {
        return sweep_through(from, size, step, count, boxes);
    }
    // The path stays between `from` and `to`: one scan of the boxes serves every sub-step.
    NearBoxes near;
    near.all = boxes;
    prepare_for_body(near, size);
    boxes_for_move(near, from, d);
    return sweep_through(from, size, step, count, near);
}

void separate_cargo(Cargo& cargo, std::span<const BoxView> boxes) { separate_from(cargo, boxes, boxes); }

void integrate_cargo(Cargo& cargo, std::span<const BoxView> boxes, std::span<const FanView> fans,
                     float gravity) {
    integrate_with(cargo, boxes, fans, gravity);
}

void integrate_cargo(Cargo& cargo, NearBoxes& solids, std::span<const FanView> fans, float gravity,
                     std::size_t steps) {
    if (solids.all.size() > BoxList::CAPACITY) {
        for (std::size_t i = 0; i < steps; ++i) {
            integrate_with(cargo, solids.all, fans, gravity);
        }
        return;
    }
    prepare_for_body(solids, cargo.size);
    for (std::size_t i = 0; i < steps; ++i) {
        integrate_with(cargo, solids, fans, gravity);
    }
}

namespace {

std::array<std::uint32_t, 7> fan_bits(const FanView& fan) {
    return {bits_of(fan.pos.x), bits_of(fan.pos.y),
            bits_of(fan.pos.z), bits_of(fan.dir.x),
            bits_of(fan.dir.y), bits_of(fan.dir.z),
            fan.active ? 1u : 0u};
}

// A box is six floats and nothing else, so equal bytes are equal bits.
static_assert(sizeof(BoxView) == 6 * sizeof(float));

bool same_boxes(const BoxList& a, const BoxList& b) {
    return a.count == b.count && std::memcmp(a.items, b.items, a.count * sizeof(BoxView)) == 0;
}

bool same_fans(const CargoSteps& memo, std::span<const FanView> fans) {
    if (fans.size() != memo.fan_count) {
        return false;
    }
    for (std::size_t i = 0; i < fans.size(); ++i) {
        if (fan_bits(fans[i]) != memo.fans[i]) {
            return false;
        }
    }
    return true;
}

std::array<std::uint32_t, 10> step_read(const Cargo& cargo) {
    return {bits_of(cargo.pos.x),  bits_of(cargo.pos.y),
            bits_of(cargo.pos.z),  bits_of(cargo.vel.x),
            bits_of(cargo.vel.y),  bits_of(cargo.vel.z),
            bits_of(cargo.size.x), bits_of(cargo.size.y),
            bits_of(cargo.size.z), static_cast<std::uint32_t>(cargo.style)};
}

}  // namespace

void begin_cargo_steps(CargoSteps& memo, const BoxList& solids, std::span<const FanView> fans, float gravity) {
    const std::uint32_t gravity_bits = bits_of(gravity);
    if (memo.surroundings_known && memo.gravity == gravity_bits && same_fans(memo, fans) &&
        same_boxes(memo.solids, solids)) {
        return;
    }
    for (CargoSteps::Step& step : memo.steps) {
        step.known = false;
    }
    // Too many fans to keep: nothing is remembered in this room.
    memo.surroundings_known = fans.size() <= CargoSteps::MAX_FANS;
    memo.solids = solids;
    memo.fan_count = std::min(fans.size(), CargoSteps::MAX_FANS);
    for (std::size_t i = 0; i < memo.fan_count; ++i) {
        memo.fans[i] = fan_bits(fans[i]);
    }
    memo.gravity = gravity_bits;
}

void integrate_cargo(Cargo& cargo, std::size_t index, CargoSteps& memo, std::span<const BoxView> boxes,
                     std::span<const FanView> fans, float gravity) {
    if (index >= CargoSteps::MAX_CARGO || !memo.surroundings_known) {
        integrate_cargo(cargo, boxes, fans, gravity);
        return;
    }
    CargoSteps::Step& step = memo.steps[index];
    const std::array<std::uint32_t, 10> read = step_read(cargo);
    if (step.known && step.read == read) {
        cargo.pos = {float_from_bits(step.result[0]), float_from_bits(step.result[1]),
                     float_from_bits(step.result[2])};
        cargo.vel = {float_from_bits(step.result[3]), float_from_bits(step.result[4]),
                     float_from_bits(step.result[5])};
        return;
    }
    integrate_cargo(cargo, boxes, fans, gravity);
    step.read = read;
    step.result = {bits_of(cargo.pos.x), bits_of(cargo.pos.y),
                   bits_of(cargo.pos.z), bits_of(cargo.vel.x),
                   bits_of(cargo.vel.y), bits_of(cargo.vel.z)};
    step.known = true;
}

void prepare_for_body(NearBoxes& solids, Vec3 size) {
    if (same_bits(solids.body, size)) {
        return;
    }
    solids.body = size;
    solids.half_body = size * 0.5f;
    solids.step_reach = move_reach(solids.half_body, {STEP_REACH, STEP_REACH, STEP_REACH});
    solids.lo.x = NearBoxes::NOT_A_REGION;
}

std::span<const BodyBox> boxes_around(NearBoxes& solids, Vec3 lo, Vec3 hi) {
    if (inside(lo, hi, solids.lo, solids.hi)) {
        return solids.near.view();
    }
    const Vec3 margin{NEAR_MARGIN, NEAR_MARGIN, NEAR_MARGIN};
    solids.lo = lo - margin;
    solids.hi = hi + margin;
    solids.near.count = 0;
    // A region that cannot be bounded: the whole list is as right, and the next query looks again.
    const bool bounded = finite(lo) && finite(hi);
    if (!bounded) {
        solids.lo.x = NearBoxes::NOT_A_REGION;
    }
    const Vec3 slack{NEAR_SLACK, NEAR_SLACK, NEAR_SLACK};
    const Vec3 reach_lo = solids.lo - slack;
    const Vec3 reach_hi = solids.hi + slack;
    const Vec3 body = solids.body;
    for (const BoxView& box : solids.all) {
        if (!bounded || reaches(box, reach_lo, reach_hi)) {
            solids.near.push(body_box(box, body));
        }
    }
    return solids.near.view();
}

}  // namespace vantrel_sim
