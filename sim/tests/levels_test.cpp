#include <gtest/gtest.h>

#include <vector>

#include "levels/builders.hpp"
#include "levels/expansion/expansion.hpp"
#include "levels/level.hpp"

namespace vantrel_sim {
namespace {

// Boxes are compared bit for bit: the builders promise exact f32 results.
void expect_box(const BoxView& box, Vec3 pos, Vec3 size) {
    EXPECT_EQ(box.pos, pos) << "pos " << box.pos.x << ", " << box.pos.y << ", " << box.pos.z;
    EXPECT_EQ(box.size, size) << "size " << box.size.x << ", " << box.size.y << ", "
                              << box.size.z;
}

Level twenty_by_twenty_eight() {
    Level level;
    level.room_size = {20.0f, 28.0f};
    return level;
}

TEST(LevelBuilders, ShellOfTwentyByTwentyEightHasWallsOutsideAndACeiling) {
    const std::vector<BoxView> shell = room_shell(20.0f, 28.0f);
    ASSERT_EQ(shell.size(), 5u);
    expect_box(shell[0], {-10.2f, 2.5f, 0.0f}, {0.4f, 5.0f, 28.4f});
    expect_box(shell[1], {10.2f, 2.5f, 0.0f}, {0.4f, 5.0f, 28.4f});
    expect_box(shell[2], {0.0f, 2.5f, 14.2f}, {20.8f, 5.0f, 0.4f});
    expect_box(shell[3], {0.0f, 2.5f, -14.2f}, {20.8f, 5.0f, 0.4f});
    expect_box(shell[4], {0.0f, 5.15f, 0.0f}, {20.0f, 0.3f, 28.0f});
}

TEST(LevelBuilders, ShellAtHeightSetsWallHeightAndLiftsTheCeiling) {
    const std::vector<BoxView> shell = room_shell_at_height(28.0f, 56.0f, 8.8f);
    ASSERT_EQ(shell.size(), 5u);
    expect_box(shell[0], {-14.2f, 4.4f, 0.0f}, {0.4f, 8.8f, 56.4f});
    expect_box(shell[1], {14.2f, 4.4f, 0.0f}, {0.4f, 8.8f, 56.4f});
    expect_box(shell[2], {0.0f, 4.4f, 28.2f}, {28.8f, 8.8f, 0.4f});
    expect_box(shell[3], {0.0f, 4.4f, -28.2f}, {28.8f, 8.8f, 0.4f});
    expect_box(shell[4], {0.0f, 8.95f, 0.0f}, {28.0f, 0.3f, 56.0f});
}

TEST(LevelBuilders, BarrierFillsTheGapsAroundWindowAndDoorLeftToRight) {
    std::vector<BoxView> walls;
    std::vector<DoorView> doors;
    barrier(walls, doors, 0.0f, 0.0f, -5.0f, "A");
    ASSERT_EQ(walls.size(), 6u);
    expect_box(walls[0], {-7.7375f, 2.5f, 0.0f}, {4.525f, 5.0f, 0.45f});
    expect_box(walls[1], {-2.9625f, 2.5f, 0.0f}, {3.125f, 5.0f, 0.45f});
    expect_box(walls[2], {5.7f, 2.5f, 0.0f}, {8.6f, 5.0f, 0.45f});
    expect_box(walls[3], {0.0f, 0.65f, 0.0f}, {2.8f, 1.3f, 0.45f});
    expect_box(walls[4], {0.0f, 3.925f, 0.0f}, {2.8f, 2.15f, 0.45f});
    expect_box(walls[5], {-5.0f, 4.1f, 0.0f}, {0.95f, 1.8f, 0.45f});
    ASSERT_EQ(doors.size(), 1u);
    EXPECT_EQ(doors[0].label, "A");
    EXPECT_EQ(doors[0].pos, (Vec3{-5.0f, 1.6f, 0.0f}));
    EXPECT_EQ(doors[0].size, (Vec3{0.95f, 3.2f, 0.45f}));
    EXPECT_FALSE(doors[0].open);
    EXPECT_FALSE(doors[0].hold_remaining.has_value());
    EXPECT_FALSE(doors[0].cycle_remaining.has_value());
}

TEST(LevelBuilders, BarrierWithTheDoorRightOfTheWindowStillOrdersPiecesByX) {
    std::vector<BoxView> walls;
    std::vector<DoorView> doors;
    barrier(walls, doors, -5.0f, 2.0f, 6.0f, "B");
    ASSERT_EQ(walls.size(), 6u);
    // Gaps: -10 to 0.6, 3.4 to 5.525, 6.475 to 10.
    EXPECT_FLOAT_EQ(walls[0].pos.x, -4.7f);
    EXPECT_FLOAT_EQ(walls[0].size.x, 10.6f);
    EXPECT_FLOAT_EQ(walls[1].pos.x, 4.4625f);
    EXPECT_FLOAT_EQ(walls[1].size.x, 2.125f);
    EXPECT_FLOAT_EQ(walls[2].pos.x, 8.2375f);
    EXPECT_FLOAT_EQ(walls[2].size.x, 3.525f);
    for (const BoxView& wall : walls) {
        EXPECT_EQ(wall.pos.z, -5.0f);
    }
    EXPECT_EQ(doors[0].pos, (Vec3{6.0f, 1.6f, -5.0f}));
}

TEST(LevelBuilders, BulkheadSpansTheRoomWidthAroundOneWideDoor) {
    Level level = twenty_by_twenty_eight();
    bulkhead(level, -3.6f, 3.2f, "A · ЛИНИЯ A");
    ASSERT_EQ(level.walls.size(), 3u);
    // Left piece from -10 to -5.25, right piece from -1.95 to 10.
    EXPECT_FLOAT_EQ(level.walls[0].pos.x, -7.625f);
    EXPECT_FLOAT_EQ(level.walls[0].size.x, 4.75f);
    EXPECT_FLOAT_EQ(level.walls[1].pos.x, 4.025f);
    EXPECT_FLOAT_EQ(level.walls[1].size.x, 11.95f);
    expect_box(level.walls[2], {-3.6f, 4.2f, 3.2f}, {3.3f, 1.6f, 0.45f});
    ASSERT_EQ(level.doors.size(), 1u);
    EXPECT_EQ(level.doors[0].label, "A · ЛИНИЯ A");
    EXPECT_EQ(level.doors[0].pos, (Vec3{-3.6f, 1.7f, 3.2f}));
    EXPECT_EQ(level.doors[0].size, (Vec3{3.3f, 3.4f, 0.45f}));
    EXPECT_TRUE(level.door_rules.empty());
}

TEST(LevelBuilders, PartitionTouchingTheWestWallEmitsNoLeftPiece) {
    Level level = twenty_by_twenty_eight();
    partition(level, 3.0f, {-8.5f, 1.5f, 4.0f, 1.0f});
    ASSERT_EQ(level.walls.size(), 4u);
    expect_box(level.walls[0], {-8.5f, 4.2f, 3.0f}, {3.0f, 1.6f, 0.45f});
    expect_box(level.walls[1], {-2.0f, 2.5f, 3.0f}, {10.0f, 5.0f, 0.45f});
    expect_box(level.walls[2], {4.0f, 4.2f, 3.0f}, {2.0f, 1.6f, 0.45f});
    expect_box(level.walls[3], {7.5f, 2.5f, 3.0f}, {5.0f, 5.0f, 0.45f});
    EXPECT_TRUE(level.doors.empty());
}

TEST(LevelBuilders, PartitionWithInnerOpeningsEmitsThreePiecesAndTwoLintels) {
    Level level = twenty_by_twenty_eight();
    partition(level, -2.0f, {-5.0f, 1.0f, 5.0f, 1.0f});
    ASSERT_EQ(level.walls.size(), 5u);
    expect_box(level.walls[0], {-8.0f, 2.5f, -2.0f}, {4.0f, 5.0f, 0.45f});
    expect_box(level.walls[1], {-5.0f, 4.2f, -2.0f}, {2.0f, 1.6f, 0.45f});
    expect_box(level.walls[2], {0.0f, 2.5f, -2.0f}, {8.0f, 5.0f, 0.45f});
    expect_box(level.walls[3], {5.0f, 4.2f, -2.0f}, {2.0f, 1.6f, 0.45f});
    expect_box(level.walls[4], {8.0f, 2.5f, -2.0f}, {4.0f, 5.0f, 0.45f});
}

TEST(LevelBuilders, GateAddsAClosedWideDoorWithItsRuleAndNoWall) {
    Level level = twenty_by_twenty_eight();
    DoorRule rule;
    rule.plates_on = {0};
    rule.latch_seconds = 3;
    gate(level, -9.0f, 12.0f, "ЛВ · A", rule);
    EXPECT_TRUE(level.walls.empty());
    ASSERT_EQ(level.doors.size(), 1u);
    EXPECT_EQ(level.doors[0].pos, (Vec3{-9.0f, 1.7f, 12.0f}));
    EXPECT_EQ(level.doors[0].size, (Vec3{3.3f, 3.4f, 0.45f}));
    EXPECT_FALSE(level.doors[0].open);
    ASSERT_EQ(level.door_rules.size(), 1u);
    EXPECT_EQ(level.door_rules[0], rule);
}

TEST(LevelBuilders, SocketsAndPlatesStartIdle) {
    const SocketView socket = powered_socket(5.0f, 3.0f, "ГНЕЗДО БАТАРЕИ");
    EXPECT_EQ(socket.pos, (Vec3{5.0f, 0.38f, 3.0f}));
    EXPECT_EQ(socket.label, "ГНЕЗДО БАТАРЕИ");
    EXPECT_FALSE(socket.powered);

    const PlateView pressure = plate({-5.0f, 0.03f, 3.0f}, "A");
    EXPECT_EQ(pressure.pos, (Vec3{-5.0f, 0.03f, 3.0f}));
    EXPECT_EQ(pressure.radius, 0.9f);
    EXPECT_EQ(pressure.load_required, 0.0f);
    EXPECT_FALSE(pressure.load_maximum.has_value());
    EXPECT_EQ(pressure.load, 0.0f);
    EXPECT_FALSE(pressure.active);
}

}  // namespace
}  // namespace vantrel_sim
