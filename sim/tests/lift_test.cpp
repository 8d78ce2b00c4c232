#include <gtest/gtest.h>

#include <cmath>

#include "game.hpp"
#include "lift.hpp"

namespace vantrel_sim {
namespace {

// A powered 2 x 2 platform at the origin, 0.2 thick, travelling up to 3.0; the
// player stands well away from it.
Game lift_room(float height, bool target_up) {
    Game game;
    PlateView plate;
    plate.active = true;
    game.level.plates.push_back(plate);
    LiftView lift;
    lift.plate = 0;
    lift.center = Vec3{0.0f, 0.0f, 0.0f};
    lift.size = Vec3{2.0f, 0.2f, 2.0f};
    lift.top = 3.0f;
    lift.height = height;
    lift.target_up = target_up;
    game.level.lift = lift;
    Actor player;
    player.pos = Vec3{5.0f, 0.0f, 5.0f};
    game.actors.push_back(player);
    return game;
}

Cargo crate_at(Vec3 pos) {
    Cargo c;
    c.pos = pos;
    c.size = Vec3{0.85f, 0.85f, 0.85f};
    return c;
}

TEST(LiftMotion, UnpoweredPlatformStaysWhereItIs) {
    Game game = lift_room(1.3f, false);
    game.level.plates[0].active = false;
    game.move_lift();
    EXPECT_EQ(game.level.lift->height, 1.3f);
}

TEST(LiftMotion, MovesAtMostOneStepAndCoversTheLastShortDistanceExactly) {
    Game game = lift_room(0.0f, true);
    // The step is the float 0.020000001, not 0.02f: the heights accumulate from it.
    for (const float expected :
         {0.020000001f, 0.040000003f, 0.060000002f, 0.080000006f, 0.10000001f}) {
        game.move_lift();
        EXPECT_EQ(game.level.lift->height, expected);
    }

    game.level.lift->height = 2.987f;
    game.move_lift();
    EXPECT_EQ(game.level.lift->height, 3.0f);
    game.move_lift();
    EXPECT_EQ(game.level.lift->height, 3.0f);
}

TEST(LiftMotion, PlayerUnderTheDescendingPlatformStopsItUntilLeaving) {
    Game game = lift_room(1.96f, false);  // underside 1.76, head at 1.75
    game.actors[0].pos = Vec3{1.2f, 0.0f, 0.0f};
    game.move_lift();
    EXPECT_EQ(game.level.lift->height, 1.96f);

    game.actors[0].pos.x = 1.3f;  // edge of the footprint: (2 + 0.6)/2 - 0.001
    game.move_lift();
    EXPECT_EQ(game.level.lift->height, 1.96f - 0.02f);
}

TEST(LiftMotion, CargoBeneathTheDescendingPlatformStopsIt) {
    Game game = lift_room(1.3f, false);
    game.cargo.push_back(crate_at({0.5f, 0.425f, 0.0f}));  // top 0.85, underside 1.1
    for (int i = 0; i < 20; ++i) {
        game.move_lift();
    }
    const float height = game.level.lift->height;
    EXPECT_GE(height - 0.2f, 0.85f);
    EXPECT_LE(height - 0.2f - 0.02f, 0.85f);
}

TEST(LiftMotion, StandingPlayerAndCarriedCargoRideTheLift) {
    Game game = lift_room(1.0f, true);
    game.actors[0].pos = Vec3{0.5f, 1.0f, 0.5f};
    game.actors[0].vertical_speed = -0.5f;
    game.actors[0].held = 0;
    Cargo held = crate_at({0.5f, 2.0f, -0.5f});
    held.owner = 0;
    game.cargo.push_back(held);
    game.move_lift();
    EXPECT_EQ(game.actors[0].pos.y, 1.0f + 0.02f);
    EXPECT_EQ(game.actors[0].vertical_speed, 0.0f);
    EXPECT_EQ(game.cargo[0].pos.y, 2.0f + 0.02f);

    // Without the player on the platform, what the player holds stays in the hand.
    Game beside = lift_room(1.0f, true);
    beside.actors[0].held = 0;
    beside.cargo.push_back(held);
    beside.move_lift();
    EXPECT_EQ(beside.cargo[0].pos.y, 2.0f);
}

TEST(LiftMotion, AirbornePlayerIsLeftBehindGoingDownButScoopedGoingUp) {
    Game down = lift_room(1.0f, false);
    down.actors[0].pos = Vec3{0.0f, 1.01f, 0.0f};
    down.actors[0].on_ground = false;
    down.move_lift();
    EXPECT_EQ(down.actors[0].pos.y, 1.01f);
    EXPECT_EQ(down.level.lift->height, 1.0f - 0.02f);

    Game up = lift_room(1.0f, true);
    up.actors[0].pos = Vec3{0.0f, 0.98f, 0.0f};
    up.actors[0].on_ground = false;
    up.actors[0].vertical_speed = -1.0f;
    up.move_lift();
    EXPECT_EQ(up.actors[0].pos.y, 1.0f + 0.02f);
    EXPECT_EQ(up.actors[0].vertical_speed, 0.0f);

    Game too_low = lift_room(1.0f, true);
    too_low.actors[0].pos = Vec3{0.0f, 0.97f, 0.0f};
    too_low.actors[0].on_ground = false;
    too_low.move_lift();
    EXPECT_EQ(too_low.actors[0].pos.y, 0.97f);
}

// The footprint reaches half a body beyond the platform, over a box beside it: a player
// standing there is never carried into that box, whichever way the platform goes.
TEST(LiftMotion, APlayerBesideThePlatformIsNeverCarriedIntoAWall) {
    Game up = lift_room(1.0f, true);
    up.level.walls.push_back({{0.0f, 3.26f, 2.0f}, {2.0f, 1.0f, 2.0f}});  // underside 2.76
    up.actors[0].pos = Vec3{0.0f, 1.0f, 1.2f};  // head at 2.75, under the box
    up.cargo.push_back(crate_at({0.0f, 1.425f, 0.0f}));
    up.move_lift();
    EXPECT_EQ(up.level.lift->height, 1.0f);
    EXPECT_EQ(up.actors[0].pos.y, 1.0f);
    EXPECT_EQ(up.cargo[0].pos.y, 1.425f);
    // Just outside the footprint the body still rests on the platform's edge, and the
    // player's own step would stand it on the risen top: the platform waits as well.
    up.actors[0].pos.z = 1.2995f;
    up.move_lift();
    EXPECT_EQ(up.level.lift->height, 1.0f);
    up.actors[0].pos.z = 0.5f;  // stepped out from under it: the ride goes on
    up.move_lift();
    EXPECT_EQ(up.level.lift->height, 1.0f + LIFT_MAX_STEP);
    EXPECT_EQ(up.actors[0].pos.y, 1.0f + LIFT_MAX_STEP);

    Game down = lift_room(1.0f, false);
    down.level.walls.push_back({{0.0f, 0.5f, 2.0f}, {2.0f, 1.0f, 2.0f}});  // top 1.0
    down.actors[0].pos = Vec3{0.0f, 1.0f, 1.2f};  // on the box's edge
    down.move_lift();
    EXPECT_EQ(down.level.lift->height, 1.0f - LIFT_MAX_STEP);
    EXPECT_EQ(down.actors[0].pos.y, 1.0f);
}

TEST(LiftMotion, EchoesAreNeverCarried) {
    Game game = lift_room(1.0f, true);
    Actor echo;
    echo.pos = Vec3{0.0f, 1.0f, 0.0f};
    game.actors.push_back(echo);
    game.move_lift();
    EXPECT_EQ(game.actors[1].pos.y, 1.0f);
}

TEST(LiftMotion, RestingFreeCargoRidesButAFastFallingOneIsNotSnapped) {
    Game game = lift_room(1.0f, true);
    game.cargo.push_back(crate_at({0.0f, 1.0f + 0.425f + 0.01f, 0.0f}));
    Cargo falling = crate_at({0.3f, 1.0f + 0.425f + 0.03f, 0.3f});
    falling.vel.y = -0.5f;
    game.cargo.push_back(falling);
    game.move_lift();
    EXPECT_EQ(game.cargo[0].pos.y, (1.0f + 0.02f) + 0.85f / 2.0f);
    EXPECT_EQ(game.cargo[0].vel.y, 0.0f);
    EXPECT_EQ(game.cargo[1].pos.y, 1.0f + 0.425f + 0.03f);
    EXPECT_EQ(game.cargo[1].vel.y, -0.5f);
}

TEST(LiftMotion, RidersAreTakenOnlyWithinTheRiderToleranceAndSpeed) {
    // A standing player 0.035 above the top is not carried; a hair less is.
    for (const float feet : {0.035f, std::nextafter(0.035f, 0.0f)}) {
        Game game = lift_room(0.0f, true);
        game.actors[0].pos = Vec3{0.0f, feet, 0.0f};
        game.move_lift();
        EXPECT_EQ(game.actors[0].pos.y, feet == 0.035f ? feet : LIFT_MAX_STEP) << feet;
    }

    // Free cargo: its bottom within 0.035 of the top and slower than 0.2 m/s downward.
    Game game = lift_room(1.0f, false);
    game.cargo = {crate_at({0.0f, 1.0f + 0.425f + 0.034f, 0.0f}),
                  crate_at({0.0f, 1.0f + 0.425f + 0.036f, 0.0f}),
                  crate_at({0.5f, 1.0f + 0.425f, 0.5f}), crate_at({-0.5f, 1.0f + 0.425f, -0.5f})};
    game.cargo[2].vel.y = -std::nextafter(0.2f, 0.0f);
    game.cargo[3].vel.y = -0.2f;
    game.move_lift();
    const float riding = (1.0f - LIFT_MAX_STEP) + 0.85f / 2.0f;
    EXPECT_EQ(game.cargo[0].pos.y, riding);
    EXPECT_EQ(game.cargo[1].pos.y, 1.0f + 0.425f + 0.036f);
    EXPECT_EQ(game.cargo[2].pos.y, riding);
    EXPECT_EQ(game.cargo[3].pos.y, 1.0f + 0.425f);

    // The rising platform scoops a falling cargo whose bottom is exactly at its top.
    Game rising = lift_room(0.0f, true);
    rising.cargo = {crate_at({0.0f, 0.425f, 0.0f})};
    rising.cargo[0].vel.y = -3.0f;
    rising.move_lift();
    EXPECT_EQ(rising.cargo[0].pos.y, LIFT_MAX_STEP + 0.85f / 2.0f);
    EXPECT_EQ(rising.cargo[0].vel.y, 0.0f);
}

// A cargo rides when its footprint, by its own width and depth, overlaps the platform's.
TEST(LiftMotion, ANarrowDeepCargoRidesUpToTheEdgeOfItsOwnFootprint) {
    const Vec3 size{0.4f, 0.85f, 1.2f};
    const float x_edge = (size.x + 2.0f) / 2.0f - 0.001f;
    const float z_edge = (size.z + 2.0f) / 2.0f - 0.001f;
    const Vec3 places[] = {{std::nextafter(x_edge, 0.0f), 0.0f, 0.0f}, {x_edge, 0.0f, 0.0f},
                           {0.0f, 0.0f, std::nextafter(z_edge, 0.0f)}, {0.0f, 0.0f, z_edge}};
    Game game = lift_room(1.0f, true);
    for (const Vec3 place : places) {
        Cargo cargo = crate_at({place.x, 1.0f + 0.425f, place.z});
        cargo.size = size;
        game.cargo.push_back(cargo);
    }
    game.move_lift();
    const float riding = (1.0f + LIFT_MAX_STEP) + 0.85f / 2.0f;
    EXPECT_EQ(game.cargo[0].pos.y, riding);
    EXPECT_EQ(game.cargo[1].pos.y, 1.0f + 0.425f);
    EXPECT_EQ(game.cargo[2].pos.y, riding);
    EXPECT_EQ(game.cargo[3].pos.y, 1.0f + 0.425f);
}

TEST(LiftMotion, DockedCargoStaysPut) {
    Game game = lift_room(1.0f, true);
    Cargo docked = crate_at({0.0f, 1.425f, 0.0f});
    docked.docked = true;
    game.cargo.push_back(docked);
    game.move_lift();
    EXPECT_EQ(game.cargo[0].pos.y, 1.425f);
}

TEST(LiftMotion, SolidBoxesSeeThePlatformAtItsNewHeight) {
    Game game = lift_room(1.0f, true);
    game.move_lift();
    const BoxList solids = solid_boxes(game.level);
    ASSERT_EQ(solids.count, 1u);
    const BoxView platform = solids.view()[0];
    EXPECT_FLOAT_EQ(platform.pos.y + platform.size.y / 2.0f, 1.0f + 0.02f);
}

}  // namespace
}  // namespace vantrel_sim
