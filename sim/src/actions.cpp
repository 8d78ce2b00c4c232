// Carrying out one intent for one actor, and the catch of a flying cargo.
#include <algorithm>
#include <array>
#include <cmath>
#include <string>
#include <variant>

#include "aim.hpp"
#include "body.hpp"
#include "game.hpp"
#include "overloaded.hpp"
#include "internal_error.hpp"
#include "json_text.hpp"
#include "math/geometry.hpp"
#include "math/trig.hpp"
#include "throw_speed.hpp"

namespace vantrel_sim {

namespace {

constexpr float ECHO_PICKUP_MARGIN = 0.45f;
constexpr float PLACE_RELEASE_SECONDS = 2.0f;
constexpr float THROW_RELEASE_SECONDS = 0.38f;
constexpr float BODY_MID_HEIGHT = 0.875f;
constexpr float PLACE_GAP = 0.03f;

constexpr const char* NOTHING_TO_TAKE =
    "Перед рукой нет свободного ящика. Это намерение всё равно попадёт в запись.";
constexpr const char* NO_ROOM = "Нет места для груза. Отойди и попробуй ещё раз.";
constexpr const char* LIFT_UNPOWERED = "Займи плиту A копией, чтобы подать питание.";

std::string echo_message(std::size_t actor, const char* rest) {
    std::string text = "Копия ";
    append_integer(text, actor);
    text += rest;
    return text;
}

// Actions take effect at the end of the tick being simulated.
void stamp(const Game& game, Actor& actor, ActorAction action, std::int32_t cargo_id, Vec3 pos) {
    stamp_action(actor, action, static_cast<float>(game.ticks + 1u) * TICK, cargo_id, pos);
}

// First cargo in list order with this id.
Cargo* find_cargo(Game& game, std::int32_t id) {
    for (Cargo& item : game.cargo) {
        if (item.id == id) {
            return &item;
        }
    }
    return nullptr;
}

// The cargo this actor carries: its id is the actor's `held` and its owner the actor.
Cargo* held_cargo(Game& game, std::size_t actor) {
    const std::int32_t held = game.actors[actor].held;
    if (held < 0) {
        return nullptr;
    }
    for (Cargo& item : game.cargo) {
        if (item.id == held && item.owner == static_cast<std::int32_t>(actor)) {
            return &item;
        }
    }
    return nullptr;
}

bool aims_at_switch(const Game& game, std::size_t actor, Vec3 center) {
    return game.aim_hit(actor, center, SWITCH_SIZE, TARGET_MARGIN).has_value();
}

// --- Pickup ---

void take(Game& game, std::size_t actor, Cargo& item) {
    Actor& taker = game.actors[actor];
    stamp(game, taker, ActorAction::Pickup, item.id, item.pos);
    item.owner = static_cast<std::int32_t>(actor);
    item.vel = Vec3{};
    item.docked = false;  // a docked battery comes out; its socket unpowers on the next update
    taker.held = item.id;
    game.message = actor == 0 ? "В руках: " + item.label : echo_message(actor, " взяла груз.");
}

// An echo that sees nothing may still take its recorded cargo if it is roughly in view.
bool echo_can_reach(const Game& game, std::size_t actor, const Cargo& item) {
    const Vec3 eye = eye_point(game.actors[actor]);
    const Vec3 nearest = closest_point_on_box(eye, item.pos, item.size);
    if (!(length(nearest - eye) <= REACH)) {
        return false;
    }
    return game.aim_hit(actor, item.pos, item.size, ECHO_PICKUP_MARGIN).has_value();
}

void pickup(Game& game, std::size_t actor, const Pickup& intent) {
    if (game.actors[actor].held >= 0) {
        return;
    }
    Cargo* recorded = intent.id ? find_cargo(game, *intent.id) : nullptr;
    if (recorded && recorded->owner != -1) {
        recorded = nullptr;
    }
    if (actor == 0) {
        if (recorded) {
            take(game, actor, *recorded);
        } else {
            game.message = NOTHING_TO_TAKE;
        }
        return;
    }
    if (const std::optional<PickupHit> target = game.pickup_target(actor)) {
        take(game, actor, game.cargo[target->cargo]);
    } else if (recorded && echo_can_reach(game, actor, *recorded)) {
        take(game, actor, *recorded);
    }
}

// --- Place ---

// Whether the player's body (always the player, also when an echo places) meets the box.
bool body_overlaps(const Actor& player, Vec3 center, Vec3 size) {
    const float h = size.y;
    const float c = std::min(center.y, player.pos.y + BODY_MID_HEIGHT);
    if (player.pos.y >= c + h / 2.0f - 0.0001f ||
        c - h / 2.0f + 0.0001f >= player.pos.y + BODY_HEIGHT) {
        return false;
    }
    const float dx = std::abs(player.pos.x - center.x) - size.x / 2.0f;
    const float dz = std::abs(player.pos.z - center.z) - size.z / 2.0f;
    const float distance = exact_hypot(std::max(dx, 0.0f), std::max(dz, 0.0f)) +
                           std::min(std::max(dx, dz), 0.0f);
    return distance < BODY_CONTACT_RADIUS;
}

bool overlaps_any(Vec3 center, Vec3 size, const BoxList& solids) {
    for (const BoxView& box : solids.view()) {
        if (overlap(center, size, box.pos, box.size)) {
            return true;
        }
    }
    return false;
}

// Horizontal unit vector from the player to the cargo; zero when they share an axis.
std::array<float, 2> away_from_player(const Actor& player, Vec3 cargo_pos) {
    const float x = cargo_pos.x - player.pos.x;
    const float z = cargo_pos.z - player.pos.z;
    const float len = std::sqrt(x * x + z * z);
    if (len <= 0.00001f) {
        return {0.0f, 0.0f};
    }
    return {x / len, z / len};
}

// Slides the cargo out from under the body in four directions; the first clear spot wins.
std::optional<Vec3> free_spot_aside(const Game& game, std::size_t actor, const Cargo& item) {
    const Actor& player = game.actors[0];
    const float yaw = game.actors[actor].yaw;
    const float s = exact_sin(yaw);
    const float c = exact_cos(yaw);
    const std::array<std::array<float, 2>, 4> directions{{
        away_from_player(player, item.pos),
        {-s, -c},
        {c, -s},
        {-c, s},
    }};
    const BoxList solids = solid_boxes(game.level);
    for (const auto& u : directions) {
        const float r =
            (std::abs(u[0]) * item.size.x + std::abs(u[1]) * item.size.z) / 2.0f + 0.3f + PLACE_GAP;
        const Vec3 target{player.pos.x + u[0] * r, item.pos.y, player.pos.z + u[1] * r};
        Vec3 from = item.pos;
        const Vec3 reached = sweep_box(from, target, item.size, solids.view());
        if (!body_overlaps(player, reached, item.size) && !overlaps_any(reached, item.size, solids)) {
            return reached;
        }
    }
    return std::nullopt;
}

void release(Game& game, std::size_t actor, Cargo& item, Vec3 pos) {
    item.pos = pos;
    item.vel = Vec3{};
    item.owner = -1;
    item.released_by = static_cast<std::int32_t>(actor);
    item.release_timer = PLACE_RELEASE_SECONDS;
    game.actors[actor].held = -1;
}

void place(Game& game, std::size_t actor, const Place&) {
    Cargo* item = held_cargo(game, actor);
    if (!item) {
        return;
    }
    const Actor& player = game.actors[0];
    const std::size_t item_index = static_cast<std::size_t>(item - game.cargo.data());
    if (const std::optional<std::size_t> socket = game.dock_target(actor, item_index)) {
        const SocketView& target = game.level.sockets[*socket];
        if (body_overlaps(player, target.pos, item->size)) {
            if (actor == 0) {
                game.message = NO_ROOM;
            }
            return;
        }
        release(game, actor, *item, target.pos);
        item->docked = true;  // the socket powers up at the next device update
        stamp(game, game.actors[actor], ActorAction::BatteryInsert, item->id, target.pos);
        game.message = "Питание подключено · " + target.label;
        return;
    }
    std::optional<Vec3> spot;
    if (!body_overlaps(player, item->pos, item->size)) {
        spot = item->pos;
    } else {
        spot = free_spot_aside(game, actor, *item);
    }
    if (!spot) {
        if (actor == 0) {
            game.message = NO_ROOM;
        }
        return;
    }
    release(game, actor, *item, *spot);
    stamp(game, game.actors[actor], ActorAction::Place, item->id, item->pos);
    game.message = "Груз отпущен.";
}

// --- Throw and switches ---

void throw_held(Game& game, std::size_t actor, const Throw&) {
    Cargo* item = held_cargo(game, actor);
    if (!item) {
        return;
    }
    Actor& thrower = game.actors[actor];
    item->vel = view_direction(thrower.yaw, thrower.pitch) * throw_speed(item->style);
    item->owner = -1;
    item->released_by = static_cast<std::int32_t>(actor);
    item->release_timer = THROW_RELEASE_SECONDS;
    thrower.held = -1;
    stamp(game, thrower, ActorAction::Throw, item->id, item->pos);
    game.message = "Груз в полёте.";
}

void switch_fan(Game& game, std::size_t actor, const Fan& intent) {
    if (game.actors[actor].held >= 0 || intent.index >= game.level.fans.size()) {
        return;
    }
    FanView& fan = game.level.fans[intent.index];
    if (!aims_at_switch(game, actor, fan.pos)) {
        return;
    }
    fan.active = !fan.active;
    stamp(game, game.actors[actor], ActorAction::Switch, -1, fan.pos);
    game.message = fan.active ? "Обдув включён." : "Обдув выключен.";
}

void command_lift(Game& game, std::size_t actor, const Lift& intent) {
    if (game.actors[actor].held >= 0 || !game.level.lift) {
        return;
    }
    LiftView& lift = *game.level.lift;
    if (intent.control >= lift.controls.size()) {
        return;
    }
    const Vec3 control = lift.controls[intent.control];
    if (!aims_at_switch(game, actor, control)) {
        return;
    }
    if (!checked_at(game.level.plates, lift.plate, "lift plate").active) {
        if (actor == 0) {
            game.message = LIFT_UNPOWERED;
        }
        return;
    }
    lift.target_up = intent.up;
    stamp(game, game.actors[actor], ActorAction::Switch, -1, control);
    game.message = intent.up ? "Лифт идёт наверх." : "Лифт идёт вниз.";
}

void set_cargo_gravity(Game& game, std::size_t actor, const Gravity& intent) {
    if (game.actors[actor].held >= 0 || intent.console >= game.level.gravity_controls.size()) {
        return;
    }
    const Vec3 console = game.level.gravity_controls[intent.console];
    if (!aims_at_switch(game, actor, console)) {
        return;
    }
    game.cargo_gravity_off = intent.off;
    stamp(game, game.actors[actor], ActorAction::Switch, -1, console);
    game.message = intent.off ? "Гравитация груза отключена." : "Гравитация груза восстановлена.";
}

}  // namespace

void Game::execute(std::size_t actor, const Intent& intent) {
    checked_at(actors, actor, "acting actor");
    std::visit(Overloaded{
                   [&](const Pickup& p) { pickup(*this, actor, p); },
                   [&](const Place& p) { place(*this, actor, p); },
                   [&](const Throw& t) { throw_held(*this, actor, t); },
                   [&](const Fan& f) { switch_fan(*this, actor, f); },
                   [&](const Lift& l) { command_lift(*this, actor, l); },
                   [&](const Gravity& g) { set_cargo_gravity(*this, actor, g); },
               },
               intent);
}

void Game::apply_catch(std::size_t actor, std::size_t cargo_index) {
    Actor& catcher = checked_at(actors, actor, "catching actor");
    Cargo& item = checked_at(cargo, cargo_index, "caught cargo");
    stamp(*this, catcher, ActorAction::Catch, item.id, item.pos);
    item.owner = static_cast<std::int32_t>(actor);
    item.vel = Vec3{};
    catcher.held = item.id;
    message = actor == 0 ? "Пойман груз: " + item.label
                         : echo_message(actor, " поймала летящий ящик.");
}

}  // namespace vantrel_sim
