#include <gtest/gtest.h>

#include <string>

#include "game.hpp"
#include "hand_built_world.hpp"

namespace vantrel_sim {
namespace {

using testing::actor_at;
using testing::add_cargo;
using testing::add_echo;
using testing::add_lift;
using testing::door_at;
using testing::fan_at;
using testing::give;
using testing::open_room;
using testing::socket_at;

TEST(SnapshotAssembly, CopiesTheWorldAndItsRoom) {
    Game game = open_room();
    game.room = 3;
    game.level.title = "Шлюз";
    game.level.limit = 40;
    game.level.gravity = 3.6f;
    game.level.walls.push_back(BoxView{{0.0f, 1.0f, -9.0f}, {20.0f, 2.0f, 1.0f}});
    game.level.gravity_controls.push_back({5.0f, 1.2f, 5.0f});
    game.ticks = 120;
    game.message = "Груз отпущен.";
    game.cargo_gravity_off = true;
    add_cargo(game, {3.0f, 0.425f, 3.0f}, CargoStyle::Cryo, "Криокассета");
    game.cargo[0].released_by = 0;
    add_echo(game, actor_at({1.0f, 0.0f, 1.0f}));

    const Snapshot s = game.snapshot();
    EXPECT_EQ(s.level, 3u);
    EXPECT_EQ(s.level_count, 16u);
    EXPECT_EQ(s.title, "Шлюз");
    EXPECT_EQ(s.time, 1.0f);
    EXPECT_EQ(s.limit, 40.0f);
    EXPECT_TRUE(s.moon_gravity);
    EXPECT_FALSE(s.lift);
    EXPECT_EQ(s.gravity_controls, game.level.gravity_controls);
    EXPECT_EQ(s.walls, game.level.walls);
    EXPECT_TRUE(s.cargo_gravity_off);
    EXPECT_EQ(s.message, "Груз отпущен.");
    EXPECT_EQ(s.player, static_cast<const ActorView&>(game.actors[0]));
    ASSERT_EQ(s.echoes.size(), 1u);
    EXPECT_EQ(s.echoes[0].pos, (Vec3{1.0f, 0.0f, 1.0f}));
    ASSERT_EQ(s.cargo.size(), 1u);
    EXPECT_EQ(s.cargo[0], static_cast<const CargoView&>(game.cargo[0]));
    EXPECT_TRUE(s.trajectory.empty());

    game.ticks = 1;
    game.level.gravity = 10.0f;
    add_lift(game, {9.0f, 1.0f, 9.0f}, false);
    const Snapshot later = game.snapshot();
    EXPECT_EQ(later.time, 0.008333334f);
    EXPECT_FALSE(later.moon_gravity);
    ASSERT_TRUE(later.lift);
    EXPECT_EQ(*later.lift, *game.level.lift);
}

TEST(SnapshotAssembly, EchoNextThrowIsTheFirstThrowStillToCome) {
    Game game = open_room();
    const std::size_t thrower = add_echo(game, actor_at({1.0f, 0.0f, 1.0f}));
    add_echo(game, actor_at({2.0f, 0.0f, 2.0f}));
    game.records[thrower - 1].actions = {{Pickup{0}, 10}, {Throw{}, 240}, {Place{}, 250},
                                         {Throw{}, 300}};
    game.records[1].actions = {{Pickup{}, 5}, {Fan{0}, 7}};

    Snapshot s = game.snapshot();
    EXPECT_FALSE(s.player.next_throw);
    EXPECT_EQ(s.echoes[0].next_throw, 2.0f);
    EXPECT_FALSE(s.echoes[1].next_throw);

    // A cursor on a throw: that throw is still to come.
    game.replay_cursors[0] = 1;
    s = game.snapshot();
    EXPECT_EQ(s.echoes[0].next_throw, 240.0f * TICK);
    game.replay_cursors[0] = 2;
    s = game.snapshot();
    EXPECT_EQ(s.echoes[0].next_throw, 300.0f * TICK);
    game.replay_cursors[0] = 3;
    s = game.snapshot();
    EXPECT_EQ(s.echoes[0].next_throw, 300.0f * TICK);
    game.replay_cursors[0] = 4;
    s = game.snapshot();
    EXPECT_FALSE(s.echoes[0].next_throw);
}

TEST(SnapshotAssembly, PromptNamesWhatInteractWouldDo) {
    Game game = open_room();
    EXPECT_EQ(game.snapshot().interaction, "");

    add_cargo(game, {0.0f, 1.6f, -1.5f}, CargoStyle::Oxygen, "Кислород");
    EXPECT_EQ(game.snapshot().interaction, "E — взять: Кислород");

    give(game, 0, 0);
    EXPECT_EQ(game.snapshot().interaction, "ЛКМ — бросить по пунктиру · E — положить груз");

    game.cargo[0].style = CargoStyle::Battery;
    game.level.sockets.push_back(socket_at({0.0f, 1.6f, -1.8f}, "Гнездо B"));
    EXPECT_EQ(game.snapshot().interaction, "E — подключить батарею · Гнездо B");
    game.level.sockets[0].powered = true;
    EXPECT_EQ(game.snapshot().interaction, "ЛКМ — бросить по пунктиру · E — положить груз");
}

TEST(SnapshotAssembly, PromptFollowsTheStateOfFansLiftAndConsoles) {
    Game fans = open_room();
    fans.level.fans.push_back(fan_at({0.0f, 1.6f, -1.5f}, false));
    EXPECT_EQ(fans.snapshot().interaction, "E — включить вентиляцию");
    fans.execute(0, fans.interact_intent());
    EXPECT_EQ(fans.snapshot().interaction, "E — выключить вентиляцию");

    Game lift = open_room();
    add_lift(lift, {0.0f, 1.6f, -1.5f}, false);
    EXPECT_EQ(lift.snapshot().interaction, "E — лифт без питания · займи плиту A");
    lift.level.plates[0].active = true;
    EXPECT_EQ(lift.snapshot().interaction, "E — поднять лифт");
    lift.level.lift->target_up = true;
    EXPECT_EQ(lift.snapshot().interaction, "E — опустить лифт");

    Game console = open_room();
    console.level.gravity_controls.push_back({0.0f, 1.6f, -1.5f});
    EXPECT_EQ(console.snapshot().interaction, "E — отключить гравитацию груза");
    console.cargo_gravity_off = true;
    EXPECT_EQ(console.snapshot().interaction, "E — вернуть гравитацию груза");
}

TEST(SnapshotAssembly, PreviewOnlyForTheCargoThePlayerHolds) {
    Game game = open_room();
    const std::size_t echo = add_echo(game, actor_at({2.0f, 0.0f, 2.0f}));
    give(game, echo, add_cargo(game, {2.0f, 1.5f, 1.0f}));
    EXPECT_TRUE(game.snapshot().trajectory.empty());

    const std::size_t held = add_cargo(game, {0.0f, 1.5f, -1.0f});
    give(game, 0, held);
    // A wall right ahead stops the copy at once; the preview still has every point.
    game.level.walls.push_back(BoxView{{0.0f, 2.0f, -2.0f}, {6.0f, 4.0f, 0.2f}});
    const Cargo before = game.cargo[held];
    const std::vector<Vec3> points = game.snapshot().trajectory;
    ASSERT_EQ(points.size(), 31u);
    EXPECT_EQ(points.front(), before.pos);
    EXPECT_GT(points[1].z, -2.0f);
    EXPECT_LT(points[1].z, before.pos.z);
    for (const Vec3& p : points) {
        EXPECT_GT(p.z, -1.475f);  // never through the wall
    }
    EXPECT_EQ(game.cargo[held].vel, before.vel);
    EXPECT_EQ(game.cargo[held].owner, 0);
}

TEST(SnapshotAssembly, PreviewSamplesTheFlightAfterEveryEighthTick) {
    Game game = open_room();
    game.cargo_gravity_off = true;
    const Vec3 start{0.0f, 1.5f, -1.0f};
    give(game, 0, add_cargo(game, start));
    const std::vector<Vec3> points = game.snapshot().trajectory;
    ASSERT_EQ(points.size(), 31u);
    EXPECT_EQ(points[0], start);
    // Thrown straight ahead at 7.8 m/s with nothing in the way and no gravity: each tick
    // damps the speed, then moves the copy by one tick of it.
    float speed = -7.8f;
    float z = start.z;
    for (std::size_t k = 1; k < points.size(); ++k) {
        for (int tick = 0; tick < 8; ++tick) {
            speed = speed * 0.999f;
            z = z + TICK * speed;
        }
        EXPECT_EQ(points[k], (Vec3{0.0f, 1.5f, z})) << k;
    }
}

// Player throwing straight ahead with gravity off; door 1 stands 3 m ahead, closed.
Game transfer_room(float window_start, float window_end, bool door_open) {
    Game game = open_room();
    game.cargo_gravity_off = true;
    game.level.doors.push_back(door_at({8.0f, 2.0f, 8.0f}, {1.0f, 4.0f, 1.0f}, false));
    game.level.doors.push_back(door_at({0.0f, 2.0f, -4.0f}, {6.0f, 4.0f, 0.2f}, door_open));
    game.level.transfer_window = std::array<float, 2>{window_start, window_end};
    give(game, 0, add_cargo(game, {0.0f, 1.5f, -1.0f}));
    return game;
}

TEST(SnapshotAssembly, PreviewPassesDoorOneOnlyInsideTheTransferWindow) {
    const std::vector<Vec3> inside = transfer_room(0.0f, 10.0f, false).snapshot().trajectory;
    ASSERT_EQ(inside.size(), 31u);
    EXPECT_LT(inside.back().z, -4.1f);

    const std::vector<Vec3> outside = transfer_room(5.0f, 10.0f, false).snapshot().trajectory;
    ASSERT_EQ(outside.size(), 31u);
    EXPECT_GT(outside.back().z, -4.0f);

    // An open door outside its window is previewed as the closed door it will be.
    EXPECT_EQ(transfer_room(5.0f, 10.0f, true).snapshot().trajectory, outside);

    // Preview time starts at the loop time now.
    Game later = transfer_room(5.0f, 10.0f, false);
    later.ticks = 600;
    EXPECT_LT(later.snapshot().trajectory.back().z, -4.1f);

    // The window closes before the copy reaches the door (about 0.3 s in).
    EXPECT_GT(transfer_room(0.0f, 0.2f, false).snapshot().trajectory.back().z, -4.0f);
}

TEST(SnapshotAssembly, PreviewTakesItsFirstStepAtTheLoopTimeNow) {
    // The held cargo sits in door 1's leaf: open at the first step, the copy flies on through
    // it; closed, the leaf pushes it back.
    Game open_now = transfer_room(0.0f, 10.0f, false);
    open_now.cargo[0].pos = {0.0f, 1.5f, -4.0f};
    EXPECT_LT(open_now.snapshot().trajectory[1].z, -4.0f);

    Game open_next_tick = transfer_room(TICK, 10.0f, false);
    open_next_tick.cargo[0].pos = {0.0f, 1.5f, -4.0f};
    EXPECT_GT(open_next_tick.snapshot().trajectory[1].z, -4.0f);
}

}  // namespace
}  // namespace vantrel_sim
