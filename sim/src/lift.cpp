#include <algorithm>
#include <cmath>

#include "body.hpp"
#include "game.hpp"
#include "internal_error.hpp"
#include "lift.hpp"

namespace vantrel_sim {

namespace {

constexpr float RIDER_TOLERANCE = 0.035f;
constexpr float CATCH_UP_TOLERANCE = 0.025f;
constexpr float CARGO_RIDER_SPEED = 0.2f;
constexpr float FOOTPRINT_MARGIN = 0.001f;
constexpr float PLAYER_WIDTH = 0.6f;
constexpr float PLAYER_MID_HEIGHT = 0.875f;
constexpr float PLAYER_HEAD_HEIGHT = 1.75f;

// A body of these horizontal extents at pos overlaps the platform's footprint.
bool in_footprint(const LiftView& lift, Vec3 pos, float size_x, float size_z) {
    return std::abs(pos.x - lift.center.x) < (size_x + lift.size.x) / 2.0f - FOOTPRINT_MARGIN &&
           std::abs(pos.z - lift.center.z) < (size_z + lift.size.z) / 2.0f - FOOTPRINT_MARGIN;
}

bool player_in_footprint(const LiftView& lift, Vec3 feet) {
    return in_footprint(lift, feet, PLAYER_WIDTH, PLAYER_WIDTH);
}

bool cargo_in_footprint(const LiftView& lift, const Cargo& c) {
    return in_footprint(lift, c.pos, c.size.x, c.size.z);
}

// The platform never comes down onto the player's head or onto a cargo beneath it.
bool descent_blocked(const LiftView& lift, float step, Vec3 player, const std::vector<Cargo>& cargo) {
    const float bottom = lift.height - lift.size.y;
    const float new_bottom = bottom + step;
    if (player_in_footprint(lift, player) && player.y + PLAYER_MID_HEIGHT < bottom &&
        player.y + PLAYER_HEAD_HEIGHT > new_bottom) {
        return true;
    }
    for (const Cargo& c : cargo) {
        if (cargo_in_footprint(lift, c) && c.pos.y < bottom && c.pos.y + c.size.y / 2.0f > new_bottom) {
            return true;
        }
    }
    return false;
}

enum class PlayerCarry { None, Rides, PickedUp };

// Whether the platform's step takes the player along: standing on it, or caught from below
// by its rise.
PlayerCarry player_carry(const LiftView& lift, float step, float new_height, const Actor& player) {
    if (!player_in_footprint(lift, player.pos)) {
        return PlayerCarry::None;
    }
    if (std::abs(player.pos.y - lift.height) < RIDER_TOLERANCE && player.on_ground) {
        return PlayerCarry::Rides;
    }
    if (step > 0.0f && player.pos.y >= lift.height - CATCH_UP_TOLERANCE &&
        player.pos.y < new_height) {
        return PlayerCarry::PickedUp;
    }
    return PlayerCarry::None;
}

// Whether the risen platform reaches into the body: the player's own step then stands it
// on the platform's top, carried or not (the footprint and the body's contact differ by a
// hair along the edges).
bool rises_into_body(const LiftView& lift, float new_height, Vec3 feet) {
    LiftView risen = lift;
    risen.height = new_height;
    return body_touches(feet, lift_platform_box(risen));
}

// The footprint is widened by the player's half width, so a carried body can reach beyond
// the platform: into a slab beside it or a wall above it.
bool body_fits(const Level& level, Vec3 feet) {
    for (const BoxView& wall : level.walls) {
        if (body_touches(feet, wall)) {
            return false;
        }
    }
    for (const DoorView& door : level.doors) {
        if (!door.open && body_touches(feet, BoxView{door.pos, door.size})) {
            return false;
        }
    }
    return true;
}

bool cargo_rides(const LiftView& lift, float step, float new_height, const Cargo& c) {
    if (c.owner != -1 || !cargo_in_footprint(lift, c)) {
        return false;
    }
    const float b = c.pos.y - c.size.y / 2.0f;
    const bool resting = std::abs(b - lift.height) < RIDER_TOLERANCE && std::abs(c.vel.y) < CARGO_RIDER_SPEED;
    const bool scooped = step > 0.0f && lift.height <= b && b < new_height;
    return resting || scooped;
}

}  // namespace

void Game::move_lift() {
    if (!level.lift) {
        return;
    }
    LiftView& lift = *level.lift;
    if (!checked_at(level.plates, lift.plate, "lift plate").active) {
        return;
    }
    const float target = lift.target_up ? lift.top : 0.0f;
    const float step = std::clamp(target - lift.height, -LIFT_MAX_STEP, LIFT_MAX_STEP);
    if (step == 0.0f) {
        return;
    }
    Actor& player = checked_at(actors, 0, "player");
    if (step < 0.0f && descent_blocked(lift, step, player.pos, cargo)) {
        return;
    }
    const float new_height = lift.height + step;
    PlayerCarry carry = player_carry(lift, step, new_height, player);
    const bool moves_body = carry != PlayerCarry::None ||
                            (step > 0.0f && rises_into_body(lift, new_height, player.pos));
    const Vec3 moved_feet{player.pos.x, new_height, player.pos.z};
    if (moves_body && !body_fits(level, moved_feet)) {
        // Rising, the platform would push the body into the box: it waits, as it does above
        // a head. Sinking, the player stays on the box that now holds the feet.
        if (step > 0.0f) {
            return;
        }
        carry = PlayerCarry::None;
    }
    if (carry != PlayerCarry::None) {
        player.pos.y = new_height;
        player.vertical_speed = 0.0f;
    }
    const bool rider = carry == PlayerCarry::Rides;
    for (Cargo& c : cargo) {
        if (c.docked) {
            continue;
        }
        if (c.owner == 0 && rider) {
            c.pos.y += step;
        } else if (cargo_rides(lift, step, new_height, c)) {
            c.pos.y = new_height + c.size.y / 2.0f;
            c.vel.y = 0.0f;
        }
    }
    lift.height = new_height;
}

}  // namespace vantrel_sim
