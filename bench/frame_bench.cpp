// The cost the library exists for: one frame from input text to snapshot text.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>

#include "game.hpp"
#include "session.hpp"

namespace {

using namespace vantrel_sim;

// A room with `echoes` committed runs of two seconds of walking in a circle each.
Game world_with_echoes(std::size_t room, std::size_t echoes) {
    Game game = new_world();
    game.select_room(room);
    for (std::size_t e = 0; e < echoes; ++e) {
        for (int frame = 0; frame < 120; ++frame) {
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
void hand_cargo_to_player(Game& game) {
    game.cargo[0].owner = 0;
    game.cargo[0].docked = false;
    game.actors[0].held = game.cargo[0].id;
}

void BM_Frame(benchmark::State& state) {
    const auto room = static_cast<std::size_t>(state.range(0));
    const auto echoes = static_cast<std::size_t>(state.range(1));
    const bool holding = state.range(2) != 0;
    Game start = world_with_echoes(room, echoes);
    if (holding) {
        hand_cargo_to_player(start);
    }
    Game game = start;
    char text[160];
    int frame = 0;
    std::size_t bytes = 0;
    for (auto _ : state) {
        // Walk in a slow circle; restart from the same state before the run's time limit.
        if (frame == 600) {
            state.PauseTiming();
            game = start;
            frame = 0;
            state.ResumeTiming();
        }
        std::snprintf(text, sizeof text, "{\"dt\":0.016666668,\"mz\":1.0,\"yaw\":%.4f,\"pitch\":0.2}",
                      static_cast<double>(frame) * 0.01);
        const Reply reply = step_text(game, text);
        bytes += reply.text.size();
        benchmark::DoNotOptimize(reply.text.data());
        ++frame;
    }
    state.counters["snapshot_bytes"] =
        benchmark::Counter(static_cast<double>(bytes), benchmark::Counter::kAvgIterations);
}

void frame_arguments(benchmark::internal::Benchmark* bench) {
    for (int room = 0; room < 16; ++room) {
        for (int echoes : {0, 8, 64}) {
            for (int holding : {0, 1}) {
                bench->Args({room, echoes, holding});
            }
        }
    }
    bench->ArgNames({"room", "echoes", "holding"});
}

BENCHMARK(BM_Frame)->Apply(frame_arguments)->Unit(benchmark::kMicrosecond);

// Memory of a committed record per recorded tick.
void BM_RecordBytesPerTick(benchmark::State& state) {
    double bytes_per_tick = 0.0;
    double bytes_per_frame = 0.0;
    for (auto _ : state) {
        Game game = world_with_echoes(2, 1);
        const Record& record = game.records.front();
        const std::size_t bytes = sizeof(Record) +
                                  record.frames.capacity() * sizeof(RecordedFrame) +
                                  record.actions.capacity() * sizeof(RecordedAction);
        bytes_per_tick = static_cast<double>(bytes) / static_cast<double>(record.frames.size() - 1);
        bytes_per_frame = static_cast<double>(record.frames.capacity() * sizeof(RecordedFrame)) /
                          static_cast<double>(record.frames.size());
        benchmark::DoNotOptimize(bytes_per_tick);
    }
    // Per tick counts the whole record (header, frame 0, actions); per frame only the poses.
    state.counters["bytes_per_tick"] = bytes_per_tick;
    state.counters["bytes_per_frame"] = bytes_per_frame;
}

BENCHMARK(BM_RecordBytesPerTick)->Iterations(3)->Unit(benchmark::kMillisecond);

}  // namespace
