#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <optional>

#include "game.hpp"
#include "internal_error.hpp"
#include "math/trig.hpp"

namespace vantrel_sim {

namespace {

constexpr float TICK_TOLERANCE = 0.000001f;
constexpr float MAX_FRAME_STEP = 0.1f;
constexpr float PITCH_LIMIT = 1.45f;

constexpr float CATCH_MIN_SPEED = 1.0f;
constexpr float CATCH_MIN_HEIGHT = 0.7f;

constexpr float GOAL_REACH = 3.5f;
constexpr float GOAL_VERTICAL_REACH = 1.0f;
constexpr float GOAL_MARGIN = 0.1f;
constexpr float GOAL_HEIGHT_TOLERANCE = 0.35f;
constexpr float GOAL_REST_SPEED = 1.5f;
constexpr float FRAGILE_FLOOR = 0.018f;
constexpr float FRAGILE_Z = -0.5f;

// IEEE total order (std::strong_order on floats, which the libc++ of Emscripten declares but
// does not define): the bits as a signed integer, negative magnitudes reversed.
bool totally_before(float a, float b) {
    const auto key = [](float value) {
        std::int32_t bits = 0;
        std::memcpy(&bits, &value, sizeof bits);
        return bits < 0 ? bits ^ 0x7FFFFFFF : bits;
    };
    return key(a) < key(b);
}

float finite_or(float value, float fallback) { return std::isfinite(value) ? value : fallback; }

bool in_goal_area(const Level& level, Vec3 pos) {
    return std::abs(pos.x - level.goal.x) < level.goal_size.x / 2.0f - GOAL_MARGIN &&
           std::abs(pos.z - level.goal.z) < level.goal_size.z / 2.0f - GOAL_MARGIN;
}

bool resting_on_goal(const Level& level, const Cargo& c, float bottom) {
    return in_goal_area(level, c.pos) && std::abs(bottom - level.goal.y) < GOAL_HEIGHT_TOLERANCE &&
           length(c.vel) < GOAL_REST_SPEED;
}

}  // namespace

void Game::update(Input& input) {
    if (input.reset) {
        records.clear();
        restart_world();
        message = "Комната начата заново. Записи стёрты.";
        return;
    }
    if (input.undo) {
        if (!records.empty()) {
            records.pop_back();
        }
        restart_world();
        message = "Последняя запись убрана. Остальные копии сохранены.";
        return;
    }
    if (input.retry && !won) {
        restart_world();
        message = "Петля начата заново. Записи сохранены.";
        return;
    }
    if (input.next) {
        if (!won || finished) {
            return;
        }
        if (room + 1 >= ROOM_COUNT) {
            finished = true;
            message = "Смена закончена. Все грузы эвакуированы.";
        } else {
            room += 1;
            records.clear();
            restart_world();
        }
        return;
    }
    if (won || finished) {
        return;
    }
    if (input.commit) {
        commit();
        return;
    }
    if (failed) {
        return;
    }

    const Actor& player = checked_at(actors, 0, "player");
    input.mx = std::clamp(finite_or(input.mx, 0.0f), -1.0f, 1.0f);
    input.mz = std::clamp(finite_or(input.mz, 0.0f), -1.0f, 1.0f);
    input.yaw = finite_or(input.yaw, player.yaw);
    input.pitch = std::clamp(finite_or(input.pitch, player.pitch), -PITCH_LIMIT, PITCH_LIMIT);
    jump_pressed = jump_pressed || input.jump;
    interact_pressed = interact_pressed || input.interact;
    throw_pressed = throw_pressed || input.throw_;
    accumulator += std::clamp(finite_or(input.dt, 0.0f), 0.0f, MAX_FRAME_STEP);

    while (accumulator + TICK_TOLERANCE >= TICK) {
        accumulator -= TICK;
        tick(ticks + 1, input);
        if (won || failed) {
            return;
        }
        if (ticks >= level.limit * TICKS_PER_WHOLE_SECOND) {
            commit();
            return;
        }
    }
}

void Game::tick(std::uint32_t t, const Input& input) {
    place_echoes(t);
    update_switches(false);
    move_lift();
    move_player(t, input);
    const Actor& player = checked_at(actors, 0, "player");
    run.frames.push_back(RecordedFrame{player.pos, player.yaw, player.pitch, player.on_ground});

    replay_echo_actions(t);
    // Recorded before executing: a failed intent still replays in later loops.
    if (interact_pressed) {
        const Intent intent = interact_intent();
        run.actions.push_back(RecordedAction{intent, t});
        execute(0, intent);
    }
    if (throw_pressed) {
        run.actions.push_back(RecordedAction{Throw{}, t});
        execute(0, Throw{});
    }
    jump_pressed = false;
    interact_pressed = false;
    throw_pressed = false;

    update_switches(true);
    move_cargo();
    catch_flying_cargo();
    ticks = t;
    check_goal();
}

void Game::move_cargo() {
    const BoxList solids = solid_boxes(level);
    const float gravity = cargo_gravity_off ? 0.0f : level.cargo_gravity;
    for (Cargo& c : cargo) {
        c.release_timer = std::max(c.release_timer - TICK, 0.0f);
        if (c.owner >= 0) {
            const Actor& holder = checked_at(actors, static_cast<std::size_t>(c.owner), "cargo owner");
            const Vec3 target = hand_point(holder, level.room_height);
            separate_cargo(c, solids.view());
            c.pos = sweep_box(c.pos, target, c.size, solids.view());
            c.vel = Vec3{};
        } else if (!c.docked) {
            integrate_cargo(c, solids.view(), level.fans, gravity);
        }
    }
}

void Game::catch_flying_cargo() {
    for (std::size_t ci = 0; ci < cargo.size(); ++ci) {
        const Cargo& c = cargo[ci];
        if (c.owner != -1 || length(c.vel) < CATCH_MIN_SPEED || c.pos.y < CATCH_MIN_HEIGHT) {
            continue;
        }
        std::optional<float> best;
        std::size_t catcher = 0;
        for (std::size_t a = 0; a < actors.size(); ++a) {
            const std::optional<float> distance = catch_distance(a, ci);
            if (distance && (!best || totally_before(*distance, *best))) {
                best = distance;
                catcher = a;
            }
        }
        // Applied at once: the catcher's hands are full for the next cargo.
        if (best) {
            apply_catch(catcher, ci);
        }
    }
}

void Game::check_goal() {
    const Actor& player = checked_at(actors, 0, "player");
    const bool near =
        exact_hypot(player.pos.x - level.goal.x, player.pos.z - level.goal.z) <= GOAL_REACH &&
        std::abs(player.pos.y - level.goal.y) < GOAL_VERTICAL_REACH;

    bool all_delivered = true;
    for (Cargo& c : cargo) {
        if (c.kind != 1) {
            continue;
        }
        const float bottom = c.pos.y - c.size.y / 2.0f;
        if (c.style != CargoStyle::Cryo) {
            c.delivered = c.owner == -1 && resting_on_goal(level, c, bottom);
        } else if (c.owner >= 0) {
            c.delivered = false;
        } else if (!in_goal_area(level, c.pos) && bottom < FRAGILE_FLOOR && c.pos.z < FRAGILE_Z) {
            failed = true;
            message = "Криокассета разбилась. Q — записать бросок · F — повторить с копиями.";
            return;
        } else {
            c.delivered = resting_on_goal(level, c, bottom);
        }
        all_delivered = all_delivered && c.delivered;
    }
    if (all_delivered && near) {
        won = true;
        message = "Груз в приёмнике. Комната пройдена.";
    }
}

}  // namespace vantrel_sim
