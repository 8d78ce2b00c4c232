#include <algorithm>
#include <cmath>
#include <span>
#include <vector>

#include "body.hpp"
#include "game.hpp"
#include "internal_error.hpp"
#include "math/trig.hpp"

namespace vantrel_sim {

namespace {

constexpr float WALK_SPEED = 5.0f;
constexpr float JUMP_SPEED = 4.8f;
constexpr float VERTICAL_TOLERANCE = 0.0001f;
constexpr float STEP_ON_TOLERANCE = 0.03f;
constexpr float HEAD_CLEARANCE = 0.001f;
constexpr float PUSH_GAIN = 15.0f;
constexpr float MIN_DIRECTION = 0.00001f;

// How far the body's contact radius reaches into the box footprint, 0 when it does not.
float penetration(Vec3 feet, const BoxView& box) {
    const float dx = std::abs(feet.x - box.pos.x) - box.size.x / 2.0f;
    const float dz = std::abs(feet.z - box.pos.z) - box.size.z / 2.0f;
    // Farther than the radius along one axis: the distance is at least that far, so the
    // penetration is 0 without the square root.
    if (dx >= BODY_CONTACT_RADIUS || dz >= BODY_CONTACT_RADIUS) {
        return 0.0f;
    }
    // Signed distance from the feet to the footprint, negative inside it.
    const float distance =
        exact_hypot(std::max(dx, 0.0f), std::max(dz, 0.0f)) + std::min(std::max(dx, dz), 0.0f);
    return std::max(BODY_CONTACT_RADIUS - distance, 0.0f);
}

bool overlaps_vertically(float feet_y, const BoxView& box) {
    const float top = box.pos.y + box.size.y / 2.0f;
    const float bottom = box.pos.y - box.size.y / 2.0f;
    return feet_y < top - VERTICAL_TOLERANCE && bottom + VERTICAL_TOLERANCE < feet_y + BODY_HEIGHT;
}

}  // namespace

bool body_touches(Vec3 feet, const BoxView& box) {
    return overlaps_vertically(feet.y, box) && penetration(feet, box) > 0.0f;
}

namespace {

// body_touches, with the first test of the penetration done in line: every step tests the
// body against every box, and most boxes are beyond its radius in x or z.
inline bool touches(Vec3 feet, const BoxView& box) {
    const float dx = std::abs(feet.x - box.pos.x) - box.size.x / 2.0f;
    const float dz = std::abs(feet.z - box.pos.z) - box.size.z / 2.0f;
    return dx < BODY_CONTACT_RADIUS && dz < BODY_CONTACT_RADIUS && body_touches(feet, box);
}

BoxView box_of(const Cargo& cargo) { return BoxView{cargo.pos, cargo.size}; }

// Every cargo except the player's own is an obstacle: free, docked and carried by echoes.
bool is_obstacle(const Cargo& cargo) { return cargo.owner != 0; }

Vec3 walk_direction(float yaw, float mx, float mz) {
    const float s = exact_sin(yaw);
    const float c = exact_cos(yaw);
    const Vec3 d{c * mx - s * mz, 0.0f, -s * mx - c * mz};
    const float len = length(d);
    if (len > MIN_DIRECTION) {
        return Vec3{d.x / len, d.y / len, d.z / len};
    }
    return Vec3{};
}

// A cargo blocks a step that heads toward its centre or digs deeper into it;
// a body already inside may slide along or leave.
bool cargo_blocks(Vec3 start, Vec3 candidate, std::size_t axis, float delta, const BoxView& box) {
    if ((start[axis] - box.pos[axis]) * delta < 0.0f) {
        return true;
    }
    const float at_start = overlaps_vertically(start.y, box) ? penetration(start, box) : 0.0f;
    return at_start < penetration(candidate, box);
}

// Vertical settling against one collider; later colliders see the updated y and speed.
// Returns whether the body now stands on the box.
bool settle_against(const BoxView& box, float x, float z, float y0, float& y, float& vs) {
    if (!touches(Vec3{x, y, z}, box)) {
        return false;
    }
    const float top = box.pos.y + box.size.y / 2.0f;
    if (vs <= 0.0f && y0 >= top - STEP_ON_TOLERANCE) {
        y = top;
        vs = 0.0f;
        return true;
    }
    if (vs > 0.0f) {
        const float bottom = box.pos.y - box.size.y / 2.0f;
        y = bottom - BODY_HEIGHT - HEAD_CLEARANCE;
        vs = 0.0f;
    } else {
        y = y0;
        vs = 0.0f;
    }
    return false;
}

bool step_blocked(Vec3 start, Vec3 candidate, std::size_t axis, float delta,
                  std::span<const BoxView> solids, const std::vector<Cargo>& cargo) {
    for (const BoxView& box : solids) {
        if (touches(candidate, box)) {
            return true;
        }
    }
    for (const Cargo& c : cargo) {
        const BoxView box = box_of(c);
        if (is_obstacle(c) && touches(candidate, box) &&
            cargo_blocks(start, candidate, axis, delta, box)) {
            return true;
        }
    }
    return false;
}

// The player's carried cargo: the first one owned by actor 0.
Cargo* carried_by_player(std::vector<Cargo>& cargo) {
    for (Cargo& c : cargo) {
        if (c.owner == 0) {
            return &c;
        }
    }
    return nullptr;
}

// Walks one axis at a time; a blocked step pushes free cargo, a carried cargo
// is clipped against the walls and the body follows it exactly.
void move_horizontally(Vec3& pos, Vec3 d, std::span<const BoxView> solids, std::vector<Cargo>& cargo) {
    Cargo* carried = carried_by_player(cargo);
    for (const std::size_t axis : {std::size_t{0}, std::size_t{2}}) {
        const Vec3 start = pos;
        const float delta = d[axis] * WALK_SPEED * TICK;
        Vec3 candidate = start;
        candidate[axis] += delta;

        if (step_blocked(start, candidate, axis, delta, solids, cargo)) {
            for (Cargo& c : cargo) {
                if (c.owner == -1 && touches(candidate, box_of(c))) {
                    c.vel[axis] += d[axis] * TICK * PUSH_GAIN;
                }
            }
        } else if (carried != nullptr) {
            const float moved = clip_axis(carried->pos, carried->size, axis, delta, solids);
            pos[axis] = start[axis] + (moved - carried->pos[axis]);
            carried->pos[axis] = moved;
        } else {
            pos[axis] = candidate[axis];
        }
    }
}

// Resolves the fall or rise against the floor and every collider in order;
// returns whether the body ends up supported.
bool move_vertically(Vec3& pos, float& vs, std::span<const BoxView> solids,
                     const std::vector<Cargo>& cargo) {
    const float y0 = pos.y;
    float y = y0 + vs * TICK;
    bool on = false;
    if (y <= 0.0f) {
        y = 0.0f;
        vs = 0.0f;
        on = true;
    }
    for (const BoxView& box : solids) {
        on = settle_against(box, pos.x, pos.z, y0, y, vs) || on;
    }
    for (const Cargo& c : cargo) {
        if (is_obstacle(c)) {
            on = settle_against(box_of(c), pos.x, pos.z, y0, y, vs) || on;
        }
    }
    pos.y = std::max(y, 0.0f);
    return on;
}

}  // namespace

void Game::move_player(std::uint32_t t, const Input& input) {
    Actor p = checked_at(actors, 0, "player");
    const Vec3 begin = p.pos;

    p.yaw = input.yaw;
    p.pitch = input.pitch;
    const bool was_on_ground = p.on_ground;
    if (jump_pressed && p.on_ground) {
        p.on_ground = false;
        p.vertical_speed = JUMP_SPEED;
        stamp_action(p, ActorAction::Jump, static_cast<float>(t) * TICK, p.held, p.pos);
    }
    float vs = p.vertical_speed - level.gravity * TICK;

    const BoxList solids = solid_boxes(level);
    move_horizontally(p.pos, walk_direction(p.yaw, input.mx, input.mz), solids.view(), cargo);
    const bool on = move_vertically(p.pos, vs, solids.view(), cargo);

    p.vertical_speed = vs;
    p.on_ground = on;
    p.grounded = on;
    p.vel = (p.pos - begin) * TICKS_PER_SECOND;
    if (!was_on_ground && on) {
        stamp_action(p, ActorAction::Land, static_cast<float>(t) * TICK, p.held, p.pos);
    }
    actors[0] = p;
}

}  // namespace vantrel_sim
