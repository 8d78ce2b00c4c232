#include "levels/vertical.hpp"

#include "levels/builders.hpp"
#include "levels/rooms.hpp"

namespace vantrel_sim {
namespace {

// Two gallery slabs with their tops at 4.8, the bridge over the gap between them,
// its side walls, the posts of the lift shaft and two tables on the ground floor.
void add_galleries(Level& level) {
    level.walls.push_back({{0.0f, 4.6f, -0.75f}, {28.0f, 0.4f, 4.5f}});
    level.walls.push_back({{0.0f, 4.6f, -22.0f}, {28.0f, 0.4f, 12.0f}});
    level.walls.push_back({{11.0f, 4.6f, -9.5f}, {1.18f, 0.4f, 13.0f}});
    // The side walls stand from 4.8 to 7.9: their centre is 4.8 + 3.1 / 2 in f32.
    level.walls.push_back({{10.44f, 6.3500004f, -9.5f}, {0.14f, 3.1f, 13.0f}});
    level.walls.push_back({{11.56f, 6.3500004f, -9.5f}, {0.14f, 3.1f, 13.0f}});
    level.walls.push_back({{-2.23f, 4.4f, 3.5f}, {0.34f, 8.8f, 0.42f}});
    level.walls.push_back({{2.23f, 4.4f, 3.5f}, {0.34f, 8.8f, 0.42f}});
    level.walls.push_back(table(-9.5f, 10.5f));
    level.walls.push_back(table(9.0f, 10.5f));
}

void add_lift(Level& level) {
    level.plates.push_back(plate({-5.0f, 0.03f, 6.7f}, "A · ПОДЪЁМНИК"));
    LiftView lift;
    lift.plate = 0;
    lift.controls = {Vec3{2.4f, 1.35f, 4.15f}, Vec3{2.4f, 6.15f, 1.1f}};
    lift.center = {0.0f, 0.0f, 3.5f};
    lift.size = {4.0f, 0.36f, 4.0f};
    lift.top = 4.8f;
    lift.height = 0.0f;
    lift.target_up = false;
    level.lift = lift;
    level.gravity_controls = {Vec3{4.8f, 1.35f, 6.4f}, Vec3{9.6f, 6.15f, -18.2f}};
}

void add_loose_items(Level& level) {
    level.cargo.push_back(
        {"Ремонтный кейс", {-8.0f, 0.2f, 9.1f}, {0.74f, 0.4f, 0.58f}, CargoStyle::Toolkit, 0});
    level.cargo.push_back(
        {"Катушка", {8.0f, 0.29f, 9.1f}, {0.58f, 0.58f, 0.42f}, CargoStyle::Coil, 0});
    level.cargo.push_back({"Канистра охлаждения",
                           {-7.0f, 0.36f, 4.0f},
                           {0.5f, 0.72f, 0.44f},
                           CargoStyle::Canister,
                           0});
    level.cargo.push_back(
        {"Запасной шлем", {7.0f, 0.27f, 4.0f}, {0.54f, 0.54f, 0.56f}, CargoStyle::Helmet, 0});
}

}  // namespace

void gravity_terminal(Level& level) {
    level.title = "Вертикальный терминал";
    level.objective = "Подними контейнер на второй этаж и доставь его через разрыв галереи.";
    level.hint =
        "A питает лифт. Оставь на плите копию. Отключи гравитацию груза у нижнего пульта. Положи "
        "контейнер на платформу и запусти подъём. Брось груз через разрыв и пройди по узкому "
        "мостику справа. Дождись груза и верни гравитацию верхним пультом. Магнитные ботинки "
        "работают в обоих режимах.";
    level.room_size = {28.0f, 56.0f};
    level.room_height = 8.8f;
    level.walls = room_shell_at_height(28.0f, 56.0f, 8.8f);
    level.spawn = {0.0f, 0.0f, 12.0f};
    level.goal = {0.0f, 4.84f, -23.0f};
    level.goal_size = {6.4f, 0.12f, 4.5f};
    level.limit = 120;
    level.cargo_gravity = 8.0f;
    level.cargo_label = "ДОСТАВИТЬ · Модуль навигации";
    level.cargo_style = CargoStyle::Freight;
    level.cargo_pos = {0.0f, 0.425f, 8.2f};

    add_galleries(level);
    add_lift(level);
    add_loose_items(level);
}

}  // namespace vantrel_sim
