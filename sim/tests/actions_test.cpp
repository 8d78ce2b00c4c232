#include <gtest/gtest.h>

#include <cmath>

#include "game.hpp"
#include "hand_built_world.hpp"

namespace vantrel_sim {
namespace {

using testing::actor_at;
using testing::add_cargo;
using testing::add_echo;
using testing::add_lift;
using testing::fan_at;
using testing::give;
using testing::open_room;
using testing::socket_at;

constexpr const char* NOTHING_TO_TAKE =
    "Перед рукой нет свободного ящика. Это намерение всё равно попадёт в запись.";
constexpr const char* NO_ROOM = "Нет места для груза. Отойди и попробуй ещё раз.";

TEST(PickupAction, PlayerWithNothingInFrontOnlyGetsTheMessage) {
    Game game = open_room();
    add_cargo(game, {3.0f, 0.425f, 3.0f});
    const Actor before = game.actors[0];
    game.execute(0, game.interact_intent());
    EXPECT_EQ(game.message, NOTHING_TO_TAKE);
    EXPECT_EQ(game.actors[0], before);
    EXPECT_EQ(game.cargo[0].owner, -1);
}

TEST(PickupAction, PlayerTakesTheAimedCargoAndStampsTheEvent) {
    Game game = open_room();
    game.ticks = 119;
    add_cargo(game, {5.0f, 0.425f, 5.0f});
    const std::size_t box = add_cargo(game, {0.0f, 1.6f, -1.5f}, CargoStyle::Oxygen, "Кислород");
    game.cargo[box].vel = {0.5f, 0.0f, 0.0f};
    game.cargo[box].docked = true;
    game.execute(0, game.interact_intent());
    EXPECT_EQ(game.message, "В руках: Кислород");
    EXPECT_EQ(game.actors[0].held, 1);
    EXPECT_EQ(game.cargo[box].owner, 0);
    EXPECT_EQ(game.cargo[box].vel, Vec3{});
    EXPECT_FALSE(game.cargo[box].docked);
    EXPECT_EQ(game.actors[0].action, ActorAction::Pickup);
    EXPECT_EQ(game.actors[0].action_seq, 1u);
    EXPECT_EQ(game.actors[0].action_cargo, 1);
    EXPECT_EQ(game.actors[0].action_pos, (Vec3{0.0f, 1.6f, -1.5f}));
    EXPECT_FLOAT_EQ(game.actors[0].action_time, 1.0f);  // end of tick 120
}

TEST(PickupAction, FullHandsOrTakenCargoChangeNothing) {
    Game game = open_room();
    const std::size_t first = add_cargo(game, {0.0f, 1.6f, -1.5f});
    const std::size_t second = add_cargo(game, {0.0f, 1.5f, -1.0f});
    give(game, 0, second);
    game.execute(0, Pickup{0});
    EXPECT_EQ(game.cargo[first].owner, -1);
    EXPECT_TRUE(game.message.empty());
    const std::size_t echo = add_echo(game, actor_at({0.0f, 0.0f, 0.0f}));
    game.actors[0].held = -1;
    game.cargo[second].owner = static_cast<std::int32_t>(echo);
    game.actors[echo].held = 1;
    game.execute(0, Pickup{1});
    EXPECT_EQ(game.message, NOTHING_TO_TAKE);
    EXPECT_EQ(game.cargo[second].owner, static_cast<std::int32_t>(echo));
}

TEST(PickupAction, EchoTakesWhatItsOwnAimFindsRatherThanTheRecordedCargo) {
    Game game = open_room();
    game.actors[0].pos = {6.0f, 0.0f, 6.0f};
    add_cargo(game, {9.0f, 0.425f, 9.0f});
    add_cargo(game, {7.0f, 0.425f, 7.0f});
    const std::size_t recorded = add_cargo(game, {-4.0f, 0.425f, -4.0f});
    const std::size_t aimed = add_cargo(game, {0.0f, 1.6f, -1.5f}, CargoStyle::Bio, "Био");
    const std::size_t echo = add_echo(game, actor_at({0.0f, 0.0f, 0.0f}));
    game.execute(echo, Pickup{static_cast<std::int32_t>(recorded)});
    EXPECT_EQ(game.message, "Копия 1 взяла груз.");
    EXPECT_EQ(game.cargo[aimed].owner, 1);
    EXPECT_EQ(game.actors[echo].held, 3);
    EXPECT_EQ(game.cargo[recorded].owner, -1);
}

TEST(PickupAction, EchoFallsBackToTheRecordedCargoWithinTheWideMargin) {
    Game game = open_room();
    game.actors[0].pos = {6.0f, 0.0f, 6.0f};
    // The ray passes 0.3 beside the box: outside 0.12, inside 0.45.
    const std::size_t box = add_cargo(game, {0.725f, 1.6f, -1.5f});
    const std::size_t echo = add_echo(game, actor_at({0.0f, 0.0f, 0.0f}));
    game.execute(echo, Pickup{});
    EXPECT_EQ(game.cargo[box].owner, -1);
    game.execute(echo, Pickup{0});
    EXPECT_EQ(game.cargo[box].owner, 1);
    EXPECT_EQ(game.message, "Копия 1 взяла груз.");

    // Exactly the wide margin beside the ray is still taken; a hair more is not.
    const float margin_edge = 0.425f + 0.45f;
    for (const float x : {margin_edge, std::nextafter(margin_edge, 1.0f)}) {
        Game edge = open_room();
        edge.actors[0].pos = {6.0f, 0.0f, 6.0f};
        add_cargo(edge, {x, 1.6f, -1.5f});
        const std::size_t edge_echo = add_echo(edge, actor_at({0.0f, 0.0f, 0.0f}));
        edge.execute(edge_echo, Pickup{0});
        EXPECT_EQ(edge.cargo[0].owner, x == margin_edge ? 1 : -1) << x;
    }

    // The same offset beyond reach of the eye is not taken.
    Game far_room = open_room();
    far_room.actors[0].pos = {6.0f, 0.0f, 6.0f};
    add_cargo(far_room, {0.725f, 1.6f, -3.0f});
    const std::size_t far_echo = add_echo(far_room, actor_at({0.0f, 0.0f, 0.0f}));
    far_room.execute(far_echo, Pickup{0});
    EXPECT_EQ(far_room.cargo[0].owner, -1);
    EXPECT_TRUE(far_room.message.empty());
}

// The player looking steeply down: the carried cargo overlaps the body.
Game looking_down() {
    Game game = open_room();
    game.actors[0].pitch = -1.2f;
    const std::size_t box = add_cargo(game, hand_point(game.actors[0], 5.0f));
    give(game, 0, box);
    return game;
}

TEST(PlaceAction, CargoOverlappingTheBodyIsMovedStraightAway) {
    Game game = looking_down();
    const float y = game.cargo[0].pos.y;
    game.execute(0, Place{});
    EXPECT_EQ(game.message, "Груз отпущен.");
    EXPECT_NEAR(game.cargo[0].pos.x, 0.0f, 1e-5f);
    EXPECT_EQ(game.cargo[0].pos.y, y);
    EXPECT_NEAR(game.cargo[0].pos.z, -(0.425f + 0.33f), 1e-5f);
    EXPECT_EQ(game.cargo[0].owner, -1);
    EXPECT_EQ(game.cargo[0].released_by, 0);
    EXPECT_EQ(game.cargo[0].release_timer, 2.0f);
    EXPECT_EQ(game.actors[0].held, -1);
    EXPECT_EQ(game.actors[0].action, ActorAction::Place);
    EXPECT_EQ(game.actors[0].action_pos, game.cargo[0].pos);
}

TEST(PlaceAction, CargoIsMovedAlongTheLineFromThePlayerNotAlongTheView) {
    Game game = looking_down();
    game.cargo[0].pos.x = 0.2f;
    const Vec3 carried = game.cargo[0].pos;
    game.execute(0, Place{});
    const Vec3 placed = game.cargo[0].pos;
    EXPECT_EQ(game.cargo[0].owner, -1);
    EXPECT_GT(placed.x, 0.4f);
    // Still on the line through the player's feet and the carried position.
    EXPECT_NEAR(placed.x * carried.z - placed.z * carried.x, 0.0f, 1e-5f);
}

void box_in(Game& game) {
    // A cell of inner half-width 0.8 around the player.
    game.level.walls.push_back(BoxView{{0.0f, 1.5f, -1.3f}, {3.6f, 3.0f, 1.0f}});
    game.level.walls.push_back(BoxView{{0.0f, 1.5f, 1.3f}, {3.6f, 3.0f, 1.0f}});
    game.level.walls.push_back(BoxView{{-1.3f, 1.5f, 0.0f}, {1.0f, 3.0f, 3.6f}});
    game.level.walls.push_back(BoxView{{1.3f, 1.5f, 0.0f}, {1.0f, 3.0f, 3.6f}});
}

TEST(PlaceAction, CargoExactlyTheBodysRadiusAwayStaysWhereItIsHeld) {
    // The footprint's near edge 0.29990003 from the player's axis: touching, not overlapping.
    const Vec3 size{0.25f, 0.85f, 0.25f};
    const float touching = 0.29990003f + 0.125f;
    for (const float x : {touching, std::nextafter(touching, 0.0f)}) {
        Game game = open_room();
        give(game, 0, add_cargo(game, {x, 1.0f, 0.0f}, CargoStyle::Freight, "Ящик", size));
        game.execute(0, Place{});
        EXPECT_EQ(game.cargo[0].owner, -1) << x;
        EXPECT_EQ(game.cargo[0].pos.x == x, x == touching) << x;
    }
}

TEST(PlaceAction, CargoWhoseTopIsWithinATenthOfAMillimetreOfTheFeetStaysWhereItIsHeld) {
    // Held low beside a player standing higher: a top 0.05 mm above the feet does not meet
    // the body, one 0.2 mm above does and the cargo is moved aside.
    for (const float rise : {0.00005f, 0.0002f}) {
        Game game = open_room();
        game.actors[0].pos.y = 1.0f;
        const Vec3 held{0.2f, 1.0f - 0.425f + rise, 0.0f};
        give(game, 0, add_cargo(game, held));
        game.execute(0, Place{});
        EXPECT_EQ(game.cargo[0].owner, -1) << rise;
        EXPECT_EQ(game.cargo[0].pos == held, rise < 0.0001f) << rise;
    }
}

TEST(PlaceAction, NoRoomInACornerKeepsTheCargoInHand) {
    Game game = looking_down();
    box_in(game);
    const Vec3 carried = game.cargo[0].pos;
    game.execute(0, Place{});
    EXPECT_EQ(game.message, NO_ROOM);
    EXPECT_EQ(game.cargo[0].owner, 0);
    EXPECT_EQ(game.cargo[0].pos, carried);
    EXPECT_EQ(game.actors[0].held, 0);
    EXPECT_EQ(game.actors[0].action_seq, 0u);
}

TEST(PlaceAction, AnEchoThatFindsNoRoomSaysNothing) {
    Game game = looking_down();
    box_in(game);
    const std::size_t echo = add_echo(game, game.actors[0]);
    game.actors[0].held = -1;
    give(game, echo, 0);
    game.execute(echo, Place{});
    EXPECT_TRUE(game.message.empty());
    EXPECT_EQ(game.cargo[0].owner, static_cast<std::int32_t>(echo));
}

TEST(PlaceAction, BatteryDocksExactlyAtAnUnpoweredSocket) {
    Game game = open_room();
    game.level.sockets.push_back(socket_at({0.0f, 1.6f, -1.8f}, "Гнездо B"));
    const std::size_t battery = add_cargo(game, {0.0f, 1.5f, -1.0f}, CargoStyle::Battery);
    give(game, 0, battery);
    game.execute(0, Place{});
    EXPECT_EQ(game.message, "Питание подключено · Гнездо B");
    EXPECT_EQ(game.cargo[battery].pos, game.level.sockets[0].pos);
    EXPECT_TRUE(game.cargo[battery].docked);
    EXPECT_EQ(game.cargo[battery].release_timer, 2.0f);
    EXPECT_EQ(game.actors[0].action, ActorAction::BatteryInsert);
    EXPECT_EQ(game.actors[0].action_pos, game.level.sockets[0].pos);
    EXPECT_FALSE(game.level.sockets[0].powered);  // powered by the next device update
}

TEST(PlaceAction, BatteryAtAPoweredSocketIsPutDownFreely) {
    Game game = open_room();
    game.level.sockets.push_back(socket_at({0.0f, 1.6f, -1.8f}, "Гнездо B", true));
    const std::size_t battery = add_cargo(game, {0.0f, 1.5f, -1.0f}, CargoStyle::Battery);
    give(game, 0, battery);
    game.execute(0, Place{});
    EXPECT_EQ(game.message, "Груз отпущен.");
    EXPECT_EQ(game.cargo[battery].pos, (Vec3{0.0f, 1.5f, -1.0f}));
    EXPECT_FALSE(game.cargo[battery].docked);
    EXPECT_EQ(game.actors[0].action, ActorAction::Place);
}

TEST(PlaceAction, DockingOntoThePlayersOwnFeetFailsWithoutTryingElsewhere) {
    Game game = open_room();
    game.actors[0].pitch = -1.2f;
    game.level.sockets.push_back(socket_at({0.0f, 0.2f, -0.2f}, "Гнездо B"));
    const std::size_t battery = add_cargo(game, {0.0f, 0.6f, -1.2f}, CargoStyle::Battery);
    give(game, 0, battery);
    ASSERT_EQ(game.dock_target(0, battery), 0u);
    game.execute(0, Place{});
    EXPECT_EQ(game.message, NO_ROOM);
    EXPECT_EQ(game.cargo[battery].owner, 0);
    EXPECT_FALSE(game.cargo[battery].docked);
    EXPECT_EQ(game.cargo[battery].pos, (Vec3{0.0f, 0.6f, -1.2f}));
}

TEST(ThrowAction, SpeedFollowsTheCargoStyleAlongTheView) {
    const auto thrown_velocity = [](CargoStyle style, float pitch) {
        Game game = open_room();
        game.actors[0].pitch = pitch;
        give(game, 0, add_cargo(game, {0.0f, 1.5f, -1.0f}, style));
        game.execute(0, Throw{});
        EXPECT_EQ(game.message, "Груз в полёте.");
        EXPECT_EQ(game.cargo[0].pos, (Vec3{0.0f, 1.5f, -1.0f}));
        EXPECT_EQ(game.cargo[0].owner, -1);
        EXPECT_EQ(game.cargo[0].released_by, 0);
        EXPECT_EQ(game.cargo[0].release_timer, 0.38f);
        EXPECT_EQ(game.actors[0].action, ActorAction::Throw);
        return game.cargo[0].vel;
    };
    EXPECT_EQ(thrown_velocity(CargoStyle::Ballast, 0.0f).z, -3.9f);
    EXPECT_EQ(thrown_velocity(CargoStyle::Bio, 0.0f).z, -9.0f);
    EXPECT_EQ(thrown_velocity(CargoStyle::Battery, 0.0f).z, -5.4f);
    EXPECT_EQ(thrown_velocity(CargoStyle::Helmet, 0.0f).z, -7.8f);
    const Vec3 up = thrown_velocity(CargoStyle::Freight, 0.7853982f);
    EXPECT_FLOAT_EQ(up.y, -up.z);
    EXPECT_FLOAT_EQ(std::hypot(up.y, up.z), 7.8f);
}

TEST(SwitchAction, LiftWithoutPowerOnlyTellsThePlayer) {
    Game game = open_room();
    add_lift(game, {0.0f, 1.6f, -1.5f}, false);
    game.execute(0, Lift{0, true});
    EXPECT_EQ(game.message, "Займи плиту A копией, чтобы подать питание.");
    EXPECT_FALSE(game.level.lift->target_up);
    EXPECT_EQ(game.actors[0].action_seq, 0u);

    game.message.clear();
    const std::size_t echo = add_echo(game, actor_at({0.0f, 0.0f, 0.0f}));
    game.execute(echo, Lift{0, true});
    EXPECT_TRUE(game.message.empty());
}

TEST(SwitchAction, PoweredLiftTakesTheRecordedDirectionEvenIfAlreadyThere) {
    Game game = open_room();
    add_lift(game, {0.0f, 1.6f, -1.5f}, true);
    game.execute(0, Lift{0, true});
    EXPECT_TRUE(game.level.lift->target_up);
    EXPECT_EQ(game.message, "Лифт идёт наверх.");
    EXPECT_EQ(game.actors[0].action, ActorAction::Switch);
    EXPECT_EQ(game.actors[0].action_cargo, -1);
    EXPECT_EQ(game.actors[0].action_pos, (Vec3{0.0f, 1.6f, -1.5f}));

    const std::size_t echo = add_echo(game, actor_at({0.0f, 0.0f, 0.0f}));
    game.message.clear();
    game.execute(echo, Lift{0, true});
    EXPECT_EQ(game.message, "Лифт идёт наверх.");
    EXPECT_EQ(game.actors[echo].action_seq, 1u);
    game.execute(echo, Lift{0, false});
    EXPECT_FALSE(game.level.lift->target_up);
    EXPECT_EQ(game.message, "Лифт идёт вниз.");
}

TEST(SwitchAction, FanToggledByThePlayerAndThenByAnEchoIsBackWhereItStarted) {
    Game game = open_room();
    game.level.fans.push_back(fan_at({0.0f, 1.6f, -1.5f}, true));
    game.execute(0, Fan{0});
    EXPECT_FALSE(game.level.fans[0].active);
    EXPECT_EQ(game.message, "Обдув выключен.");
    const std::size_t echo = add_echo(game, actor_at({0.0f, 0.0f, 0.0f}));
    game.execute(echo, Fan{0});
    EXPECT_TRUE(game.level.fans[0].active);
    EXPECT_EQ(game.message, "Обдув включён.");
    EXPECT_EQ(game.actors[echo].action, ActorAction::Switch);
}

TEST(SwitchAction, GravityConsoleSetsTheRecordedFlag) {
    Game game = open_room();
    game.level.gravity_controls.push_back({0.0f, 1.6f, -1.5f});
    game.execute(0, Gravity{0, true});
    EXPECT_TRUE(game.cargo_gravity_off);
    EXPECT_EQ(game.message, "Гравитация груза отключена.");
    game.execute(0, Gravity{0, false});
    EXPECT_FALSE(game.cargo_gravity_off);
    EXPECT_EQ(game.message, "Гравитация груза восстановлена.");
    EXPECT_EQ(game.actors[0].action_seq, 2u);
}

TEST(SwitchAction, NeedEmptyHandsAnAimAndAnIndexThatExists) {
    Game game = open_room();
    game.level.fans.push_back(fan_at({0.0f, 1.6f, -1.5f}));
    game.level.gravity_controls.push_back({0.0f, 1.6f, -1.5f});
    add_lift(game, {0.0f, 1.6f, -1.5f}, true);
    game.execute(0, Fan{1});
    game.execute(0, Gravity{1, true});
    game.execute(0, Lift{2, true});
    game.actors[0].yaw = 3.1415927f;  // facing away
    game.execute(0, Fan{0});
    game.execute(0, Gravity{0, true});
    game.execute(0, Lift{0, true});
    game.actors[0].yaw = 0.0f;
    give(game, 0, add_cargo(game, {4.0f, 0.5f, 4.0f}));
    game.execute(0, Fan{0});
    game.execute(0, Gravity{0, true});
    game.execute(0, Lift{0, true});
    EXPECT_TRUE(game.level.fans[0].active);
    EXPECT_FALSE(game.cargo_gravity_off);
    EXPECT_FALSE(game.level.lift->target_up);
    EXPECT_EQ(game.actors[0].action_seq, 0u);
    EXPECT_TRUE(game.message.empty());
}

TEST(CatchAction, CatcherHoldsTheCargoAndTheTimerIsLeftAlone) {
    Game game = open_room();
    const std::size_t echo = add_echo(game, actor_at({0.0f, 0.0f, 0.0f}));
    const std::size_t box = add_cargo(game, {0.0f, 1.5f, -1.3f}, CargoStyle::Samples, "Пробы");
    game.cargo[box].vel = {0.0f, 0.0f, 5.0f};
    game.cargo[box].released_by = 0;
    game.cargo[box].release_timer = 0.2f;
    game.apply_catch(echo, box);
    EXPECT_EQ(game.message, "Копия 1 поймала летящий ящик.");
    EXPECT_EQ(game.cargo[box].owner, 1);
    EXPECT_EQ(game.cargo[box].vel, Vec3{});
    EXPECT_EQ(game.cargo[box].released_by, 0);
    EXPECT_EQ(game.cargo[box].release_timer, 0.2f);
    EXPECT_EQ(game.actors[echo].held, 0);
    EXPECT_EQ(game.actors[echo].action, ActorAction::Catch);
    EXPECT_EQ(game.actors[echo].action_pos, (Vec3{0.0f, 1.5f, -1.3f}));

    Game player_catch = open_room();
    add_cargo(player_catch, {0.0f, 1.5f, -1.3f}, CargoStyle::Samples, "Пробы");
    player_catch.apply_catch(0, 0);
    EXPECT_EQ(player_catch.message, "Пойман груз: Пробы");
}

}  // namespace
}  // namespace vantrel_sim
