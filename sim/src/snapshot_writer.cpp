#include <bit>
#include <cstdint>
#include <cstring>

#include "internal_error.hpp"
#include "json_text.hpp"
#include "snapshot.hpp"

namespace vantrel_sim {
namespace {

// Every record is written through one of two sinks from the same list of fields: the text
// sink writes its JSON, the key sink the exact bits of every value (with the presence of
// every optional and the length of every text), so that equal keys mean equal texts.
struct TextSink {
    std::string& out;

    void literal(std::string_view text) { out += text; }
    void number(float value) { append_number(out, value); }
    template <typename Integer>
    void integer(Integer value) {
        append_integer(out, value);
    }
    void flag(bool value) { out += value ? "true" : "false"; }
    void text(std::string_view value) { append_json_string(out, value); }
    void optional(const std::optional<float>& value) {
        if (value) {
            append_number(out, *value);
        } else {
            out += "null";
        }
    }
    // The key and its number, or nothing at all when absent.
    void member_if(std::string_view key, const std::optional<float>& value) {
        if (value) {
            out += key;
            append_number(out, *value);
        }
    }
};

struct KeySink {
    std::string& key;

    void literal(std::string_view) {}
    void number(float value) { bytes(std::bit_cast<std::uint32_t>(value)); }
    template <typename Integer>
    void integer(Integer value) {
        bytes(static_cast<std::uint64_t>(value));
    }
    void flag(bool value) { key += value ? '1' : '0'; }
    void text(std::string_view value) {
        bytes(static_cast<std::uint64_t>(value.size()));
        key += value;
    }
    void optional(const std::optional<float>& value) {
        flag(value.has_value());
        number(value.value_or(0.0f));
    }
    void member_if(std::string_view, const std::optional<float>& value) { optional(value); }

    template <typename Bits>
    void bytes(Bits value) {
        char raw[sizeof value];
        std::memcpy(raw, &value, sizeof value);
        key.append(raw, sizeof value);
    }
};

template <typename Sink>
void put_vec3(Sink& out, Vec3 value) {
    out.literal("[");
    out.number(value.x);
    out.literal(",");
    out.number(value.y);
    out.literal(",");
    out.number(value.z);
    out.literal("]");
}

template <typename Sink>
void put_pair(Sink& out, const std::array<float, 2>& value) {
    out.literal("[");
    out.number(value[0]);
    out.literal(",");
    out.number(value[1]);
    out.literal("]");
}

template <typename Sink>
void put_actor(Sink& out, const ActorView& actor) {
    out.literal("{\"pos\":");
    put_vec3(out, actor.pos);
    out.literal(",\"yaw\":");
    out.number(actor.yaw);
    out.literal(",\"pitch\":");
    out.number(actor.pitch);
    out.literal(",\"held\":");
    out.integer(actor.held);
    out.literal(",\"active\":");
    out.flag(actor.active);
    out.literal(",\"duration\":");
    out.number(actor.duration);
    out.literal(",\"next_throw\":");
    out.optional(actor.next_throw);
    out.literal(",\"grounded\":");
    out.flag(actor.grounded);
    out.literal(",\"vel\":");
    put_vec3(out, actor.vel);
    out.literal(",\"action_seq\":");
    out.integer(actor.action_seq);
    out.literal(",\"action\":");
    out.text(actor_action_name(actor.action));
    out.literal(",\"action_time\":");
    out.number(actor.action_time);
    out.literal(",\"action_cargo\":");
    out.integer(actor.action_cargo);
    out.literal(",\"action_pos\":");
    put_vec3(out, actor.action_pos);
    out.literal("}");
}

template <typename Sink>
void put_cargo(Sink& out, const CargoView& cargo) {
    out.literal("{\"id\":");
    out.integer(cargo.id);
    out.literal(",\"pos\":");
    put_vec3(out, cargo.pos);
    out.literal(",\"vel\":");
    put_vec3(out, cargo.vel);
    out.literal(",\"size\":");
    put_vec3(out, cargo.size);
    out.literal(",\"owner\":");
    out.integer(cargo.owner);
    out.literal(",\"label\":");
    out.text(cargo.label);
    out.literal(",\"kind\":");
    out.integer(cargo.kind);
    out.literal(",\"style\":");
    out.text(cargo_style_name(cargo.style));
    out.literal(",\"docked\":");
    out.flag(cargo.docked);
    out.literal(",\"delivered\":");
    out.flag(cargo.delivered);
    out.literal("}");
}

template <typename Sink>
void put_box(Sink& out, const BoxView& box) {
    out.literal("{\"pos\":");
    put_vec3(out, box.pos);
    out.literal(",\"size\":");
    put_vec3(out, box.size);
    out.literal("}");
}

template <typename Sink>
void put_plate(Sink& out, const PlateView& plate) {
    out.literal("{\"pos\":");
    put_vec3(out, plate.pos);
    out.literal(",\"radius\":");
    out.number(plate.radius);
    out.literal(",\"active\":");
    out.flag(plate.active);
    out.literal(",\"label\":");
    out.text(plate.label);
    out.literal(",\"load_required\":");
    out.number(plate.load_required);
    out.literal(",\"load_maximum\":");
    out.optional(plate.load_maximum);
    out.literal(",\"load\":");
    out.number(plate.load);
    out.literal("}");
}

template <typename Sink>
void put_door(Sink& out, const DoorView& door) {
    out.literal("{\"pos\":");
    put_vec3(out, door.pos);
    out.literal(",\"size\":");
    put_vec3(out, door.size);
    out.literal(",\"open\":");
    out.flag(door.open);
    out.literal(",\"label\":");
    out.text(door.label);
    out.literal(",\"hold_remaining\":");
    out.optional(door.hold_remaining);
    out.member_if(",\"cycle_remaining\":", door.cycle_remaining);
    out.literal("}");
}

template <typename Sink>
void put_fan(Sink& out, const FanView& fan) {
    out.literal("{\"pos\":");
    put_vec3(out, fan.pos);
    out.literal(",\"dir\":");
    put_vec3(out, fan.dir);
    out.literal(",\"active\":");
    out.flag(fan.active);
    out.literal(",\"label\":");
    out.text(fan.label);
    out.literal("}");
}

template <typename Sink>
void put_socket(Sink& out, const SocketView& socket) {
    out.literal("{\"pos\":");
    put_vec3(out, socket.pos);
    out.literal(",\"powered\":");
    out.flag(socket.powered);
    out.literal(",\"label\":");
    out.text(socket.label);
    out.literal("}");
}

template <typename Sink>
void put_lift(Sink& out, const LiftView& lift) {
    out.literal("{\"center\":");
    put_vec3(out, lift.center);
    out.literal(",\"size\":");
    put_vec3(out, lift.size);
    out.literal(",\"top\":");
    out.number(lift.top);
    out.literal(",\"height\":");
    out.number(lift.height);
    out.literal(",\"plate\":");
    out.integer(lift.plate);
    out.literal(",\"controls\":[");
    put_vec3(out, lift.controls[0]);
    out.literal(",");
    put_vec3(out, lift.controls[1]);
    out.literal("],\"target_up\":");
    out.flag(lift.target_up);
    out.literal("}");
}

// The room's texts: the keys from `level` to `hint`.
template <typename Sink>
void put_heading(Sink& out, const Snapshot& snapshot) {
    out.literal("{\"level\":");
    out.integer(snapshot.level);
    out.literal(",\"level_count\":");
    out.integer(snapshot.level_count);
    out.literal(",\"title\":");
    out.text(snapshot.title);
    out.literal(",\"objective\":");
    out.text(snapshot.objective);
    out.literal(",\"hint\":");
    out.text(snapshot.hint);
}

// The room's fixed layout: the keys from `goal` to `room_height`.
template <typename Sink>
void put_layout(Sink& out, const Snapshot& snapshot) {
    out.literal(",\"goal\":");
    put_vec3(out, snapshot.goal);
    out.literal(",\"goal_size\":");
    put_vec3(out, snapshot.goal_size);
    out.literal(",\"spawn\":");
    put_vec3(out, snapshot.spawn);
    out.literal(",\"room_size\":");
    put_pair(out, snapshot.room_size);
    out.literal(",\"room_height\":");
    out.number(snapshot.room_height);
}

template <typename Sink>
void put_gravity_controls(Sink& out, const std::vector<Vec3>& controls) {
    out.literal("[");
    for (std::size_t i = 0; i < controls.size(); ++i) {
        if (i > 0) {
            out.literal(",");
        }
        put_vec3(out, controls[i]);
    }
    out.literal("]");
}

template <typename Sink>
void put_text(Sink& out, const std::string& text) {
    out.text(text);
}

// Writes one piece through its memo when there is one: the stored text when the piece's key
// is the one it was written from, else the fresh text, stored with its key for next time.
template <typename Value, typename Put>
void put_piece(std::string& out, SnapshotTextCache* cache, TextMemo* memo, const Value& value, Put put) {
    TextSink text{out};
    if (!cache) {
        put(text, value);
        return;
    }
    std::string& key = cache->scratch;
    key.clear();
    KeySink key_sink{key};
    put(key_sink, value);
    if (memo->written && memo->key == key) {
        out += memo->text;
        return;
    }
    const std::size_t start = out.size();
    put(text, value);
    memo->text.assign(out, start);
    memo->key.swap(key);
    memo->written = true;
}

template <typename Item, typename Put>
void put_list(std::string& out, SnapshotTextCache* cache, std::vector<TextMemo>* memos,
              const std::vector<Item>& items, Put put) {
    if (cache && memos->size() != items.size()) {
        memos->resize(items.size());
    }
    out += '[';
    for (std::size_t i = 0; i < items.size(); ++i) {
        if (i > 0) {
            out += ',';
        }
        put_piece(out, cache, cache ? &(*memos)[i] : nullptr, items[i], put);
    }
    out += ']';
}

void put_trajectory(std::string& out, const std::vector<Vec3>& points) {
    TextSink text{out};
    out += '[';
    for (std::size_t i = 0; i < points.size(); ++i) {
        if (i > 0) {
            out += ',';
        }
        put_vec3(text, points[i]);
    }
    out += ']';
}

// The member of every memo in the cache, or none without a cache.
template <typename Memo>
Memo* memo_of(SnapshotTextCache* cache, Memo SnapshotTextCache::*member) {
    return cache ? &(cache->*member) : nullptr;
}

void write(const Snapshot& snapshot, std::string& out, SnapshotTextCache* cache) {
    TextSink text{out};
    put_piece(out, cache, memo_of(cache, &SnapshotTextCache::heading), snapshot,
              [](auto& sink, const Snapshot& s) { put_heading(sink, s); });
    out += ",\"time\":";
    text.number(snapshot.time);
    out += ",\"limit\":";
    text.number(snapshot.limit);
    out += ",\"won\":";
    text.flag(snapshot.won);
    out += ",\"finished\":";
    text.flag(snapshot.finished);
    out += ",\"failed\":";
    text.flag(snapshot.failed);
    out += ",\"transfer_window\":";
    if (snapshot.transfer_window) {
        put_pair(text, *snapshot.transfer_window);
    } else {
        out += "null";
    }
    out += ",\"player\":";
    put_piece(out, cache, memo_of(cache, &SnapshotTextCache::player), snapshot.player,
              [](auto& sink, const ActorView& a) { put_actor(sink, a); });
    out += ",\"echoes\":";
    put_list(out, cache, memo_of(cache, &SnapshotTextCache::echoes), snapshot.echoes,
             [](auto& sink, const ActorView& a) { put_actor(sink, a); });
    out += ",\"cargo\":";
    put_list(out, cache, memo_of(cache, &SnapshotTextCache::cargo), snapshot.cargo,
             [](auto& sink, const CargoView& c) { put_cargo(sink, c); });
    out += ",\"walls\":";
    put_list(out, cache, memo_of(cache, &SnapshotTextCache::walls), snapshot.walls,
             [](auto& sink, const BoxView& b) { put_box(sink, b); });
    out += ",\"plates\":";
    put_list(out, cache, memo_of(cache, &SnapshotTextCache::plates), snapshot.plates,
             [](auto& sink, const PlateView& p) { put_plate(sink, p); });
    out += ",\"doors\":";
    put_list(out, cache, memo_of(cache, &SnapshotTextCache::doors), snapshot.doors,
             [](auto& sink, const DoorView& d) { put_door(sink, d); });
    out += ",\"fans\":";
    put_list(out, cache, memo_of(cache, &SnapshotTextCache::fans), snapshot.fans,
             [](auto& sink, const FanView& f) { put_fan(sink, f); });
    out += ",\"sockets\":";
    put_list(out, cache, memo_of(cache, &SnapshotTextCache::sockets), snapshot.sockets,
             [](auto& sink, const SocketView& k) { put_socket(sink, k); });
    out += ",\"moon_gravity\":";
    text.flag(snapshot.moon_gravity);
    out += ",\"interaction\":";
    put_piece(out, cache, memo_of(cache, &SnapshotTextCache::interaction), snapshot.interaction,
              [](auto& sink, const std::string& t) { put_text(sink, t); });
    put_piece(out, cache, memo_of(cache, &SnapshotTextCache::layout), snapshot,
              [](auto& sink, const Snapshot& s) { put_layout(sink, s); });
    if (snapshot.lift) {
        out += ",\"lift\":";
        put_piece(out, cache, memo_of(cache, &SnapshotTextCache::lift), *snapshot.lift,
                  [](auto& sink, const LiftView& l) { put_lift(sink, l); });
    }
    if (!snapshot.gravity_controls.empty()) {
        out += ",\"gravity_controls\":";
        put_piece(out, cache, memo_of(cache, &SnapshotTextCache::gravity_controls),
                  snapshot.gravity_controls,
                  [](auto& sink, const std::vector<Vec3>& g) { put_gravity_controls(sink, g); });
    }
    out += ",\"cargo_gravity_off\":";
    text.flag(snapshot.cargo_gravity_off);
    out += ",\"message\":";
    put_piece(out, cache, memo_of(cache, &SnapshotTextCache::message), snapshot.message,
              [](auto& sink, const std::string& t) { put_text(sink, t); });
    out += ",\"trajectory\":";
    put_trajectory(out, snapshot.trajectory);
    out += '}';
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

void write_snapshot(const Snapshot& snapshot, std::string& out) { write(snapshot, out, nullptr); }

void write_snapshot(const Snapshot& snapshot, std::string& out, SnapshotTextCache& cache) {
    write(snapshot, out, &cache);
}

}  // namespace vantrel_sim
