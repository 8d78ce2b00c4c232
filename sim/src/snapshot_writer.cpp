#include "internal_error.hpp"
#include "json_text.hpp"
#include "snapshot.hpp"

namespace vantrel_sim {
namespace {

void put_flag(std::string& out, bool value) { out += value ? "true" : "false"; }

void put_optional(std::string& out, const std::optional<float>& value) {
    if (value) {
        append_number(out, *value);
    } else {
        out += "null";
    }
}

void put_vec3(std::string& out, Vec3 value) {
    out += '[';
    append_number(out, value.x);
    out += ',';
    append_number(out, value.y);
    out += ',';
    append_number(out, value.z);
    out += ']';
}

void put_pair(std::string& out, const std::array<float, 2>& value) {
    out += '[';
    append_number(out, value[0]);
    out += ',';
    append_number(out, value[1]);
    out += ']';
}

template <typename Item, typename PutItem>
void put_list(std::string& out, const std::vector<Item>& items, PutItem put_item) {
    out += '[';
    for (std::size_t i = 0; i < items.size(); ++i) {
        if (i > 0) {
            out += ',';
        }
        put_item(out, items[i]);
    }
    out += ']';
}

void put_actor(std::string& out, const ActorView& actor) {
    out += "{\"pos\":";
    put_vec3(out, actor.pos);
    out += ",\"yaw\":";
    append_number(out, actor.yaw);
    out += ",\"pitch\":";
    append_number(out, actor.pitch);
    out += ",\"held\":";
    append_integer(out, actor.held);
    out += ",\"active\":";
    put_flag(out, actor.active);
    out += ",\"duration\":";
    append_number(out, actor.duration);
    out += ",\"next_throw\":";
    put_optional(out, actor.next_throw);
    out += ",\"grounded\":";
    put_flag(out, actor.grounded);
    out += ",\"vel\":";
    put_vec3(out, actor.vel);
    out += ",\"action_seq\":";
    append_integer(out, actor.action_seq);
    out += ",\"action\":";
    append_json_string(out, actor_action_name(actor.action));
    out += ",\"action_time\":";
    append_number(out, actor.action_time);
    out += ",\"action_cargo\":";
    append_integer(out, actor.action_cargo);
    out += ",\"action_pos\":";
    put_vec3(out, actor.action_pos);
    out += '}';
}

void put_cargo(std::string& out, const CargoView& cargo) {
    out += "{\"id\":";
    append_integer(out, cargo.id);
    out += ",\"pos\":";
    put_vec3(out, cargo.pos);
    out += ",\"vel\":";
    put_vec3(out, cargo.vel);
    out += ",\"size\":";
    put_vec3(out, cargo.size);
    out += ",\"owner\":";
    append_integer(out, cargo.owner);
    out += ",\"label\":";
    append_json_string(out, cargo.label);
    out += ",\"kind\":";
    append_integer(out, cargo.kind);
    out += ",\"style\":";
    append_json_string(out, cargo_style_name(cargo.style));
    out += ",\"docked\":";
    put_flag(out, cargo.docked);
    out += ",\"delivered\":";
    put_flag(out, cargo.delivered);
    out += '}';
}

void put_box(std::string& out, const BoxView& box) {
    out += "{\"pos\":";
    put_vec3(out, box.pos);
    out += ",\"size\":";
    put_vec3(out, box.size);
    out += '}';
}

void put_plate(std::string& out, const PlateView& plate) {
    out += "{\"pos\":";
    put_vec3(out, plate.pos);
    out += ",\"radius\":";
    append_number(out, plate.radius);
    out += ",\"active\":";
    put_flag(out, plate.active);
    out += ",\"label\":";
    append_json_string(out, plate.label);
    out += ",\"load_required\":";
    append_number(out, plate.load_required);
    out += ",\"load_maximum\":";
    put_optional(out, plate.load_maximum);
    out += ",\"load\":";
    append_number(out, plate.load);
    out += '}';
}

void put_door(std::string& out, const DoorView& door) {
    out += "{\"pos\":";
    put_vec3(out, door.pos);
    out += ",\"size\":";
    put_vec3(out, door.size);
    out += ",\"open\":";
    put_flag(out, door.open);
    out += ",\"label\":";
    append_json_string(out, door.label);
    out += ",\"hold_remaining\":";
    put_optional(out, door.hold_remaining);
    if (door.cycle_remaining) {
        out += ",\"cycle_remaining\":";
        append_number(out, *door.cycle_remaining);
    }
    out += '}';
}

void put_fan(std::string& out, const FanView& fan) {
    out += "{\"pos\":";
    put_vec3(out, fan.pos);
    out += ",\"dir\":";
    put_vec3(out, fan.dir);
    out += ",\"active\":";
    put_flag(out, fan.active);
    out += ",\"label\":";
    append_json_string(out, fan.label);
    out += '}';
}

void put_socket(std::string& out, const SocketView& socket) {
    out += "{\"pos\":";
    put_vec3(out, socket.pos);
    out += ",\"powered\":";
    put_flag(out, socket.powered);
    out += ",\"label\":";
    append_json_string(out, socket.label);
    out += '}';
}

void put_lift(std::string& out, const LiftView& lift) {
    out += "{\"center\":";
    put_vec3(out, lift.center);
    out += ",\"size\":";
    put_vec3(out, lift.size);
    out += ",\"top\":";
    append_number(out, lift.top);
    out += ",\"height\":";
    append_number(out, lift.height);
    out += ",\"plate\":";
    append_integer(out, lift.plate);
    out += ",\"controls\":[";
    put_vec3(out, lift.controls[0]);
    out += ',';
    put_vec3(out, lift.controls[1]);
    out += "],\"target_up\":";
    put_flag(out, lift.target_up);
    out += '}';
}

// Room, actors, cargo and devices: the keys from `level` to `sockets`.
void put_world(std::string& out, const Snapshot& snapshot) {
    out += "{\"level\":";
    append_integer(out, snapshot.level);
    out += ",\"level_count\":";
    append_integer(out, snapshot.level_count);
    out += ",\"title\":";
    append_json_string(out, snapshot.title);
    out += ",\"objective\":";
    append_json_string(out, snapshot.objective);
    out += ",\"hint\":";
    append_json_string(out, snapshot.hint);
    out += ",\"time\":";
    append_number(out, snapshot.time);
    out += ",\"limit\":";
    append_number(out, snapshot.limit);
    out += ",\"won\":";
    put_flag(out, snapshot.won);
    out += ",\"finished\":";
    put_flag(out, snapshot.finished);
    out += ",\"failed\":";
    put_flag(out, snapshot.failed);
    out += ",\"transfer_window\":";
    if (snapshot.transfer_window) {
        put_pair(out, *snapshot.transfer_window);
    } else {
        out += "null";
    }
    out += ",\"player\":";
    put_actor(out, snapshot.player);
    out += ",\"echoes\":";
    put_list(out, snapshot.echoes, put_actor);
    out += ",\"cargo\":";
    put_list(out, snapshot.cargo, put_cargo);
    out += ",\"walls\":";
    put_list(out, snapshot.walls, put_box);
    out += ",\"plates\":";
    put_list(out, snapshot.plates, put_plate);
    out += ",\"doors\":";
    put_list(out, snapshot.doors, put_door);
    out += ",\"fans\":";
    put_list(out, snapshot.fans, put_fan);
    out += ",\"sockets\":";
    put_list(out, snapshot.sockets, put_socket);
}

}  // namespace

const char* actor_action_name(ActorAction action) {
    switch (action) {
        case ActorAction::None: return "none";
        case ActorAction::Pickup: return "pickup";
        case ActorAction::Place: return "place";
        case ActorAction::Throw: return "throw";
        case ActorAction::Catch: return "catch";
        case ActorAction::Switch: return "switch";
        case ActorAction::BatteryInsert: return "battery_insert";
        case ActorAction::Jump: return "jump";
        case ActorAction::Land: return "land";
    }
    throw InternalError("actor action outside its enumeration");
}

const char* cargo_style_name(CargoStyle style) {
    switch (style) {
        case CargoStyle::Freight: return "freight";
        case CargoStyle::Oxygen: return "oxygen";
        case CargoStyle::Battery: return "battery";
        case CargoStyle::Antenna: return "antenna";
        case CargoStyle::Samples: return "samples";
        case CargoStyle::Bio: return "bio";
        case CargoStyle::Cryo: return "cryo";
        case CargoStyle::Ballast: return "ballast";
        case CargoStyle::Toolkit: return "toolkit";
        case CargoStyle::Coil: return "coil";
        case CargoStyle::Canister: return "canister";
        case CargoStyle::Helmet: return "helmet";
    }
    throw InternalError("cargo style outside its enumeration");
}

void write_snapshot(const Snapshot& snapshot, std::string& out) {
    put_world(out, snapshot);
    out += ",\"moon_gravity\":";
    put_flag(out, snapshot.moon_gravity);
    out += ",\"interaction\":";
    append_json_string(out, snapshot.interaction);
    out += ",\"goal\":";
    put_vec3(out, snapshot.goal);
    out += ",\"goal_size\":";
    put_vec3(out, snapshot.goal_size);
    out += ",\"spawn\":";
    put_vec3(out, snapshot.spawn);
    out += ",\"room_size\":";
    put_pair(out, snapshot.room_size);
    out += ",\"room_height\":";
    append_number(out, snapshot.room_height);
    if (snapshot.lift) {
        out += ",\"lift\":";
        put_lift(out, *snapshot.lift);
    }
    if (!snapshot.gravity_controls.empty()) {
        out += ",\"gravity_controls\":";
        put_list(out, snapshot.gravity_controls, put_vec3);
    }
    out += ",\"cargo_gravity_off\":";
    put_flag(out, snapshot.cargo_gravity_off);
    out += ",\"message\":";
    append_json_string(out, snapshot.message);
    out += ",\"trajectory\":";
    put_list(out, snapshot.trajectory, put_vec3);
    out += '}';
}

}  // namespace vantrel_sim
