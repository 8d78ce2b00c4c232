#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <limits>
#include <string_view>

#include "levels/level.hpp"

namespace vantrel_sim {
namespace {

struct RoomCounts {
    float width;
    float depth;
    float height;
    std::uint32_t limit;
    std::size_t cargo;  // main cargo included
    std::size_t deliver;
    std::size_t plates;
    std::size_t doors;
    std::size_t rules;
    std::size_t sockets;
    std::size_t fans;
    std::size_t walls;
};

constexpr std::array<RoomCounts, ROOM_COUNT> ROOMS{{
    {20, 28, 5.0f, 25, 1, 1, 0, 0, 0, 0, 0, 9},
    {20, 28, 5.0f, 25, 1, 1, 1, 1, 0, 0, 0, 12},
    {20, 28, 5.0f, 25, 2, 1, 2, 2, 0, 0, 1, 18},
    {20, 28, 5.0f, 45, 3, 2, 1, 1, 1, 1, 0, 8},
    {20, 28, 5.0f, 45, 2, 2, 0, 0, 0, 0, 0, 6},
    {20, 28, 5.0f, 50, 2, 2, 1, 1, 0, 0, 1, 11},
    {20, 28, 5.0f, 32, 1, 1, 1, 2, 0, 0, 0, 12},
    {20, 28, 5.0f, 55, 2, 1, 1, 2, 2, 2, 0, 11},
    {20, 28, 5.0f, 65, 2, 1, 3, 3, 3, 0, 0, 14},
    {20, 28, 5.0f, 65, 3, 1, 2, 3, 3, 2, 0, 14},
    {20, 28, 5.0f, 72, 3, 2, 4, 3, 3, 0, 0, 14},
    {20, 28, 5.0f, 85, 5, 2, 5, 3, 3, 1, 0, 14},
    {36, 48, 5.0f, 120, 14, 2, 4, 4, 4, 0, 0, 20},
    {40, 52, 5.0f, 180, 15, 2, 3, 3, 3, 2, 0, 24},
    {44, 60, 5.0f, 180, 15, 2, 5, 4, 4, 1, 0, 22},
    {28, 56, 8.8f, 120, 5, 1, 1, 0, 0, 0, 0, 14},
}};

constexpr std::array<std::string_view, ROOM_COUNT> TITLES{
    "Первый рейс",
    "Груз проходит первым",
    "Передача по цепочке",
    "Обесточенный шлюз",
    "Лунная палуба",
    "Продувка грузового отсека",
    "Криоэстафета",
    "Одна батарея на двоих",
    "Взаимная блокировка",
    "Полярный ретранслятор",
    "Герметизация ядра",
    "Массовый баланс",
    "Сортировочное кольцо",
    "Радиотень",
    "Дальний док",
    "Вертикальный терминал",
};

std::size_t cargo_to_deliver(const Level& level) {
    std::size_t count = 1;  // the main cargo is always delivered
    for (const CargoSpawn& spawn : level.cargo) {
        count += spawn.kind == 1 ? 1 : 0;
    }
    return count;
}

TEST(Catalogue, EveryRoomMatchesItsSizeLimitAndDeviceCounts) {
    for (std::size_t index = 0; index < ROOM_COUNT; ++index) {
        SCOPED_TRACE(index);
        const Level level = make_level(index);
        const RoomCounts& room = ROOMS[index];
        EXPECT_EQ(level.room_size[0], room.width);
        EXPECT_EQ(level.room_size[1], room.depth);
        EXPECT_EQ(level.room_height, room.height);
        EXPECT_EQ(level.limit, room.limit);
        EXPECT_EQ(level.cargo.size() + 1, room.cargo);
        EXPECT_EQ(cargo_to_deliver(level), room.deliver);
        EXPECT_EQ(level.plates.size(), room.plates);
        EXPECT_EQ(level.doors.size(), room.doors);
        EXPECT_EQ(level.door_rules.size(), room.rules);
        EXPECT_EQ(level.sockets.size(), room.sockets);
        EXPECT_EQ(level.fans.size(), room.fans);
        EXPECT_EQ(level.walls.size(), room.walls);
        const bool terminal = index == 15;
        EXPECT_EQ(level.lift.has_value(), terminal);
        EXPECT_EQ(level.gravity_controls.size(), terminal ? 2u : 0u);
    }
}

TEST(Catalogue, TitlesFollowTheRoomOrder) {
    for (std::size_t index = 0; index < ROOM_COUNT; ++index) {
        EXPECT_EQ(make_level(index).title, TITLES[index]) << index;
    }
}

TEST(Catalogue, IndicesAboveTheLastRoomBuildTheFarDock) {
    const Level far_dock = make_level(14);
    EXPECT_EQ(make_level(20), far_dock);
    EXPECT_EQ(make_level(16), far_dock);
    EXPECT_EQ(make_level(std::numeric_limits<std::size_t>::max()), far_dock);
    EXPECT_EQ(far_dock.title, "Дальний док");
}

TEST(Catalogue, BuildingARoomTwiceGivesEqualLevels) {
    for (std::size_t index = 0; index < ROOM_COUNT; ++index) {
        EXPECT_EQ(make_level(index), make_level(index)) << index;
    }
}

TEST(Catalogue, IndicesInRulesAndTheLiftPointIntoTheirLists) {
    for (std::size_t index = 0; index < ROOM_COUNT; ++index) {
        SCOPED_TRACE(index);
        const Level level = make_level(index);
        EXPECT_LE(level.door_rules.size(), level.doors.size());
        for (const DoorRule& rule : level.door_rules) {
            for (std::size_t socket : rule.sockets_on) EXPECT_LT(socket, level.sockets.size());
            for (std::size_t socket : rule.sockets_off) EXPECT_LT(socket, level.sockets.size());
            for (std::size_t plate : rule.plates_on) EXPECT_LT(plate, level.plates.size());
            for (std::size_t plate : rule.plates_off) EXPECT_LT(plate, level.plates.size());
        }
        if (level.lift) {
            EXPECT_LT(level.lift->plate, level.plates.size());
        }
        if (level.transfer_window) {
            EXPECT_GE(level.doors.size(), 2u);
        }
    }
}

TEST(Catalogue, EveryRoomStartsWithIdleDevicesTextsAndResting) {
    for (std::size_t index = 0; index < ROOM_COUNT; ++index) {
        SCOPED_TRACE(index);
        const Level level = make_level(index);
        EXPECT_FALSE(level.objective.empty());
        EXPECT_FALSE(level.hint.empty());
        EXPECT_FALSE(level.cargo_label.empty());
        EXPECT_EQ(level.spawn.y, 0.0f);
        for (const PlateView& plate : level.plates) {
            EXPECT_FALSE(plate.label.empty());
            EXPECT_FALSE(plate.active);
            EXPECT_EQ(plate.load, 0.0f);
        }
        for (const DoorView& door : level.doors) {
            EXPECT_FALSE(door.label.empty());
            EXPECT_FALSE(door.open);
            EXPECT_FALSE(door.hold_remaining || door.cycle_remaining);
        }
        for (const SocketView& socket : level.sockets) {
            EXPECT_EQ(socket.pos.y, 0.38f);
            EXPECT_FALSE(socket.powered);
        }
        for (const FanView& fan : level.fans) {
            EXPECT_TRUE(fan.active);
        }
        for (const CargoSpawn& spawn : level.cargo) {
            EXPECT_EQ(spawn.pos.y, spawn.size.y / 2.0f) << spawn.label;
            EXPECT_LE(spawn.kind, 1u);
        }
    }
}

TEST(Catalogue, TutorialHasOnlyShellAndFourFurnitureBoxes) {
    const Level level = make_level(0);
    ASSERT_EQ(level.walls.size(), 9u);
    EXPECT_EQ(level.walls[5], (BoxView{{-2.0f, 0.4f, 7.0f}, {2.2f, 0.8f, 1.4f}}));
    EXPECT_EQ(level.walls[6], (BoxView{{-5.5f, 1.1f, 1.0f}, {5.0f, 2.2f, 1.0f}}));
    EXPECT_EQ(level.walls[7], (BoxView{{5.5f, 1.1f, -3.0f}, {5.0f, 2.2f, 1.0f}}));
    EXPECT_EQ(level.walls[8], (BoxView{{-7.5f, 0.7f, -9.0f}, {2.0f, 1.4f, 3.0f}}));
    EXPECT_EQ(level.cargo_label, "Контейнер оптики");
    EXPECT_EQ(level.cargo_pos, (Vec3{-2.0f, 1.225f, 7.0f}));
    EXPECT_EQ(level.goal, (Vec3{0.0f, 0.04f, -10.0f}));
    EXPECT_EQ(level.gravity, 10.0f);
    EXPECT_EQ(level.cargo_gravity, 2.8f);
    EXPECT_TRUE(level.plates.empty() && level.doors.empty() && level.cargo.empty());
}

}  // namespace
}  // namespace vantrel_sim
