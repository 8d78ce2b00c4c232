#include <gtest/gtest.h>

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

}  // namespace
}  // namespace vantrel_sim
