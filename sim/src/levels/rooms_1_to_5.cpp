// Rooms 1 to 5: a barrier with a window, a chain of barriers, a battery socket,
// lunar gravity and a fan at a window.
#include "levels/builders.hpp"
#include "levels/rooms.hpp"

namespace vantrel_sim {

void cargo_goes_first(Level& level) {
    level.title = "Груз проходит первым";
    level.objective = "Бросьте ящик через окно. Копия на плите откроет обход для вас.";
    level.hint =
        "Запишите путь к плите A и нажмите Q. Ящик шире двери — перебросьте его через окно, затем "
        "идите в обход.";
    level.cargo_pos = {0.0f, 1.225f, 6.5f};

    level.walls.push_back(table(0.0f, 6.5f));
    barrier(level.walls, level.doors, 0.0f, 0.0f, -5.0f, "A");
    level.plates.push_back(plate({-5.0f, 0.03f, 3.0f}, "A"));
}

void chain_transfer(Level& level) {
    level.title = "Передача по цепочке";
    level.objective = "Переправьте общий ящик через два окна и доставьте в приёмник.";
    level.hint =
        "Копия A держит первый проход. Вторая может нажать B и выключить обдув рычагом рядом. Q "
        "перезапускает мир с сохранёнными намерениями.";

    level.walls.push_back(table(-2.0f, 7.0f));
    barrier(level.walls, level.doors, 1.0f, -2.0f, -6.0f, "A");
    barrier(level.walls, level.doors, -5.0f, 2.0f, 6.0f, "B");
    level.plates.push_back(plate({-6.0f, 0.03f, 5.0f}, "A"));
    level.plates.push_back(plate({6.0f, 0.03f, -2.0f}, "B"));
    level.fans.push_back({"Обдув / E", {5.0f, 1.3f, -1.5f}, {-1.0f, 0.0f, 0.0f}, true});
    level.cargo.push_back(
        {"Пробный ящик", {4.0f, 0.275f, 8.5f}, {0.55f, 0.55f, 0.55f}, CargoStyle::Freight, 0});
}

void unpowered_airlock(Level& level) {
    level.title = "Обесточенный шлюз";
    level.objective = "Запитай шлюз и эвакуируй оптику и кислород.";
    level.hint =
        "Батарея в гнезде питает шлюз. Пока копия держит плиту A, перенеси оба груза в зелёную "
        "зону.";
    level.limit = 45;
    level.goal_size = {7.2f, 0.12f, 3.8f};
    level.cargo_pos = {-3.0f, 0.425f, 7.5f};

    level.cargo.push_back(
        {"Кислородный баллон", {2.0f, 0.56f, 7.5f}, {0.62f, 1.12f, 0.62f}, CargoStyle::Oxygen, 1});
    level.cargo.push_back(
        {"Батарея шлюза", {6.0f, 0.26f, 8.0f}, {0.72f, 0.52f, 0.72f}, CargoStyle::Battery, 0});
    // A wall at z 0 with a 3.4-wide opening in the middle.
    level.walls.push_back({{-5.85f, 2.5f, 0.0f}, {8.3f, 5.0f, 0.45f}});
    level.walls.push_back({{5.85f, 2.5f, 0.0f}, {8.3f, 5.0f, 0.45f}});
    level.walls.push_back({{0.0f, 4.2f, 0.0f}, {3.4f, 1.6f, 0.45f}});
    level.doors.push_back(door("ШЛЮЗ A", {0.0f, 1.7f, 0.0f}, {3.4f, 3.4f, 0.45f}));
    level.plates.push_back(plate({-5.0f, 0.03f, 3.0f}, "A · ШЛЮЗ"));
    level.sockets.push_back(powered_socket(5.0f, 3.0f, "ГНЕЗДО БАТАРЕИ"));
    level.door_rules.push_back(door_rule({.sockets_on = {0}, .plates_on = {0}}));
}

void lunar_deck(Level& level) {
    level.title = "Лунная палуба";
    level.objective = "Подними антенну и контейнер грунта на верхнюю палубу.";
    level.hint =
        "Лунная гравитация: подбрось груз по дуге на верхнюю палубу, затем запрыгни следом. С "
        "пустыми руками можно поймать груз.";
    level.limit = 45;
    level.gravity = 3.6f;
    level.cargo_gravity = 1.6f;
    level.goal = {0.0f, 2.04f, -9.5f};
    level.goal_size = {7.2f, 0.12f, 4.6f};
    level.cargo_label = "Сложенная антенна";
    level.cargo_style = CargoStyle::Antenna;
    level.cargo_pos = {0.0f, 0.24f, 7.0f};

    level.cargo.push_back(
        {"Лунный грунт", {4.0f, 0.28f, 6.5f}, {0.72f, 0.56f, 0.66f}, CargoStyle::Samples, 1});
    // The upper deck: 2 high, from z -14 to -3.
    level.walls.push_back({{0.0f, 1.0f, -8.5f}, {20.0f, 2.0f, 11.0f}});
}

void cargo_bay_purge(Level& level) {
    level.title = "Продувка грузового отсека";
    level.objective = "Останови продувку и эвакуируй биокапсулу и образцы льда.";
    level.hint =
        "Вентиляция отбрасывает лёгкую биокапсулу от окна. Копия может выключить поток и встать "
        "на плиту B. Лёд помещается в боковой проход.";
    level.limit = 50;
    level.goal_size = {7.2f, 0.12f, 4.2f};
    level.cargo_label = "Биокапсула";
    level.cargo_style = CargoStyle::Bio;
    level.cargo_pos = {0.0f, 0.425f, 6.5f};

    level.cargo.push_back(
        {"Образцы льда", {4.0f, 0.26f, 8.0f}, {0.64f, 0.52f, 0.64f}, CargoStyle::Samples, 1});
    barrier(level.walls, level.doors, 0.0f, 0.0f, -6.0f, "ШЛЮЗ B");
    level.plates.push_back(plate({-6.0f, 0.03f, 3.0f}, "B · ШЛЮЗ"));
    // Just before the window, blowing back towards the spawn.
    level.fans.push_back({"ПРОДУВКА · E", {0.0f, 1.2f, 0.5f}, {0.0f, 0.0f, 1.0f}, true});
}

}  // namespace vantrel_sim
