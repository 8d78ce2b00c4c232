// The cost the library exists for: one frame from input text to snapshot text.
#include <benchmark/benchmark.h>

#include <string>

#include "bench_worlds.hpp"

namespace {

using namespace vantrel_sim;
using bench::hand_cargo_to_player;
using bench::world_with_echoes;

void BM_Frame(benchmark::State& state) {
    const auto room = static_cast<std::size_t>(state.range(0));
    const auto echoes = static_cast<std::size_t>(state.range(1));
    const bool holding = state.range(2) != 0;
    Game start = world_with_echoes(room, echoes);
    if (holding) {
        hand_cargo_to_player(start);
    }
    Game game = start;
    bench::FrameInput input;
    int frame = 0;
    std::size_t bytes = 0;
    for (auto _ : state) {
        // Walk in a slow circle; restart from the same state before the run's time limit.
        if (frame == bench::FRAMES_PER_START) {
            state.PauseTiming();
            game = start;
            frame = 0;
            state.ResumeTiming();
        }
        const Reply reply = step_text(game, input(frame));
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
