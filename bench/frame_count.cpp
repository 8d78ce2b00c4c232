// Runs a fixed number of benchmark frames, for instruction counts under callgrind, which
// stay repeatable on a loaded machine where timings do not:
//   valgrind --tool=callgrind --collect-atstart=no --toggle-collect='*run_frames*'
//            vantrel-frame-count ROOM ECHOES HOLDING FRAMES
#include <cstdio>
#include <cstdlib>

#include "bench_worlds.hpp"

namespace {

using namespace vantrel_sim;

// The measured part: exactly what BM_Frame times.
[[gnu::noinline]] std::size_t run_frames(const Game& start, Game& game, int frames) {
    bench::FrameInput input;
    std::size_t bytes = 0;
    for (int frame = 0; frame < frames; ++frame) {
        const int walk = frame % bench::FRAMES_PER_START;
        if (walk == 0 && frame > 0) {
            game = start;
        }
        bytes += step_text(game, input(walk)).text.size();
    }
    return bytes;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 5) {
        std::fprintf(stderr, "usage: %s ROOM ECHOES HOLDING FRAMES\n", argv[0]);
        return 2;
    }
    const auto room = static_cast<std::size_t>(std::atoi(argv[1]));
    const auto echoes = static_cast<std::size_t>(std::atoi(argv[2]));
    Game start = bench::world_with_echoes(room, echoes);
    if (std::atoi(argv[3]) != 0) {
        bench::hand_cargo_to_player(start);
    }
    Game game = start;
    const std::size_t bytes = run_frames(start, game, std::atoi(argv[4]));
    std::printf("%zu bytes of snapshot text\n", bytes);
    return 0;
}
