#include <gtest/gtest.h>

#include <cmath>
#include <utility>

#include "game.hpp"
#include "internal_error.hpp"

namespace vantrel_sim {
namespace {

constexpr Vec3 PLATE_POS{0.0f, 0.03f, 0.0f};
constexpr Vec3 DOORWAY{10.0f, 1.5f, 0.0f};
constexpr Vec3 FAR_AWAY{-8.0f, 0.0f, 8.0f};

Actor actor_at(Vec3 pos) {
    Actor actor;
    actor.pos = pos;
    return actor;
}

Cargo cargo_of(CargoStyle style, Vec3 pos) {
    Cargo cargo;
    cargo.style = style;
    cargo.size = {0.85f, 0.85f, 0.85f};
    cargo.pos = pos;
    return cargo;
}

// A cargo resting with its bottom on the plate.
Cargo cargo_on_plate(CargoStyle style, float dx = 0.0f) {
    return cargo_of(style, {PLATE_POS.x + dx, PLATE_POS.y + 0.425f, PLATE_POS.z});
}

PlateView plate_at(Vec3 pos) {
    PlateView plate;
    plate.pos = pos;
    return plate;
}

PlateView scale_at(Vec3 pos, float required, std::optional<float> maximum) {
    PlateView scale = plate_at(pos);
    scale.load_required = required;
    scale.load_maximum = maximum;
    return scale;
}

DoorView door_at(Vec3 pos) {
    DoorView door;
    door.pos = pos;
    door.size = {2.0f, 3.0f, 0.3f};
    return door;
}

DoorRule plate_rule(std::size_t plate) {
    DoorRule rule;
    rule.plates_on = {plate};
    return rule;
}

// A room with one plain plate at PLATE_POS and one door wired by `rule` in DOORWAY.
Game room_with_door(const DoorRule& rule) {
    Game game;
    game.level.plates = {plate_at(PLATE_POS)};
    game.level.doors = {door_at(DOORWAY)};
    game.level.door_rules = {rule};
    game.door_hold_ticks = {0};
    game.actors = {actor_at(FAR_AWAY)};
    return game;
}

// --- sockets ---------------------------------------------------------------

TEST(DeviceSockets, PoweredOnlyByADockedCargoExactlyAtTheSocket) {
    Game game;
    SocketView socket;
    socket.pos = {1.0f, 1.2f, -3.0f};
    game.level.sockets = {socket};
    game.actors = {actor_at(FAR_AWAY)};
    game.cargo = {cargo_of(CargoStyle::Battery, socket.pos)};

    game.update_switches(false);
    EXPECT_FALSE(game.level.sockets[0].powered);

    game.cargo[0].docked = true;
    game.update_switches(false);
    EXPECT_TRUE(game.level.sockets[0].powered);

    game.cargo[0].pos.x = 1.0000001f;
    game.update_switches(false);
    EXPECT_FALSE(game.level.sockets[0].powered);
}

// --- scales and plates -----------------------------------------------------

class DeviceScale : public ::testing::Test {
protected:
    void SetUp() override {
        game.level.plates = {scale_at(PLATE_POS, 1.35f, 1.45f)};
        game.actors = {actor_at(PLATE_POS)};
    }
    const PlateView& weigh() {
        game.update_switches(false);
        return game.level.plates[0];
    }
    Game game;
};

TEST_F(DeviceScale, AcceptsOnlyALoadInsideItsWindow) {
    game.cargo = {cargo_on_plate(CargoStyle::Oxygen)};
    EXPECT_EQ(weigh().load, 0.0f + 1.4f);
    EXPECT_TRUE(weigh().active);

    game.cargo.push_back(cargo_on_plate(CargoStyle::Oxygen, 0.5f));
    EXPECT_EQ(weigh().load, (0.0f + 1.4f) + 1.4f);
    EXPECT_FALSE(weigh().active);

    game.cargo = {cargo_on_plate(CargoStyle::Ballast)};
    EXPECT_EQ(weigh().load, 0.0f + 2.4f);
    EXPECT_FALSE(weigh().active);
}

TEST_F(DeviceScale, ALoadExactlyAtEitherLimitCounts) {
    game.cargo = {cargo_on_plate(CargoStyle::Oxygen)};
    game.level.plates = {scale_at(PLATE_POS, 1.4f, 1.4f)};
    EXPECT_TRUE(weigh().active);
    game.level.plates = {scale_at(PLATE_POS, std::nextafter(1.4f, 2.0f), std::nullopt)};
    EXPECT_FALSE(weigh().active);
    game.level.plates = {scale_at(PLATE_POS, 1.0f, std::nextafter(1.4f, 0.0f))};
    EXPECT_FALSE(weigh().active);
}

TEST_F(DeviceScale, EveryStyleWeighsItsMass) {
    const std::pair<CargoStyle, float> masses[] = {
        {CargoStyle::Freight, 1.0f}, {CargoStyle::Oxygen, 1.4f},   {CargoStyle::Battery, 1.4f},
        {CargoStyle::Antenna, 1.0f}, {CargoStyle::Samples, 1.0f},  {CargoStyle::Bio, 0.45f},
        {CargoStyle::Cryo, 1.0f},    {CargoStyle::Ballast, 2.4f},  {CargoStyle::Toolkit, 0.35f},
        {CargoStyle::Coil, 0.2f},    {CargoStyle::Canister, 0.4f}, {CargoStyle::Helmet, 0.15f},
    };
    for (const auto& [style, mass] : masses) {
        game.cargo = {cargo_on_plate(style)};
        EXPECT_EQ(weigh().load, 0.0f + mass) << static_cast<int>(style);
    }
}

TEST_F(DeviceScale, ActorsNeverCountAndAnEmptyScaleIsInactive) {
    EXPECT_EQ(weigh().load, 0.0f);
    EXPECT_FALSE(weigh().active);
}

TEST_F(DeviceScale, MovingCarriedOrDockedCargoIsNotWeighed) {
    game.cargo = {cargo_on_plate(CargoStyle::Oxygen)};
    game.cargo[0].vel = {0.0f, 0.0f, 0.6f};
    EXPECT_EQ(weigh().load, 0.0f);
    game.cargo[0].vel = {0.0f, 0.0f, 0.59f};
    EXPECT_EQ(weigh().load, 0.0f + 1.4f);

    game.cargo[0].vel = {};
    game.cargo[0].owner = 0;
    EXPECT_EQ(weigh().load, 0.0f);
    EXPECT_FALSE(weigh().active);

    game.cargo[0].owner = -1;
    game.cargo[0].docked = true;
    EXPECT_EQ(weigh().load, 0.0f);
}

TEST_F(DeviceScale, CargoMustRestOnTheDisc) {
    game.cargo = {cargo_on_plate(CargoStyle::Oxygen, 0.9f)};
    EXPECT_EQ(weigh().load, 0.0f + 1.4f);
    game.cargo[0].pos.x = 0.95f;
    EXPECT_EQ(weigh().load, 0.0f);

    game.cargo = {cargo_on_plate(CargoStyle::Oxygen)};
    game.cargo[0].pos.y = game.cargo[0].pos.y + 0.16f;
    EXPECT_EQ(weigh().load, 0.0f);
}

TEST_F(DeviceScale, WithoutAMaximumAnyLoadAboveTheRequirementCounts) {
    game.level.plates = {scale_at(PLATE_POS, 2.0f, std::nullopt)};
    game.cargo = {cargo_on_plate(CargoStyle::Ballast), cargo_on_plate(CargoStyle::Helmet)};
    EXPECT_EQ(weigh().load, (0.0f + 2.4f) + 0.15f);
    EXPECT_TRUE(weigh().active);
}

TEST(DevicePlates, PressedByAnyStandingActorButNotByCargo) {
    Game game;
    game.level.plates = {plate_at(PLATE_POS)};
    game.level.plates[0].load = 0.5f;
    game.actors = {actor_at(FAR_AWAY), actor_at({0.9f + 0.15f, 0.0f, 0.0f})};
    game.cargo = {cargo_on_plate(CargoStyle::Ballast)};

    game.update_switches(false);
    EXPECT_TRUE(game.level.plates[0].active);
    EXPECT_EQ(game.level.plates[0].load, 0.5f);

    game.actors[1].pos = {1.1f, 0.0f, 0.0f};
    game.update_switches(false);
    EXPECT_FALSE(game.level.plates[0].active);

    // Jumping off the plate releases it.
    game.actors[1].pos = {0.0f, 0.5f, 0.0f};
    game.update_switches(false);
    EXPECT_FALSE(game.level.plates[0].active);
    game.actors[1].pos = {0.0f, 0.49f, 0.0f};
    game.update_switches(false);
    EXPECT_TRUE(game.level.plates[0].active);
}

// --- ruled doors -----------------------------------------------------------

TEST(RuledDoor, OpensOnlyWhileEveryListHolds) {
    DoorRule rule;
    rule.plates_on = {0};
    rule.plates_off = {1};
    rule.sockets_on = {0};
    rule.sockets_off = {1};
    Game game = room_with_door(rule);
    game.level.plates.push_back(plate_at({4.0f, 0.03f, 0.0f}));
    SocketView socket;
    socket.pos = {0.0f, 1.0f, -5.0f};
    SocketView spare = socket;
    spare.pos = {2.0f, 1.0f, -5.0f};
    game.level.sockets = {socket, spare};
    game.actors = {actor_at(PLATE_POS)};
    game.cargo = {cargo_of(CargoStyle::Battery, socket.pos), cargo_of(CargoStyle::Battery, spare.pos)};
    game.cargo[0].docked = true;

    game.update_switches(false);
    EXPECT_TRUE(game.level.doors[0].open);

    // Power on a forbidden socket closes it.
    game.cargo[1].docked = true;
    game.update_switches(false);
    EXPECT_FALSE(game.level.doors[0].open);
    game.cargo[1].docked = false;

    // A forbidden plate pressed closes it.
    game.actors.push_back(actor_at({4.0f, 0.0f, 0.0f}));
    game.update_switches(false);
    EXPECT_FALSE(game.level.doors[0].open);
    game.actors.pop_back();

    // Taking the battery out of its socket closes it at the next evaluation.
    game.update_switches(false);
    EXPECT_TRUE(game.level.doors[0].open);
    game.cargo[0].docked = false;
    game.cargo[0].owner = 0;
    game.update_switches(false);
    EXPECT_FALSE(game.level.sockets[0].powered);
    EXPECT_FALSE(game.level.doors[0].open);
}

TEST(RuledDoor, OnlyThePlayerInTheDoorwayKeepsAPlainRuledDoorOpen) {
    Game game = room_with_door(plate_rule(0));
    game.actors = {actor_at(DOORWAY - Vec3{0.0f, 1.5f, 0.0f}), actor_at(PLATE_POS)};
    game.update_switches(false);
    ASSERT_TRUE(game.level.doors[0].open);

    // The echo steps off the plate: the player in the doorway holds the door.
    game.actors[1].pos = FAR_AWAY;
    game.update_switches(false);
    EXPECT_TRUE(game.level.doors[0].open);

    // Once the player leaves it closes.
    game.actors[0].pos = FAR_AWAY;
    game.update_switches(false);
    EXPECT_FALSE(game.level.doors[0].open);

    // Walking back in does not reopen it.
    game.actors[0].pos = DOORWAY - Vec3{0.0f, 1.5f, 0.0f};
    game.update_switches(false);
    EXPECT_FALSE(game.level.doors[0].open);
}

TEST(RuledDoor, AnEchoInTheDoorwayDoesNotHoldAPlainRuledDoor) {
    Game game = room_with_door(plate_rule(0));
    game.actors = {actor_at(PLATE_POS), actor_at(DOORWAY - Vec3{0.0f, 1.5f, 0.0f})};
    game.update_switches(false);
    ASSERT_TRUE(game.level.doors[0].open);

    game.actors[0].pos = FAR_AWAY;
    game.update_switches(false);
    EXPECT_FALSE(game.level.doors[0].open);
}

TEST(RuledDoor, RuleIndicesOutsideTheDeviceListsAreInternalErrors) {
    Game game = room_with_door(plate_rule(3));
    EXPECT_THROW(game.update_switches(false), InternalError);

    DoorRule rule;
    rule.sockets_off = {0};
    Game no_sockets = room_with_door(rule);
    EXPECT_THROW(no_sockets.update_switches(false), InternalError);
}

// --- cycling doors ---------------------------------------------------------

class CyclingDoor : public ::testing::Test {
protected:
    void SetUp() override {
        DoorRule rule = plate_rule(0);
        rule.cycle = DoorCycle{18, 7, 10};
        game = room_with_door(rule);
        game.actors = {actor_at(PLATE_POS)};
    }
    const DoorView& at_second(std::uint32_t seconds, std::uint32_t extra_ticks = 0) {
        game.ticks = seconds * 120 + extra_ticks;
        game.update_switches(true);
        return game.level.doors[0];
    }
    Game game;
};

TEST_F(CyclingDoor, OpensInsideItsWindowOfEveryPeriod) {
    const DoorView& door = at_second(0);
    EXPECT_FALSE(door.open);
    EXPECT_EQ(door.cycle_remaining.value_or(-1.0f), 840.0f * TICK);

    at_second(7);
    EXPECT_TRUE(door.open);
    EXPECT_EQ(door.cycle_remaining.value_or(-1.0f), 360.0f * TICK);

    at_second(9, 119);
    EXPECT_TRUE(door.open);
    EXPECT_EQ(door.cycle_remaining.value_or(-1.0f), TICK);

    at_second(10);
    EXPECT_FALSE(door.open);
    EXPECT_EQ(door.cycle_remaining.value_or(-1.0f), 1800.0f * TICK);

    at_second(25);
    EXPECT_TRUE(door.open);
    EXPECT_FALSE(door.hold_remaining.has_value());
}

TEST_F(CyclingDoor, StaysClosedWithoutRemainingTimeWhenItsConditionFails) {
    game.actors[0].pos = FAR_AWAY;
    const DoorView& door = at_second(8);
    EXPECT_FALSE(door.open);
    EXPECT_FALSE(door.cycle_remaining.has_value());
}

TEST_F(CyclingDoor, ZeroPeriodIsAnInternalError) {
    game.level.door_rules[0].cycle = DoorCycle{0, 0, 0};
    EXPECT_THROW(game.update_switches(false), InternalError);
}

// --- latching doors --------------------------------------------------------

class LatchingDoor : public ::testing::Test {
protected:
    void SetUp() override {
        DoorRule rule = plate_rule(0);
        rule.latch_seconds = 5;
        game = room_with_door(rule);
        game.actors = {actor_at(PLATE_POS)};
    }
    void advance(int ticks) {
        for (int i = 0; i < ticks; ++i) {
            game.update_switches(true);
        }
    }
    const DoorView& door() const { return game.level.doors[0]; }
    Game game;
};

TEST_F(LatchingDoor, OpensAfterFiveSecondsOfItsCondition) {
    game.update_switches(false);
    EXPECT_FALSE(door().open);
    EXPECT_EQ(door().hold_remaining.value_or(-1.0f), 600.0f * TICK);

    advance(599);
    EXPECT_FALSE(door().open);
    EXPECT_EQ(door().hold_remaining.value_or(-1.0f), TICK);
    EXPECT_EQ(game.door_hold_ticks[0], 599u);

    // Evaluation without advance leaves the count alone.
    game.update_switches(false);
    EXPECT_EQ(game.door_hold_ticks[0], 599u);

    advance(1);
    EXPECT_TRUE(door().open);
    EXPECT_EQ(door().hold_remaining.value_or(-1.0f), 0.0f);
    EXPECT_FALSE(door().cycle_remaining.has_value());
}

TEST_F(LatchingDoor, OneFailingTickResetsTheCount) {
    advance(599);
    game.actors[0].pos = FAR_AWAY;
    advance(1);
    EXPECT_EQ(game.door_hold_ticks[0], 0u);
    EXPECT_EQ(door().hold_remaining.value_or(-1.0f), 600.0f * TICK);
    EXPECT_FALSE(door().open);

    game.actors[0].pos = PLATE_POS;
    advance(599);
    EXPECT_FALSE(door().open);
    advance(1);
    EXPECT_TRUE(door().open);
}

TEST_F(LatchingDoor, StaysLatchedWhenItsConditionEnds) {
    advance(600);
    ASSERT_TRUE(door().open);
    game.actors[0].pos = FAR_AWAY;
    advance(10);
    EXPECT_TRUE(door().open);
    EXPECT_EQ(game.door_hold_ticks[0], 600u);
    EXPECT_FALSE(game.level.plates[0].active);
}

TEST_F(LatchingDoor, MissingHoldCounterIsAnInternalError) {
    game.door_hold_ticks.clear();
    EXPECT_THROW(game.update_switches(true), InternalError);
}

// --- rule-less doors and the transfer window -------------------------------

class RulelessDoor : public ::testing::Test {
protected:
    void SetUp() override {
        game.level.plates = {plate_at(PLATE_POS)};
        game.level.doors = {door_at(DOORWAY), door_at({-10.0f, 1.5f, 0.0f})};
        game.door_hold_ticks = {0, 0};
        game.actors = {actor_at(FAR_AWAY), actor_at(FAR_AWAY)};
    }
    Game game;
};

TEST_F(RulelessDoor, FollowsThePlateOfTheSameIndex) {
    game.update_switches(false);
    EXPECT_FALSE(game.level.doors[0].open);

    game.actors[1].pos = PLATE_POS;
    game.update_switches(false);
    EXPECT_TRUE(game.level.doors[0].open);
    EXPECT_FALSE(game.level.doors[1].open);

    game.actors[1].pos = FAR_AWAY;
    game.update_switches(false);
    EXPECT_FALSE(game.level.doors[0].open);
}

TEST_F(RulelessDoor, AnyActorInTheDoorwayOpensIt) {
    game.actors[1].pos = DOORWAY - Vec3{0.0f, 1.5f, 0.0f};
    game.update_switches(false);
    EXPECT_TRUE(game.level.doors[0].open);

    // Door 1 has no plate of its own; only bodies open it.
    game.actors[0].pos = {-10.0f, 0.0f, 0.4f};
    game.update_switches(false);
    EXPECT_TRUE(game.level.doors[1].open);

    // Body touching the door leaf (0.15 + 0.3 = 0.45 apart) is not inside.
    game.actors[0].pos = {-10.0f, 0.0f, 0.45f};
    game.update_switches(false);
    EXPECT_FALSE(game.level.doors[1].open);
}

TEST_F(RulelessDoor, TransferWindowAloneDecidesTheSecondDoor) {
    game.level.plates.push_back(plate_at({-10.0f, 0.03f, 0.0f}));
    game.level.door_rules = {DoorRule{}, plate_rule(1)};
    game.level.transfer_window = std::array<float, 2>{5.0f, 10.0f};
    game.actors = {actor_at({-10.0f, 0.0f, 0.0f})};

    game.ticks = 599;
    game.update_switches(false);
    EXPECT_TRUE(game.level.plates[1].active);
    EXPECT_FALSE(game.level.doors[1].open);

    game.ticks = 600;
    game.update_switches(false);
    EXPECT_TRUE(game.level.doors[1].open);

    game.actors[0].pos = FAR_AWAY;
    game.ticks = 1199;
    game.update_switches(false);
    EXPECT_TRUE(game.level.doors[1].open);

    game.ticks = 1200;
    game.update_switches(false);
    EXPECT_FALSE(game.level.doors[1].open);

    // A window whose ends are exact tick times: open from its start, closed at its end.
    game.level.transfer_window = std::array<float, 2>{600.0f * TICK, 1200.0f * TICK};
    for (const std::uint32_t ticks : {599u, 600u, 1199u, 1200u}) {
        game.ticks = ticks;
        game.update_switches(false);
        EXPECT_EQ(game.level.doors[1].open, ticks == 600u || ticks == 1199u) << ticks;
    }
}

}  // namespace
}  // namespace vantrel_sim
