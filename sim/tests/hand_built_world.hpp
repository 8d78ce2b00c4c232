#pragma once

#include <string>

#include "game.hpp"

namespace vantrel_sim::testing {

// The player at the origin looking along -z: its eye is (0, 1.6, 0) and its view ray
// ends at (0, 1.6, -2.5), so a target entered at distance d along -z has t = d / 2.5.
inline Game open_room() {
    Game game;
    game.level.room_height = 5.0f;
    game.actors.push_back(Actor{});
    game.run.frames.push_back(RecordedFrame{});
    return game;
}

inline Actor actor_at(Vec3 pos, float yaw = 0.0f, float pitch = 0.0f) {
    Actor actor;
    actor.pos = pos;
    actor.yaw = yaw;
    actor.pitch = pitch;
    actor.action_pos = pos;
    return actor;
}

// Adds an echo with an empty record, keeping records and cursors in step with actors.
inline std::size_t add_echo(Game& game, Actor echo) {
    game.actors.push_back(echo);
    game.records.push_back(Record{{RecordedFrame{echo.pos, echo.yaw, echo.pitch, true}}, {}});
    game.replay_cursors.push_back(0);
    return game.actors.size() - 1;
}

inline std::size_t add_cargo(Game& game, Vec3 pos, CargoStyle style = CargoStyle::Freight,
                             std::string label = "Ящик", Vec3 size = {0.85f, 0.85f, 0.85f}) {
    Cargo item;
    item.id = static_cast<std::int32_t>(game.cargo.size());
    item.pos = pos;
    item.size = size;
    item.style = style;
    item.label = std::move(label);
    item.kind = 1;
    game.cargo.push_back(item);
    return game.cargo.size() - 1;
}

// Puts the cargo into the actor's hands, consistently on both sides.
inline void give(Game& game, std::size_t actor, std::size_t cargo_index) {
    game.cargo[cargo_index].owner = static_cast<std::int32_t>(actor);
    game.actors[actor].held = game.cargo[cargo_index].id;
}

inline FanView fan_at(Vec3 pos, bool active = true) {
    FanView fan;
    fan.label = "Вентилятор";
    fan.pos = pos;
    fan.dir = {0.0f, 1.0f, 0.0f};
    fan.active = active;
    return fan;
}

inline SocketView socket_at(Vec3 pos, std::string label, bool powered = false) {
    SocketView socket;
    socket.label = std::move(label);
    socket.pos = pos;
    socket.powered = powered;
    return socket;
}

// A lift far from the origin whose control 0 is at `control`, powered by plate 0.
inline void add_lift(Game& game, Vec3 control, bool powered, bool target_up = false) {
    PlateView plate;
    plate.label = "A";
    plate.pos = {6.0f, 0.0f, 6.0f};
    plate.active = powered;
    game.level.plates.push_back(plate);
    LiftView lift;
    lift.plate = game.level.plates.size() - 1;
    lift.controls = {control, Vec3{8.0f, 1.0f, 8.0f}};
    lift.center = {8.0f, 0.0f, 6.0f};
    lift.size = {2.0f, 0.2f, 2.0f};
    lift.top = 3.0f;
    lift.height = 0.2f;
    lift.target_up = target_up;
    game.level.lift = lift;
}

inline DoorView door_at(Vec3 pos, Vec3 size, bool open) {
    DoorView door;
    door.label = "Дверь";
    door.pos = pos;
    door.size = size;
    door.open = open;
    return door;
}

}  // namespace vantrel_sim::testing
