#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "levels/level.hpp"

namespace vantrel_sim {
namespace {

using Indices = std::vector<std::size_t>;

TEST(SmallRooms, ChainTransferNumbersDoorsAndPlatesInBuildOrder) {
    const Level level = make_level(2);
    ASSERT_EQ(level.doors.size(), 2u);
    EXPECT_EQ(level.doors[0].label, "A");
    EXPECT_EQ(level.doors[0].pos, (Vec3{-6.0f, 1.6f, 1.0f}));
    EXPECT_EQ(level.doors[1].label, "B");
    EXPECT_EQ(level.doors[1].pos, (Vec3{6.0f, 1.6f, -5.0f}));
    EXPECT_EQ(level.plates[1].pos, (Vec3{6.0f, 0.03f, -2.0f}));
    EXPECT_EQ(level.fans[0].dir, (Vec3{-1.0f, 0.0f, 0.0f}));
    EXPECT_EQ(level.cargo[0].label, "Пробный ящик");
}

TEST(SmallRooms, UnpoweredAirlockNeedsTheSocketAndThePlate) {
    const Level level = make_level(3);
    ASSERT_EQ(level.door_rules.size(), 1u);
    EXPECT_EQ(level.door_rules[0].sockets_on, Indices{0});
    EXPECT_EQ(level.door_rules[0].plates_on, Indices{0});
    EXPECT_EQ(level.doors[0].size, (Vec3{3.4f, 3.4f, 0.45f}));
}

TEST(SmallRooms, CryoRelayShutterFollowsOnlyTheTransferWindow) {
    const Level level = make_level(6);
    ASSERT_TRUE(level.transfer_window.has_value());
    EXPECT_EQ((*level.transfer_window)[0], 8.0f);
    EXPECT_EQ((*level.transfer_window)[1], 11.0f);
    ASSERT_EQ(level.doors.size(), 2u);
    EXPECT_TRUE(level.door_rules.empty());
    EXPECT_EQ(level.doors[1].label, "СТВОРКА");
    EXPECT_EQ(level.doors[1].pos, (Vec3{0.0f, 2.075f, 0.0f}));
    EXPECT_EQ(level.doors[1].size, (Vec3{2.8f, 1.55f, 0.45f}));
    EXPECT_EQ(level.cargo_style, CargoStyle::Cryo);
}

TEST(SmallRooms, OneBatteryRoomWiresEachDoorToItsOwnSocket) {
    const Level level = make_level(7);
    EXPECT_EQ(level.door_rules[0].sockets_on, Indices{0});
    EXPECT_TRUE(level.door_rules[0].plates_on.empty());
    EXPECT_EQ(level.door_rules[1].sockets_on, Indices{1});
    EXPECT_EQ(level.door_rules[1].plates_on, Indices{0});
}

TEST(SmallRooms, InterlockDoorTwoDemandsPlateARelease) {
    const Level level = make_level(8);
    const DoorRule& second = level.door_rules[1];
    EXPECT_EQ(level.doors[1].label, "II · B БЕЗ A");
    EXPECT_EQ(second.plates_on, Indices{1});
    EXPECT_EQ(second.plates_off, Indices{0});
    EXPECT_TRUE(second.sockets_on.empty() && second.sockets_off.empty());
    EXPECT_EQ(second.latch_seconds, 0u);
    EXPECT_EQ(level.door_rules[2].plates_on, (Indices{0, 1, 2}));
    EXPECT_EQ(level.plates[2].load_required, 2.0f);
    EXPECT_FALSE(level.plates[2].load_maximum.has_value());
}

TEST(SmallRooms, CoreSealingLatchesTheMiddleDoorAfterFourSeconds) {
    const Level level = make_level(10);
    EXPECT_EQ(level.door_rules[1].plates_on, (Indices{0, 1, 2}));
    EXPECT_EQ(level.door_rules[1].latch_seconds, 4u);
    EXPECT_EQ(level.door_rules[2].plates_on, Indices{3});
    EXPECT_EQ(level.door_rules[2].plates_off, Indices{0});
}

TEST(SmallRooms, MassBalanceScalesAcceptOnlyTheirLabelledLoad) {
    const Level level = make_level(11);
    const PlateView& m1 = level.plates[0];
    const PlateView& m2 = level.plates[1];
    const PlateView& m3 = level.plates[4];
    EXPECT_EQ(m1.load_required, 2.3500001f);
    EXPECT_EQ(m1.load_maximum, 2.45f);
    EXPECT_EQ(m1.radius, 0.9f);
    EXPECT_EQ(m2.load_required, 2.3500001f);
    EXPECT_EQ(m2.load_maximum, 2.45f);
    EXPECT_EQ(m2.radius, 1.18f);
    EXPECT_EQ(m3.load_required, 1.35f);
    EXPECT_EQ(m3.load_maximum, 1.4499999f);
    EXPECT_EQ(m3.label, "M3 · 1,4 т");
    // 2.4 t sits inside the window of M1, 2.3 t and 2.5 t do not.
    EXPECT_TRUE(2.4f >= m1.load_required && 2.4f <= *m1.load_maximum);
    EXPECT_LT(2.3f, m1.load_required);
    EXPECT_GT(2.5f, *m1.load_maximum);
    EXPECT_EQ(level.door_rules[1].sockets_on, Indices{0});
    EXPECT_EQ(level.door_rules[1].plates_off, Indices{1});
    EXPECT_EQ(level.door_rules[2].latch_seconds, 3u);
}

TEST(WideRooms, SortingRingDockGatesLatchWithEntrancesReleased) {
    const Level level = make_level(12);
    EXPECT_EQ(level.spawn, (Vec3{0.0f, 0.0f, 21.0f}));
    EXPECT_EQ(level.goal, (Vec3{0.0f, 0.04f, -20.0f}));
    for (std::size_t door : {2u, 3u}) {
        EXPECT_EQ(level.doors[door].label, "ДОК · C + D, БЕЗ A И B · 3 с");
        EXPECT_EQ(level.door_rules[door].plates_on, (Indices{2, 3}));
        EXPECT_EQ(level.door_rules[door].plates_off, (Indices{0, 1}));
        EXPECT_EQ(level.door_rules[door].latch_seconds, 3u);
    }
    EXPECT_EQ(level.cargo[0].label, "ДОСТАВИТЬ · Архив станции");
    EXPECT_EQ(level.cargo[0].kind, 1u);
}

TEST(WideRooms, DecoysStandAlongTheSideWalls) {
    const Level ring = make_level(12);
    ASSERT_EQ(ring.cargo.size(), 13u);
    const CargoSpawn& first = ring.cargo[1];
    EXPECT_EQ(first.label, "Ремонтный кейс");
    EXPECT_EQ(first.pos, (Vec3{-17.3f, 0.2f, 19.0f}));
    EXPECT_EQ(ring.cargo[2].pos.x, 17.3f);
    EXPECT_EQ(ring.cargo[4].pos.z, 16.5f);
    EXPECT_EQ(ring.cargo[11].pos, (Vec3{-16.3f, 0.36f, -16.0f}));
    EXPECT_EQ(ring.cargo[12].label, "Шлем дежурного");
    EXPECT_EQ(ring.cargo[12].pos.x, 16.3f);

    const Level dock = make_level(14);
    ASSERT_EQ(dock.cargo.size(), 14u);
    EXPECT_EQ(dock.cargo[2].pos, (Vec3{-21.3f, 0.2f, 25.0f}));
    EXPECT_EQ(dock.cargo[3].pos.x, 21.3f);
    for (std::size_t i = 2; i < dock.cargo.size(); ++i) {
        EXPECT_EQ(dock.cargo[i].kind, 0u);
    }
}

TEST(WideRooms, RadioShadowServicePassagesHaveNoDoors) {
    const Level level = make_level(13);
    ASSERT_EQ(level.doors.size(), 3u);
    for (const DoorView& door : level.doors) {
        EXPECT_EQ(door.pos.x, -11.0f);
    }
    EXPECT_EQ(level.door_rules[1].sockets_on, Indices{1});
    EXPECT_EQ(level.door_rules[1].sockets_off, Indices{0});
    EXPECT_EQ(level.door_rules[1].latch_seconds, 4u);
    EXPECT_EQ(level.door_rules[2].latch_seconds, 0u);
    EXPECT_EQ(level.cargo[0].style, CargoStyle::Battery);
    EXPECT_EQ(level.cargo[1].kind, 1u);
}

TEST(WideRooms, FarDockShutterCyclesAndTheScaleUsesLiteralBounds) {
    const Level level = make_level(14);
    const DoorRule& shutter = level.door_rules[1];
    ASSERT_TRUE(shutter.cycle.has_value());
    EXPECT_EQ(*shutter.cycle, (DoorCycle{18, 7, 10}));
    EXPECT_TRUE(shutter.sockets_on.empty() && shutter.sockets_off.empty());
    EXPECT_TRUE(shutter.plates_on.empty() && shutter.plates_off.empty());
    EXPECT_EQ(shutter.latch_seconds, 0u);
    EXPECT_EQ(level.doors[1].label, "ИМПУЛЬС · 7–10 с / 18 с");
    EXPECT_EQ(level.doors[1].pos, (Vec3{0.0f, 2.075f, 0.0f}));
    EXPECT_EQ(level.doors[2].pos, (Vec3{17.0f, 1.6f, 0.0f}));
    EXPECT_EQ(level.door_rules[3].plates_on, (Indices{2, 3, 4}));
    EXPECT_EQ(level.door_rules[3].latch_seconds, 5u);
    EXPECT_FALSE(level.door_rules[0].cycle.has_value());
    EXPECT_EQ(level.plates[4].load_required, 1.35f);
    EXPECT_EQ(level.plates[4].load_maximum, 1.45f);
    // Unlike the mass-balance scale, the upper bound is not computed from 1.4.
    EXPECT_NE(level.plates[4].load_maximum, make_level(11).plates[4].load_maximum);
}

TEST(GravityTerminal, HasTwoFloorsALiftAndTwoConsoles) {
    const Level level = make_level(15);
    ASSERT_EQ(level.walls.size(), 14u);
    EXPECT_EQ(level.walls[0], (BoxView{{-14.2f, 4.4f, 0.0f}, {0.4f, 8.8f, 56.4f}}));
    EXPECT_EQ(level.walls[4], (BoxView{{0.0f, 8.95f, 0.0f}, {28.0f, 0.3f, 56.0f}}));
    // The bridge side walls stand one f32 step above 6.35: 4.8 + 3.1 / 2.
    EXPECT_EQ(level.walls[8].pos.y, 6.3500004f);
    EXPECT_EQ(level.walls[8].pos.y, std::nextafter(6.35f, 7.0f));
    EXPECT_EQ(level.walls[9].pos.y, 4.8f + 3.1f / 2.0f);
    EXPECT_EQ(level.walls[9].pos.x, 11.56f);
    EXPECT_EQ(level.goal, (Vec3{0.0f, 4.84f, -23.0f}));
    EXPECT_EQ(level.cargo_gravity, 8.0f);
    EXPECT_EQ(level.gravity, 10.0f);

    ASSERT_TRUE(level.lift.has_value());
    const LiftView& lift = *level.lift;
    EXPECT_EQ(lift.plate, 0u);
    EXPECT_EQ(lift.controls[0], (Vec3{2.4f, 1.35f, 4.15f}));
    EXPECT_EQ(lift.controls[1], (Vec3{2.4f, 6.15f, 1.1f}));
    EXPECT_EQ(lift.center, (Vec3{0.0f, 0.0f, 3.5f}));
    EXPECT_EQ(lift.size, (Vec3{4.0f, 0.36f, 4.0f}));
    EXPECT_EQ(lift.top, 4.8f);
    EXPECT_EQ(lift.height, 0.0f);
    EXPECT_FALSE(lift.target_up);
    ASSERT_EQ(level.gravity_controls.size(), 2u);
    EXPECT_EQ(level.gravity_controls[1], (Vec3{9.6f, 6.15f, -18.2f}));
    EXPECT_EQ(level.cargo[1].label, "Катушка");
}

}  // namespace
}  // namespace vantrel_sim
