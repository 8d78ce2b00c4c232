#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "levels/builders.hpp"
#include "levels/level.hpp"

namespace vantrel_sim {

// The small rooms 1 to 11. Each completes a level that holds the catalogue's defaults.
void cargo_goes_first(Level& level);
void chain_transfer(Level& level);
void unpowered_airlock(Level& level);
void lunar_deck(Level& level);
void cargo_bay_purge(Level& level);
void cryo_relay(Level& level);
void one_battery_for_two(Level& level);
void mutual_interlock(Level& level);
void polar_relay(Level& level);
void core_sealing(Level& level);
void mass_balance(Level& level);

// A table: 2.2 × 1.4 on the floor, top at 0.8.
inline BoxView table(float x, float z) {
    return {{x, 0.4f, z}, {2.2f, 0.8f, 1.4f}};
}

// A plate that weighs free cargo: active while the load lies in [required, maximum].
inline PlateView scale(Vec3 pos, std::string_view label, float load_required,
                       std::optional<float> load_maximum) {
    PlateView result = plate(pos, label);
    result.load_required = load_required;
    result.load_maximum = load_maximum;
    return result;
}

// The lists of a switch-driven door rule, written with designated fields; all start empty.
struct RuleLists {
    std::vector<std::size_t> sockets_on{};
    std::vector<std::size_t> sockets_off{};
    std::vector<std::size_t> plates_on{};
    std::vector<std::size_t> plates_off{};
    std::uint32_t latch_seconds = 0;
};

inline DoorRule door_rule(RuleLists lists) {
    DoorRule rule;
    rule.sockets_on = std::move(lists.sockets_on);
    rule.sockets_off = std::move(lists.sockets_off);
    rule.plates_on = std::move(lists.plates_on);
    rule.plates_off = std::move(lists.plates_off);
    rule.latch_seconds = lists.latch_seconds;
    return rule;
}

// A closed door placed by hand, for openings no builder leaves.
inline DoorView door(std::string_view label, Vec3 pos, Vec3 size) {
    DoorView result;
    result.label = std::string(label);
    result.pos = pos;
    result.size = size;
    return result;
}

}  // namespace vantrel_sim
