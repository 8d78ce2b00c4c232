// The snapshot of the world: copies of its state plus the prompt, the echoes' next
// throws and the throw preview, none of which the world keeps.
#include <string>
#include <variant>

#include "game.hpp"
#include "overloaded.hpp"
#include "internal_error.hpp"
#include "throw_speed.hpp"

namespace vantrel_sim {

namespace {

constexpr std::size_t PREVIEW_TICKS = 240;
constexpr std::size_t PREVIEW_EVERY = 8;
constexpr float MOON_GRAVITY_BELOW = 5.0f;

std::optional<float> next_throw(const Record& record, std::size_t cursor) {
    for (std::size_t i = cursor; i < record.actions.size(); ++i) {
        if (std::holds_alternative<Throw>(record.actions[i].intent)) {
            return static_cast<float>(record.actions[i].tick) * TICK;
        }
    }
    return std::nullopt;
}

const Cargo* find_cargo(const Game& game, std::int32_t id) {
    for (const Cargo& item : game.cargo) {
        if (item.id == id) {
            return &item;
        }
    }
    return nullptr;
}

// The prompts are appended to the snapshot's text, which keeps its capacity between frames.
void pickup_prompt(const Game& game, const Pickup& intent, std::string& prompt) {
    if (const Cargo* item = intent.id ? find_cargo(game, *intent.id) : nullptr) {
        prompt += "E — взять: ";
        prompt += item->label;
    }
}

void place_prompt(const Game& game, std::string& prompt) {
    if (const Cargo* item = find_cargo(game, game.actors[0].held)) {
        const std::size_t index = static_cast<std::size_t>(item - game.cargo.data());
        if (const std::optional<std::size_t> socket = game.dock_target(0, index)) {
            prompt += "E — подключить батарею · ";
            prompt += game.level.sockets[*socket].label;
            return;
        }
    }
    prompt += "ЛКМ — бросить по пунктиру · E — положить груз";
}

void lift_prompt(const Game& game, const Lift& intent, std::string& prompt) {
    if (!game.level.lift) {
        return;
    }
    if (!checked_at(game.level.plates, game.level.lift->plate, "lift plate").active) {
        prompt += "E — лифт без питания · займи плиту A";
        return;
    }
    prompt += intent.up ? "E — поднять лифт" : "E — опустить лифт";
}

void interaction_prompt(const Game& game, std::string& prompt) {
    prompt.clear();
    std::visit(
        Overloaded{
            [&](const Pickup& p) { pickup_prompt(game, p, prompt); },
            [&](const Place&) { place_prompt(game, prompt); },
            [&](const Throw&) {},
            [&](const Fan& f) {
                prompt += checked_at(game.level.fans, f.index, "prompt fan").active
                              ? "E — выключить вентиляцию"
                              : "E — включить вентиляцию";
            },
            [&](const Lift& l) { lift_prompt(game, l, prompt); },
            [&](const Gravity& g) {
                prompt += g.off ? "E — отключить гравитацию груза" : "E — вернуть гравитацию груза";
            },
        },
        game.interact_intent());
}

// Where the held cargo would fly if thrown now: 31 points over two seconds.
void throw_preview(const Game& game, std::vector<Vec3>& points) {
    points.clear();
    const Cargo* held = nullptr;
    for (const Cargo& item : game.cargo) {
        if (item.owner == 0) {
            held = &item;
            break;
        }
    }
    if (!held) {
        return;
    }
    // The motion reads only the body: a copy without the label needs no allocation.
    const Actor& player = game.actors[0];
    Cargo copy;
    copy.pos = held->pos;
    copy.size = held->size;
    copy.style = held->style;
    copy.vel = view_direction(player.yaw, player.pitch) * throw_speed(copy.style);

    BoxList door_open = solid_boxes(game.level);
    BoxList door_closed = door_open;
    const std::optional<std::array<float, 2>> window = game.level.transfer_window;
    if (window) {
        // Door 1 follows the window's timetable, so the preview does not trust its state now.
        const DoorView& door = checked_at(game.level.doors, 1, "transfer door");
        const BoxView door_box{door.pos, door.size};
        if (!door.open) {
            door_open.remove_equal(door_box);
        }
        door_closed = door_open;
        door_closed.push(door_box);
    }
    NearBoxes near_open;
    near_open.all = door_open.view();
    NearBoxes near_closed;
    near_closed.all = door_closed.view();
    const float gravity = game.cargo_gravity_off ? 0.0f : game.level.cargo_gravity;

    points.reserve(PREVIEW_TICKS / PREVIEW_EVERY + 1);
    points.push_back(copy.pos);
    if (!window) {
        for (std::size_t i = 0; i < PREVIEW_TICKS; i += PREVIEW_EVERY) {
            integrate_cargo(copy, near_closed, game.level.fans, gravity, PREVIEW_EVERY);
            points.push_back(copy.pos);
        }
        return;
    }
    for (std::size_t i = 0; i < PREVIEW_TICKS; ++i) {
        const float t = static_cast<float>(game.ticks + static_cast<std::uint32_t>(i)) * TICK;
        NearBoxes& boxes = (*window)[0] <= t && t < (*window)[1] ? near_open : near_closed;
        integrate_cargo(copy, boxes, game.level.fans, gravity, 1);
        if (i % PREVIEW_EVERY == PREVIEW_EVERY - 1) {
            points.push_back(copy.pos);
        }
    }
}

}  // namespace

Snapshot Game::snapshot() const {
    Snapshot s;
    snapshot_into(s);
    return s;
}

void Game::snapshot_into(Snapshot& s) const {
    s.level = room;
    s.level_count = ROOM_COUNT;
    s.title.assign(level.title);
    s.objective.assign(level.objective);
    s.hint.assign(level.hint);
    s.time = static_cast<float>(ticks) * TICK;
    s.limit = static_cast<float>(level.limit);
    s.won = won;
    s.finished = finished;
    s.failed = failed;
    s.transfer_window = level.transfer_window;
    s.player = checked_at(actors, 0, "player");
    s.echoes.resize(actors.size() - 1);
    for (std::size_t i = 1; i < actors.size(); ++i) {
        ActorView& echo = s.echoes[i - 1];
        echo = actors[i];
        echo.next_throw = next_throw(checked_at(records, i - 1, "echo record"),
                                     checked_at(replay_cursors, i - 1, "echo cursor"));
    }
    s.cargo.assign(cargo.begin(), cargo.end());
    s.walls = level.walls;
    s.plates = level.plates;
    s.doors = level.doors;
    s.fans = level.fans;
    s.sockets = level.sockets;
    s.moon_gravity = level.gravity < MOON_GRAVITY_BELOW;
    interaction_prompt(*this, s.interaction);
    s.goal = level.goal;
    s.goal_size = level.goal_size;
    s.spawn = level.spawn;
    s.room_size = level.room_size;
    s.room_height = level.room_height;
    s.lift = level.lift;
    s.gravity_controls = level.gravity_controls;
    s.cargo_gravity_off = cargo_gravity_off;
    s.message = message;
    throw_preview(*this, s.trajectory);
}

}  // namespace vantrel_sim
