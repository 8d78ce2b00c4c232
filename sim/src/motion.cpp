#include "motion.hpp"

#include <algorithm>
#include <cmath>

#include "game.hpp"
#include "internal_error.hpp"
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

void apply_fans(Cargo& cargo, std::span<const FanView> fans, std::span<const BoxView> boxes) {
    const float strength = fan_strength(cargo.style);
    for (const FanView& fan : fans) {
        if (fan.active && fan_reaches(fan, cargo.pos, boxes)) {
            cargo.vel = cargo.vel + fan.dir * strength;
        }
    }
}

void cap_speed(Vec3& vel) {
    const float speed = length(vel);
    if (speed > SPEED_CAP) {
        vel = vel * (SPEED_CAP / speed);
    }
}

void move_clipped(Cargo& cargo, std::span<const BoxView> boxes) {
    for (std::size_t i = 0; i < 3; ++i) {
        const float move = TICK * cargo.vel[i];
        const float old = cargo.pos[i];
        const float moved = clip_axis(cargo.pos, cargo.size, i, move, boxes);
        if (std::abs(moved - old - move) > CLIP_TEST) {
            cargo.vel[i] = cargo.vel[i] * WALL_RESTITUTION;
            if (std::abs(cargo.vel[i]) < STOP_SPEED) {
                cargo.vel[i] = 0.0f;
            }
        }
        cargo.pos[i] = moved;
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

void BoxList::push(const BoxView& box) {
    if (count >= CAPACITY) {
        throw InternalError("too many solid boxes in one room");
    }
    items[count] = box;
    ++count;
}

void BoxList::remove_equal(const BoxView& box) {
    std::size_t kept = 0;
    for (std::size_t i = 0; i < count; ++i) {
        if (!(items[i] == box)) {
            items[kept] = items[i];
            ++kept;
        }
    }
    count = kept;
}

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
// this loop runs for every box on every cargo step.
template <std::size_t A>
float clip_axis_on(Vec3 pos, Vec3 size, float delta, std::span<const BoxView> boxes) {
    constexpr std::size_t B = A == 0 ? 1 : 0;
    constexpr std::size_t C = A == 2 ? 1 : 2;
    const float start = pos[A];
    if (delta == 0.0f) {
        return start;
    }
    float result = start + delta;
    const float sign = delta > 0.0f ? 1.0f : -1.0f;
    for (const BoxView& w : boxes) {
        const float face = w.pos[A] - sign * (w.size[A] + size[A]) * 0.5f;
        // Already beyond the face: leaving the overlap is separate_cargo's job.
        if (sign * start > sign * face + FACE_GAP) {
            continue;
        }
        const float limit = face - FACE_GAP * sign;
        if (sign * limit >= sign * result) {
            continue;
        }
        if (!overlap_on_axis(pos[B], size[B], w.pos[B], w.size[B]) ||
            !overlap_on_axis(pos[C], size[C], w.pos[C], w.size[C])) {
            continue;
        }
        // Never clip backwards past the start.
        result = sign > 0.0f ? std::max(limit, start) : std::min(limit, start);
    }
    return result;
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
    for (int s = 0; s < count; ++s) {
        from.x = clip_axis(from, size, 0, step.x, boxes);
        from.y = clip_axis(from, size, 1, step.y, boxes);
        from.z = clip_axis(from, size, 2, step.z, boxes);
    }
    return from;
}

void separate_cargo(Cargo& cargo, std::span<const BoxView> boxes) {
    for (int pass = 0; pass < SEPARATION_PASSES; ++pass) {
        bool found = false;
        float best_depth = 0.0f;
        std::size_t best_box = 0;
        std::size_t best_axis = 0;
        for (std::size_t k = 0; k < boxes.size(); ++k) {
            const BoxView& box = boxes[k];
            if (!overlap(cargo.pos, cargo.size, box.pos, box.size)) {
                continue;
            }
            for (std::size_t i = 0; i < 3; ++i) {
                const float depth =
                    (cargo.size[i] + box.size[i]) * 0.5f - std::abs(cargo.pos[i] - box.pos[i]);
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
            return;
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
}

void integrate_cargo(Cargo& cargo, std::span<const BoxView> boxes, std::span<const FanView> fans,
                     float gravity) {
    separate_cargo(cargo, boxes);
    cargo.vel.y = gravity * -TICK + cargo.vel.y;
    apply_fans(cargo, fans, boxes);
    cargo.vel = cargo.vel * DAMPING;
    cap_speed(cargo.vel);
    move_clipped(cargo, boxes);
    rest_on_floor(cargo);
}

}  // namespace vantrel_sim
