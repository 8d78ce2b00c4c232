#include <algorithm>
#include <cmath>
#include <cstdint>

#include "game.hpp"
#include "internal_error.hpp"
#include "math/geometry.hpp"
#include "math/trig.hpp"

namespace vantrel_sim {

namespace {

constexpr float SCALE_HEIGHT_TOLERANCE = 0.15f;
constexpr float SCALE_SETTLED_SPEED = 0.6f;
constexpr float PLATE_STANDING_HEIGHT = 0.5f;
constexpr float PLATE_FOOT_MARGIN = 0.15f;
constexpr Vec3 BODY_SIZE{0.6f, 1.75f, 0.6f};
constexpr float BODY_HALF_HEIGHT = 0.875f;

// Tonnes on a scale, by style.
float cargo_mass(CargoStyle style) {
    switch (style) {
        case CargoStyle::Oxygen:
        case CargoStyle::Battery:
            return 1.4f;
        case CargoStyle::Bio:
            return 0.45f;
        case CargoStyle::Ballast:
            return 2.4f;
        case CargoStyle::Toolkit:
            return 0.35f;
        case CargoStyle::Coil:
            return 0.2f;
        case CargoStyle::Canister:
            return 0.4f;
        case CargoStyle::Helmet:
            return 0.15f;
        default:
            return 1.0f;
    }
}

float horizontal_distance(Vec3 a, Vec3 b) { return exact_hypot(a.x - b.x, a.z - b.z); }

bool socket_powered(const SocketView& socket, const std::vector<Cargo>& cargo) {
    for (const Cargo& c : cargo) {
        if (c.docked && c.pos == socket.pos) {
            return true;
        }
    }
    return false;
}

bool weighed_by(const PlateView& plate, const Cargo& c) {
    if (c.owner >= 0 || c.docked) {
        return false;
    }
    const float bottom_gap = c.pos.y - c.size.y * 0.5f - plate.pos.y;
    return std::abs(bottom_gap) < SCALE_HEIGHT_TOLERANCE &&
           horizontal_distance(c.pos, plate.pos) <= plate.radius &&
           length(c.vel) < SCALE_SETTLED_SPEED;
}

void weigh_scale(PlateView& plate, const std::vector<Cargo>& cargo) {
    float load = 0.0f;
    for (const Cargo& c : cargo) {
        if (weighed_by(plate, c)) {
            load = load + cargo_mass(c.style);
        }
    }
    plate.load = load;
    plate.active = load >= plate.load_required &&
                   (!plate.load_maximum || load <= *plate.load_maximum);
}

void press_plate(PlateView& plate, const std::vector<Actor>& actors) {
    plate.active = false;
    for (const Actor& actor : actors) {
        if (actor.pos.y < PLATE_STANDING_HEIGHT &&
            horizontal_distance(actor.pos, plate.pos) <= plate.radius + PLATE_FOOT_MARGIN) {
            plate.active = true;
            return;
        }
    }
}

bool body_in_doorway(const Actor& actor, const DoorView& door) {
    const Vec3 body_center{actor.pos.x, actor.pos.y + BODY_HALF_HEIGHT, actor.pos.z};
    return overlap(body_center, BODY_SIZE, door.pos, door.size);
}

bool rule_condition(const Level& level, const DoorRule& rule) {
    const auto powered = [&level](std::size_t s) {
        return checked_at(level.sockets, s, "door rule socket").powered;
    };
    const auto active = [&level](std::size_t p) {
        return checked_at(level.plates, p, "door rule plate").active;
    };
    const auto all = [](const auto& list, const auto& test) {
        return std::all_of(list.begin(), list.end(), test);
    };
    const auto none = [](const auto& list, const auto& test) {
        return std::none_of(list.begin(), list.end(), test);
    };
    return all(rule.sockets_on, powered) && none(rule.sockets_off, powered) &&
           all(rule.plates_on, active) && none(rule.plates_off, active);
}

void run_cycle(DoorView& door, const DoorCycle& cycle, std::uint32_t ticks, bool condition) {
    const std::uint32_t period = cycle.period * TICKS_PER_WHOLE_SECOND;
    if (period == 0) {
        throw InternalError("a door cycle with a zero period");
    }
    const std::uint32_t from = cycle.open_from * TICKS_PER_WHOLE_SECOND;
    const std::uint32_t until = cycle.open_until * TICKS_PER_WHOLE_SECOND;
    const std::uint32_t phase = ticks % period;
    std::uint32_t to_change = 0;
    if (phase < from) {
        to_change = from - phase;
    } else if (phase < until) {
        to_change = until - phase;
    } else {
        to_change = period - phase + from;
    }
    door.open = from <= phase && phase < until && condition;
    if (condition) {
        door.cycle_remaining = static_cast<float>(to_change) * TICK;
    } else {
        door.cycle_remaining.reset();
    }
}

void run_latch(DoorView& door, std::uint32_t& held, std::uint32_t latch_seconds, bool advance,
               bool condition) {
    const std::uint32_t needed = latch_seconds * TICKS_PER_WHOLE_SECOND;
    // Once latched the count stops, so the door stays open for the rest of the run.
    if (advance && held < needed) {
        held = condition ? held + 1 : 0;
    }
    door.open = held == needed;
    door.hold_remaining = static_cast<float>(needed - held) * TICK;
}

}  // namespace

void Game::update_switches(bool advance) {
    for (SocketView& socket : level.sockets) {
        socket.powered = socket_powered(socket, cargo);
    }

    for (PlateView& plate : level.plates) {
        if (plate.load_required > 0.0f) {
            weigh_scale(plate, cargo);
        } else {
            press_plate(plate, actors);
        }
    }

    const float t = static_cast<float>(ticks) * TICK;
    for (std::size_t i = 0; i < level.doors.size(); ++i) {
        DoorView& door = level.doors[i];
        if (i == 1 && level.transfer_window) {
            const auto [start, end] = *level.transfer_window;
            door.open = start <= t && t < end;
            continue;
        }

        if (i < level.door_rules.size()) {
            const DoorRule& rule = level.door_rules[i];
            const bool condition = rule_condition(level, rule);
            if (rule.cycle) {
                run_cycle(door, *rule.cycle, ticks, condition);
            } else if (rule.latch_seconds > 0) {
                std::uint32_t& held = checked_at(door_hold_ticks, i, "door hold counter");
                run_latch(door, held, rule.latch_seconds, advance, condition);
            } else if (condition) {
                door.open = true;
            } else {
                // Only the player keeps a plain ruled door from closing on them.
                door.open = door.open && !actors.empty() && body_in_doorway(actors.front(), door);
            }
            continue;
        }

        if (i < level.plates.size() && level.plates[i].active) {
            door.open = true;
            continue;
        }
        door.open = false;
        for (const Actor& actor : actors) {
            if (body_in_doorway(actor, door)) {
                door.open = true;
                break;
            }
        }
    }
}

}  // namespace vantrel_sim
