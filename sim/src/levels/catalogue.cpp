#include <array>

#include "levels/builders.hpp"
#include "levels/expansion/expansion.hpp"
#include "levels/level.hpp"
#include "levels/rooms.hpp"
#include "levels/vertical.hpp"

namespace vantrel_sim {
namespace {

// Room 0's values; every other room starts from them and changes what it needs.
Level default_level() {
    Level level;
    level.title = "Первый рейс";
    level.objective = "Доставьте ящик на зелёную площадку и встаньте рядом.";
    level.hint =
        "WASD — ходить, E — взять или положить, ЛКМ — бросить. Линия показывает будущий полёт.";
    level.room_size = {20.0f, 28.0f};
    level.room_height = 5.0f;
    level.walls = room_shell(20.0f, 28.0f);
    level.spawn = {0.0f, 0.0f, 10.0f};
    level.goal = {0.0f, 0.04f, -10.0f};
    level.goal_size = {3.4f, 0.12f, 3.0f};
    level.limit = 25;
    level.gravity = 10.0f;
    level.cargo_gravity = 2.8f;
    level.cargo_label = "Контейнер оптики";
    level.cargo_pos = {-2.0f, 1.225f, 7.0f};
    level.cargo_style = CargoStyle::Freight;
    return level;
}

// The tutorial: a table under the cargo and three obstacles on the way to the goal.
void first_run(Level& level) {
    level.walls.push_back(table(-2.0f, 7.0f));
    level.walls.push_back({{-5.5f, 1.1f, 1.0f}, {5.0f, 2.2f, 1.0f}});
    level.walls.push_back({{5.5f, 1.1f, -3.0f}, {5.0f, 2.2f, 1.0f}});
    level.walls.push_back({{-7.5f, 0.7f, -9.0f}, {2.0f, 1.4f, 3.0f}});
}

}  // namespace

Level make_level(std::size_t index) {
    // Rooms 0 to 11, in index order.
    using RoomBuilder = void (*)(Level&);
    static constexpr std::array<RoomBuilder, 12> SMALL_ROOMS{
        first_run,        cargo_goes_first, chain_transfer, unpowered_airlock,
        lunar_deck,       cargo_bay_purge,  cryo_relay,     one_battery_for_two,
        mutual_interlock, polar_relay,      core_sealing,   mass_balance,
    };
    Level level = default_level();
    if (index < SMALL_ROOMS.size()) {
        SMALL_ROOMS[index](level);
    } else if (index == 15) {
        gravity_terminal(level);
    } else {
        expansion(level, index);  // 12, 13, 14 and every index above 15
    }
    return level;
}

}  // namespace vantrel_sim
