// What an actor can see, aim at and catch. Every operation only reads the world.
#include <algorithm>
#include <limits>

#include "aim.hpp"
#include "game.hpp"
#include "internal_error.hpp"
#include "math/geometry.hpp"
#include "math/trig.hpp"

namespace vantrel_sim {

namespace {

constexpr float EYE_HEIGHT = 1.6f;
constexpr Vec3 SOCKET_SIZE{0.98f, 0.4f, 0.98f};
constexpr float HAND_MIN_HEIGHT = 0.455f;
constexpr float HAND_CEILING_GAP = 0.5f;
constexpr float CATCH_MIN_SPEED = 1.0f;
constexpr float CATCH_MIN_HEIGHT = 0.7f;
constexpr float CATCH_REACH = 0.32f;

// Exact beats Near; within a kind the nearer entry wins. Ties keep the earlier candidate.
bool better(AimHit candidate, AimHit best) {
    if (candidate.kind != best.kind) {
        return candidate.kind < best.kind;
    }
    return candidate.t < best.t;
}

Vec3 ray_point(Vec3 eye, Vec3 end, float t) { return eye + (end - eye) * t; }

}  // namespace

Vec3 eye_point(const ActorView& actor) {
    return {actor.pos.x, actor.pos.y + EYE_HEIGHT, actor.pos.z};
}

Vec3 view_direction(float yaw, float pitch) {
    const float horizontal = exact_cos(pitch);
    return {-exact_sin(yaw) * horizontal, exact_sin(pitch), -exact_cos(yaw) * horizontal};
}

Vec3 hand_point(const ActorView& actor, float room_height) {
    const float horizontal = exact_cos(actor.pitch);
    const float x = actor.pos.x - exact_sin(actor.yaw) * horizontal;
    const float z = actor.pos.z - exact_cos(actor.yaw) * horizontal;
    const float y = exact_sin(actor.pitch) + ((actor.pos.y + EYE_HEIGHT) - 0.1f);
    // max then min rather than std::clamp: never undefined, even for a too low room.
    return {x, std::min(std::max(y, HAND_MIN_HEIGHT), room_height - HAND_CEILING_GAP), z};
}

bool Game::visible(Vec3 from, Vec3 to) const {
    const BoxList solids = solid_boxes(level);
    for (const BoxView& box : solids.view()) {
        if (segment_hits_box(from, to, box.pos, box.size)) {
            return false;
        }
    }
    return true;
}

std::optional<AimHit> Game::aim_hit(std::size_t actor, Vec3 center, Vec3 size,
                                    float margin) const {
    const Actor& aiming = checked_at(actors, actor, "aiming actor");
    const Vec3 eye = eye_point(aiming);
    const Vec3 end = eye + view_direction(aiming.yaw, aiming.pitch) * REACH;

    if (const std::optional<float> t = segment_box_time(eye, end, center, size)) {
        const Vec3 on_box = closest_point_on_box(ray_point(eye, end, *t), center, size);
        if (visible(eye, on_box)) {
            return AimHit{AimKind::Exact, *t};
        }
    }
    const float grow = margin * 2.0f;
    const Vec3 grown{size.x + grow, size.y + grow, size.z + grow};
    const std::optional<float> t = segment_box_time(eye, end, center, grown);
    if (!t) {
        return std::nullopt;
    }
    // The sight line goes to the real box, not to the margin around it.
    const Vec3 on_box = closest_point_on_box(ray_point(eye, end, *t), center, size);
    if (!visible(eye, on_box)) {
        return std::nullopt;
    }
    return AimHit{AimKind::Near, *t};
}

std::optional<PickupHit> Game::pickup_target(std::size_t actor) const {
    std::optional<PickupHit> best;
    for (std::size_t i = 0; i < cargo.size(); ++i) {
        if (cargo[i].owner != -1) {
            continue;
        }
        const std::optional<AimHit> hit = aim_hit(actor, cargo[i].pos, cargo[i].size, TARGET_MARGIN);
        if (hit && (!best || better(*hit, best->hit))) {
            best = PickupHit{i, *hit};
        }
    }
    return best;
}

std::optional<std::size_t> Game::dock_target(std::size_t actor, std::size_t cargo_index) const {
    if (checked_at(cargo, cargo_index, "docking cargo").style != CargoStyle::Battery) {
        return std::nullopt;
    }
    std::optional<std::size_t> best;
    AimHit best_hit;
    for (std::size_t i = 0; i < level.sockets.size(); ++i) {
        if (level.sockets[i].powered) {
            continue;
        }
        const std::optional<AimHit> hit =
            aim_hit(actor, level.sockets[i].pos, SOCKET_SIZE, TARGET_MARGIN);
        if (hit && (!best || better(*hit, best_hit))) {
            best = i;
            best_hit = *hit;
        }
    }
    return best;
}

Intent Game::interact_intent() const {
    const Actor& player = checked_at(actors, 0, "player");
    if (player.held >= 0) {
        return Place{};
    }
    Intent answer = Pickup{};
    AimHit best{AimKind::Near, std::numeric_limits<float>::infinity()};
    if (const std::optional<PickupHit> target = pickup_target(0)) {
        answer = Pickup{cargo[target->cargo].id};
        best = target->hit;
    }
    const auto consider = [&](Vec3 center, const Intent& candidate) {
        const std::optional<AimHit> hit = aim_hit(0, center, SWITCH_SIZE, TARGET_MARGIN);
        if (hit && better(*hit, best)) {
            answer = candidate;
            best = *hit;
        }
    };
    for (std::size_t i = 0; i < level.fans.size(); ++i) {
        consider(level.fans[i].pos, Fan{i});
    }
    for (std::size_t i = 0; i < level.gravity_controls.size(); ++i) {
        consider(level.gravity_controls[i], Gravity{i, !cargo_gravity_off});
    }
    if (level.lift) {
        for (std::size_t k = 0; k < level.lift->controls.size(); ++k) {
            consider(level.lift->controls[k], Lift{k, !level.lift->target_up});
        }
    }
    return answer;
}

std::optional<float> Game::catch_distance(std::size_t actor, std::size_t cargo_index) const {
    const Actor& catcher = checked_at(actors, actor, "catching actor");
    const Cargo& flying = checked_at(cargo, cargo_index, "flying cargo");
    const bool catchable = flying.owner == -1 && length(flying.vel) >= CATCH_MIN_SPEED &&
                           flying.pos.y >= CATCH_MIN_HEIGHT;
    if (!catchable || catcher.held != -1) {
        return std::nullopt;
    }
    if (flying.release_timer > 0.0f && flying.released_by == static_cast<std::int32_t>(actor)) {
        return std::nullopt;
    }
    const Vec3 hand = hand_point(catcher, level.room_height);
    const Vec3 nearest = closest_point_on_box(hand, flying.pos, flying.size);
    const float distance = length(nearest - hand);
    if (!(distance <= CATCH_REACH) || !visible(eye_point(catcher), nearest)) {
        return std::nullopt;
    }
    return distance;
}

}  // namespace vantrel_sim
