#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <type_traits>

#include "internal_error.hpp"
#include "json_text.hpp"
#include "math/float_bits.hpp"
#include "snapshot.hpp"

namespace vantrel_sim {
namespace {

// Every record is written through one of two sinks from the same list of fields: the text
// sink writes its JSON, the key sink the exact bits of every value (with the presence of
// every optional and the length of every text), so that equal keys mean equal texts.
//
// The text sink writes straight into the text, which it lengthens a step ahead of what is
// written and cuts to length at the end: every piece, a stored one too, is copied once, with
// no buffer in between. The text's memory is reserved at once for the length the previous
// snapshot reached; the steps keep the zero fill of each lengthening short.
struct TextSink {
    TextSink(std::string& target, std::size_t expected) : out(target) {
        target.reserve(target.size() + expected + SLACK);
        at = target.data() + target.size();
        limit = at;
    }

    std::string& out;
    char* at;
    char* limit;
    std::string escaped;  // a text's JSON form on its way in
    static constexpr std::size_t STEP = 1024;
    static constexpr std::size_t SLACK = 256;  // for a text a little longer than the last

    std::size_t written() const { return static_cast<std::size_t>(at - out.data()); }
    char* room(std::size_t size) {
        if (static_cast<std::size_t>(limit - at) < size) {
            grow(size);
        }
        return at;
    }
    void grow(std::size_t size) {
        const std::size_t used = written();
        std::size_t step = std::max(size, STEP);
        if (out.capacity() - used >= size) {
            step = std::min(step, out.capacity() - used);  // no move while the reserve lasts
        }
        out.resize(used + step);
        at = out.data() + used;
        limit = out.data() + out.size();
    }
    // Cuts the text to what was written.
    void finish() { out.resize(written()); }
    void literal(std::string_view text) {
        std::memcpy(room(text.size()), text.data(), text.size());
        at += text.size();
    }
    // The fixed texts between values: a copy of known length, made in line.
    template <std::size_t SIZE>
    void literal(const char (&text)[SIZE]) {
        std::memcpy(room(SIZE - 1), text, SIZE - 1);
        at += SIZE - 1;
    }
    void number(float value) { at = write_number(room(FLOAT_TEXT_CAPACITY), value); }
    // Needs FLOAT_TEXT_CAPACITY bytes of room.
    static char* write_number(char* to, float value) {
        if (!std::isfinite(value)) {
            std::memcpy(to, "null", 4);
            return to + 4;
        }
        return format_float(to, value);
    }
    template <typename Integer>
    void integer(Integer value) {
        constexpr std::size_t DIGITS = 24;
        char* to = room(DIGITS);
        at = std::to_chars(to, to + DIGITS, value).ptr;
    }
    void flag(bool value) { value ? literal("true") : literal("false"); }
    void text(std::string_view value) {
        escaped.clear();
        append_json_string(escaped, value);
        literal(escaped);
    }
    // An enumeration's wire name; the keys hold its value, which decides the name.
    template <typename Enum>
    void name(Enum value, const char* (*name_of)(Enum)) {
        text(name_of(value));
    }
    void optional(const std::optional<float>& value) {
        if (value) {
            number(*value);
        } else {
            literal("null");
        }
    }
    // The key and its number, or nothing at all when absent.
    void member_if(std::string_view key, const std::optional<float>& value) {
        if (value) {
            literal(key);
            number(*value);
        }
    }
};

struct KeySink {
    explicit KeySink(std::string& target) : key(target) {}

    std::string& key;
    std::size_t used = 0;
    char buffer[256];

    void flush() {
        key.append(buffer, used);
        used = 0;
    }
    void literal(std::string_view) {}
    void number(float value) { bytes(bits_of(value)); }
    template <typename Integer>
    void integer(Integer value) {
        bytes(static_cast<std::uint64_t>(value));
    }
    void flag(bool value) { bytes(static_cast<std::uint8_t>(value)); }
    void text(std::string_view value) {
        bytes(static_cast<std::uint64_t>(value.size()));
        flush();
        key += value;
    }
    template <typename Enum>
    void name(Enum value, const char* (*)(Enum)) {
        bytes(value);
    }
    void optional(const std::optional<float>& value) {
        flag(value.has_value());
        number(value.value_or(0.0f));
    }
    void member_if(std::string_view, const std::optional<float>& value) { optional(value); }

    template <typename Bits>
    void bytes(Bits value) {
        if (used + sizeof value > sizeof buffer) {
            flush();
        }
        std::memcpy(buffer + used, &value, sizeof value);
        used += sizeof value;
    }
};

// Walks a stored key alongside the values, as the key sink would write them: a piece whose
// values all match needs no key built at all.
struct MatchSink {
    explicit MatchSink(const std::string& key) : at(key.data()), end(key.data() + key.size()) {}

    const char* at;
    const char* end;
    bool same = true;

    bool matched() const { return same && at == end; }
    void literal(std::string_view) {}
    void number(float value) { bytes(bits_of(value)); }
    template <typename Integer>
    void integer(Integer value) {
        bytes(static_cast<std::uint64_t>(value));
    }
    void flag(bool value) { bytes(static_cast<std::uint8_t>(value)); }
    void text(std::string_view value) {
        bytes(static_cast<std::uint64_t>(value.size()));
        if (same && static_cast<std::size_t>(end - at) >= value.size() &&
            std::memcmp(at, value.data(), value.size()) == 0) {
            at += value.size();
        } else {
            same = false;
        }
    }
    template <typename Enum>
    void name(Enum value, const char* (*)(Enum)) {
        bytes(value);
    }
    void optional(const std::optional<float>& value) {
        flag(value.has_value());
        number(value.value_or(0.0f));
    }
    void member_if(std::string_view, const std::optional<float>& value) { optional(value); }

    template <typename Bits>
    void bytes(Bits value) {
        if (same && static_cast<std::size_t>(end - at) >= sizeof value &&
            std::memcmp(at, &value, sizeof value) == 0) {
            at += sizeof value;
        } else {
            same = false;
        }
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

// The same text with one look at the room: the trajectory alone has 31 of them.
void put_vec3(TextSink& out, Vec3 value) {
    char* at = out.room(3 * FLOAT_TEXT_CAPACITY + 4);
    *at++ = '[';
    at = TextSink::write_number(at, value.x);
    *at++ = ',';
    at = TextSink::write_number(at, value.y);
    *at++ = ',';
    at = TextSink::write_number(at, value.z);
    *at++ = ']';
    out.at = at;
}

// A point's bits compared at once: its three floats lie in the key one after another.
void put_vec3(MatchSink& out, Vec3 value) {
    out.bytes(std::array<std::uint32_t, 3>{bits_of(value.x), bits_of(value.y), bits_of(value.z)});
}

template <typename Sink>
void put_pair(Sink& out, const std::array<float, 2>& value) {
    out.literal("[");
    out.number(value[0]);
    out.literal(",");
    out.number(value[1]);
    out.literal("]");
}

// An actor in parts that change apart: where it stands and looks; what it holds and its
// run; its velocity; its last action.
template <typename Sink>
void put_actor_place(Sink& out, const ActorView& actor) {
    out.literal("{\"pos\":");
    put_vec3(out, actor.pos);
    out.literal(",\"yaw\":");
    out.number(actor.yaw);
    out.literal(",\"pitch\":");
    out.number(actor.pitch);
}

template <typename Sink>
void put_actor_state(Sink& out, const ActorView& actor) {
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
}

template <typename Sink>
void put_actor_velocity(Sink& out, const ActorView& actor) {
    out.literal(",\"vel\":");
    put_vec3(out, actor.vel);
}

template <typename Sink>
void put_actor_action(Sink& out, const ActorView& actor) {
    out.literal(",\"action_seq\":");
    out.integer(actor.action_seq);
    out.literal(",\"action\":");
    out.name(actor.action, actor_action_name);
    out.literal(",\"action_time\":");
    out.number(actor.action_time);
    out.literal(",\"action_cargo\":");
    out.integer(actor.action_cargo);
    out.literal(",\"action_pos\":");
    put_vec3(out, actor.action_pos);
    out.literal("}");
}

// A cargo in parts: where it is; its velocity; what it is and who holds it.
template <typename Sink>
void put_cargo_place(Sink& out, const CargoView& cargo) {
    out.literal("{\"id\":");
    out.integer(cargo.id);
    out.literal(",\"pos\":");
    put_vec3(out, cargo.pos);
}

template <typename Sink>
void put_cargo_velocity(Sink& out, const CargoView& cargo) {
    out.literal(",\"vel\":");
    put_vec3(out, cargo.vel);
}

template <typename Sink>
void put_cargo_state(Sink& out, const CargoView& cargo) {
    out.literal(",\"size\":");
    put_vec3(out, cargo.size);
    out.literal(",\"owner\":");
    out.integer(cargo.owner);
    out.literal(",\"label\":");
    out.text(cargo.label);
    out.literal(",\"kind\":");
    out.integer(cargo.kind);
    out.literal(",\"style\":");
    out.name(cargo.style, cargo_style_name);
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

// A door in parts: where it is and whether it is open; its timers, which run every tick.
template <typename Sink>
void put_door_place(Sink& out, const DoorView& door) {
    out.literal("{\"pos\":");
    put_vec3(out, door.pos);
    out.literal(",\"size\":");
    put_vec3(out, door.size);
    out.literal(",\"open\":");
    out.flag(door.open);
    out.literal(",\"label\":");
    out.text(door.label);
}

template <typename Sink>
void put_door_timers(Sink& out, const DoorView& door) {
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

// Writes a piece afresh and stores its text with its key for next time.
template <typename Value, typename Put>
void put_fresh_piece(TextSink& text, TextMemo* memo, const Value& value, Put put) {
    memo->written = false;
    memo->key.clear();
    KeySink key(memo->key);
    put(key, value);
    key.flush();
    const std::size_t start = text.written();
    put(text, value);
    memo->text.assign(text.out.data() + start, text.written() - start);
    memo->written = true;
}

// Writes one piece through its memo when there is one: the stored text when the piece's key
// is the one it was written from, else the fresh text.
template <typename Value, typename Put>
void put_piece(TextSink& text, SnapshotTextCache* cache, TextMemo* memo, const Value& value, Put put) {
    if (!cache) {
        put(text, value);
        return;
    }
    if (memo->written) {
        MatchSink match(memo->key);
        put(match, value);
        if (match.matched()) {
            text.literal(memo->text);
            return;
        }
    }
    put_fresh_piece(text, memo, value, put);
}

// A record written in parts that change apart, each through its own memo.
template <typename Value, typename... Parts>
void put_parts(TextSink& text, SnapshotTextCache* cache, RecordMemo* memo, const Value& value,
               Parts... parts) {
    std::size_t part = 0;
    (put_piece(text, cache, memo ? &memo->parts[part++] : nullptr, value, parts), ...);
}

void put_actor(TextSink& text, SnapshotTextCache* cache, RecordMemo* memo, const ActorView& actor) {
    put_parts(text, cache, memo, actor,
              [](auto& out, const ActorView& a) { put_actor_place(out, a); },
              [](auto& out, const ActorView& a) { put_actor_state(out, a); },
              [](auto& out, const ActorView& a) { put_actor_velocity(out, a); },
              [](auto& out, const ActorView& a) { put_actor_action(out, a); });
}

void put_cargo(TextSink& text, SnapshotTextCache* cache, RecordMemo* memo, const CargoView& cargo) {
    put_parts(text, cache, memo, cargo,
              [](auto& out, const CargoView& c) { put_cargo_place(out, c); },
              [](auto& out, const CargoView& c) { put_cargo_velocity(out, c); },
              [](auto& out, const CargoView& c) { put_cargo_state(out, c); });
}

void put_door(TextSink& text, SnapshotTextCache* cache, RecordMemo* memo, const DoorView& door) {
    put_parts(text, cache, memo, door,
              [](auto& out, const DoorView& d) { put_door_place(out, d); },
              [](auto& out, const DoorView& d) { put_door_timers(out, d); });
}

void put_box(TextSink& text, SnapshotTextCache* cache, RecordMemo* memo, const BoxView& box) {
    put_parts(text, cache, memo, box, [](auto& out, const BoxView& b) { put_box(out, b); });
}

void put_plate(TextSink& text, SnapshotTextCache* cache, RecordMemo* memo, const PlateView& plate) {
    put_parts(text, cache, memo, plate, [](auto& out, const PlateView& p) { put_plate(out, p); });
}

void put_fan(TextSink& text, SnapshotTextCache* cache, RecordMemo* memo, const FanView& fan) {
    put_parts(text, cache, memo, fan, [](auto& out, const FanView& f) { put_fan(out, f); });
}

void put_socket(TextSink& text, SnapshotTextCache* cache, RecordMemo* memo, const SocketView& socket) {
    put_parts(text, cache, memo, socket, [](auto& out, const SocketView& k) { put_socket(out, k); });
}

void put_lift(TextSink& text, SnapshotTextCache* cache, RecordMemo* memo, const LiftView& lift) {
    put_parts(text, cache, memo, lift, [](auto& out, const LiftView& l) { put_lift(out, l); });
}

template <typename Item>
void put_list(TextSink& text, SnapshotTextCache* cache, std::vector<RecordMemo>* memos,
              const std::vector<Item>& items,
              void (*put_record)(TextSink&, SnapshotTextCache*, RecordMemo*, const Item&)) {
    if (cache && memos->size() != items.size()) {
        memos->resize(items.size());
    }
    text.literal("[");
    for (std::size_t i = 0; i < items.size(); ++i) {
        if (i > 0) {
            text.literal(",");
        }
        put_record(text, cache, cache ? &(*memos)[i] : nullptr, items[i]);
    }
    text.literal("]");
}

// Equal bytes are equal bits of every float (so 0 and -0 differ, as do NaNs of other
// payloads), hence equal texts.
template <typename Record>
bool same_bytes(const std::vector<Record>& kept, const std::vector<Record>& items) {
    return kept.size() == items.size() &&
           (items.empty() || std::memcmp(kept.data(), items.data(), items.size() * sizeof(Record)) == 0);
}

// The walls never change within a room: their whole text is kept, and checked at once.
void put_walls(TextSink& text, SnapshotTextCache* cache, const std::vector<BoxView>& walls) {
    static_assert(std::is_trivially_copyable_v<BoxView> && sizeof(BoxView) == 6 * sizeof(float),
                  "a wall's bytes are its six floats and nothing else");
    if (!cache) {
        put_list(text, nullptr, nullptr, walls, put_box);
        return;
    }
    PlainListMemo<BoxView>& memo = cache->walls;
    if (memo.written && same_bytes(memo.records, walls)) {
        text.literal(memo.text);
        return;
    }
    memo.written = false;
    const std::size_t start = text.written();
    put_list(text, nullptr, nullptr, walls, put_box);
    memo.text.assign(text.out.data() + start, text.written() - start);
    memo.records = walls;
    memo.written = true;
}

void put_trajectory(TextSink& text, const std::vector<Vec3>& points) {
    text.literal("[");
    for (std::size_t i = 0; i < points.size(); ++i) {
        if (i > 0) {
            text.literal(",");
        }
        put_vec3(text, points[i]);
    }
    text.literal("]");
}

// The member of every memo in the cache, or none without a cache.
template <typename Memo>
Memo* memo_of(SnapshotTextCache* cache, Memo SnapshotTextCache::*member) {
    return cache ? &(cache->*member) : nullptr;
}

void write(const Snapshot& snapshot, TextSink& text, SnapshotTextCache* cache) {
    put_piece(text, cache, memo_of(cache, &SnapshotTextCache::heading), snapshot,
              [](auto& sink, const Snapshot& s) { put_heading(sink, s); });
    text.literal(",\"time\":");
    text.number(snapshot.time);
    text.literal(",\"limit\":");
    text.number(snapshot.limit);
    text.literal(",\"won\":");
    text.flag(snapshot.won);
    text.literal(",\"finished\":");
    text.flag(snapshot.finished);
    text.literal(",\"failed\":");
    text.flag(snapshot.failed);
    text.literal(",\"transfer_window\":");
    if (snapshot.transfer_window) {
        put_pair(text, *snapshot.transfer_window);
    } else {
        text.literal("null");
    }
    text.literal(",\"player\":");
    put_actor(text, cache, memo_of(cache, &SnapshotTextCache::player), snapshot.player);
    text.literal(",\"echoes\":");
    put_list(text, cache, memo_of(cache, &SnapshotTextCache::echoes), snapshot.echoes, put_actor);
    text.literal(",\"cargo\":");
    put_list(text, cache, memo_of(cache, &SnapshotTextCache::cargo), snapshot.cargo, put_cargo);
    text.literal(",\"walls\":");
    put_walls(text, cache, snapshot.walls);
    text.literal(",\"plates\":");
    put_list(text, cache, memo_of(cache, &SnapshotTextCache::plates), snapshot.plates, put_plate);
    text.literal(",\"doors\":");
    put_list(text, cache, memo_of(cache, &SnapshotTextCache::doors), snapshot.doors, put_door);
    text.literal(",\"fans\":");
    put_list(text, cache, memo_of(cache, &SnapshotTextCache::fans), snapshot.fans, put_fan);
    text.literal(",\"sockets\":");
    put_list(text, cache, memo_of(cache, &SnapshotTextCache::sockets), snapshot.sockets, put_socket);
    text.literal(",\"moon_gravity\":");
    text.flag(snapshot.moon_gravity);
    text.literal(",\"interaction\":");
    put_piece(text, cache, memo_of(cache, &SnapshotTextCache::interaction), snapshot.interaction,
              [](auto& sink, const std::string& t) { put_text(sink, t); });
    put_piece(text, cache, memo_of(cache, &SnapshotTextCache::layout), snapshot,
              [](auto& sink, const Snapshot& s) { put_layout(sink, s); });
    if (snapshot.lift) {
        text.literal(",\"lift\":");
        put_lift(text, cache, memo_of(cache, &SnapshotTextCache::lift), *snapshot.lift);
    }
    if (!snapshot.gravity_controls.empty()) {
        text.literal(",\"gravity_controls\":");
        put_piece(text, cache, memo_of(cache, &SnapshotTextCache::gravity_controls),
                  snapshot.gravity_controls,
                  [](auto& sink, const std::vector<Vec3>& g) { put_gravity_controls(sink, g); });
    }
    text.literal(",\"cargo_gravity_off\":");
    text.flag(snapshot.cargo_gravity_off);
    text.literal(",\"message\":");
    put_piece(text, cache, memo_of(cache, &SnapshotTextCache::message), snapshot.message,
              [](auto& sink, const std::string& t) { put_text(sink, t); });
    text.literal(",\"trajectory\":");
    put_trajectory(text, snapshot.trajectory);
    text.literal("}");
    text.finish();
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
    TextSink text(out, 0);
    write(snapshot, text, nullptr);
}

void write_snapshot(const Snapshot& snapshot, std::string& out, SnapshotTextCache& cache) {
    const std::size_t start = out.size();
    TextSink text(out, cache.length);
    write(snapshot, text, &cache);
    cache.length = out.size() - start;
}

}  // namespace vantrel_sim
