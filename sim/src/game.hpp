#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "input.hpp"
#include "levels/level.hpp"
#include "math/vec3.hpp"
#include "motion.hpp"
#include "snapshot.hpp"

namespace vantrel_sim {

// The player (actor 0) or an echo (actor 1 + record index).
struct Actor : ActorView {
    float vertical_speed = 0.0f;
    bool on_ground = true;
};

// Stamps an action event for the viewer: one more in the sequence, what, when (run time in
// seconds), with which cargo and where.
inline void stamp_action(Actor& actor, ActorAction action, float time, std::int32_t cargo, Vec3 pos) {
    actor.action_seq += 1;
    actor.action = action;
    actor.action_time = time;
    actor.action_cargo = cargo;
    actor.action_pos = pos;
}

struct Cargo : CargoView {
    std::int32_t released_by = -1;
    float release_timer = 0.0f;
};

// One interaction. Lift and Gravity carry the value to set; Fan toggles.
struct Pickup {
    std::optional<std::int32_t> id;
    friend bool operator==(const Pickup&, const Pickup&) = default;
};
struct Place {
    friend bool operator==(const Place&, const Place&) = default;
};
struct Throw {
    friend bool operator==(const Throw&, const Throw&) = default;
};
struct Fan {
    std::size_t index = 0;
    friend bool operator==(const Fan&, const Fan&) = default;
};
struct Lift {
    std::size_t control = 0;
    bool up = false;
    friend bool operator==(const Lift&, const Lift&) = default;
};
struct Gravity {
    std::size_t console = 0;
    bool off = false;
    friend bool operator==(const Gravity&, const Gravity&) = default;
};
using Intent = std::variant<Pickup, Place, Throw, Fan, Lift, Gravity>;

struct RecordedFrame {
    Vec3 pos;
    float yaw = 0.0f;
    float pitch = 0.0f;
    bool on_ground = true;
};

struct RecordedAction {
    Intent intent;
    std::uint32_t tick = 0;  // 1-based within the run
};

// One run: frame 0 is the start, frame k the state after tick k.
struct Record {
    std::vector<RecordedFrame> frames;
    std::vector<RecordedAction> actions;
};

enum class AimKind : std::uint8_t { Exact = 0, Near = 1 };

struct AimHit {
    AimKind kind = AimKind::Near;
    float t = 0.0f;
};

struct PickupHit {
    std::size_t cargo = 0;
    AimHit hit;
};

// Eye, view direction and hand point shared by aiming, carrying and catching.
Vec3 eye_point(const ActorView& actor);
Vec3 view_direction(float yaw, float pitch);
Vec3 hand_point(const ActorView& actor, float room_height);

// The whole mutable world.
struct Game {
    Level level;
    std::vector<Actor> actors;
    std::vector<Cargo> cargo;
    std::vector<Record> records;
    std::vector<std::size_t> replay_cursors;
    std::vector<std::uint32_t> door_hold_ticks;
    Record run;
    std::string message;
    std::size_t room = 0;
    std::uint32_t ticks = 0;
    float accumulator = 0.0f;
    bool jump_pressed = false;
    bool interact_pressed = false;
    bool throw_pressed = false;
    bool won = false;
    bool finished = false;
    bool failed = false;
    bool cargo_gravity_off = false;
    // The free cargo's last steps, so that cargo at rest is not stepped again.
    CargoSteps cargo_steps;
    // The previous snapshot's text, piece by piece; it only saves work, so writing the
    // snapshot of a const world may update it.
    mutable SnapshotTextCache snapshot_text;

    // Lifecycle. `create` is the world's constructor: room 0, no records.
    static Game create();
    void restart_world();
    void select_room(std::size_t index);
    static std::string_view room_title(std::size_t index);

    // Frame update: commands, latches and the fixed tick loop.
    void update(Input& input);
    void tick(std::uint32_t t, const Input& input);
    void move_cargo();
    void catch_flying_cargo();
    void check_goal();

    // Player movement and the lift.
    void move_player(std::uint32_t t, const Input& input);
    void move_lift();

    // Recording and echoes.
    void commit();
    void place_echoes(std::uint32_t t);
    void replay_echo_actions(std::uint32_t t);

    // Devices.
    void update_switches(bool advance);

    // Targeting; all read-only.
    bool visible(Vec3 from, Vec3 to) const;
    std::optional<AimHit> aim_hit(std::size_t actor, Vec3 center, Vec3 size, float margin) const;
    std::optional<PickupHit> pickup_target(std::size_t actor) const;
    std::optional<std::size_t> dock_target(std::size_t actor, std::size_t cargo_index) const;
    Intent interact_intent() const;
    // Distance from the actor's hand to the flying cargo, when this actor could catch it.
    std::optional<float> catch_distance(std::size_t actor, std::size_t cargo_index) const;

    // Actions.
    void execute(std::size_t actor, const Intent& intent);
    void apply_catch(std::size_t actor, std::size_t cargo_index);

    // The snapshot of the current world; reads only.
    Snapshot snapshot() const;
    // The same into a snapshot kept between frames, whose lists and texts keep their capacity.
    void snapshot_into(Snapshot& snapshot) const;
};

}  // namespace vantrel_sim
