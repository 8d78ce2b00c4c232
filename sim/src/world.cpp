#include "game.hpp"
#include "internal_error.hpp"

namespace vantrel_sim {

namespace {

constexpr Vec3 MAIN_CARGO_SIZE{1.15f, 0.85f, 0.85f};
constexpr Vec3 ANTENNA_SIZE{1.8f, 0.48f, 0.55f};

Actor make_player(Vec3 spawn) {
    Actor player;
    player.pos = spawn;
    player.action_pos = spawn;
    return player;
}

Actor make_echo(const Record& record) {
    if (record.frames.empty()) {
        throw InternalError("a record without frames");
    }
    const RecordedFrame& first = record.frames.front();
    Actor echo;
    echo.pos = first.pos;
    echo.yaw = first.yaw;
    echo.pitch = first.pitch;
    echo.duration = static_cast<float>(record.frames.size() - 1) * TICK;
    echo.action_pos = first.pos;
    echo.grounded = first.on_ground;
    echo.on_ground = first.on_ground;
    return echo;
}

Cargo make_main_cargo(const Level& level) {
    Cargo cargo;
    cargo.label = std::string(level.cargo_label);
    cargo.id = 0;
    cargo.pos = level.cargo_pos;
    cargo.size = level.cargo_style == CargoStyle::Antenna ? ANTENNA_SIZE : MAIN_CARGO_SIZE;
    cargo.kind = 1;
    cargo.style = level.cargo_style;
    return cargo;
}

Cargo make_spawned_cargo(const CargoSpawn& spawn, std::int32_t id) {
    Cargo cargo;
    cargo.label = std::string(spawn.label);
    cargo.id = id;
    cargo.pos = spawn.pos;
    cargo.size = spawn.size;
    cargo.kind = spawn.kind;
    cargo.style = spawn.style;
    return cargo;
}

}  // namespace

Game Game::create() {
    Game game;
    game.room = 0;
    game.restart_world();
    return game;
}

void Game::restart_world() {
    level = make_level(room);
    door_hold_ticks.assign(level.doors.size(), 0);

    actors.clear();
    actors.push_back(make_player(level.spawn));
    for (const Record& record : records) {
        actors.push_back(make_echo(record));
    }

    cargo.clear();
    cargo.push_back(make_main_cargo(level));
    for (std::size_t k = 0; k < level.cargo.size(); ++k) {
        cargo.push_back(make_spawned_cargo(level.cargo[k], static_cast<std::int32_t>(k + 1)));
    }

    const Actor& player = actors.front();
    // Room for the whole run up front, so that recording never reallocates inside a tick.
    run.frames.reserve(static_cast<std::size_t>(level.limit) * TICKS_PER_WHOLE_SECOND + 1);
    run.frames.assign(1, RecordedFrame{player.pos, player.yaw, player.pitch, player.on_ground});
    run.actions.clear();
    replay_cursors.assign(records.size(), 0);

    message.clear();
    ticks = 0;
    accumulator = 0.0f;
    jump_pressed = false;
    interact_pressed = false;
    throw_pressed = false;
    won = false;
    finished = false;
    failed = false;
    cargo_gravity_off = false;

    update_switches(false);
}

void Game::select_room(std::size_t index) {
    if (index >= ROOM_COUNT) {
        return;
    }
    room = index;
    records.clear();
    restart_world();
}

std::string_view Game::room_title(std::size_t index) { return make_level(index).title; }

}  // namespace vantrel_sim
