#include "session.hpp"

#include <exception>
#include <variant>

#include "input.hpp"
#include "snapshot.hpp"

namespace vantrel_sim {

Game new_world() { return Game::create(); }

Reply step_text(Game& game, std::string_view input) {
    std::variant<Input, InputError> parsed = parse_input(input);
    if (Input* frame = std::get_if<Input>(&parsed)) {
        game.update(*frame);
        return snapshot_text(game);
    }
    Reply reply = snapshot_text(game);
    reply.input_rejected = true;
    const std::string reason = std::get<InputError>(parsed).text();
    reply.faults.insert(reply.faults.begin(), Fault{STEP_PATH, "Invalid simulation input: " + reason});
    return reply;
}

Reply select_room_text(Game& game, std::int64_t index) {
    if (index >= 0) {
        game.select_room(static_cast<std::size_t>(index));
    }
    return snapshot_text(game);
}

Reply snapshot_text(const Game& game) {
    SnapshotTextCache& cache = game.snapshot_text;
    game.snapshot_into(cache.assembled);
    const Snapshot& snapshot = cache.assembled;
    Reply reply;
    // The writer has no failure of its own; this guards against running out of memory.
    try {
        write_snapshot(snapshot, reply.text, cache);
    } catch (const std::exception& error) {
        reply.text = "{}";
        reply.faults.push_back({SNAPSHOT_PATH, std::string("Snapshot serialization failed: ") + error.what()});
    }
    return reply;
}

std::array<std::string_view, ROOM_COUNT> room_names() {
    std::array<std::string_view, ROOM_COUNT> names;
    for (std::size_t index = 0; index < ROOM_COUNT; ++index) {
        names[index] = Game::room_title(index);
    }
    return names;
}

}  // namespace vantrel_sim
