#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "levels/level.hpp"
#include "math/vec3.hpp"

namespace vantrel_sim {

enum class ActorAction : std::uint8_t {
    None = 0,
    Pickup = 1,
    Place = 2,
    Throw = 3,
    Catch = 4,
    Switch = 5,
    BatteryInsert = 6,
    Jump = 7,
    Land = 8,
};

// What the snapshot sends of an actor; `Actor` extends it with internal fields.
struct ActorView {
    Vec3 pos;
    float yaw = 0.0f;
    float pitch = 0.0f;
    std::int32_t held = -1;
    bool active = true;
    float duration = 0.0f;
    std::optional<float> next_throw;
    bool grounded = true;
    Vec3 vel;
    std::uint32_t action_seq = 0;
    ActorAction action = ActorAction::None;
    float action_time = 0.0f;
    std::int32_t action_cargo = -1;
    Vec3 action_pos;

    friend bool operator==(const ActorView&, const ActorView&) = default;
};

// What the snapshot sends of a cargo; `Cargo` extends it with internal fields.
struct CargoView {
    std::int32_t id = 0;
    Vec3 pos;
    Vec3 vel;
    Vec3 size;
    std::int32_t owner = -1;
    std::string label;
    std::int32_t kind = 0;
    CargoStyle style = CargoStyle::Freight;
    bool docked = false;
    bool delivered = false;

    friend bool operator==(const CargoView&, const CargoView&) = default;
};

struct Snapshot {
    std::uint64_t level = 0;
    std::uint64_t level_count = 16;
    std::string title;
    std::string objective;
    std::string hint;
    float time = 0.0f;
    float limit = 0.0f;
    bool won = false;
    bool finished = false;
    bool failed = false;
    std::optional<std::array<float, 2>> transfer_window;
    ActorView player;
    std::vector<ActorView> echoes;
    std::vector<CargoView> cargo;
    std::vector<BoxView> walls;
    std::vector<PlateView> plates;
    std::vector<DoorView> doors;
    std::vector<FanView> fans;
    std::vector<SocketView> sockets;
    bool moon_gravity = false;
    std::string interaction;
    Vec3 goal;
    Vec3 goal_size;
    Vec3 spawn;
    std::array<float, 2> room_size{};
    float room_height = 0.0f;
    std::optional<LiftView> lift;              // key left out when absent
    std::vector<Vec3> gravity_controls;        // key left out when empty
    bool cargo_gravity_off = false;
    std::string message;
    std::vector<Vec3> trajectory;
};

// One piece of the snapshot's text as last written, with the exact bits of the values it was
// written from.
struct TextMemo {
    std::string key;
    std::string text;
    bool written = false;
};

// A record's text in parts that change apart (an actor's place, state, velocity and last
// action; a cargo's place, velocity and the rest; a door's place and timers), so that a
// moving record rewrites only what moved.
struct RecordMemo {
    std::array<TextMemo, 4> parts;
};

// A list of plain records (floats only, no padding) with the whole text written from it: one
// comparison of the records' bytes with the kept copy tells whether the text still holds.
template <typename Record>
struct PlainListMemo {
    std::vector<Record> records;
    std::string text;
    bool written = false;
};

// The texts of the previous snapshot, piece by piece: a piece whose values have not changed
// by a single bit (a wall, a resting cargo, an idle echo, the room's texts) is copied from
// here instead of written again. Never stale: each piece is checked against its values on
// every write.
struct SnapshotTextCache {
    Snapshot assembled;      // the world's last snapshot, kept for the capacity of its lists
    std::size_t length = 0;  // of the last text, to grow the next one to at once
    TextMemo heading;    // `level` to `hint`
    RecordMemo player;
    std::vector<RecordMemo> echoes;
    std::vector<RecordMemo> cargo;
    PlainListMemo<BoxView> walls;
    std::vector<RecordMemo> plates;
    std::vector<RecordMemo> doors;
    std::vector<RecordMemo> fans;
    std::vector<RecordMemo> sockets;
    TextMemo interaction;
    TextMemo layout;  // `goal` to `room_height`
    RecordMemo lift;
    TextMemo gravity_controls;
    TextMemo message;
};

const char* actor_action_name(ActorAction action);
const char* cargo_style_name(CargoStyle style);

// Appends the one-line JSON text of the snapshot to `out`.
void write_snapshot(const Snapshot& snapshot, std::string& out);
// The same text, reusing the pieces of the cache that still hold, and updating the rest.
void write_snapshot(const Snapshot& snapshot, std::string& out, SnapshotTextCache& cache);

}  // namespace vantrel_sim
