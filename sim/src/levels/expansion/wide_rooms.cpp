// The three wide rooms: bands split by partitions, latching gates and several loads to deliver.
#include "levels/expansion/wide_rooms.hpp"

#include "levels/builders.hpp"
#include "levels/expansion/expansion.hpp"
#include "levels/rooms.hpp"

namespace vantrel_sim {
namespace {

const Vec3 FREIGHT_SIZE{1.15f, 0.85f, 0.85f};
const Vec3 BATTERY_SIZE{0.72f, 0.52f, 0.72f};

}  // namespace

void sorting_ring(Level& level) {
    begin_wide_room(
        level,
        {.title = "Сортировочное кольцо",
         .objective = "Согласуй работу двух крыльев и вывези оптику и архив в северный док.",
         .hint = "Входы в крылья открывают A и B. Северные ворота защёлкнутся, если C и D нажаты, "
                 "а A и B отпущены три секунды подряд. После фиксации крылья соединятся через "
                 "северный док. Предметы без маркировки ДОСТАВИТЬ можно оставить.",
         .width = 36.0f,
         .depth = 48.0f,
         .spawn_z = 21.0f,
         .goal_z = -20.0f,
         .limit = 120,
         .cargo_label = "ДОСТАВИТЬ · Лунная оптика",
         .cargo_pos = {-10.0f, 0.425f, -4.0f}});

    level.plates.push_back(plate({-13.0f, 0.03f, 18.0f}, "A · ЛЕВЫЙ ВХОД"));
    level.plates.push_back(plate({13.0f, 0.03f, 18.0f}, "B · ПРАВЫЙ ВХОД"));
    level.plates.push_back(plate({-12.0f, 0.03f, 0.0f}, "C · ЛЕВОЕ КРЫЛО"));
    level.plates.push_back(plate({12.0f, 0.03f, 0.0f}, "D · ПРАВОЕ КРЫЛО"));

    partition(level, 12.0f, {-9.0f, 1.65f, 9.0f, 1.65f});
    partition(level, -12.0f, {-9.0f, 1.65f, 9.0f, 1.65f});
    // The spine splits the middle band into two wings.
    level.walls.push_back({{0.0f, 2.5f, 0.0f}, {0.45f, 5.0f, 24.0f}});

    gate(level, -9.0f, 12.0f, "ЛВ · A", door_rule({.plates_on = {0}}));
    gate(level, 9.0f, 12.0f, "ПВ · B", door_rule({.plates_on = {1}}));
    const DoorRule dock =
        door_rule({.plates_on = {2, 3}, .plates_off = {0, 1}, .latch_seconds = 3});
    gate(level, -9.0f, -12.0f, "ДОК · C + D, БЕЗ A И B · 3 с", dock);
    gate(level, 9.0f, -12.0f, "ДОК · C + D, БЕЗ A И B · 3 с", dock);

    level.walls.push_back(table(-15.2f, 15.3f));
    level.walls.push_back(table(15.2f, 15.3f));
    level.walls.push_back(table(-15.3f, -7.0f));
    level.walls.push_back(table(15.3f, -7.0f));

    level.cargo.push_back({"ДОСТАВИТЬ · Архив станции",
                           {10.0f, 0.425f, -4.0f},
                           FREIGHT_SIZE,
                           CargoStyle::Freight,
                           1});
}

void radio_shadow(Level& level) {
    begin_wide_room(
        level,
        {.title = "Радиотень",
         .objective = "Проведи два модуля через три рубежа, переставляя единственный аккумулятор.",
         .hint = "I защёлкивается от A + C за 3 с. II от B + D при отключённом A за 4 с. Выход "
                 "требует A + E и отключённый B. Узкий сервисный проход справа пропускает "
                 "человека с батареей, но грузовые модули шире проёма. Нужна последовательность "
                 "A → B → A.",
         .width = 40.0f,
         .depth = 52.0f,
         .spawn_z = 23.0f,
         .goal_z = -22.0f,
         .limit = 180,
         .cargo_label = "ДОСТАВИТЬ · Передатчик",
         .cargo_pos = {-11.0f, 0.425f, 19.0f}});

    level.sockets.push_back(powered_socket(-14.0f, 18.0f, "A · ВХОД / ВЫХОД"));
    level.sockets.push_back(powered_socket(11.0f, -3.0f, "B · ЦЕНТРАЛЬНЫЙ РУБЕЖ"));
    level.plates.push_back(plate({-12.0f, 0.03f, 4.0f}, "C · ВХОДНОЙ ПУЛЬТ"));
    level.plates.push_back(plate({-13.0f, 0.03f, -4.0f}, "D · СРЕДНИЙ ПУЛЬТ"));
    level.plates.push_back(plate({10.0f, 0.03f, -15.0f}, "E · ВНЕШНИЙ ПУЛЬТ"));

    // Each line has a gate opening and a 0.95-wide service passage without a door.
    const PartitionOpenings openings{-11.0f, 1.65f, 17.5f, 0.475f};
    partition(level, 10.0f, openings);
    partition(level, -10.0f, openings);
    partition(level, -18.0f, openings);

    gate(level, -11.0f, 10.0f, "I · A + C · 3 с",
         door_rule({.sockets_on = {0}, .plates_on = {0}, .latch_seconds = 3}));
    gate(level, -11.0f, -10.0f, "II · B + D, БЕЗ A · 4 с",
         door_rule({.sockets_on = {1}, .sockets_off = {0}, .plates_on = {1}, .latch_seconds = 4}));
    gate(level, -11.0f, -18.0f, "III · A + E, БЕЗ B",
         door_rule({.sockets_on = {0}, .sockets_off = {1}, .plates_on = {2}}));

    level.walls.push_back(table(-17.2f, 14.0f));
    level.walls.push_back(table(4.0f, 4.5f));
    level.walls.push_back(table(4.0f, -5.0f));
    level.walls.push_back(table(-16.7f, -14.5f));

    level.cargo.push_back({"Аккумулятор · ЕДИНСТВЕННЫЙ",
                           {-14.0f, 0.26f, 21.0f},
                           BATTERY_SIZE,
                           CargoStyle::Battery,
                           0});
    level.cargo.push_back({"ДОСТАВИТЬ · Спектральный модуль",
                           {-7.0f, 0.425f, 3.0f},
                           FREIGHT_SIZE,
                           CargoStyle::Freight,
                           1});
}

void far_dock(Level& level) {
    begin_wide_room(
        level,
        {.title = "Дальний док",
         .objective = "Подготовь питание, перебрось оптику в окно импульса и вывези два груза.",
         .hint = "I требует питание A и плиту B. У створки период 18 с, окно 7–10 с. Груз "
                 "проходит в окно, человек идёт через правый сервисный шлюз, который держит C. "
                 "Финальные ворота защёлкиваются за 5 с при D + E и 1,4 т на M. Кислород можно "
                 "забрать с весов после фиксации.",
         .width = 44.0f,
         .depth = 60.0f,
         .spawn_z = 27.0f,
         .goal_z = -26.0f,
         .limit = 180,
         .cargo_label = "ДОСТАВИТЬ · Дальняя оптика",
         .cargo_pos = {0.0f, 0.425f, 23.0f}});

    level.sockets.push_back(powered_socket(-15.0f, 20.0f, "A · ПИТАНИЕ ШЛЮЗА"));
    level.plates.push_back(plate({15.0f, 0.03f, 20.0f}, "B · ВХОД"));
    level.plates.push_back(plate({-14.0f, 0.03f, 5.0f}, "C · СЕРВИСНЫЙ ШЛЮЗ"));
    level.plates.push_back(plate({-15.0f, 0.03f, -12.0f}, "D · ЗАПАДНЫЙ ПОСТ"));
    level.plates.push_back(plate({15.0f, 0.03f, -12.0f}, "E · ВОСТОЧНЫЙ ПОСТ"));
    // The nearest f32 values to 1.35 and 1.45, not computed from 1.4.
    level.plates.push_back(scale({0.0f, 0.03f, -12.0f}, "M · 1,4 т", 1.35f, 1.45f));

    bulkhead(level, 0.0f, 14.0f, "I · A + B");
    level.door_rules.push_back(door_rule({.sockets_on = {0}, .plates_on = {0}}));

    // The middle wall: a 2.8-wide window closed by a cycling shutter, and a service door.
    partition(level, 0.0f, {0.0f, 1.4f, 17.0f, 0.475f});
    level.walls.push_back({{0.0f, 0.65f, 0.0f}, {2.8f, 1.3f, 0.45f}});
    level.walls.push_back({{0.0f, 3.925f, 0.0f}, {2.8f, 2.15f, 0.45f}});
    level.doors.push_back(
        door("ИМПУЛЬС · 7–10 с / 18 с", {0.0f, 2.075f, 0.0f}, {2.8f, 1.55f, 0.45f}));
    DoorRule shutter;
    shutter.cycle = DoorCycle{18, 7, 10};
    level.door_rules.push_back(shutter);
    level.doors.push_back(door("СЕРВИС · C", {17.0f, 1.6f, 0.0f}, {0.95f, 3.2f, 0.45f}));
    level.door_rules.push_back(door_rule({.plates_on = {1}}));

    bulkhead(level, 0.0f, -20.0f, "ДОК · D + E + M · 5 с");
    level.door_rules.push_back(door_rule({.plates_on = {2, 3, 4}, .latch_seconds = 5}));

    level.walls.push_back(table(-18.0f, 17.0f));
    level.walls.push_back(table(18.0f, 11.0f));
    level.walls.push_back(table(-18.0f, -6.0f));
    level.walls.push_back(table(18.0f, -16.0f));

    level.cargo.push_back(
        {"Аккумулятор · ПИТАНИЕ A", {-15.0f, 0.26f, 24.0f}, BATTERY_SIZE, CargoStyle::Battery, 0});
    level.cargo.push_back({"ДОСТАВИТЬ · Кислород · 1,4 т",
                           {-12.0f, 0.56f, -11.0f},
                           {0.62f, 1.12f, 0.62f},
                           CargoStyle::Oxygen,
                           1});
}

}  // namespace vantrel_sim
