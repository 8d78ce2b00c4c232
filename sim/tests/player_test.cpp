#include <gtest/gtest.h>

#include <cmath>

#include "game.hpp"

namespace vantrel_sim {
namespace {

constexpr float WALK_PER_TICK = 5.0f * TICK;

// An empty room: no walls, only the floor, the player at the origin.
Game empty_room() {
    Game game;
    game.actors.push_back(Actor{});
    return game;
}

Input stick(float mx, float mz, float yaw = 0.0f) {
    Input input;
    input.mx = mx;
    input.mz = mz;
    input.yaw = yaw;
    return input;
}

Cargo crate_at(Vec3 pos, std::int32_t id) {
    Cargo c;
    c.id = id;
    c.pos = pos;
    c.size = Vec3{0.85f, 0.85f, 0.85f};
    return c;
}

TEST(PlayerMovement, JumpFromTheFloorStartsWithJumpSpeedLessOneTickOfGravity) {
    Game game = empty_room();
    game.jump_pressed = true;
    game.move_player(7, Input{});
    const Actor& p = game.actors[0];
    const float vs = 4.8f - 10.0f * TICK;
    EXPECT_EQ(p.vertical_speed, vs);
    EXPECT_EQ(p.pos.y, vs * TICK);
    EXPECT_FALSE(p.on_ground);
    EXPECT_FALSE(p.grounded);
    EXPECT_EQ(p.action, ActorAction::Jump);
    EXPECT_EQ(p.action_seq, 1u);
    EXPECT_EQ(p.action_time, 7.0f * TICK);
    EXPECT_EQ(p.action_pos, (Vec3{0.0f, 0.0f, 0.0f}));
}

TEST(PlayerMovement, JumpInTheAirDoesNothingAndLandingStampsOneEvent) {
    Game game = empty_room();
    game.actors[0].pos.y = 0.02f;
    game.actors[0].on_ground = false;
    game.jump_pressed = true;
    game.move_player(1, Input{});
    EXPECT_EQ(game.actors[0].action_seq, 0u);
    EXPECT_LT(game.actors[0].vertical_speed, 0.0f);

    std::uint32_t t = 2;
    while (!game.actors[0].on_ground && t < 100) {
        game.move_player(t++, Input{});
    }
    const Actor& p = game.actors[0];
    EXPECT_EQ(p.pos.y, 0.0f);
    EXPECT_EQ(p.vertical_speed, 0.0f);
    EXPECT_EQ(p.action, ActorAction::Land);
    EXPECT_EQ(p.action_seq, 1u);
}

TEST(PlayerMovement, AnyStickInputWalksAtFullSpeed) {
    for (const auto& [mx, mz] : {std::pair{1.0f, 1.0f}, std::pair{0.1f, 0.0f}, std::pair{0.0f, 1.0f}}) {
        Game game = empty_room();
        game.move_player(1, stick(mx, mz));
        const Vec3 pos = game.actors[0].pos;
        EXPECT_NEAR(std::hypot(pos.x, pos.z), WALK_PER_TICK, 1e-7f) << mx << " " << mz;
    }
}

TEST(PlayerMovement, ForwardFollowsTheHeadingAndVelocityMeasuresTheStep) {
    Game game = empty_room();
    game.move_player(1, stick(0.0f, 1.0f, 1.5707964f));
    const Actor& p = game.actors[0];
    EXPECT_NEAR(p.pos.x, -WALK_PER_TICK, 1e-7f);
    EXPECT_NEAR(p.pos.z, 0.0f, 1e-8f);
    EXPECT_EQ(p.yaw, 1.5707964f);
    EXPECT_EQ(p.vel.x, p.pos.x * TICKS_PER_SECOND);
}

TEST(PlayerMovement, WallDropsOneAxisAndTheOtherStillSlides) {
    Game game = empty_room();
    // Wall face at x = 0.3, just out of reach of the body on its right.
    game.level.walls.push_back(BoxView{{1.0f, 1.0f, 0.0f}, {1.4f, 2.0f, 4.0f}});
    game.actors[0].pos.x = -0.0099f;
    game.move_player(1, stick(1.0f, 1.0f));
    const Actor& p = game.actors[0];
    EXPECT_EQ(p.pos.x, -0.0099f);
    EXPECT_LT(p.pos.z, -0.02f);
}

TEST(PlayerMovement, BlockedStepPushesTheFreeCargoEveryTick) {
    Game game = empty_room();
    game.cargo.push_back(crate_at({0.0f, 0.425f, -0.715f}, 0));
    game.move_player(1, stick(0.0f, 1.0f));
    EXPECT_EQ(game.actors[0].pos.z, 0.0f);
    EXPECT_EQ(game.cargo[0].vel.z, -1.0f * TICK * 15.0f);
    game.move_player(2, stick(0.0f, 1.0f));
    EXPECT_NEAR(game.cargo[0].vel.z, -0.25f, 1e-6f);
}

TEST(PlayerMovement, CargoCarriedByAnEchoBlocksButIsNotPushed) {
    Game game = empty_room();
    game.actors.push_back(Actor{});
    Cargo crate = crate_at({0.0f, 0.425f, -0.715f}, 0);
    crate.owner = 1;
    game.cargo.push_back(crate);
    game.move_player(1, stick(0.0f, 1.0f));
    EXPECT_EQ(game.actors[0].pos.z, 0.0f);
    EXPECT_EQ(game.cargo[0].vel.z, 0.0f);
}

TEST(PlayerMovement, InsideACargoFootprintOnlyStepsAwayFromItsCentreAreAllowed) {
    Game game = empty_room();
    game.cargo.push_back(crate_at({0.0f, 0.425f, -0.2f}, 0));
    game.move_player(1, stick(0.0f, 1.0f));  // toward the centre
    EXPECT_EQ(game.actors[0].pos.z, 0.0f);
    game.move_player(2, stick(0.0f, -1.0f));  // away from it
    EXPECT_NEAR(game.actors[0].pos.z, WALK_PER_TICK, 1e-7f);
}

TEST(PlayerMovement, CarriedCargoStopsAtTheWallAndThePlayerWithIt) {
    Game game = empty_room();
    const float wall_face = -3.0f;
    game.level.walls.push_back(BoxView{{0.0f, 1.0f, wall_face - 0.5f}, {4.0f, 2.0f, 1.0f}});
    Cargo crate = crate_at({0.0f, 1.5f, -1.0f}, 0);
    crate.owner = 0;
    game.cargo.push_back(crate);
    game.actors[0].held = 0;
    for (std::uint32_t t = 1; t <= 120; ++t) {
        game.move_player(t, stick(0.0f, 1.0f));
    }
    const float cargo_face = game.cargo[0].pos.z - 0.425f;
    EXPECT_NEAR(cargo_face, wall_face + 0.001f, 1e-5f);
    // The body moved exactly as far as the cargo did.
    EXPECT_NEAR(game.actors[0].pos.z, game.cargo[0].pos.z + 1.0f, 1e-5f);
}

TEST(PlayerMovement, ABoxOverheadBlocksOnlyWhenItReachesMoreThanTheToleranceBelowTheHead) {
    // Underside 0.00005 and 0.0002 below the top of the head, 1.75 above the feet.
    for (const float underside : {1.74995f, 1.7498f}) {
        Game game = empty_room();
        game.level.walls.push_back(BoxView{{0.0f, underside + 0.5f, -1.0f}, {1.0f, 1.0f, 1.0f}});
        game.actors[0].pos.z = -1.0f;
        game.move_player(1, stick(0.0f, 1.0f));
        const bool blocked = underside == 1.7498f;
        EXPECT_EQ(game.actors[0].pos.z, blocked ? -1.0f : -1.0f - WALK_PER_TICK) << underside;
    }
}

TEST(PlayerMovement, FallingFromAboveLandsOnABoxTop) {
    Game game = empty_room();
    game.level.walls.push_back(BoxView{{0.0f, 0.5f, 0.0f}, {2.0f, 1.0f, 2.0f}});
    game.actors[0].pos.y = 1.3f;
    game.actors[0].on_ground = false;
    std::uint32_t t = 1;
    while (!game.actors[0].on_ground && t < 200) {
        game.move_player(t++, Input{});
    }
    EXPECT_EQ(game.actors[0].pos.y, 1.0f);
    EXPECT_EQ(game.actors[0].action, ActorAction::Land);
}

TEST(PlayerMovement, FeetWithinStepOnToleranceBelowATopStillLandOnIt) {
    Game game = empty_room();
    game.level.walls.push_back(BoxView{{0.0f, 0.5f, 0.0f}, {2.0f, 1.0f, 2.0f}});
    game.actors[0].pos.y = 0.975f;
    game.move_player(1, Input{});
    EXPECT_EQ(game.actors[0].pos.y, 1.0f);
    EXPECT_TRUE(game.actors[0].on_ground);
}

TEST(PlayerMovement, FeetExactlyAtTheStepOnToleranceStepOnAndAHairLowerStay) {
    const float top = 1.0f;
    const float edge = top - 0.03f;
    for (const float feet : {edge, std::nextafter(edge, 0.0f)}) {
        Game game = empty_room();
        game.level.walls.push_back(BoxView{{0.0f, 0.5f, 0.0f}, {2.0f, 1.0f, 2.0f}});
        game.actors[0].pos.y = feet;
        game.move_player(1, Input{});
        const bool steps_on = feet == edge;
        EXPECT_EQ(game.actors[0].pos.y, steps_on ? top : feet) << feet;
        EXPECT_EQ(game.actors[0].on_ground, steps_on) << feet;
        EXPECT_EQ(game.actors[0].vertical_speed, 0.0f) << feet;
    }
}

TEST(PlayerMovement, BodyAlreadyInsideATallCargoNeitherFallsNorClimbs) {
    Game game = empty_room();
    game.cargo.push_back(crate_at({0.0f, 0.625f, -0.5f}, 0));  // top 1.05
    game.actors[0].pos.y = 0.5f;
    game.actors[0].vertical_speed = -1.0f;
    game.actors[0].on_ground = false;
    game.move_player(1, Input{});
    const Actor& p = game.actors[0];
    EXPECT_EQ(p.pos.y, 0.5f);
    EXPECT_EQ(p.vertical_speed, 0.0f);
    EXPECT_FALSE(p.on_ground);

    // Just above the floor: the floor stops the fall first, then the cargo, tested after it,
    // puts the feet back where they were.
    game.actors[0].pos.y = 0.001f;
    game.actors[0].vertical_speed = -1.0f;
    game.move_player(2, Input{});
    EXPECT_EQ(p.pos.y, 0.001f);
    EXPECT_EQ(p.vertical_speed, 0.0f);
    EXPECT_TRUE(p.on_ground);
}

TEST(PlayerMovement, RisingIntoAnUndersideStopsTheHeadJustBelowIt) {
    Game game = empty_room();
    game.level.walls.push_back(BoxView{{0.0f, 2.5f, 0.0f}, {2.0f, 1.0f, 2.0f}});  // underside 2.0
    game.actors[0].pos.y = 0.24f;
    game.actors[0].vertical_speed = 3.0f;
    game.actors[0].on_ground = false;
    game.move_player(1, Input{});
    const Actor& p = game.actors[0];
    EXPECT_EQ(p.pos.y, 2.0f - 1.75f - 0.001f);
    EXPECT_EQ(p.vertical_speed, 0.0f);
}

TEST(PlayerMovement, TheFloorHoldsWhereNoBoxLiesBeneath) {
    Game game = empty_room();
    game.actors[0].pos = Vec3{30.0f, 0.01f, -40.0f};
    game.actors[0].vertical_speed = -20.0f;
    game.actors[0].on_ground = false;
    game.move_player(1, Input{});
    EXPECT_EQ(game.actors[0].pos.y, 0.0f);
    EXPECT_TRUE(game.actors[0].on_ground);
}

}  // namespace
}  // namespace vantrel_sim
