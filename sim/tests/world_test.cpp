#include <gtest/gtest.h>

#include <vector>

#include "game.hpp"

namespace vantrel_sim {
namespace {

TEST(World, NewWorldStartsOnTheFirstRoomWithOnlyThePlayer) {
    const Game game = Game::create();
    EXPECT_EQ(game.room, 0u);
    ASSERT_EQ(game.actors.size(), 1u);
    EXPECT_EQ(game.actors[0].pos, game.level.spawn);
    EXPECT_EQ(game.ticks, 0u);
    EXPECT_TRUE(game.message.empty());
    for (std::size_t i = 0; i < game.cargo.size(); ++i) {
        EXPECT_EQ(game.cargo[i].id, static_cast<std::int32_t>(i));
    }
    EXPECT_EQ(game.door_hold_ticks.size(), game.level.doors.size());
    EXPECT_EQ(game.run.frames.size(), 1u);
}

// Room 10 latches its door 1 after four seconds. A retry keeps the room and the records but
// starts the run afresh: nothing of the interrupted run may leak into the new one.
TEST(World, ARetryClearsTheGravityFlagLatchesCursorsAndTimeOfTheRun) {
    Game game = Game::create();
    game.select_room(10);
    for (int i = 0; i < 12; ++i) {
        Input input;
        input.dt = TICK;
        game.update(input);
    }
    Input commit;
    commit.commit = true;
    game.update(commit);
    ASSERT_EQ(game.records.size(), 1u);

    game.cargo_gravity_off = true;
    game.door_hold_ticks.assign(game.level.doors.size(), 479);
    game.replay_cursors[0] = 1;
    game.accumulator = 0.005f;
    Input retry;
    retry.retry = true;
    game.update(retry);

    EXPECT_EQ(game.room, 10u);
    EXPECT_EQ(game.records.size(), 1u);
    EXPECT_FALSE(game.cargo_gravity_off);
    EXPECT_EQ(game.door_hold_ticks, std::vector<std::uint32_t>(game.level.doors.size(), 0));
    EXPECT_EQ(game.level.doors[1].hold_remaining, 480.0f * TICK);
    EXPECT_EQ(game.replay_cursors, std::vector<std::size_t>{0});
    EXPECT_EQ(game.accumulator, 0.0f);
}

}  // namespace
}  // namespace vantrel_sim
