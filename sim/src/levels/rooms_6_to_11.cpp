// Rooms 6 to 11: a transfer window, one battery for two sockets, interlocks,
// power switching, a latching door and scales with load windows.
#include <array>
#include <optional>
#include <utility>

#include "levels/builders.hpp"
#include "levels/rooms.hpp"

namespace vantrel_sim {

void cryo_relay(Level& level) {
    level.title = "Криоэстафета";
    level.objective = "Перехвати криокассету в полёте и положи её в зелёный ложемент.";
    level.hint =
        "Кассета разбивается на красной решётке. Створка открывается на 8–11 с. Запиши бросок и "
        "успей на другую сторону с пустыми руками.";
    level.limit = 32;
    level.transfer_window = std::array<float, 2>{8.0f, 11.0f};
    level.goal = {6.5f, 0.04f, -9.0f};
    level.goal_size = {3.4f, 0.12f, 3.4f};
    level.cargo_label = "Хрупкая криокассета";
    level.cargo_style = CargoStyle::Cryo;
    level.cargo_pos = {0.0f, 0.425f, 6.5f};

    barrier(level.walls, level.doors, 0.0f, 0.0f, -7.4f, "ОБХОД C");
    // A thin divider that fences off the goal corner.
    level.walls.push_back({{3.3f, 1.85f, -8.6f}, {0.38f, 3.7f, 10.8f}});
    level.plates.push_back(plate({-7.4f, 0.03f, 4.0f}, "C · ОБХОД"));
    // The shutter fills the barrier's window; the transfer window drives it.
    level.doors.push_back(door("СТВОРКА", {0.0f, 2.075f, 0.0f}, {2.8f, 1.55f, 0.45f}));
}

void one_battery_for_two(Level& level) {
    level.title = "Одна батарея на двоих";
    level.objective = "Доставь серверную кассету через два шлюза с одним аккумулятором.";
    level.hint =
        "Линия A питает вход. Линия B питает выход, пока нажата плита C в буфере. Батарея одна. "
        "Подключённую батарею можно забрать.";
    level.limit = 55;
    level.goal = {3.6f, 0.04f, -10.0f};
    level.cargo_label = "Серверная кассета";
    level.cargo_pos = {-3.6f, 0.425f, 8.2f};

    level.cargo.push_back(
        {"Аккумулятор шины", {0.0f, 0.26f, 8.0f}, {0.72f, 0.52f, 0.72f}, CargoStyle::Battery, 0});
    bulkhead(level, -3.6f, 3.2f, "A · ЛИНИЯ A");
    bulkhead(level, 3.6f, -4.8f, "B · ЛИНИЯ B + C");
    level.plates.push_back(plate({-6.5f, 0.03f, -1.5f}, "C · РАЗРЕШЕНИЕ"));
    level.sockets.push_back(powered_socket(-6.5f, 6.2f, "ЛИНИЯ A"));
    level.sockets.push_back(powered_socket(6.5f, 6.2f, "ЛИНИЯ B"));
    level.door_rules.push_back(door_rule({.sockets_on = {0}}));
    level.door_rules.push_back(door_rule({.sockets_on = {1}, .plates_on = {0}}));
}

void mutual_interlock(Level& level) {
    level.title = "Взаимная блокировка";
    level.objective = "Пронеси навигационный блок через три шлюза с взаимной блокировкой.";
    level.hint =
        "I: A нажата. II: B нажата, A отпущена. III: A и B нажаты, весы M нагружены. Переключать "
        "A можно несколько раз за одну запись.";
    level.limit = 65;
    level.goal = {3.8f, 0.04f, -10.2f};
    level.cargo_label = "Навигационный блок";
    level.cargo_pos = {-3.8f, 0.425f, 8.7f};

    level.cargo.push_back(
        {"Балласт · 2,4 т", {3.7f, 0.32f, 1.7f}, {0.85f, 0.64f, 0.82f}, CargoStyle::Ballast, 0});
    bulkhead(level, -3.8f, 4.5f, "I · A");
    bulkhead(level, 0.0f, -1.2f, "II · B БЕЗ A");
    bulkhead(level, 3.8f, -6.4f, "III · A + B + M");
    level.plates.push_back(plate({-6.7f, 0.03f, 9.5f}, "A · ПЕРЕКЛЮЧЕНИЕ"));
    level.plates.push_back(plate({6.2f, 0.03f, 0.9f}, "B · РАЗРЕШЕНИЕ"));
    level.plates.push_back(scale({4.0f, 0.03f, 2.9f}, "M · ВЕСЫ", 2.0f, std::nullopt));
    level.door_rules.push_back(door_rule({.plates_on = {0}}));
    level.door_rules.push_back(door_rule({.plates_on = {1}, .plates_off = {0}}));
    level.door_rules.push_back(door_rule({.plates_on = {0, 1, 2}}));
}

void polar_relay(Level& level) {
    level.title = "Полярный ретранслятор";
    level.objective = "Переключи питание трёх шлюзов и вынеси блок связи.";
    level.hint =
        "I: питание A. II: питание A и B, плита C нажата. III: питание только B, плита D нажата. "
        "Сначала пройди II, затем отключи A.";
    level.limit = 65;
    level.cargo_label = "Блок дальней связи";
    level.cargo_pos = {-3.0f, 0.425f, 8.5f};

    level.cargo.push_back(
        {"Аккумулятор · 1", {-5.5f, 0.26f, 10.4f}, {0.72f, 0.52f, 0.72f}, CargoStyle::Battery, 0});
    level.cargo.push_back(
        {"Аккумулятор · 2", {2.9f, 0.26f, 0.9f}, {0.72f, 0.52f, 0.72f}, CargoStyle::Battery, 0});
    bulkhead(level, -3.0f, 4.0f, "I · A");
    bulkhead(level, 3.7f, -2.0f, "II · A + B + C");
    bulkhead(level, 0.0f, -7.2f, "III · B + D, БЕЗ A");
    level.plates.push_back(plate({-7.5f, 0.03f, 5.4f}, "C · СИНХРОНИЗАЦИЯ"));
    level.plates.push_back(plate({7.1f, 0.03f, -0.5f}, "D · РАЗРЕШЕНИЕ"));
    level.sockets.push_back(powered_socket(-6.8f, 7.6f, "A · ЛИНИЯ ВХОДА"));
    level.sockets.push_back(powered_socket(4.8f, 0.8f, "B · ЛИНИЯ ВЫХОДА"));
    level.door_rules.push_back(door_rule({.sockets_on = {0}}));
    level.door_rules.push_back(door_rule({.sockets_on = {0, 1}, .plates_on = {0}}));
    level.door_rules.push_back(
        door_rule({.sockets_on = {1}, .sockets_off = {0}, .plates_on = {1}}));
}

void core_sealing(Level& level) {
    level.title = "Герметизация ядра";
    level.objective = "Защёлкни средний шлюз и эвакуируй два груза через внешний контур.";
    level.hint =
        "I: A. II: держи A, B и груз на весах M четыре секунды подряд. После защёлки II останется "
        "открыт. III: C нажата, A отпущена.";
    level.limit = 72;
    level.goal_size = {5.4f, 0.12f, 3.6f};
    level.cargo_label = "Блок телеметрии";
    level.cargo_pos = {-3.8f, 0.425f, 8.4f};

    level.cargo.push_back(
        {"Балласт · 2,4 т", {2.6f, 0.32f, 2.4f}, {0.85f, 0.64f, 0.82f}, CargoStyle::Ballast, 0});
    level.cargo.push_back(
        {"Кислородный баллон", {4.9f, 0.56f, -4.5f}, {0.62f, 1.12f, 0.62f}, CargoStyle::Oxygen, 1});
    bulkhead(level, -3.8f, 4.4f, "I · A");
    bulkhead(level, 3.8f, -1.6f, "II · A + B + M · 4 с");
    bulkhead(level, 0.0f, -7.4f, "III · C, БЕЗ A");
    level.plates.push_back(plate({-7.0f, 0.03f, 8.0f}, "A · ВХОД"));
    level.plates.push_back(plate({6.5f, 0.03f, 0.4f}, "B · ГЕРМЕТИЗАЦИЯ"));
    level.plates.push_back(scale({3.7f, 0.03f, 0.5f}, "M · ВЕСЫ", 2.0f, std::nullopt));
    level.plates.push_back(plate({-6.5f, 0.03f, -4.7f}, "C · ВНЕШНИЙ КОНТУР"));
    level.door_rules.push_back(door_rule({.plates_on = {0}}));
    level.door_rules.push_back(door_rule({.plates_on = {0, 1, 2}, .latch_seconds = 4}));
    level.door_rules.push_back(door_rule({.plates_on = {3}, .plates_off = {0}}));
}

void mass_balance(Level& level) {
    level.title = "Массовый баланс";
    level.objective = "Перераспредели грузы между весами, затем вывези спектрометр и кислород.";
    level.hint =
        "I: по 2,4 т на M1 и M2. II: M1 в норме, M2 вне нормы, питание A. III: C и D нажаты, на M3 "
        "1,4 т три секунды подряд.";
    level.limit = 85;
    level.goal_size = {5.4f, 0.12f, 3.8f};
    level.cargo_label = "Спектрометр · 1,0 т";
    level.cargo_pos = {-0.4f, 0.425f, 8.5f};

    level.cargo.push_back(
        {"Балласт · 2,4 т", {-6.0f, 0.32f, 10.0f}, {0.85f, 0.64f, 0.82f}, CargoStyle::Ballast, 0});
    level.cargo.push_back({"Аккумулятор · 1,4 т",
                           {3.2f, 0.26f, 10.6f},
                           {0.72f, 0.52f, 0.72f},
                           CargoStyle::Battery,
                           0});
    level.cargo.push_back({"Ремкомплект · 1,0 т",
                           {6.0f, 0.27f, 9.8f},
                           {0.72f, 0.54f, 0.72f},
                           CargoStyle::Samples,
                           0});
    level.cargo.push_back(
        {"Кислород · 1,4 т", {-5.0f, 0.56f, -4.0f}, {0.62f, 1.12f, 0.62f}, CargoStyle::Oxygen, 1});
    bulkhead(level, -2.6f, 3.8f, "I · M1 + M2");
    bulkhead(level, 2.8f, -1.8f, "II · M1 + A, БЕЗ M2");
    bulkhead(level, 0.0f, -7.4f, "III · C + D + M3 · 3 с");

    // Each scale accepts its label's load within 0.05 t, bounds computed in f32.
    const float heavy = 2.4f;
    const float light = 1.4f;
    const float tolerance = 0.05f;
    level.plates.push_back(
        scale({-5.8f, 0.03f, 6.5f}, "M1 · 2,4 т", heavy - tolerance, heavy + tolerance));
    PlateView wide = scale({4.5f, 0.03f, 6.5f}, "M2 · 2,4 т", heavy - tolerance, heavy + tolerance);
    wide.radius = 1.18f;
    level.plates.push_back(std::move(wide));
    level.plates.push_back(plate({-6.7f, 0.03f, 0.4f}, "C · КОНТУР 1"));
    level.plates.push_back(plate({6.5f, 0.03f, -4.5f}, "D · КОНТУР 2"));
    level.plates.push_back(
        scale({-4.2f, 0.03f, -5.9f}, "M3 · 1,4 т", light - tolerance, light + tolerance));
    level.sockets.push_back(powered_socket(7.4f, 6.6f, "A · ПИТАНИЕ"));
    level.door_rules.push_back(door_rule({.plates_on = {0, 1}}));
    level.door_rules.push_back(door_rule({.sockets_on = {0}, .plates_on = {0}, .plates_off = {1}}));
    level.door_rules.push_back(door_rule({.plates_on = {2, 3, 4}, .latch_seconds = 3}));
}

}  // namespace vantrel_sim
