#pragma once

// The worlds and the frame the benchmarks and the instruction counter share.
#include <cstddef>
#include <cstdio>
#include <string_view>

#include "game.hpp"
#include "session.hpp"

namespace vantrel_sim::bench {

// A room with `echoes` committed runs of `seconds` of walking in a circle each.
inline Game world_with_echoes(std::size_t room, std::size_t echoes, int seconds = 2) {
    Game game = new_world();
    game.select_room(room);
    for (std::size_t e = 0; e < echoes; ++e) {
        for (int frame = 0; frame < seconds * 60; ++frame) {
            Input input;
            input.dt = 1.0f / 60.0f;
            input.mz = 1.0f;
            input.yaw = static_cast<float>(frame + static_cast<int>(e) * 7) * 0.05f;
            game.update(input);
        }
        Input commit;
        commit.commit = true;
        game.update(commit);
    }
    return game;
}

// Puts the first cargo into the player's hands, so every snapshot runs the throw preview.
inline void hand_cargo_to_player(Game& game) {
    game.cargo[0].owner = 0;
    game.cargo[0].docked = false;
    game.actors[0].held = game.cargo[0].id;
}

// Frame `frame` of the benchmark's walk: a slow circle at 60 frames a second.
struct FrameInput {
    char text[160];
    std::string_view operator()(int frame) {
        const int length =
            std::snprintf(text, sizeof text, "{\"dt\":0.016666668,\"mz\":1.0,\"yaw\":%.4f,\"pitch\":0.2}",
                          static_cast<double>(frame) * 0.01);
        return {text, static_cast<std::size_t>(length)};
    }
};

// Frames run from one start before the world is put back (inside the run's time limit).
inline constexpr int FRAMES_PER_START = 600;

}  // namespace vantrel_sim::bench
