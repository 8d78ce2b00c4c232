#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <bit>
#include <cmath>
#include <cstdint>
#include <vector>

#include "game.hpp"
#include "internal_error.hpp"
#include "math/geometry.hpp"
#include "motion.hpp"

namespace vantrel_sim {
namespace {

constexpr Vec3 UNIT{1.0f, 1.0f, 1.0f};
constexpr Vec3 MAIN_SIZE{1.15f, 0.85f, 0.85f};

Cargo make_cargo(Vec3 pos, Vec3 vel, CargoStyle style = CargoStyle::Freight) {
    Cargo cargo;
    cargo.pos = pos;
    cargo.vel = vel;
    cargo.size = UNIT;
    cargo.style = style;
    return cargo;
}

// --- Solid boxes ---------------------------------------------------------

TEST(SolidBoxes, WallsThenClosedDoorsThenLiftPlatform) {
    Level level;
    level.walls = {{{1.0f, 0.0f, 0.0f}, UNIT}, {{2.0f, 0.0f, 0.0f}, UNIT}};
    DoorView closed;
    closed.pos = {5.0f, 1.0f, 0.0f};
    closed.size = {2.0f, 2.0f, 0.2f};
    DoorView open = closed;
    open.pos = {7.0f, 1.0f, 0.0f};
    open.open = true;
    level.doors = {open, closed};
    LiftView lift;
    lift.center = {3.0f, 0.0f, 4.0f};
    lift.size = {2.0f, 0.4f, 2.0f};
    lift.height = 1.5f;
    level.lift = lift;

    const BoxList list = solid_boxes(level);
    ASSERT_EQ(list.count, 4u);
    EXPECT_EQ(list.items[0], level.walls[0]);
    EXPECT_EQ(list.items[1], level.walls[1]);
    EXPECT_EQ(list.items[2], (BoxView{closed.pos, closed.size}));
    EXPECT_EQ(list.items[3].pos.x, 3.0f);
    EXPECT_FLOAT_EQ(list.items[3].pos.y, 1.3f);
    EXPECT_EQ(list.items[3].pos.z, 4.0f);
    EXPECT_EQ(list.items[3].size, lift.size);
}

TEST(SolidBoxes, ListOverflowIsAnInternalError) {
    BoxList list;
    for (std::size_t i = 0; i < BoxList::CAPACITY; ++i) {
        list.push({{static_cast<float>(i), 0.0f, 0.0f}, UNIT});
    }
    EXPECT_THROW(list.push({}), InternalError);
    EXPECT_EQ(list.count, BoxList::CAPACITY);
}

TEST(SolidBoxes, RemoveEqualDropsEveryCopyAndKeepsOrder) {
    const BoxView a{{1.0f, 0.0f, 0.0f}, UNIT};
    const BoxView b{{2.0f, 0.0f, 0.0f}, UNIT};
    const BoxView c{{3.0f, 0.0f, 0.0f}, UNIT};
    BoxList list;
    for (const BoxView& box : {a, b, c, b}) {
        list.push(box);
    }
    list.remove_equal(b);
    ASSERT_EQ(list.count, 2u);
    EXPECT_EQ(list.items[0], a);
    EXPECT_EQ(list.items[1], c);
}

// --- clip_axis -------------------------------------------------------------

// A wall whose -x face lies at x = 1.5; a unit box touches it at x = 1.0.
const std::vector<BoxView> WALL_AHEAD{{{2.0f, 0.0f, 0.0f}, UNIT}};

TEST(ClipAxis, ZeroDeltaReturnsTheStartEvenInsideAWall) {
    EXPECT_EQ(clip_axis({2.0f, 0.0f, 0.0f}, UNIT, 0, 0.0f, WALL_AHEAD), 2.0f);
}

TEST(ClipAxis, StopsOneMillimetreBeforeTheFace) {
    EXPECT_EQ(clip_axis({0.5f, 0.0f, 0.0f}, UNIT, 0, 1.0f, WALL_AHEAD), 1.0f - 0.001f);
    // Short of the wall the move is untouched.
    EXPECT_EQ(clip_axis({0.0f, 0.0f, 0.0f}, UNIT, 0, 0.5f, WALL_AHEAD), 0.5f);
    // Moving away is never clipped.
    EXPECT_EQ(clip_axis({0.5f, 0.0f, 0.0f}, UNIT, 0, -1.0f, WALL_AHEAD), -0.5f);
}

TEST(ClipAxis, BoxWithinTheGapPastTheFaceDoesNotMoveTowardTheWall) {
    EXPECT_EQ(clip_axis({1.0005f, 0.0f, 0.0f}, UNIT, 0, 0.3f, WALL_AHEAD), 1.0005f);
}

TEST(ClipAxis, BoxFurtherPastTheFaceIsNotStopped) {
    EXPECT_FLOAT_EQ(clip_axis({1.002f, 0.0f, 0.0f}, UNIT, 0, 0.3f, WALL_AHEAD), 1.302f);
}

TEST(ClipAxis, NegativeMoveStopsBeforeTheOppositeFace) {
    const std::vector<BoxView> behind{{{-2.0f, 0.0f, 0.0f}, UNIT}};
    EXPECT_EQ(clip_axis({0.0f, 0.0f, 0.0f}, UNIT, 0, -3.0f, behind), -1.0f + 0.001f);
}

TEST(ClipAxis, WallMustOverlapOnBothOtherAxesByMoreThanTheTolerance) {
    const Vec3 start{0.5f, 0.0f, 0.0f};
    // Overlaps in y but only touches in z.
    const std::vector<BoxView> touching_z{{{2.0f, 0.0f, 1.0f}, UNIT}};
    EXPECT_EQ(clip_axis(start, UNIT, 0, 1.0f, touching_z), 1.5f);
    // Overlap in z of exactly the tolerance.
    const std::vector<BoxView> tolerance_z{{{2.0f, 0.0f, 0.9999f}, UNIT}};
    EXPECT_EQ(clip_axis(start, UNIT, 0, 1.0f, tolerance_z), 1.5f);
    // A little more overlap blocks.
    const std::vector<BoxView> deeper_z{{{2.0f, 0.0f, 0.9998f}, UNIT}};
    EXPECT_EQ(clip_axis(start, UNIT, 0, 1.0f, deeper_z), 1.0f - 0.001f);
    // Overlaps in z but lies beside in y.
    const std::vector<BoxView> beside_y{{{2.0f, 1.0f, 0.0f}, UNIT}};
    EXPECT_EQ(clip_axis(start, UNIT, 0, 1.0f, beside_y), 1.5f);
}

TEST(ClipAxis, NearestFaceWinsWhateverTheListOrder) {
    const BoxView near_wall{{2.0f, 0.0f, 0.0f}, UNIT};
    const BoxView far_wall{{3.0f, 0.0f, 0.0f}, UNIT};
    const std::vector<BoxView> far_first{far_wall, near_wall};
    const std::vector<BoxView> near_first{near_wall, far_wall};
    EXPECT_EQ(clip_axis({0.0f, 0.0f, 0.0f}, UNIT, 0, 5.0f, far_first), 1.0f - 0.001f);
    EXPECT_EQ(clip_axis({0.0f, 0.0f, 0.0f}, UNIT, 0, 5.0f, near_first), 1.0f - 0.001f);
}

TEST(ClipAxis, VerticalAxisUsesXAndZAsSides) {
    const std::vector<BoxView> ceiling{{{0.0f, 3.0f, 0.0f}, {4.0f, 1.0f, 4.0f}}};
    EXPECT_EQ(clip_axis({0.0f, 1.0f, 0.0f}, UNIT, 1, 2.0f, ceiling), 2.0f - 0.001f);
}

// --- sweep_box -------------------------------------------------------------

// A lid lying on a unit box at the origin that covers it only while x < x_end:
// the box cannot rise until a sub-step has carried it past x_end, so the height
// reached tells how many sub-steps the sweep took.
std::vector<BoxView> lid_until(float x_end) {
    return {{{x_end - 0.9999f, 1.0f, 0.0f}, UNIT}};
}

TEST(SweepBox, TwentyCentimetresTakeThreeSubSteps) {
    Vec3 from{0.0f, 0.0f, 0.0f};
    const Vec3 to{0.12f, 0.16f, 0.0f};
    const Vec3 reached = sweep_box(from, to, UNIT, lid_until(0.1f));
    // Two sub-steps stay under the lid; only the third rises.
    EXPECT_FLOAT_EQ(reached.x, 0.12f);
    EXPECT_FLOAT_EQ(reached.y, 0.16f / 3.0f);
    EXPECT_EQ(from, reached);
}

TEST(SweepBox, SixteenCentimetresTakeTwoSubStepsAndAHairMoreTakesThree) {
    // The rise is far too small to change the length: the length is the x distance.
    const float rise = 0.00002f;
    Vec3 from{0.0f, 0.0f, 0.0f};
    // Two sub-steps of 0.08: only the second clears the lid and rises.
    EXPECT_EQ(sweep_box(from, {0.16f, rise, 0.0f}, UNIT, lid_until(0.1f)).y, rise / 2.0f);
    // Three sub-steps: the second and the third rise.
    from = {0.0f, 0.0f, 0.0f};
    const float longer = std::nextafter(0.16f, 1.0f);
    const float third = rise / 3.0f;
    EXPECT_EQ(sweep_box(from, {longer, rise, 0.0f}, UNIT, lid_until(0.1f)).y, third + third);
}

TEST(SweepBox, LongSweepIsCappedAtOneHundredTwentyEightSubSteps) {
    Vec3 from{0.0f, 0.0f, 0.0f};
    // Sub-steps of 20/128 = 0.15625: three stay under a lid ending at 0.55.
    const Vec3 reached = sweep_box(from, {20.0f, 1.0f, 0.0f}, UNIT, lid_until(0.55f));
    EXPECT_NEAR(reached.x, 20.0f, 1e-4f);
    EXPECT_NEAR(reached.y, 125.0f / 128.0f, 1e-5f);
}

TEST(SweepBox, ZeroLengthReturnsTheStartEvenInsideAWall) {
    Vec3 from{2.0f, 0.0f, 0.0f};
    EXPECT_EQ(sweep_box(from, from, UNIT, WALL_AHEAD), (Vec3{2.0f, 0.0f, 0.0f}));
}

TEST(SweepBox, PathIntoAWallSlidesAlongIt) {
    Vec3 from{0.0f, 0.0f, 0.0f};
    const std::vector<BoxView> wall{{{2.0f, 0.0f, 0.0f}, {1.0f, 1.0f, 10.0f}}};
    const Vec3 reached = sweep_box(from, {3.0f, 0.0f, 2.0f}, UNIT, wall);
    EXPECT_FLOAT_EQ(reached.x, 1.0f - 0.001f);
    EXPECT_NEAR(reached.z, 2.0f, 1e-5f);
}

// --- separate_cargo --------------------------------------------------------

TEST(SeparateCargo, ShallowerOverlapIsResolvedFirst) {
    // Shallow in x against `a`; `b` is deepest in x but shallowest in z. Leaving `a`
    // first makes `b` shallower in x than in z, so the cargo ends up pushed along x only.
    const BoxView b{{0.7f, 0.0f, 0.8f}, UNIT};
    const BoxView a{{0.9f, 0.0f, 0.0f}, UNIT};
    const std::vector<BoxView> walls{b, a};
    Cargo cargo = make_cargo({0.0f, 0.0f, 0.0f}, {});
    separate_cargo(cargo, walls);
    EXPECT_NEAR(cargo.pos.x, -0.301f, 1e-5f);
    EXPECT_EQ(cargo.pos.z, 0.0f);
    EXPECT_FALSE(overlap(cargo.pos, cargo.size, a.pos, a.size));
    EXPECT_FALSE(overlap(cargo.pos, cargo.size, b.pos, b.size));
}

TEST(SeparateCargo, StopsAfterFourPassesEvenWhenStillOverlapping) {
    // Each push-out lands the cargo 5 cm into the next wall of the row.
    std::vector<BoxView> walls;
    for (int i = 0; i < 5; ++i) {
        walls.push_back({{0.95f - 0.051f * static_cast<float>(i), 0.0f, 0.0f}, UNIT});
    }
    Cargo cargo = make_cargo({0.0f, 0.0f, 0.0f}, {});
    separate_cargo(cargo, walls);
    EXPECT_NEAR(cargo.pos.x, -0.204f, 1e-5f);
    EXPECT_TRUE(overlap(cargo.pos, cargo.size, walls[4].pos, walls[4].size));
    EXPECT_FALSE(overlap(cargo.pos, cargo.size, walls[3].pos, walls[3].size));
}

TEST(SeparateCargo, EqualDepthsFavourTheEarlierBox) {
    const std::vector<BoxView> walls{{{0.95f, 0.0f, 0.0f}, UNIT}, {{-0.95f, 0.0f, 0.0f}, UNIT}};
    Cargo cargo = make_cargo({0.0f, 0.0f, 0.0f}, {});
    separate_cargo(cargo, walls);
    // Pushed back and forth between the two: the first push went away from wall 0,
    // and four passes end on the side of wall 0.
    EXPECT_NEAR(cargo.pos.x, 0.051f, 1e-5f);
}

TEST(SeparateCargo, PushOutReversesAndDampsTheIncomingVelocity) {
    const std::vector<BoxView> walls{{{0.9f, 0.0f, 0.0f}, UNIT}};
    Cargo cargo = make_cargo({0.0f, 0.0f, 0.0f}, {2.0f, 0.0f, 0.0f});
    separate_cargo(cargo, walls);
    EXPECT_NEAR(cargo.pos.x, -0.101f, 1e-6f);
    EXPECT_FLOAT_EQ(cargo.vel.x, -0.52f);

    // Already moving away: the velocity is kept.
    Cargo leaving = make_cargo({0.0f, 0.0f, 0.0f}, {-2.0f, 0.0f, 0.0f});
    separate_cargo(leaving, walls);
    EXPECT_EQ(leaving.vel.x, -2.0f);
}

TEST(SeparateCargo, CentredCargoGoesBackTheWayItCame) {
    const std::vector<BoxView> slab{{{0.0f, 0.0f, 0.0f}, {0.1f, 1.0f, 1.0f}}};
    Cargo forward = make_cargo({0.0f, 0.0f, 0.0f}, {3.0f, 0.0f, 0.0f});
    separate_cargo(forward, slab);
    EXPECT_FLOAT_EQ(forward.pos.x, -0.551f);
    EXPECT_FLOAT_EQ(forward.vel.x, -0.78f);

    Cargo backward = make_cargo({0.0f, 0.0f, 0.0f}, {-3.0f, 0.0f, 0.0f});
    separate_cargo(backward, slab);
    EXPECT_FLOAT_EQ(backward.pos.x, 0.551f);

    Cargo resting = make_cargo({0.0f, 0.0f, 0.0f}, {});
    separate_cargo(resting, slab);
    EXPECT_FLOAT_EQ(resting.pos.x, 0.551f);

    // Centred means within a millimetre: from there on it is pushed out on its own side.
    for (const float x : {std::nextafter(0.001f, 0.0f), 0.001f}) {
        Cargo off = make_cargo({x, 0.0f, 0.0f}, {3.0f, 0.0f, 0.0f});
        separate_cargo(off, slab);
        EXPECT_EQ(off.pos.x > 0.0f, x == 0.001f) << x;
    }
}

// --- integrate_cargo -------------------------------------------------------

TEST(IntegrateCargo, DroppedCargoBouncesWithTwentyThreePercentOfItsImpactSpeed) {
    Cargo cargo = make_cargo({0.0f, 3.0f, 0.0f}, {});
    float impact = 0.0f;
    int ticks = 0;
    while (cargo.pos.y > 0.5f && ticks < 2000) {
        // The velocity at contact is this tick's gravity and damping applied.
        impact = (9.8f * -TICK + cargo.vel.y) * 0.999f;
        integrate_cargo(cargo, {}, {}, 9.8f);
        ++ticks;
    }
    ASSERT_EQ(cargo.pos.y, 0.5f);
    ASSERT_LT(impact, -0.9f);
    EXPECT_EQ(cargo.vel.y, impact * -0.23f);
}

TEST(IntegrateCargo, SlowFloorContactStopsTheFall) {
    Cargo cargo = make_cargo({0.0f, 0.501f, 0.0f}, {0.0f, -0.8f, 0.0f});
    integrate_cargo(cargo, {}, {}, 0.0f);
    EXPECT_EQ(cargo.pos.y, 0.5f);
    EXPECT_EQ(cargo.vel.y, 0.0f);

    Cargo fast = make_cargo({0.0f, 0.501f, 0.0f}, {0.0f, -2.0f, 0.0f});
    integrate_cargo(fast, {}, {}, 0.0f);
    EXPECT_EQ(fast.pos.y, 0.5f);
    EXPECT_EQ(fast.vel.y, (-2.0f * 0.999f) * -0.23f);
}

TEST(IntegrateCargo, FloorFrictionSlowsASlidingCargo) {
    Cargo cargo = make_cargo({0.0f, 0.5f, 0.0f}, {1.0f, 0.0f, -0.5f});
    integrate_cargo(cargo, {}, {}, 2.8f);
    // 0.999 damping, the move, then 0.98333335 friction.
    EXPECT_EQ(cargo.vel.x, (1.0f * 0.999f) * 0.98333335f);
    EXPECT_EQ(cargo.vel.z, (-0.5f * 0.999f) * 0.98333335f);
    EXPECT_EQ(cargo.vel.y, 0.0f);
    EXPECT_EQ(cargo.pos.y, 0.5f);
    EXPECT_EQ(cargo.pos.x, 0.0f + TICK * (1.0f * 0.999f));
}

TEST(IntegrateCargo, WithoutFloorContactOnlyDampingActs) {
    Cargo cargo = make_cargo({0.0f, 2.0f, 0.0f}, {1.0f, 0.0f, 0.0f});
    integrate_cargo(cargo, {}, {}, 0.0f);
    EXPECT_EQ(cargo.vel.x, 1.0f * 0.999f);
}

TEST(IntegrateCargo, ClippedMoveBouncesOffAWallAndSlowBouncesStop) {
    // The wall's face is 1 cm ahead: this tick's 5 cm move is clipped.
    const std::vector<BoxView> wall{{{1.01f, 2.0f, 0.0f}, UNIT}};
    Cargo fast = make_cargo({0.0f, 2.0f, 0.0f}, {6.0f, 0.0f, 0.0f});
    integrate_cargo(fast, wall, {}, 0.0f);
    EXPECT_NEAR(fast.pos.x, 0.009f, 1e-6f);
    EXPECT_EQ(fast.vel.x, (6.0f * 0.999f) * -0.26f);

    Cargo slow = make_cargo({0.0f, 2.0f, 0.0f}, {0.9f, 0.0f, 0.0f});
    const std::vector<BoxView> close_wall{{{1.002f, 2.0f, 0.0f}, UNIT}};
    integrate_cargo(slow, close_wall, {}, 0.0f);
    EXPECT_EQ(slow.vel.x, 0.0f);
}

TEST(IntegrateCargo, ABounceAtTheStopSpeedKeepsItAndASlowerOneStops) {
    // The wall's face is 1 mm ahead: the move is clipped. After damping and the reversal
    // this speed is exactly 0.25.
    const std::vector<BoxView> wall{{{1.002f, 2.0f, 0.0f}, UNIT}};
    const float at_edge = 0.962501f;
    ASSERT_EQ((at_edge * 0.999f) * -0.26f, -0.25f);
    Cargo kept = make_cargo({0.0f, 2.0f, 0.0f}, {at_edge, 0.0f, 0.0f});
    integrate_cargo(kept, wall, {}, 0.0f);
    EXPECT_EQ(kept.vel.x, -0.25f);

    Cargo stopped = make_cargo({0.0f, 2.0f, 0.0f}, {std::nextafter(at_edge, 0.0f), 0.0f, 0.0f});
    integrate_cargo(stopped, wall, {}, 0.0f);
    EXPECT_EQ(stopped.vel.x, 0.0f);
}

// Speeds whose squares round to just above 18² but whose roots round to 18 are not capped:
// every step's cap must agree with the plain root, whatever shortcut it takes.
TEST(IntegrateCargo, CapAgreesWithThePlainRootAroundEighteen) {
    for (const Vec3 direction : {Vec3{1.0f, 0.0f, 0.0f}, Vec3{0.6f, 0.0f, 0.8f}, Vec3{0.0f, 1.0f, 0.0f}}) {
        float speed = 17.99f;
        for (int i = 0; i < 20000; ++i, speed = std::nextafter(speed, 20.0f)) {
            Cargo cargo = make_cargo({0.0f, 5.0f, 0.0f}, direction * speed);
            Vec3 expected = cargo.vel * 0.999f;
            const float length_after = std::sqrt(dot(expected, expected));
            if (length_after > 18.0f) {
                expected = expected * (18.0f / length_after);
            }
            integrate_cargo(cargo, {}, {}, 0.0f);
            ASSERT_EQ(std::bit_cast<std::uint32_t>(cargo.vel.x), std::bit_cast<std::uint32_t>(expected.x)) << speed;
            ASSERT_EQ(std::bit_cast<std::uint32_t>(cargo.vel.y), std::bit_cast<std::uint32_t>(expected.y)) << speed;
            ASSERT_EQ(std::bit_cast<std::uint32_t>(cargo.vel.z), std::bit_cast<std::uint32_t>(expected.z)) << speed;
        }
    }
}

TEST(IntegrateCargo, SpeedIsCappedAtEighteen) {
    Cargo cargo = make_cargo({0.0f, 5.0f, 0.0f}, {30.0f, 0.0f, 40.0f});
    integrate_cargo(cargo, {}, {}, 0.0f);
    EXPECT_NEAR(length(cargo.vel), 18.0f, 1e-4f);
    EXPECT_NEAR(cargo.vel.x / cargo.vel.z, 0.75f, 1e-6f);
}

// --- near boxes ------------------------------------------------------------

std::array<std::uint32_t, 6> body_bits(const Cargo& cargo) {
    return {std::bit_cast<std::uint32_t>(cargo.pos.x), std::bit_cast<std::uint32_t>(cargo.pos.y),
            std::bit_cast<std::uint32_t>(cargo.pos.z), std::bit_cast<std::uint32_t>(cargo.vel.x),
            std::bit_cast<std::uint32_t>(cargo.vel.y), std::bit_cast<std::uint32_t>(cargo.vel.z)};
}

// Two seconds of flight, every tick compared bit for bit with the whole list.
void expect_same_flight(Cargo cargo, std::span<const BoxView> boxes, std::span<const FanView> fans) {
    Cargo near_cargo = cargo;
    NearBoxes near;
    near.all = boxes;
    for (int tick = 0; tick < 240; ++tick) {
        integrate_cargo(cargo, boxes, fans, 2.8f);
        integrate_cargo(near_cargo, near, fans, 2.8f, 1);
        ASSERT_EQ(body_bits(near_cargo), body_bits(cargo)) << "tick " << tick;
    }
}

TEST(NearBoxes, FlightsThroughEveryRoomMatchTheWholeListBitForBit) {
    for (std::size_t room = 0; room < ROOM_COUNT; ++room) {
        SCOPED_TRACE(room);
        const Level level = make_level(room);
        const BoxList solids = solid_boxes(level);
        // From the main cargo's spot, from inside the first wall, and from head height.
        const Vec3 starts[] = {level.cargo_pos, solids.items[0].pos, level.spawn + Vec3{0.0f, 1.5f, 0.0f}};
        for (Vec3 start : starts) {
            for (int heading = 0; heading < 12; ++heading) {
                const float yaw = static_cast<float>(heading) * 0.5236f;
                const float pitch = static_cast<float>(heading % 3) * 0.4f - 0.3f;
                const Vec3 vel = Vec3{-std::sin(yaw), std::sin(pitch), -std::cos(yaw)} * 9.0f;
                expect_same_flight(make_cargo(start, vel), solids.view(), level.fans);
            }
        }
    }
}

TEST(NearBoxes, CargoPushedFarOutOfAWallStillMeetsTheNextOne) {
    // Pushed 1.2 m out of a thick wall, then moving 0.15 m into a second wall that lies far
    // beyond where the step began.
    const std::vector<BoxView> walls{{{0.0f, 0.0f, 0.0f}, {2.0f, 4.0f, 4.0f}},
                                     {{2.2f, 0.0f, 0.0f}, {0.2f, 4.0f, 4.0f}}};
    expect_same_flight(make_cargo({0.3f, 0.0f, 0.0f}, {18.0f, 0.0f, 0.0f}), walls, {});
}

TEST(NearBoxes, EqualDepthsStillFavourTheEarlierBox) {
    const std::vector<BoxView> walls{{{0.95f, 0.0f, 0.0f}, UNIT}, {{-0.95f, 0.0f, 0.0f}, UNIT}};
    expect_same_flight(make_cargo({0.0f, 0.0f, 0.0f}, {}), walls, {});
    expect_same_flight(make_cargo({0.0f, 3.0f, 0.0f}, {0.0f, -30.0f, 0.0f}), walls, {});
}

// Every sub-step against every box, as the rule reads: what sweep_box's shortcuts must match.
Vec3 sweep_every_sub_step(Vec3 from, Vec3 to, Vec3 size, std::span<const BoxView> boxes) {
    const Vec3 d = to - from;
    const float n = std::clamp(std::ceil(length(d) / 0.08f), 1.0f, 128.0f);
    const Vec3 step{d.x / n, d.y / n, d.z / n};
    for (int s = 0; s < static_cast<int>(n); ++s) {
        for (std::size_t axis = 0; axis < 3; ++axis) {
            from[axis] = clip_axis(from, size, axis, step[axis], boxes);
        }
    }
    return from;
}

TEST(SweepBox, LongAndBlockedSweepsInEveryRoomEndWhereEverySubStepWouldEnd) {
    for (std::size_t room = 0; room < ROOM_COUNT; ++room) {
        SCOPED_TRACE(room);
        const Level level = make_level(room);
        const BoxList solids = solid_boxes(level);
        for (int k = 0; k < 24; ++k) {
            const float angle = static_cast<float>(k) * 0.2618f;
            const Vec3 to = level.cargo_pos + Vec3{std::sin(angle), 0.3f, std::cos(angle)} *
                                                  (1.0f + static_cast<float>(k));
            Vec3 from = level.cargo_pos;
            const Vec3 reached = sweep_box(from, to, MAIN_SIZE, solids.view());
            const Vec3 expected = sweep_every_sub_step(level.cargo_pos, to, MAIN_SIZE, solids.view());
            ASSERT_EQ(body_bits(make_cargo(reached, {})), body_bits(make_cargo(expected, {}))) << k;
        }
    }
}

// --- remembered cargo steps -------------------------------------------------

TEST(CargoSteps, RememberedStepsMatchFreshOnesWhateverChangesAroundThem) {
    Level level = make_level(2);  // a fan and two doors
    level.doors[0].open = true;
    level.fans[0].active = false;
    const FanView& fan = level.fans[0];
    std::vector<Cargo> fresh;
    for (int k = 0; k < 4; ++k) {
        fresh.push_back(make_cargo({static_cast<float>(k) - 2.5f, 2.5f, level.cargo_pos.z}, {}));
    }
    // Resting where the fan blows, in the doorway, and afloat while gravity is off.
    fresh.push_back(make_cargo({fan.pos.x + fan.dir.x * 3.0f, 0.5f, fan.pos.z}, {}));
    fresh.push_back(make_cargo({level.doors[0].pos.x, 0.5f, level.doors[0].pos.z}, {}));
    fresh.push_back(make_cargo({0.0f, 3.0f, 0.0f}, {}));
    std::vector<Cargo> remembered = fresh;
    CargoSteps memo;
    for (int tick = 0; tick < 1200; ++tick) {
        SCOPED_TRACE(tick);
        if (tick % 97 == 30) {
            level.fans[0].active = !level.fans[0].active;
        }
        if (tick % 131 == 60) {
            level.doors[0].open = !level.doors[0].open;
        }
        // A box that moves while the list keeps its length, as a lift does.
        if (tick % 71 == 35) {
            level.doors[0].pos.z += tick % 142 == 35 ? 0.3f : -0.3f;
        }
        if (tick % 53 == 20) {
            fresh[1].vel.x += 1.0f;
            remembered[1].vel.x += 1.0f;
        }
        const float gravity = (tick / 300) % 2 == 0 ? 0.0f : level.cargo_gravity;
        const BoxList solids = solid_boxes(level);
        begin_cargo_steps(memo, solids, level.fans, gravity);
        for (std::size_t i = 0; i < fresh.size(); ++i) {
            // Cargo 0 is carried now and then, and misses the steps of those ticks.
            if (i == 0 && tick % 200 > 150) {
                continue;
            }
            integrate_cargo(fresh[i], solids.view(), level.fans, gravity);
            integrate_cargo(remembered[i], i, memo, solids.view(), level.fans, gravity);
            ASSERT_EQ(body_bits(remembered[i]), body_bits(fresh[i])) << "cargo " << i;
        }
    }
}

TEST(CargoSteps, AMovedBoxIsNoticedWhereverItStandsInTheList) {
    // Far walls first, then a platform that rises under a resting cargo, as a lift does.
    std::vector<BoxView> walls;
    for (int k = 0; k < 7; ++k) {
        walls.push_back({{20.0f + static_cast<float>(k) * 3.0f, 2.0f, 20.0f}, UNIT});
    }
    walls.push_back({{0.0f, 0.5f, 0.0f}, {2.0f, 1.0f, 2.0f}});
    Cargo fresh = make_cargo({0.0f, 1.6f, 0.0f}, {});
    Cargo remembered = fresh;
    CargoSteps memo;
    for (int tick = 0; tick < 120; ++tick) {
        SCOPED_TRACE(tick);
        if (tick == 60) {
            walls.back().pos.y += 0.2f;
        }
        BoxList solids;
        for (const BoxView& wall : walls) {
            solids.push(wall);
        }
        begin_cargo_steps(memo, solids, {}, 9.8f);
        integrate_cargo(fresh, solids.view(), {}, 9.8f);
        integrate_cargo(remembered, 0, memo, solids.view(), {}, 9.8f);
        ASSERT_EQ(body_bits(remembered), body_bits(fresh));
    }
    EXPECT_GT(fresh.pos.y, 1.6f);
}

// --- fans ------------------------------------------------------------------

FanView fan_at(Vec3 pos, Vec3 dir) {
    FanView fan;
    fan.pos = pos;
    fan.dir = dir;
    return fan;
}

// The push one tick of the fans gives a cargo floating at `pos`.
Vec3 fan_push(Vec3 pos, std::span<const FanView> fans, std::span<const BoxView> boxes = {},
              CargoStyle style = CargoStyle::Freight) {
    Cargo cargo = make_cargo(pos, {}, style);
    integrate_cargo(cargo, boxes, fans, 0.0f);
    return cargo.vel;
}

const std::vector<FanView> FAN_NORTH{fan_at({0.0f, 2.0f, 0.0f}, {0.0f, 0.0f, -1.0f})};

TEST(CargoFans, PushAlongTheirDirectionByStyle) {
    const Vec3 freight = fan_push({0.0f, 2.0f, -5.0f}, FAN_NORTH);
    EXPECT_EQ(freight.z, -0.050000004f * 0.999f);
    EXPECT_EQ(freight.x, 0.0f);
    const Vec3 ballast = fan_push({0.0f, 2.0f, -5.0f}, FAN_NORTH, {}, CargoStyle::Ballast);
    EXPECT_EQ(ballast.z, -0.012500001f * 0.999f);
    const Vec3 bio = fan_push({0.0f, 2.0f, -5.0f}, FAN_NORTH, {}, CargoStyle::Bio);
    EXPECT_EQ(bio.z, -0.12000001f * 0.999f);
    const Vec3 oxygen = fan_push({0.0f, 2.0f, -5.0f}, FAN_NORTH, {}, CargoStyle::Oxygen);
    EXPECT_EQ(oxygen.z, -0.022499999f * 0.999f);
}

TEST(CargoFans, ReachEndsTwelveMetresDownstreamAndTwoMetresOffAxis) {
    EXPECT_LT(fan_push({0.0f, 2.0f, -11.9f}, FAN_NORTH).z, 0.0f);
    EXPECT_EQ(fan_push({0.0f, 2.0f, -12.0f}, FAN_NORTH).z, 0.0f);
    EXPECT_LT(fan_push({1.9f, 2.0f, -5.0f}, FAN_NORTH).z, 0.0f);
    EXPECT_EQ(fan_push({2.0f, 2.0f, -5.0f}, FAN_NORTH).z, 0.0f);
    EXPECT_EQ(fan_push({0.0f, 2.0f, 1.0f}, FAN_NORTH).z, 0.0f);
}

TEST(CargoFans, WallBetweenFanAndCargoBlocksTheAir) {
    const std::vector<BoxView> wall{{{0.0f, 2.0f, -3.0f}, {4.0f, 4.0f, 0.2f}}};
    EXPECT_EQ(fan_push({0.0f, 2.0f, -5.0f}, FAN_NORTH, wall).z, 0.0f);
    // A wall beyond the cargo does not matter.
    EXPECT_LT(fan_push({0.0f, 2.0f, -2.0f}, FAN_NORTH, wall).z, 0.0f);
}

TEST(CargoFans, InactiveFansDoNotPushAndActiveOnesAddUp) {
    std::vector<FanView> fans{FAN_NORTH[0], FAN_NORTH[0]};
    EXPECT_EQ(fan_push({0.0f, 2.0f, -5.0f}, fans).z, (-0.050000004f + -0.050000004f) * 0.999f);
    fans[0].active = false;
    fans[1].active = false;
    EXPECT_EQ(fan_push({0.0f, 2.0f, -5.0f}, fans).z, 0.0f);
}

}  // namespace
}  // namespace vantrel_sim
