#include <gtest/gtest.h>

#include <cmath>

#include "game.hpp"
#include "hand_built_world.hpp"

namespace vantrel_sim {
namespace {

using testing::add_cargo;
using testing::add_echo;
using testing::add_lift;
using testing::actor_at;
using testing::door_at;
using testing::fan_at;
using testing::give;
using testing::open_room;
using testing::socket_at;

TEST(Aim, CargoBehindAClosedDoorIsHitOnlyOnceTheDoorOpens) {
    Game game = open_room();
    add_cargo(game, {0.0f, 1.6f, -1.5f});
    game.level.doors.push_back(door_at({0.0f, 2.0f, -0.8f}, {4.0f, 4.0f, 0.2f}, false));
    EXPECT_FALSE(game.aim_hit(0, game.cargo[0].pos, game.cargo[0].size, 0.12f));
    EXPECT_FALSE(game.pickup_target(0));

    game.level.doors[0].open = true;
    const auto hit = game.aim_hit(0, game.cargo[0].pos, game.cargo[0].size, 0.12f);
    ASSERT_TRUE(hit);
    EXPECT_EQ(hit->kind, AimKind::Exact);
    EXPECT_NEAR(hit->t, 1.075f / 2.5f, 1e-6f);
}

TEST(Aim, RayBesideTheBoxIsNearAndSightIsCheckedToTheRealBox) {
    Game game = open_room();
    // The ray at x = 0 misses the box (x from 0.075) but enters its 0.12 margin.
    add_cargo(game, {0.5f, 1.6f, -1.5f});
    const auto hit = game.aim_hit(0, game.cargo[0].pos, game.cargo[0].size, 0.12f);
    ASSERT_TRUE(hit);
    EXPECT_EQ(hit->kind, AimKind::Near);
    EXPECT_NEAR(hit->t, 0.955f / 2.5f, 1e-6f);

    // A thin post on the line to the box's corner, clear of the ray itself.
    game.level.walls.push_back(BoxView{{0.066f, 1.6f, -0.95f}, {0.02f, 1.0f, 0.02f}});
    EXPECT_FALSE(game.aim_hit(0, game.cargo[0].pos, game.cargo[0].size, 0.12f));
}

TEST(Aim, EyeInsideTheTargetIsAnExactHitAtZero) {
    Game game = open_room();
    const auto hit = game.aim_hit(0, {0.0f, 1.6f, 0.0f}, {1.0f, 1.0f, 1.0f}, 0.12f);
    ASSERT_TRUE(hit);
    EXPECT_EQ(hit->kind, AimKind::Exact);
    EXPECT_EQ(hit->t, 0.0f);
}

TEST(Aim, PickupTargetPrefersExactOverCloserNearAndSkipsCarriedCargo) {
    Game game = open_room();
    add_cargo(game, {0.475f, 1.6f, -1.045f});  // Near, closer
    add_cargo(game, {0.0f, 1.6f, -2.0f});      // Exact, farther
    auto target = game.pickup_target(0);
    ASSERT_TRUE(target);
    EXPECT_EQ(target->cargo, 1u);
    EXPECT_EQ(target->hit.kind, AimKind::Exact);

    const std::size_t echo = add_echo(game, actor_at({5.0f, 0.0f, 5.0f}));
    give(game, echo, 1);
    target = game.pickup_target(0);
    ASSERT_TRUE(target);
    EXPECT_EQ(target->cargo, 0u);
    EXPECT_EQ(target->hit.kind, AimKind::Near);
}

TEST(InteractIntent, ExactSwitchFartherAwayBeatsNearCargoCloseBy) {
    Game game = open_room();
    add_cargo(game, {0.475f, 1.6f, -1.045f});  // grown box entered at t = 0.2
    game.level.fans.push_back(fan_at({0.0f, 1.6f, -2.31f}));  // entered at t = 0.8
    ASSERT_EQ(game.pickup_target(0)->hit.kind, AimKind::Near);
    EXPECT_NEAR(game.pickup_target(0)->hit.t, 0.2f, 1e-6f);
    EXPECT_EQ(game.interact_intent(), Intent{Fan{0}});
}

TEST(InteractIntent, EqualExactHitsKeepTheCargo) {
    Game game = open_room();
    add_cargo(game, {0.0f, 1.6f, -1.5f}, CargoStyle::Freight, "Ящик", {0.62f, 0.62f, 0.62f});
    game.level.fans.push_back(fan_at({0.0f, 1.6f, -1.5f}));
    game.level.gravity_controls.push_back({0.0f, 1.6f, -1.5f});
    EXPECT_EQ(game.interact_intent(), Intent{Pickup{0}});
    game.cargo.clear();
    EXPECT_EQ(game.interact_intent(), Intent{Fan{0}});
}

TEST(InteractIntent, ConsolesAndLiftControlsCarryTheValueToSet) {
    Game game = open_room();
    game.level.gravity_controls.push_back({0.0f, 1.6f, -1.5f});
    EXPECT_EQ(game.interact_intent(), Intent{(Gravity{0, true})});
    game.cargo_gravity_off = true;
    EXPECT_EQ(game.interact_intent(), Intent{(Gravity{0, false})});

    Game lift_room = open_room();
    add_lift(lift_room, {3.0f, 1.0f, 3.0f}, false);
    lift_room.level.lift->controls[1] = {0.0f, 1.6f, -1.5f};
    // Chosen even without power: executing it tells the player why nothing happens.
    EXPECT_EQ(lift_room.interact_intent(), Intent{(Lift{1, true})});
    lift_room.level.lift->target_up = true;
    EXPECT_EQ(lift_room.interact_intent(), Intent{(Lift{1, false})});
}

TEST(InteractIntent, HoldingAnythingMeansPlaceEvenFacingASwitch) {
    Game game = open_room();
    add_cargo(game, {0.0f, 1.5f, -1.0f});
    give(game, 0, 0);
    game.level.fans.push_back(fan_at({0.0f, 1.6f, -1.5f}));
    EXPECT_EQ(game.interact_intent(), Intent{Place{}});
}

TEST(DockTarget, OnlyBatteriesDockAndOnlyAtUnpoweredSockets) {
    Game game = open_room();
    game.level.sockets.push_back(socket_at({0.0f, 1.6f, -1.0f}, "Гнездо 1"));
    game.level.sockets.push_back(socket_at({0.0f, 1.6f, -2.0f}, "Гнездо 2"));
    const std::size_t oxygen = add_cargo(game, {0.0f, 1.5f, -1.0f}, CargoStyle::Oxygen);
    const std::size_t battery = add_cargo(game, {0.0f, 1.5f, -1.0f}, CargoStyle::Battery);
    EXPECT_FALSE(game.dock_target(0, oxygen));
    EXPECT_EQ(game.dock_target(0, battery), 0u);
    game.level.sockets[0].powered = true;
    EXPECT_EQ(game.dock_target(0, battery), 1u);
    game.level.sockets[1].powered = true;
    EXPECT_FALSE(game.dock_target(0, battery));
}

TEST(HandPoint, OneMetreAheadOfTheEyeAndClampedIntoTheRoom) {
    const Actor ahead = actor_at({1.0f, 0.0f, 2.0f});
    const Vec3 hand = hand_point(ahead, 5.0f);
    EXPECT_FLOAT_EQ(hand.x, 1.0f);
    EXPECT_FLOAT_EQ(hand.y, 1.5f);
    EXPECT_FLOAT_EQ(hand.z, 1.0f);
    const Vec3 turned = hand_point(actor_at({0.0f, 0.0f, 0.0f}, 1.5707964f), 5.0f);
    EXPECT_NEAR(turned.x, -1.0f, 1e-6f);
    EXPECT_NEAR(turned.z, 0.0f, 1e-6f);
    EXPECT_EQ(hand_point(actor_at({0.0f, -0.2f, 0.0f}, 0.0f, -1.45f), 5.0f).y, 0.455f);
    EXPECT_EQ(hand_point(actor_at({0.0f, 2.0f, 0.0f}, 0.0f, 1.0f), 3.0f).y, 2.5f);
}

class FlyingCargoCatch : public ::testing::Test {
protected:
    void SetUp() override {
        game = open_room();
        thrower = add_echo(game, actor_at({0.0f, 0.0f, 0.0f}));
        // The hand point of both actors is (0, 1.5, -1); the box's near face is 0.05 from it.
        flying = add_cargo(game, {0.0f, 1.5f, -1.3f}, CargoStyle::Freight, "Ящик",
                           {0.5f, 0.5f, 0.5f});
        game.cargo[flying].vel = {0.0f, 0.0f, 5.0f};
        game.cargo[flying].released_by = static_cast<std::int32_t>(thrower);
        game.cargo[flying].release_timer = 0.3f;
    }
    Game game;
    std::size_t thrower = 0;
    std::size_t flying = 0;
};

TEST_F(FlyingCargoCatch, ThrowerCannotCatchWhileItsReleaseTimerRunsButOthersCan) {
    EXPECT_FALSE(game.catch_distance(thrower, flying));
    const auto distance = game.catch_distance(0, flying);
    ASSERT_TRUE(distance);
    EXPECT_NEAR(*distance, 0.05f, 1e-6f);
    game.cargo[flying].release_timer = 0.0f;
    EXPECT_TRUE(game.catch_distance(thrower, flying));
}

TEST_F(FlyingCargoCatch, TheNearerActorCatchesAndOnEqualDistanceTheLowerIndex) {
    game.cargo[flying].release_timer = 0.0f;
    game.catch_flying_cargo();
    EXPECT_EQ(game.cargo[flying].owner, 0);

    game = open_room();
    add_echo(game, actor_at({0.0f, 0.0f, -0.01f}));
    add_cargo(game, {0.0f, 1.5f, -1.3f}, CargoStyle::Freight, "Ящик", {0.5f, 0.5f, 0.5f});
    game.cargo[0].vel = {0.0f, 0.0f, 5.0f};
    game.catch_flying_cargo();
    EXPECT_EQ(game.cargo[0].owner, 1);
}

TEST_F(FlyingCargoCatch, SlowLowOrDistantCargoIsNeverCaught) {
    game.cargo[flying].vel = {0.0f, 0.0f, 0.9f};
    EXPECT_FALSE(game.catch_distance(0, flying));
    game.cargo[flying].vel = {0.0f, 0.0f, 5.0f};
    game.cargo[flying].pos.y = 0.6f;
    EXPECT_FALSE(game.catch_distance(0, flying));
    game.cargo[flying].pos = {0.0f, 1.5f, -1.6f};  // near face 0.35 from the hand
    EXPECT_FALSE(game.catch_distance(0, flying));
}

TEST_F(FlyingCargoCatch, FullHandsOrAWallBetweenPreventTheCatch) {
    const std::size_t other = add_cargo(game, {4.0f, 0.5f, 4.0f});
    give(game, 0, other);
    EXPECT_FALSE(game.catch_distance(0, flying));
    game.actors[0].held = -1;
    game.cargo[other].owner = -1;
    game.level.walls.push_back(BoxView{{0.0f, 2.0f, -0.5f}, {3.0f, 4.0f, 0.1f}});
    EXPECT_FALSE(game.catch_distance(0, flying));
}

}  // namespace
}  // namespace vantrel_sim
