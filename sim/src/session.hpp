#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "game.hpp"
#include "levels/level.hpp"

// What the engine's LoopCore methods do, as plain functions on a Game, so that the
// engine binding and the command-line runner are thin layers over the same code.
namespace vantrel_sim {

inline constexpr std::string_view VERSION = "Ilde core 0.3";

// Function paths under which the engine reports faults.
inline constexpr const char* STEP_PATH = "vantrel::LoopCore::step";
inline constexpr const char* SNAPSHOT_PATH = "vantrel::LoopCore::snapshot";

// A fault the caller reports (the engine's error print, or a line on standard error).
struct Fault {
    const char* function = "";
    std::string description;
};

// A snapshot text and the faults met while producing it, in order.
struct Reply {
    std::string text;
    std::vector<Fault> faults;
    bool input_rejected = false;
};

// The world a new LoopCore starts with.
Game new_world();

// Parses the input text and advances the world by it; a text that does not parse leaves
// the world untouched. Either way the reply carries the current snapshot text.
Reply step_text(Game& game, std::string_view input);

// Negative indices are ignored here, indices past the catalogue by Game::select_room.
Reply select_room_text(Game& game, std::int64_t index);

// The current snapshot as one line of JSON, or "{}" when it cannot be written.
Reply snapshot_text(const Game& game);

std::array<std::string_view, ROOM_COUNT> room_names();

}  // namespace vantrel_sim
