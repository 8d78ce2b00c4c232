// libFuzzer target: a whole world driven by arbitrary text. The first byte picks the room,
// every following line is one frame handed to the same path the engine's step takes.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "session.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) {
        return 0;
    }
    vantrel_sim::Game game = vantrel_sim::new_world();
    vantrel_sim::select_room_text(game, static_cast<std::int64_t>(data[0] % 20) - 2);
    std::string_view rest(reinterpret_cast<const char*>(data + 1), size - 1);
    // Bounded work per input keeps the fuzzer fast: at most 64 frames.
    for (int frame = 0; frame < 64 && !rest.empty(); ++frame) {
        const std::size_t end = rest.find('\n');
        const std::string_view line = rest.substr(0, end);
        vantrel_sim::step_text(game, line);
        rest = end == std::string_view::npos ? std::string_view() : rest.substr(end + 1);
    }
    return 0;
}
