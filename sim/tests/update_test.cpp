#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "game.hpp"

namespace vantrel_sim {
namespace {

constexpr float NaN = std::numeric_limits<float>::quiet_NaN();
constexpr float INF = std::numeric_limits<float>::infinity();

Input frame(float dt) {
    Input input;
    input.dt = dt;
    return input;
}

Input command(bool Input::*flag) {
    Input input = frame(0.1f);
    input.*flag = true;
    return input;
}

void run_ticks(Game& game, std::uint32_t count) {
    for (std::uint32_t i = 0; i < count; ++i) {
        Input input = frame(TICK);
        game.update(input);
    }
}

// Room 0 with its main cargo resting on the goal pad and the player `distance` short of it.
Game delivered_room(float distance) {
    Game game = Game::create();
    game.cargo[0].pos = Vec3{0.0f, 0.425f, -10.0f};
    game.actors[0].pos = Vec3{0.0f, 0.0f, -10.0f + distance};
    return game;
}

Game won_room() {
    Game game = delivered_room(3.0f);
    Input input = frame(TICK);
    game.update(input);
    return game;
}

TEST(FrameUpdate, HalfASecondRunsTwelveTicksAndSixtyFramesRunOneSecond) {
    Game game = Game::create();
    Input input = frame(0.5f);
    game.update(input);
    EXPECT_EQ(game.ticks, 12u);
    EXPECT_NEAR(game.accumulator, 0.0f, 1e-7f);

    Game smooth = Game::create();
    for (int i = 0; i < 60; ++i) {
        Input f = frame(1.0f / 60.0f);
        smooth.update(f);
    }
    EXPECT_EQ(smooth.ticks, 120u);
    EXPECT_EQ(smooth.run.frames.size(), 121u);
}

TEST(FrameUpdate, APressSurvivesAFrameWithoutTicks) {
    Game game = Game::create();
    Input press = frame(0.004f);
    press.jump = true;
    game.update(press);
    EXPECT_EQ(game.ticks, 0u);
    EXPECT_TRUE(game.jump_pressed);

    Input next = frame(0.005f);
    game.update(next);
    EXPECT_EQ(game.ticks, 1u);
    EXPECT_FALSE(game.jump_pressed);
    EXPECT_EQ(game.actors[0].action, ActorAction::Jump);
}

TEST(FrameUpdate, NonFiniteNumbersAreReplacedAndAnglesClamped) {
    Game game = Game::create();
    Input input = frame(NaN);
    input.mx = NaN;
    input.mz = INF;
    input.pitch = 3.0f;
    input.yaw = 0.75f;
    game.update(input);
    EXPECT_EQ(game.accumulator, 0.0f);
    EXPECT_EQ(input.mx, 0.0f);
    EXPECT_EQ(input.mz, 0.0f);
    EXPECT_EQ(input.pitch, 1.45f);

    Input infinite = frame(INF);
    game.update(infinite);
    EXPECT_EQ(game.ticks, 0u);

    Input walk = frame(TICK);
    walk.mx = NaN;
    walk.yaw = NaN;
    walk.pitch = -3.0f;
    game.update(walk);
    EXPECT_EQ(game.ticks, 1u);
    EXPECT_EQ(game.actors[0].pos, game.level.spawn);
    EXPECT_EQ(game.actors[0].yaw, 0.0f);
    EXPECT_EQ(game.actors[0].pitch, -1.45f);
    EXPECT_EQ(game.run.frames.back().pitch, -1.45f);
}

TEST(FrameUpdate, ALongFrameIsCutToAClampedStep) {
    Game game = Game::create();
    Input input = frame(5.0f);
    game.update(input);
    EXPECT_EQ(game.ticks, 12u);
    Input negative = frame(-1.0f);
    game.update(negative);
    EXPECT_EQ(game.ticks, 12u);
}

TEST(FrameUpdate, ResetWinsOverUndoAndUndoWorksWithoutRecords) {
    Game game = Game::create();
    run_ticks(game, 12);
    Input commit = command(&Input::commit);
    game.update(commit);
    ASSERT_EQ(game.records.size(), 1u);

    Input both = command(&Input::reset);
    both.undo = true;
    game.update(both);
    EXPECT_TRUE(game.records.empty());
    EXPECT_EQ(game.message, "Комната начата заново. Записи стёрты.");
    EXPECT_EQ(game.ticks, 0u);

    run_ticks(game, 5);
    Input undo = command(&Input::undo);
    game.update(undo);
    EXPECT_EQ(game.ticks, 0u);
    EXPECT_EQ(game.message, "Последняя запись убрана. Остальные копии сохранены.");
}

TEST(FrameUpdate, RetryRestartsTheLoopAndKeepsTheRecords) {
    Game game = Game::create();
    run_ticks(game, 12);
    Input commit = command(&Input::commit);
    game.update(commit);
    run_ticks(game, 30);
    Input retry = command(&Input::retry);
    game.update(retry);
    EXPECT_EQ(game.records.size(), 1u);
    EXPECT_EQ(game.actors.size(), 2u);
    EXPECT_EQ(game.ticks, 0u);
    EXPECT_EQ(game.message, "Петля начата заново. Записи сохранены.");
}

TEST(GoalCheck, DeliveredCargoWithThePlayerNearbyWinsOnTheFirstTick) {
    Game game = delivered_room(3.0f);
    Input input = frame(0.1f);
    game.update(input);
    EXPECT_TRUE(game.won);
    EXPECT_TRUE(game.cargo[0].delivered);
    EXPECT_EQ(game.message, "Груз в приёмнике. Комната пройдена.");
    // The win stops the loop; the rest of the frame stays in the accumulator.
    EXPECT_EQ(game.ticks, 1u);
    EXPECT_GT(game.accumulator, 0.09f);
}

TEST(GoalCheck, ThePlayerIsNearEnoughUpToThreeAndAHalfMetresAway) {
    // The pad's centre is at z = -10.
    for (const float z : {-6.5f, std::nextafter(-6.5f, 0.0f), -6.0f}) {
        Game game = delivered_room(3.5f);
        game.actors[0].pos.z = z;
        Input input = frame(0.1f);
        game.update(input);
        EXPECT_EQ(game.won, z == -6.5f) << z;
        EXPECT_TRUE(game.cargo[0].delivered) << z;
    }
}

TEST(GoalCheck, CargoFlyingOverThePadIsNotDelivered) {
    Game game = delivered_room(3.0f);
    game.cargo[0].vel = Vec3{0.0f, 0.0f, 3.0f};
    game.cargo[0].pos.y = 1.0f;
    Input input = frame(TICK);
    game.update(input);
    EXPECT_FALSE(game.won);
    EXPECT_FALSE(game.cargo[0].delivered);
}

TEST(GoalCheck, CargoHeldLowOverThePadIsNotDelivered) {
    // Looking down, the player holds the cargo a few centimetres above the pad.
    Game game = delivered_room(0.5f);
    game.cargo[0].owner = 0;
    game.actors[0].held = 0;
    Input input = frame(TICK);
    input.pitch = -1.45f;
    game.update(input);
    ASSERT_LT(std::abs(game.cargo[0].pos.y - 0.425f - game.level.goal.y), 0.35f);
    EXPECT_FALSE(game.cargo[0].delivered);
    EXPECT_FALSE(game.won);
}

TEST(GoalCheck, FragileCargoOnTheFloorPastTheBarrierBreaks) {
    Game game = Game::create();
    game.cargo[0].style = CargoStyle::Cryo;
    game.cargo[0].pos = Vec3{5.0f, 0.425f, 0.0f};
    run_ticks(game, 3);
    EXPECT_FALSE(game.failed);

    game.cargo[0].pos = Vec3{5.0f, 0.425f, -1.0f};
    run_ticks(game, 1);
    EXPECT_TRUE(game.failed);
    EXPECT_EQ(game.ticks, 4u);
    EXPECT_EQ(game.message, "Криокассета разбилась. Q — записать бросок · F — повторить с копиями.");
}

TEST(WorldStates, WonIgnoresTicksRetryAndCommitButMovesOnWithNext) {
    Game game = won_room();
    ASSERT_TRUE(game.won);
    const std::uint32_t ticks = game.ticks;
    for (bool Input::*flag : {&Input::retry, &Input::commit, &Input::jump}) {
        Input input = command(flag);
        game.update(input);
        EXPECT_TRUE(game.won);
        EXPECT_EQ(game.ticks, ticks);
        EXPECT_EQ(game.message, "Груз в приёмнике. Комната пройдена.");
    }
    Input next = command(&Input::next);
    game.update(next);
    EXPECT_EQ(game.room, 1u);
    EXPECT_FALSE(game.won);
    EXPECT_TRUE(game.message.empty());
    EXPECT_TRUE(game.records.empty());
}

TEST(WorldStates, NextOnlyActsWhenWon) {
    Game game = Game::create();
    Input next = command(&Input::next);
    game.update(next);
    EXPECT_EQ(game.room, 0u);
    // The call ends at the next request: no tick runs in that frame.
    EXPECT_EQ(game.ticks, 0u);
}

TEST(WorldStates, TheLastRoomWonFinishesTheShiftUntilAReset) {
    Game game = Game::create();
    game.select_room(15);
    game.won = true;
    Input next = command(&Input::next);
    game.update(next);
    EXPECT_TRUE(game.finished);
    EXPECT_EQ(game.room, 15u);
    EXPECT_EQ(game.message, "Смена закончена. Все грузы эвакуированы.");

    game.update(next);
    Input retry = command(&Input::retry);
    game.update(retry);
    EXPECT_TRUE(game.finished);
    EXPECT_EQ(game.message, "Смена закончена. Все грузы эвакуированы.");

    Input reset = command(&Input::reset);
    game.update(reset);
    EXPECT_FALSE(game.finished);
    EXPECT_FALSE(game.won);
    EXPECT_EQ(game.room, 15u);
}

TEST(WorldStates, FailedStopsTicksButCommitRecordsTheRunAndRetryRestarts) {
    Game game = Game::create();
    run_ticks(game, 12);
    game.cargo[0].style = CargoStyle::Cryo;
    game.cargo[0].pos = Vec3{5.0f, 0.425f, -1.0f};
    run_ticks(game, 1);
    ASSERT_TRUE(game.failed);
    run_ticks(game, 5);
    EXPECT_EQ(game.ticks, 13u);

    Input commit = command(&Input::commit);
    game.update(commit);
    EXPECT_FALSE(game.failed);
    ASSERT_EQ(game.records.size(), 1u);
    EXPECT_EQ(game.records[0].frames.size(), 14u);

    game.cargo[0].style = CargoStyle::Cryo;
    game.cargo[0].pos = Vec3{5.0f, 0.425f, -1.0f};
    run_ticks(game, 1);
    ASSERT_TRUE(game.failed);
    Input retry = command(&Input::retry);
    game.update(retry);
    EXPECT_FALSE(game.failed);
    EXPECT_EQ(game.records.size(), 1u);
}

TEST(WorldStates, ARunReachingTheTimeLimitIsCommittedAutomatically) {
    Game game = Game::create();
    ASSERT_EQ(game.level.limit, 25u);
    std::uint32_t last_ticks = 0;
    for (int frames = 0; game.records.empty() && frames < 400; ++frames) {
        last_ticks = game.ticks;
        Input input = frame(0.1f);
        game.update(input);
    }
    EXPECT_GE(last_ticks, 2988u);
    EXPECT_LT(last_ticks, 3000u);
    ASSERT_EQ(game.records.size(), 1u);
    EXPECT_EQ(game.records[0].frames.size(), 3001u);
    EXPECT_EQ(game.ticks, 0u);
    EXPECT_EQ(game.accumulator, 0.0f);
    EXPECT_EQ(game.message, "Копия 1 записана. Она действует с общими предметами заново.");
}

}  // namespace
}  // namespace vantrel_sim
