#include "levels/expansion/expansion.hpp"

#include "levels/builders.hpp"
#include "levels/expansion/wide_rooms.hpp"

namespace vantrel_sim {
namespace {

// Items without the deliver marking, 0.7 from the side walls (1.7 for the last two);
// the first four follow the room's depth.
void add_decoys(Level& level) {
    const float side = level.room_size[0] / 2.0f - 0.7f;
    const float far = level.room_size[1] / 2.0f;
    const Vec3 toolkit{0.74f, 0.4f, 0.58f};
    const Vec3 coil{0.58f, 0.58f, 0.42f};
    const Vec3 canister{0.5f, 0.72f, 0.44f};
    const Vec3 helmet{0.54f, 0.54f, 0.56f};
    const auto decoy = [&level](std::string_view label, CargoStyle style, Vec3 size, float x,
                                float z) {
        level.cargo.push_back({label, {x, size.y / 2.0f, z}, size, style, 0});
    };
    decoy("Ремонтный кейс", CargoStyle::Toolkit, toolkit, -side, far - 5.0f);
    decoy("Катушка кабеля", CargoStyle::Coil, coil, side, far - 5.0f);
    decoy("Канистра охлаждения", CargoStyle::Canister, canister, -side, far - 7.5f);
    decoy("Запасной шлем", CargoStyle::Helmet, helmet, side, far - 7.5f);
    decoy("Инструменты сменщика", CargoStyle::Toolkit, toolkit, -side, 7.8f);
    decoy("Удлинитель", CargoStyle::Coil, coil, side, 7.8f);
    decoy("Тара из лаборатории", CargoStyle::Canister, canister, -side, 4.7f);
    decoy("Шлем с царапиной", CargoStyle::Helmet, helmet, side, 4.7f);
    decoy("Чужой ремкомплект", CargoStyle::Toolkit, toolkit, -side, -7.8f);
    decoy("Пустая катушка", CargoStyle::Coil, coil, side, -7.8f);
    decoy("Служебная канистра", CargoStyle::Canister, canister, 1.0f - side, -16.0f);
    decoy("Шлем дежурного", CargoStyle::Helmet, helmet, side - 1.0f, -16.0f);
}

}  // namespace

void begin_wide_room(Level& level, const WideRoomFrame& frame) {
    level.title = frame.title;
    level.objective = frame.objective;
    level.hint = frame.hint;
    level.room_size = {frame.width, frame.depth};
    level.walls = room_shell_at_height(frame.width, frame.depth, 5.0f);
    level.spawn = {0.0f, 0.0f, frame.spawn_z};
    level.goal = {0.0f, 0.04f, frame.goal_z};
    level.goal_size = {6.4f, 0.12f, 4.0f};
    level.limit = frame.limit;
    level.cargo_label = frame.cargo_label;
    level.cargo_pos = frame.cargo_pos;
    level.cargo_style = CargoStyle::Freight;
}

void expansion(Level& level, std::size_t index) {
    switch (index) {
        case 12:
            sorting_ring(level);
            break;
        case 13:
            radio_shadow(level);
            break;
        default:
            far_dock(level);
            break;
    }
    add_decoys(level);
}

}  // namespace vantrel_sim
