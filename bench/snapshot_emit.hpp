#pragma once

// Walks a Snapshot in the document's key order and hands every value to a sink, so that
// other JSON libraries can write exactly the same document for comparison.
#include <cstdint>

#include "snapshot.hpp"

namespace vantrel_sim {

template <typename Sink>
void emit_vec(Sink& s, Vec3 v) {
    s.begin_array();
    s.number(v.x);
    s.number(v.y);
    s.number(v.z);
    s.end_array();
}

template <typename Sink>
void emit_optional(Sink& s, const std::optional<float>& value) {
    if (value) {
        s.number(*value);
    } else {
        s.null();
    }
}

template <typename Sink>
void emit_actor(Sink& s, const ActorView& a) {
    s.begin_object();
    s.key("pos"), emit_vec(s, a.pos);
    s.key("yaw"), s.number(a.yaw);
    s.key("pitch"), s.number(a.pitch);
    s.key("held"), s.integer(a.held);
    s.key("active"), s.boolean(a.active);
    s.key("duration"), s.number(a.duration);
    s.key("next_throw"), emit_optional(s, a.next_throw);
    s.key("grounded"), s.boolean(a.grounded);
    s.key("vel"), emit_vec(s, a.vel);
    s.key("action_seq"), s.integer(a.action_seq);
    s.key("action"), s.text(actor_action_name(a.action));
    s.key("action_time"), s.number(a.action_time);
    s.key("action_cargo"), s.integer(a.action_cargo);
    s.key("action_pos"), emit_vec(s, a.action_pos);
    s.end_object();
}

template <typename Sink>
void emit_snapshot(Sink& s, const Snapshot& snap) {
    s.begin_object();
    s.key("level"), s.integer(static_cast<std::int64_t>(snap.level));
    s.key("level_count"), s.integer(static_cast<std::int64_t>(snap.level_count));
    s.key("title"), s.text(snap.title);
    s.key("objective"), s.text(snap.objective);
    s.key("hint"), s.text(snap.hint);
    s.key("time"), s.number(snap.time);
    s.key("limit"), s.number(snap.limit);
    s.key("won"), s.boolean(snap.won);
    s.key("finished"), s.boolean(snap.finished);
    s.key("failed"), s.boolean(snap.failed);
    s.key("transfer_window");
    if (snap.transfer_window) {
        s.begin_array();
        s.number((*snap.transfer_window)[0]);
        s.number((*snap.transfer_window)[1]);
        s.end_array();
    } else {
        s.null();
    }
    s.key("player"), emit_actor(s, snap.player);
    s.key("echoes"), s.begin_array();
    for (const ActorView& echo : snap.echoes) emit_actor(s, echo);
    s.end_array();
    s.key("cargo"), s.begin_array();
    for (const CargoView& c : snap.cargo) {
        s.begin_object();
        s.key("id"), s.integer(c.id);
        s.key("pos"), emit_vec(s, c.pos);
        s.key("vel"), emit_vec(s, c.vel);
        s.key("size"), emit_vec(s, c.size);
        s.key("owner"), s.integer(c.owner);
        s.key("label"), s.text(c.label);
        s.key("kind"), s.integer(c.kind);
        s.key("style"), s.text(cargo_style_name(c.style));
        s.key("docked"), s.boolean(c.docked);
        s.key("delivered"), s.boolean(c.delivered);
        s.end_object();
    }
    s.end_array();
    s.key("walls"), s.begin_array();
    for (const BoxView& w : snap.walls) {
        s.begin_object();
        s.key("pos"), emit_vec(s, w.pos);
        s.key("size"), emit_vec(s, w.size);
        s.end_object();
    }
    s.end_array();
    s.key("plates"), s.begin_array();
    for (const PlateView& p : snap.plates) {
        s.begin_object();
        s.key("pos"), emit_vec(s, p.pos);
        s.key("radius"), s.number(p.radius);
        s.key("active"), s.boolean(p.active);
        s.key("label"), s.text(p.label);
        s.key("load_required"), s.number(p.load_required);
        s.key("load_maximum"), emit_optional(s, p.load_maximum);
        s.key("load"), s.number(p.load);
        s.end_object();
    }
    s.end_array();
    s.key("doors"), s.begin_array();
    for (const DoorView& d : snap.doors) {
        s.begin_object();
        s.key("pos"), emit_vec(s, d.pos);
        s.key("size"), emit_vec(s, d.size);
        s.key("open"), s.boolean(d.open);
        s.key("label"), s.text(d.label);
        s.key("hold_remaining"), emit_optional(s, d.hold_remaining);
        if (d.cycle_remaining) s.key("cycle_remaining"), s.number(*d.cycle_remaining);
        s.end_object();
    }
    s.end_array();
    s.key("fans"), s.begin_array();
    for (const FanView& f : snap.fans) {
        s.begin_object();
        s.key("pos"), emit_vec(s, f.pos);
        s.key("dir"), emit_vec(s, f.dir);
        s.key("active"), s.boolean(f.active);
        s.key("label"), s.text(f.label);
        s.end_object();
    }
    s.end_array();
    s.key("sockets"), s.begin_array();
    for (const SocketView& k : snap.sockets) {
        s.begin_object();
        s.key("pos"), emit_vec(s, k.pos);
        s.key("powered"), s.boolean(k.powered);
        s.key("label"), s.text(k.label);
        s.end_object();
    }
    s.end_array();
    s.key("moon_gravity"), s.boolean(snap.moon_gravity);
    s.key("interaction"), s.text(snap.interaction);
    s.key("goal"), emit_vec(s, snap.goal);
    s.key("goal_size"), emit_vec(s, snap.goal_size);
    s.key("spawn"), emit_vec(s, snap.spawn);
    s.key("room_size"), s.begin_array();
    s.number(snap.room_size[0]);
    s.number(snap.room_size[1]);
    s.end_array();
    s.key("room_height"), s.number(snap.room_height);
    if (snap.lift) {
        const LiftView& l = *snap.lift;
        s.key("lift"), s.begin_object();
        s.key("center"), emit_vec(s, l.center);
        s.key("size"), emit_vec(s, l.size);
        s.key("top"), s.number(l.top);
        s.key("height"), s.number(l.height);
        s.key("plate"), s.integer(static_cast<std::int64_t>(l.plate));
        s.key("controls"), s.begin_array();
        emit_vec(s, l.controls[0]);
        emit_vec(s, l.controls[1]);
        s.end_array();
        s.key("target_up"), s.boolean(l.target_up);
        s.end_object();
    }
    if (!snap.gravity_controls.empty()) {
        s.key("gravity_controls"), s.begin_array();
        for (Vec3 v : snap.gravity_controls) emit_vec(s, v);
        s.end_array();
    }
    s.key("cargo_gravity_off"), s.boolean(snap.cargo_gravity_off);
    s.key("message"), s.text(snap.message);
    s.key("trajectory"), s.begin_array();
    for (Vec3 v : snap.trajectory) emit_vec(s, v);
    s.end_array();
    s.end_object();
}

}  // namespace vantrel_sim
