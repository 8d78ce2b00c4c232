// Whole rooms driven frame by frame at 60 frames per second, as a player plays them.
#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <fstream>
#include <limits>
#include <optional>
#include <numbers>
#include <string>
#include <variant>

#include "game.hpp"
#include "lift.hpp"

namespace vantrel_sim {
namespace {

constexpr float FRAME = 1.0f / 60.0f;
constexpr float HALF_PI = 1.5707964f;

// Facing yaw for a horizontal direction: the facing vector is (-sin yaw, -cos yaw).
float yaw_towards(float dx, float dz) { return std::atan2(-dx, -dz); }

// Keeps the look angles between frames and counts frames, like the engine's script.
struct Player {
    Game& game;
    float yaw = 0.0f;
    float pitch = 0.0f;
    int frames = 0;

    Input base() const {
        Input input;
        input.dt = FRAME;
        input.yaw = yaw;
        input.pitch = pitch;
        return input;
    }

    void step(Input input) {
        game.update(input);
        frames += 1;
    }

    void wait(int count) {
        for (int i = 0; i < count; ++i) {
            step(base());
        }
    }

    void wait_until_second(float seconds) {
        while (static_cast<float>(game.ticks) * TICK < seconds && frames < 100000) {
            wait(1);
        }
    }

    // Walks straight at the point; false when it is not reached in time.
    bool walk_to(float x, float z, int max_frames = 900) {
        for (int i = 0; i < max_frames; ++i) {
            const Vec3 pos = game.actors[0].pos;
            const float dx = x - pos.x;
            const float dz = z - pos.z;
            if (std::hypot(dx, dz) < 0.05f) {
                return true;
            }
            yaw = yaw_towards(dx, dz);
            Input input = base();
            input.mz = 1.0f;
            step(input);
        }
        return false;
    }

    // Turns the view to a point in space.
    void look_at(Vec3 target) {
        const Vec3 pos = game.actors[0].pos;
        const float dx = target.x - pos.x;
        const float dz = target.z - pos.z;
        yaw = yaw_towards(dx, dz);
        pitch = std::atan2(target.y - (pos.y + 1.6f), std::hypot(dx, dz));
        wait(1);
    }

    void press(bool Input::*flag) {
        Input input = base();
        input.*flag = true;
        step(input);
    }
};

// Walks onto the point, stands there for `seconds` of run time in all, and commits.
void record_standing_at(Game& game, float x, float z, float seconds) {
    Player p{game};
    ASSERT_TRUE(p.walk_to(x, z));
    p.wait_until_second(seconds);
    p.press(&Input::commit);
    ASSERT_EQ(game.ticks, 0u);
}

TEST(Scenario, EchoOnPlateAOpensTheBypassForThePlayerInTheNextRun) {
    Game game = Game::create();
    game.select_room(1);

    // Without an echo the closed door stops the player.
    {
        Player p{game};
        ASSERT_TRUE(p.walk_to(-3.0f, 1.2f));
        ASSERT_TRUE(p.walk_to(-5.0f, 1.0f));
        EXPECT_FALSE(p.walk_to(-5.0f, -2.0f, 120));
        EXPECT_GT(game.actors[0].pos.z, 0.5f);
        EXPECT_FALSE(game.level.doors[0].open);
        Input retry = p.base();
        retry.retry = true;
        p.step(retry);
    }

    record_standing_at(game, -5.0f, 3.0f, 3.0f);
    ASSERT_EQ(game.actors.size(), 2u);

    Player p{game};
    ASSERT_TRUE(p.walk_to(-3.0f, 1.2f));
    ASSERT_TRUE(p.walk_to(-5.0f, 1.0f));
    EXPECT_TRUE(game.level.plates[0].active);
    EXPECT_TRUE(game.level.doors[0].open);
    EXPECT_TRUE(p.walk_to(-5.0f, -2.0f, 120));
}

TEST(Scenario, DockedBatteryPowersTheAirlockWhichStillWaitsForPlateA) {
    Game game = Game::create();
    game.select_room(3);
    Player p{game};

    ASSERT_TRUE(p.walk_to(6.0f, 9.4f));
    p.look_at(game.cargo[2].pos);
    p.press(&Input::interact);
    ASSERT_EQ(game.actors[0].held, 2);
    EXPECT_EQ(game.message, "В руках: Батарея шлюза");

    ASSERT_TRUE(p.walk_to(5.0f, 4.3f));
    p.look_at(game.level.sockets[0].pos);
    p.press(&Input::interact);
    EXPECT_TRUE(game.cargo[2].docked);
    EXPECT_EQ(game.cargo[2].pos, game.level.sockets[0].pos);
    EXPECT_EQ(game.actors[0].action, ActorAction::BatteryInsert);
    EXPECT_EQ(game.message, "Питание подключено · ГНЕЗДО БАТАРЕИ");
    p.wait(1);
    EXPECT_TRUE(game.level.sockets[0].powered);
    EXPECT_FALSE(game.level.doors[0].open);

    ASSERT_TRUE(p.walk_to(-5.0f, 3.0f));
    EXPECT_TRUE(game.level.plates[0].active);
    EXPECT_TRUE(game.level.doors[0].open);

    ASSERT_TRUE(p.walk_to(-5.0f, 5.0f));
    EXPECT_FALSE(game.level.plates[0].active);
    EXPECT_FALSE(game.level.doors[0].open);
}

TEST(Scenario, ShutterOpensFromEightToElevenSeconds) {
    Game game = Game::create();
    game.select_room(6);
    Player p{game};
    int open_frames = 0;
    while (game.ticks < 1500) {
        p.wait(1);
        // Devices of a tick see the time at its start, one tick behind the counter.
        const float seen = static_cast<float>(game.ticks - 1) * TICK;
        const bool expected = 8.0f <= seen && seen < 11.0f;
        ASSERT_EQ(game.level.doors[1].open, expected) << "after tick " << game.ticks;
        open_frames += expected ? 1 : 0;
        EXPECT_FALSE(game.level.doors[0].open);
    }
    EXPECT_EQ(open_frames, 180);
}

TEST(Scenario, InterlockDoorTwoRefusesWhilePlateAIsPressed) {
    Game game = Game::create();
    game.select_room(8);

    // Run 1: hold plate A from about 1.4 s to 6 s, then step off it.
    {
        Player p{game};
        ASSERT_TRUE(p.walk_to(-6.7f, 9.5f));
        p.wait_until_second(6.0f);
        ASSERT_TRUE(p.walk_to(-6.7f, 7.5f));
        p.wait_until_second(9.0f);
        p.press(&Input::commit);
    }
    // Run 2: pass door I while the echo holds A, then stand on plate B.
    {
        Player p{game};
        ASSERT_TRUE(p.walk_to(-3.8f, 5.6f));
        ASSERT_TRUE(p.walk_to(-3.8f, 3.4f));
        ASSERT_TRUE(p.walk_to(2.0f, 0.0f));
        ASSERT_TRUE(p.walk_to(6.2f, 0.9f));
        EXPECT_LT(static_cast<float>(game.ticks) * TICK, 5.0f);
        p.wait_until_second(10.0f);
        p.press(&Input::commit);
    }
    ASSERT_EQ(game.actors.size(), 3u);

    Player p{game};
    p.wait_until_second(5.5f);
    EXPECT_TRUE(game.level.plates[0].active);
    EXPECT_TRUE(game.level.plates[1].active);
    EXPECT_FALSE(game.level.doors[1].open);
    p.wait_until_second(8.0f);
    EXPECT_FALSE(game.level.plates[0].active);
    EXPECT_TRUE(game.level.plates[1].active);
    EXPECT_TRUE(game.level.doors[1].open);
}

TEST(Scenario, AThrownCargoIsCaughtByAnotherActorButNotByItsThrower) {
    Game game = Game::create();
    const Vec3 table_cargo = game.cargo[0].pos;
    int throw_frame = 0;
    {
        Player p{game};
        ASSERT_TRUE(p.walk_to(-2.0f, 8.6f));
        p.look_at(table_cargo);
        p.press(&Input::interact);
        ASSERT_EQ(game.actors[0].held, 0);
        p.yaw = -HALF_PI;
        p.pitch = 0.0f;
        p.wait(30);
        throw_frame = p.frames;
        p.press(&Input::throw_);
        EXPECT_EQ(game.cargo[0].owner, -1);
        p.wait(60);
        p.press(&Input::commit);
    }

    Player p{game};
    ASSERT_TRUE(p.walk_to(2.5f, 8.6f));
    p.yaw = HALF_PI;
    p.pitch = 0.0f;
    while (p.frames < throw_frame) {
        p.wait(1);
    }
    ASSERT_EQ(game.cargo[0].owner, 1);
    p.wait(1);
    ASSERT_EQ(game.cargo[0].owner, -1);
    EXPECT_EQ(game.cargo[0].released_by, 1);
    EXPECT_EQ(game.actors[1].action, ActorAction::Throw);
    EXPECT_EQ(game.message, "Груз в полёте.");

    const std::uint32_t thrown_at = game.ticks;
    while (game.cargo[0].owner == -1 && game.ticks < thrown_at + 46) {
        p.wait(1);
        EXPECT_NE(game.cargo[0].owner, 1);
    }
    EXPECT_EQ(game.cargo[0].owner, 0);
    EXPECT_EQ(game.actors[0].held, 0);
    EXPECT_EQ(game.actors[0].action, ActorAction::Catch);
    EXPECT_EQ(game.message, "Пойман груз: Контейнер оптики");
    EXPECT_LT(static_cast<float>(game.ticks - thrown_at) * TICK, 0.38f);
}

// Run 1 of room 15: an echo that stands on plate A and so powers the lift.
void power_the_lift(Game& game) {
    game.select_room(15);
    record_standing_at(game, -5.0f, 6.7f, 20.0f);
}

TEST(Scenario, TheLiftCarriesThePlayerAndAFreeCargoUp) {
    Game game = Game::create();
    power_the_lift(game);
    Player p{game};

    ASSERT_TRUE(p.walk_to(0.0f, 9.6f));
    p.look_at(game.cargo[0].pos);
    p.press(&Input::interact);
    ASSERT_EQ(game.actors[0].held, 0);
    ASSERT_TRUE(p.walk_to(0.0f, 4.6f));
    p.yaw = 0.0f;
    p.pitch = 0.0f;
    p.wait(20);
    p.press(&Input::interact);
    ASSERT_EQ(game.cargo[0].owner, -1);
    p.wait(90);
    // At rest on the platform top (the floor line), within the clip gap.
    EXPECT_NEAR(game.cargo[0].pos.y, 0.425f, 0.0015f);
    EXPECT_EQ(game.cargo[0].vel.y, 0.0f);

    ASSERT_TRUE(p.walk_to(0.5f, 4.6f));
    p.look_at(game.level.lift->controls[0]);
    p.press(&Input::interact);
    EXPECT_EQ(game.message, "Лифт идёт наверх.");
    EXPECT_TRUE(game.level.lift->target_up);
    p.wait(150);
    EXPECT_EQ(game.level.lift->height, 4.8f);
    EXPECT_NEAR(game.actors[0].pos.y, 4.8f, 1e-5f);
    EXPECT_TRUE(game.actors[0].on_ground);
    EXPECT_NEAR(game.cargo[0].pos.y, 4.8f + 0.425f, 1e-4f);
    // Echoes are never lifted.
    EXPECT_EQ(game.actors[1].pos.y, 0.0f);
}

TEST(Scenario, TheLiftRefusesToComeDownOntoThePlayer) {
    Game game = Game::create();
    power_the_lift(game);
    Player p{game};

    ASSERT_TRUE(p.walk_to(3.0f, 4.6f));
    p.look_at(game.level.lift->controls[0]);
    p.press(&Input::interact);
    ASSERT_TRUE(game.level.lift->target_up);
    p.wait(150);
    ASSERT_EQ(game.level.lift->height, 4.8f);

    ASSERT_TRUE(p.walk_to(0.5f, 4.6f));
    p.look_at(game.level.lift->controls[0]);
    p.press(&Input::interact);
    EXPECT_EQ(game.message, "Лифт идёт вниз.");
    p.wait(150);
    const float stopped = game.level.lift->height;
    const float underside = stopped - game.level.lift->size.y;
    EXPECT_GE(underside, 1.75f);
    EXPECT_LT(underside, 1.75f + 0.021f);
    EXPECT_EQ(game.actors[0].pos.y, 0.0f);

    ASSERT_TRUE(p.walk_to(1.5f, 7.0f));
    p.wait(150);
    EXPECT_EQ(game.level.lift->height, 0.0f);
}

// How far the player's body, a column of radius 0.3 and height 1.75 on the feet, reaches
// into the deepest wall or closed door: its vertical or its horizontal overlap, the smaller.
float deepest_body_overlap(const Game& game) {
    const Vec3 feet = game.actors[0].pos;
    float deepest = -std::numeric_limits<float>::infinity();
    const auto measure = [&](Vec3 pos, Vec3 size) {
        const float vertical = std::min(feet.y + 1.75f, pos.y + size.y / 2.0f) -
                               std::max(feet.y, pos.y - size.y / 2.0f);
        const float dx = std::abs(feet.x - pos.x) - size.x / 2.0f;
        const float dz = std::abs(feet.z - pos.z) - size.z / 2.0f;
        const float distance = std::hypot(std::max(dx, 0.0f), std::max(dz, 0.0f)) +
                               std::min(std::max(dx, dz), 0.0f);
        deepest = std::max(deepest, std::min(vertical, 0.3f - distance));
    };
    for (const BoxView& wall : game.level.walls) {
        measure(wall.pos, wall.size);
    }
    for (const DoorView& door : game.level.doors) {
        if (!door.open) {
            measure(door.pos, door.size);
        }
    }
    return deepest;
}

constexpr float OVERLAP_ALLOWED = 0.01f;

// Beside the platform (z 1.5 to 5.5) yet inside its footprint widened by half a body, and
// under the edge of the near gallery slab (z up to 1.5, underside 4.4, top 4.8).
constexpr float UNDER_THE_SLAB_EDGE_Z = 1.3f;

// Stands on the platform and sends it up from the lower control.
void ride_up_from_the_platform(Player& p) {
    ASSERT_TRUE(p.walk_to(1.0f, 3.0f));
    p.look_at(p.game.level.lift->controls[0]);
    p.press(&Input::interact);
    ASSERT_TRUE(p.game.level.lift->target_up);
}

TEST(Scenario, TheLiftDoesNotCarryThePlayerUpThroughTheGallerySlab) {
    Game game = Game::create();
    power_the_lift(game);
    Player p{game};
    ride_up_from_the_platform(p);
    ASSERT_TRUE(p.walk_to(1.5f, UNDER_THE_SLAB_EDGE_Z));
    for (int i = 0; i < 240; ++i) {
        p.wait(1);
        ASSERT_LE(deepest_body_overlap(game), OVERLAP_ALLOWED) << "frame " << i;
    }
    // The platform waits with the player's head just under the slab.
    const float slab_underside = 4.4f;
    EXPECT_LE(game.actors[0].pos.y + 1.75f, slab_underside + 0.0001f);
    EXPECT_GT(game.actors[0].pos.y + 1.75f, slab_underside - LIFT_MAX_STEP);
    EXPECT_EQ(game.actors[0].pos.y, game.level.lift->height);
    EXPECT_TRUE(game.actors[0].on_ground);

    ASSERT_TRUE(p.walk_to(1.0f, 3.0f));
    p.wait(90);
    EXPECT_EQ(game.level.lift->height, 4.8f);
    EXPECT_NEAR(game.actors[0].pos.y, 4.8f, 1e-5f);
}

TEST(Scenario, ThePlayerOnTheSlabEdgeStaysThereWhenTheLiftGoesDown) {
    Game game = Game::create();
    power_the_lift(game);
    Player p{game};
    ride_up_from_the_platform(p);
    p.wait(150);
    ASSERT_EQ(game.level.lift->height, 4.8f);
    ASSERT_TRUE(p.walk_to(1.5f, UNDER_THE_SLAB_EDGE_Z));
    const float standing = game.actors[0].pos.y;
    ASSERT_NEAR(standing, 4.8f, 1e-5f);
    p.look_at(game.level.lift->controls[1]);
    p.press(&Input::interact);
    ASSERT_EQ(game.message, "Лифт идёт вниз.");
    for (int i = 0; i < 60; ++i) {
        p.wait(1);
        ASSERT_LE(deepest_body_overlap(game), OVERLAP_ALLOWED) << "frame " << i;
    }
    EXPECT_LT(game.level.lift->height, 4.8f - 2.0f);
    EXPECT_EQ(game.actors[0].pos.y, standing);
    EXPECT_TRUE(game.actors[0].on_ground);

    // Free to walk away along the slab and to jump.
    ASSERT_TRUE(p.walk_to(1.5f, -1.0f));
    p.press(&Input::jump);
    EXPECT_EQ(game.actors[0].action, ActorAction::Jump);
}

// Replays an input log, one Input text per line, into a fresh world on the room.
template <typename EachFrame>
void replay_log(const std::string& path, std::size_t room, EachFrame each_frame) {
    std::ifstream file(path);
    ASSERT_TRUE(file) << path;
    Game game = Game::create();
    game.select_room(room);
    std::string line;
    int frame = 0;
    while (std::getline(file, line)) {
        auto parsed = parse_input(line);
        ASSERT_TRUE(std::holds_alternative<Input>(parsed)) << path << " line " << frame + 1;
        game.update(std::get<Input>(parsed));
        frame += 1;
        each_frame(game, frame);
    }
}

TEST(Scenario, ThePlayersBodyStaysOutOfWallsInLiftRunsOfTheTerminal) {
    const std::string root = VANTREL_SOURCE_DIR;
    const std::string logs[] = {root + "/sim/tests/data/room15-lift-beside-the-gallery-slab.jsonl",
                                root + "/playthroughs/room-15.jsonl"};
    for (const std::string& log : logs) {
        replay_log(log, 15, [&](const Game& game, int frame) {
            ASSERT_LE(deepest_body_overlap(game), OVERLAP_ALLOWED) << log << " frame " << frame;
        });
    }
}

TEST(Scenario, AnUnpoweredLiftTellsThePlayerToHoldPlateA) {
    Game game = Game::create();
    game.select_room(15);
    Player p{game};
    ASSERT_TRUE(p.walk_to(3.0f, 4.6f));
    p.look_at(game.level.lift->controls[0]);
    p.press(&Input::interact);
    EXPECT_EQ(game.message, "Займи плиту A копией, чтобы подать питание.");
    EXPECT_FALSE(game.level.lift->target_up);
    p.wait(60);
    EXPECT_EQ(game.level.lift->height, 0.0f);
}

TEST(Scenario, CarryingTheBoxToThePadWinsAndNextOpensRoomOne) {
    Game game = Game::create();
    Player p{game};
    ASSERT_TRUE(p.walk_to(-2.0f, 8.6f));
    p.look_at(game.cargo[0].pos);
    p.press(&Input::interact);
    ASSERT_EQ(game.actors[0].held, 0);
    p.pitch = 0.0f;
    ASSERT_TRUE(p.walk_to(0.5f, 8.6f));
    ASSERT_TRUE(p.walk_to(0.0f, -8.0f));
    p.yaw = 0.0f;
    p.wait(10);
    p.press(&Input::interact);
    EXPECT_EQ(game.message, "Груз отпущен.");
    for (int i = 0; i < 300 && !game.won; ++i) {
        p.wait(1);
    }
    ASSERT_TRUE(game.won);
    EXPECT_TRUE(game.cargo[0].delivered);
    EXPECT_EQ(game.message, "Груз в приёмнике. Комната пройдена.");

    const std::uint32_t ticks = game.ticks;
    p.wait(30);
    EXPECT_EQ(game.ticks, ticks);
    p.press(&Input::next);
    EXPECT_EQ(game.room, 1u);
    EXPECT_FALSE(game.won);
}

TEST(Scenario, AnEchoTakesWhateverCargoItsOwnAimFindsAndBeatsThePlayerToIt) {
    Game game = Game::create();
    const Vec3 aim_spot{3.0f, 0.3f, 3.3f};
    int grab_frame = 0;
    {
        Player p{game};
        ASSERT_TRUE(p.walk_to(3.0f, 5.0f));
        p.look_at(aim_spot);
        p.wait_until_second(6.0f);
        grab_frame = p.frames;
        p.press(&Input::interact);
        EXPECT_EQ(game.message, "Перед рукой нет свободного ящика. Это намерение всё равно попадёт в запись.");
        ASSERT_EQ(game.run.actions.size(), 1u);
        EXPECT_EQ(game.run.actions[0].intent, Intent{Pickup{}});
        p.wait(30);
        p.press(&Input::commit);
    }

    // Run 2: bring the box into the echo's view and reach for it in the same tick.
    Player p{game};
    ASSERT_TRUE(p.walk_to(-2.0f, 8.6f));
    p.look_at(game.cargo[0].pos);
    p.press(&Input::interact);
    ASSERT_EQ(game.actors[0].held, 0);
    p.pitch = 0.0f;
    ASSERT_TRUE(p.walk_to(1.0f, 8.6f));
    ASSERT_TRUE(p.walk_to(3.0f, 2.3f));
    p.yaw = std::numbers::pi_v<float>;
    p.wait(20);
    p.press(&Input::interact);
    ASSERT_EQ(game.cargo[0].owner, -1);
    p.wait(60);
    p.look_at(game.cargo[0].pos);
    ASSERT_LT(p.frames, grab_frame);
    while (p.frames < grab_frame) {
        p.wait(1);
    }
    EXPECT_EQ(game.actors[1].held, -1);
    p.press(&Input::interact);
    EXPECT_EQ(game.actors[1].held, 0);
    EXPECT_EQ(game.cargo[0].owner, 1);
    EXPECT_EQ(game.actors[0].held, -1);
    // The echo's message came first; the player's empty reach replaced it.
    EXPECT_EQ(game.message, "Перед рукой нет свободного ящика. Это намерение всё равно попадёт в запись.");
}

// A fixed pseudo-random input stream: every kind of input, some of it hostile.
struct InputScript {
    std::uint32_t state = 12345u;

    std::uint32_t next() {
        state = state * 1664525u + 1013904223u;
        return state >> 8;
    }
    float unit() { return static_cast<float>(next() % 20001u) / 10000.0f - 1.0f; }
    bool chance(std::uint32_t per_mille) { return next() % 1000u < per_mille; }

    Input frame(float& yaw) {
        static constexpr float STEPS[] = {FRAME, FRAME, FRAME, 1.0f / 144.0f, 0.05f, 0.004f, 0.3f};
        Input input;
        input.dt = chance(3) ? std::numeric_limits<float>::quiet_NaN() : STEPS[next() % 7u];
        input.mx = unit();
        input.mz = unit() * 1.5f;
        yaw += unit() * 0.2f;
        input.yaw = yaw;
        input.pitch = unit() * 2.0f;
        input.jump = chance(50);
        input.interact = chance(40);
        input.throw_ = chance(20);
        input.commit = chance(4);
        input.retry = chance(1);
        return input;
    }
};

bool same_bits(float a, float b) { return std::bit_cast<std::uint32_t>(a) == std::bit_cast<std::uint32_t>(b); }
bool same_bits(Vec3 a, Vec3 b) { return std::memcmp(&a, &b, sizeof(Vec3)) == 0; }
bool same_bits(const std::optional<float>& a, const std::optional<float>& b) {
    return a.has_value() == b.has_value() && (!a || same_bits(*a, *b));
}

bool same_actor(const Actor& a, const Actor& b) {
    return same_bits(a.pos, b.pos) && same_bits(a.yaw, b.yaw) && same_bits(a.pitch, b.pitch) &&
           a.held == b.held && a.active == b.active && same_bits(a.duration, b.duration) &&
           same_bits(a.next_throw, b.next_throw) && a.grounded == b.grounded && same_bits(a.vel, b.vel) &&
           a.action_seq == b.action_seq && a.action == b.action && same_bits(a.action_time, b.action_time) &&
           a.action_cargo == b.action_cargo && same_bits(a.action_pos, b.action_pos) &&
           same_bits(a.vertical_speed, b.vertical_speed) && a.on_ground == b.on_ground;
}

bool same_cargo(const Cargo& a, const Cargo& b) {
    return a.id == b.id && same_bits(a.pos, b.pos) && same_bits(a.vel, b.vel) && same_bits(a.size, b.size) &&
           a.owner == b.owner && a.label == b.label && a.kind == b.kind && a.style == b.style &&
           a.docked == b.docked && a.delivered == b.delivered && a.released_by == b.released_by &&
           same_bits(a.release_timer, b.release_timer);
}

bool same_devices(const Level& a, const Level& b) {
    for (std::size_t i = 0; i < a.plates.size(); ++i) {
        if (!same_bits(a.plates[i].load, b.plates[i].load) || a.plates[i].active != b.plates[i].active) {
            return false;
        }
    }
    for (std::size_t i = 0; i < a.doors.size(); ++i) {
        if (a.doors[i].open != b.doors[i].open ||
            !same_bits(a.doors[i].hold_remaining, b.doors[i].hold_remaining) ||
            !same_bits(a.doors[i].cycle_remaining, b.doors[i].cycle_remaining)) {
            return false;
        }
    }
    for (std::size_t i = 0; i < a.fans.size(); ++i) {
        if (a.fans[i].active != b.fans[i].active) {
            return false;
        }
    }
    for (std::size_t i = 0; i < a.sockets.size(); ++i) {
        if (a.sockets[i].powered != b.sockets[i].powered) {
            return false;
        }
    }
    if (a.lift.has_value() != b.lift.has_value()) {
        return false;
    }
    return !a.lift || (same_bits(a.lift->height, b.lift->height) && a.lift->target_up == b.lift->target_up);
}

bool same_record(const Record& a, const Record& b) {
    if (a.frames.size() != b.frames.size() || a.actions.size() != b.actions.size()) {
        return false;
    }
    for (std::size_t k = 0; k < a.frames.size(); ++k) {
        const RecordedFrame& fa = a.frames[k];
        const RecordedFrame& fb = b.frames[k];
        if (!same_bits(fa.pos, fb.pos) || !same_bits(fa.yaw, fb.yaw) || !same_bits(fa.pitch, fb.pitch) ||
            fa.on_ground != fb.on_ground) {
            return false;
        }
    }
    for (std::size_t k = 0; k < a.actions.size(); ++k) {
        if (a.actions[k].intent != b.actions[k].intent || a.actions[k].tick != b.actions[k].tick) {
            return false;
        }
    }
    return true;
}

void expect_identical(const Game& a, const Game& b, int frame) {
    ASSERT_EQ(a.ticks, b.ticks) << "frame " << frame;
    ASSERT_TRUE(same_bits(a.accumulator, b.accumulator)) << "frame " << frame;
    ASSERT_EQ(a.message, b.message) << "frame " << frame;
    ASSERT_EQ(a.won, b.won);
    ASSERT_EQ(a.failed, b.failed);
    ASSERT_EQ(a.cargo_gravity_off, b.cargo_gravity_off);
    ASSERT_EQ(a.door_hold_ticks, b.door_hold_ticks);
    ASSERT_EQ(a.replay_cursors, b.replay_cursors);
    ASSERT_EQ(a.actors.size(), b.actors.size());
    for (std::size_t i = 0; i < a.actors.size(); ++i) {
        ASSERT_TRUE(same_actor(a.actors[i], b.actors[i])) << "actor " << i << " frame " << frame;
    }
    ASSERT_EQ(a.cargo.size(), b.cargo.size());
    for (std::size_t i = 0; i < a.cargo.size(); ++i) {
        ASSERT_TRUE(same_cargo(a.cargo[i], b.cargo[i])) << "cargo " << i << " frame " << frame;
    }
    ASSERT_TRUE(same_devices(a.level, b.level)) << "frame " << frame;
    ASSERT_EQ(a.records.size(), b.records.size());
    for (std::size_t i = 0; i < a.records.size(); ++i) {
        ASSERT_TRUE(same_record(a.records[i], b.records[i])) << "record " << i;
    }
    ASSERT_TRUE(same_record(a.run, b.run)) << "frame " << frame;
}

TEST(Scenario, TwoWorldsFedTheSameInputsStayBitIdentical) {
    for (const std::size_t room : {std::size_t{2}, std::size_t{15}}) {
        Game a = Game::create();
        Game b = Game::create();
        a.select_room(room);
        b.select_room(room);
        InputScript script_a;
        InputScript script_b;
        float yaw_a = 0.0f;
        float yaw_b = 0.0f;
        for (int frame = 0; frame < 4000; ++frame) {
            Input input_a = script_a.frame(yaw_a);
            Input input_b = script_b.frame(yaw_b);
            a.update(input_a);
            b.update(input_b);
            if (frame % 50 == 0) {
                expect_identical(a, b, frame);
            }
        }
        expect_identical(a, b, 4000);
        // The script must have exercised the loop, not idled.
        EXPECT_FALSE(a.records.empty()) << "room " << room;
    }
}

}  // namespace
}  // namespace vantrel_sim
