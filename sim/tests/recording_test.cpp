#include <gtest/gtest.h>

#include <string>

#include "game.hpp"

namespace vantrel_sim {
namespace {

// A record of `frames` frames walking along -z by 0.04 per tick, on the ground.
Record walk_record(std::size_t frames) {
    Record record;
    for (std::size_t k = 0; k < frames; ++k) {
        record.frames.push_back(RecordedFrame{{0.0f, 0.0f, -0.04f * static_cast<float>(k)}, 0.5f, 0.25f, true});
    }
    return record;
}

// The player plus one echo per record, placed as a restart places them.
Game world_with(std::vector<Record> records) {
    Game game;
    game.actors.push_back(Actor{});
    for (const Record& record : records) {
        Actor echo;
        echo.pos = record.frames.front().pos;
        echo.on_ground = record.frames.front().on_ground;
        echo.grounded = echo.on_ground;
        game.actors.push_back(echo);
        game.replay_cursors.push_back(0);
    }
    game.records = std::move(records);
    return game;
}

Game world_after_ticks(std::uint32_t count) {
    Game game = Game::create();
    Input input;
    for (std::uint32_t i = 0; i < count; ++i) {
        input.dt = TICK;
        game.update(input);
    }
    return game;
}

Input commit_input() {
    Input input;
    input.commit = true;
    return input;
}

TEST(EchoReplay, EchoTakesItsFrameEachTickAndStopsOnTheLast) {
    Game game = world_with({walk_record(13)});
    game.place_echoes(1);
    const Actor& echo = game.actors[1];
    EXPECT_EQ(echo.pos, game.records[0].frames[1].pos);
    EXPECT_EQ(echo.yaw, 0.5f);
    EXPECT_EQ(echo.pitch, 0.25f);
    EXPECT_EQ(echo.vel.z, -0.04f * TICKS_PER_SECOND);

    for (std::uint32_t t = 2; t <= 12; ++t) {
        game.place_echoes(t);
    }
    EXPECT_EQ(echo.pos, game.records[0].frames[12].pos);
    game.place_echoes(13);
    game.place_echoes(40);
    EXPECT_EQ(echo.pos, game.records[0].frames[12].pos);
    EXPECT_EQ(echo.vel, (Vec3{0.0f, 0.0f, 0.0f}));
    EXPECT_EQ(echo.action_seq, 0u);
}

TEST(EchoReplay, LeavingTheGroundUpwardIsAJumpAndTouchingDownALanding) {
    Record record = walk_record(6);
    record.frames[2].pos.y = 0.04f;
    record.frames[2].on_ground = false;
    record.frames[3].pos.y = 0.05f;
    record.frames[3].on_ground = false;
    Game game = world_with({record});
    const Actor& echo = game.actors[1];

    game.place_echoes(1);
    EXPECT_EQ(echo.action_seq, 0u);
    game.place_echoes(2);
    EXPECT_EQ(echo.action, ActorAction::Jump);
    EXPECT_EQ(echo.action_time, 2.0f * TICK);
    EXPECT_EQ(echo.action_pos, record.frames[2].pos);
    EXPECT_FALSE(echo.grounded);
    game.place_echoes(3);
    EXPECT_EQ(echo.action_seq, 1u);
    game.place_echoes(4);
    EXPECT_EQ(echo.action, ActorAction::Land);
    EXPECT_EQ(echo.action_seq, 2u);
    EXPECT_TRUE(echo.grounded);
}

TEST(EchoReplay, SteppingDownWithoutRisingLandsWithoutAJump) {
    Record record = walk_record(5);
    record.frames[0].pos.y = 1.0f;
    record.frames[1].pos.y = 1.0f;
    record.frames[2].pos.y = 0.99f;
    record.frames[2].on_ground = false;
    record.frames[3].pos.y = 0.6f;
    record.frames[3].on_ground = false;
    Game game = world_with({record});
    for (std::uint32_t t = 1; t <= 4; ++t) {
        game.place_echoes(t);
    }
    EXPECT_EQ(game.actors[1].action_seq, 1u);
    EXPECT_EQ(game.actors[1].action, ActorAction::Land);
}

TEST(EchoReplay, DueActionsRunInRecordedOrderAndOnlyOnce) {
    Record record = walk_record(20);
    record.actions.push_back(RecordedAction{Throw{}, 5});
    record.actions.push_back(RecordedAction{Throw{}, 5});
    record.actions.push_back(RecordedAction{Throw{}, 9});
    Game game = world_with({record});
    Cargo crate;
    crate.size = Vec3{0.85f, 0.85f, 0.85f};
    crate.pos = Vec3{0.0f, 1.5f, -1.0f};
    crate.owner = 1;
    game.cargo.push_back(crate);
    game.actors[1].held = 0;

    game.replay_echo_actions(4);
    EXPECT_EQ(game.replay_cursors[0], 0u);
    EXPECT_EQ(game.cargo[0].owner, 1);

    game.replay_echo_actions(5);
    EXPECT_EQ(game.replay_cursors[0], 2u);
    // The first throw empties the hands; the second has nothing left to throw.
    EXPECT_EQ(game.cargo[0].owner, -1);
    EXPECT_EQ(game.cargo[0].released_by, 1);
    EXPECT_EQ(game.actors[1].action, ActorAction::Throw);
    EXPECT_EQ(game.actors[1].action_seq, 1u);

    game.replay_echo_actions(5);
    EXPECT_EQ(game.replay_cursors[0], 2u);
    game.replay_echo_actions(30);
    EXPECT_EQ(game.replay_cursors[0], 3u);
}

TEST(LoopCommit, FewerThanTwelveTicksAreRefused) {
    Game game = world_after_ticks(11);
    ASSERT_EQ(game.ticks, 11u);
    Input input = commit_input();
    game.update(input);
    EXPECT_EQ(game.message, "Запишите хотя бы короткое действие или остановку, затем нажмите Q.");
    EXPECT_EQ(game.ticks, 11u);
    EXPECT_TRUE(game.records.empty());
    EXPECT_EQ(game.actors.size(), 1u);
    EXPECT_EQ(game.run.frames.size(), 12u);
}

TEST(LoopCommit, TwelveTicksBecomeARecordAndAnEcho) {
    Game game = world_after_ticks(12);
    Input input = commit_input();
    game.update(input);
    ASSERT_EQ(game.records.size(), 1u);
    EXPECT_EQ(game.records[0].frames.size(), 13u);
    EXPECT_EQ(game.message, "Копия 1 записана. Она действует с общими предметами заново.");
    ASSERT_EQ(game.actors.size(), 2u);
    EXPECT_EQ(game.actors[1].duration, 12.0f * TICK);
    EXPECT_EQ(game.ticks, 0u);
    EXPECT_EQ(game.run.frames.size(), 1u);
    EXPECT_EQ(game.replay_cursors.size(), 1u);

    for (int i = 0; i < 20; ++i) {
        Input step;
        step.dt = TICK;
        game.update(step);
    }
    game.update(input);
    ASSERT_EQ(game.records.size(), 2u);
    EXPECT_EQ(game.records[1].frames.size(), 21u);
    EXPECT_EQ(game.message, "Копия 2 записана. Она действует с общими предметами заново.");
    EXPECT_EQ(game.actors.size(), 3u);

    Input undo;
    undo.undo = true;
    game.update(undo);
    ASSERT_EQ(game.records.size(), 1u);
    EXPECT_EQ(game.records[0].frames.size(), 13u);
    EXPECT_EQ(game.actors.size(), 2u);
    EXPECT_EQ(game.message, "Последняя запись убрана. Остальные копии сохранены.");
}

}  // namespace
}  // namespace vantrel_sim
