#include <algorithm>
#include <charconv>
#include <utility>

#include "game.hpp"
#include "internal_error.hpp"

namespace vantrel_sim {

namespace {

constexpr std::uint32_t MIN_COMMIT_TICKS = 12;

std::string copy_recorded_message(std::size_t number) {
    char digits[24];
    const auto [end, ec] = std::to_chars(digits, digits + sizeof digits, number);
    if (ec != std::errc{}) {
        throw InternalError("a record number that does not print");
    }
    std::string text = "Копия ";
    text.append(digits, end);
    text += " записана. Она действует с общими предметами заново.";
    return text;
}

}  // namespace

void Game::commit() {
    if (ticks < MIN_COMMIT_TICKS) {
        message = "Запишите хотя бы короткое действие или остановку, затем нажмите Q.";
        return;
    }
    // Records live as long as the room: keep no spare capacity in them.
    run.frames.shrink_to_fit();
    run.actions.shrink_to_fit();
    records.push_back(std::move(run));
    run = Record{};
    restart_world();
    message = copy_recorded_message(records.size());
}

void Game::place_echoes(std::uint32_t t) {
    for (std::size_t i = 0; i < records.size(); ++i) {
        const std::vector<RecordedFrame>& frames = records[i].frames;
        if (frames.empty()) {
            throw InternalError("a record without frames");
        }
        const RecordedFrame& f = frames[std::min<std::size_t>(frames.size() - 1, t)];
        Actor& echo = checked_at(actors, 1 + i, "echo");

        echo.vel = (f.pos - echo.pos) * TICKS_PER_SECOND;
        echo.pos = f.pos;
        echo.yaw = f.yaw;
        echo.pitch = f.pitch;

        // Jumps and landings are not recorded; they show in the support flag.
        const bool was = echo.on_ground;
        echo.on_ground = f.on_ground;
        echo.grounded = f.on_ground;
        if (was && !f.on_ground && echo.vel.y > 0.0f) {
            stamp_action(echo, ActorAction::Jump, static_cast<float>(t) * TICK, echo.held, echo.pos);
        } else if (!was && f.on_ground) {
            stamp_action(echo, ActorAction::Land, static_cast<float>(t) * TICK, echo.held, echo.pos);
        }
    }
}

void Game::replay_echo_actions(std::uint32_t t) {
    for (std::size_t i = 0; i < records.size(); ++i) {
        std::size_t& cursor = checked_at(replay_cursors, i, "replay cursor");
        while (cursor < records[i].actions.size() && records[i].actions[cursor].tick <= t) {
            const Intent intent = records[i].actions[cursor].intent;
            cursor += 1;
            execute(1 + i, intent);
        }
    }
}

}  // namespace vantrel_sim
