#include <gtest/gtest.h>

#include <cmath>

#include "internal_error.hpp"
#include "math/geometry.hpp"

namespace vantrel_sim {
namespace {

constexpr Vec3 ORIGIN{0.0f, 0.0f, 0.0f};
constexpr Vec3 UNIT{1.0f, 1.0f, 1.0f};

TEST(SegmentBox, EntryTimeIsTheFractionAtTheNearFace) {
    const auto t = segment_box_time({-2.0f, 0.0f, 0.0f}, {2.0f, 0.0f, 0.0f}, ORIGIN, UNIT);
    ASSERT_TRUE(t.has_value());
    EXPECT_FLOAT_EQ(*t, 0.375f);
}

TEST(SegmentBox, SegmentStartingInsideEntersAtZero) {
    const auto t = segment_box_time({0.1f, 0.2f, 0.0f}, {5.0f, 3.0f, 1.0f}, ORIGIN, UNIT);
    ASSERT_TRUE(t.has_value());
    EXPECT_EQ(*t, 0.0f);
}

TEST(SegmentBox, DegeneratePointHitsOnlyInsideOrOnTheBoundary) {
    const Vec3 inside{0.2f, -0.1f, 0.3f};
    const Vec3 on_face{0.5f, 0.0f, 0.0f};
    const Vec3 outside{0.5001f, 0.0f, 0.0f};
    EXPECT_EQ(segment_box_time(inside, inside, ORIGIN, UNIT), 0.0f);
    EXPECT_EQ(segment_box_time(on_face, on_face, ORIGIN, UNIT), 0.0f);
    EXPECT_FALSE(segment_box_time(outside, outside, ORIGIN, UNIT).has_value());
}

TEST(SegmentBox, SegmentEndingExactlyOnAFaceHitsAtOne) {
    const auto t = segment_box_time({-1.5f, 0.0f, 0.0f}, {-0.5f, 0.0f, 0.0f}, ORIGIN, UNIT);
    ASSERT_TRUE(t.has_value());
    EXPECT_EQ(*t, 1.0f);
}

TEST(SegmentBox, SegmentStoppingShortOfTheBoxMisses) {
    EXPECT_FALSE(segment_hits_box({-3.0f, 0.0f, 0.0f}, {-0.6f, 0.0f, 0.0f}, ORIGIN, UNIT));
    // Pointing away from the box.
    EXPECT_FALSE(segment_hits_box({-0.6f, 0.0f, 0.0f}, {-3.0f, 0.0f, 0.0f}, ORIGIN, UNIT));
}

TEST(SegmentBox, ParallelSegmentJustOutsideMisses) {
    EXPECT_FALSE(segment_hits_box({-2.0f, 0.0f, 0.50001f}, {2.0f, 0.0f, 0.50001f}, ORIGIN, UNIT));
    // Grazing the face counts as a hit.
    EXPECT_TRUE(segment_hits_box({-2.0f, 0.0f, 0.5f}, {2.0f, 0.0f, 0.5f}, ORIGIN, UNIT));
}

TEST(SegmentBox, SegmentLyingInAFaceHitsAndOneJustOffItMisses) {
    // Along x, in the faces z = -0.5, z = 0.5, y = -0.5 and y = 0.5 of the unit box.
    for (const std::size_t axis : {std::size_t{1}, std::size_t{2}}) {
        for (const float face : {-0.5f, 0.5f}) {
            Vec3 a{-2.0f, 0.0f, 0.0f};
            Vec3 b{2.0f, 0.0f, 0.0f};
            a[axis] = b[axis] = face;
            EXPECT_EQ(segment_box_time(a, b, ORIGIN, UNIT), 0.375f) << axis << " " << face;
            a[axis] = b[axis] = std::nextafter(face, 2.0f * face);
            EXPECT_FALSE(segment_hits_box(a, b, ORIGIN, UNIT)) << axis << " " << face;
        }
    }
}

TEST(SegmentBox, DiagonalPassingBesideACornerMisses) {
    // Crosses the x slab and the z slab at disjoint times.
    EXPECT_FALSE(segment_hits_box({-2.0f, 0.0f, 0.0f}, {0.0f, 0.0f, 2.0f}, ORIGIN, UNIT));
    EXPECT_TRUE(segment_hits_box({-1.0f, 0.0f, 0.0f}, {0.0f, 0.0f, 1.0f}, ORIGIN, UNIT));
}

TEST(SegmentBox, AlmostParallelComponentIsTreatedAsParallel) {
    // A z drift below 0.00001 is ignored, so only the start's z decides.
    EXPECT_TRUE(segment_hits_box({-2.0f, 0.0f, 0.5f}, {2.0f, 0.0f, 0.500009f}, ORIGIN, UNIT));
}

TEST(ClosestPoint, PointInsideIsItselfAndBeyondACornerIsTheCorner) {
    const Vec3 inside{0.1f, -0.2f, 0.3f};
    EXPECT_EQ(closest_point_on_box(inside, ORIGIN, UNIT), inside);
    const Vec3 corner = closest_point_on_box({3.0f, -4.0f, 5.0f}, {1.0f, 1.0f, 1.0f}, {2.0f, 2.0f, 2.0f});
    EXPECT_EQ(corner, (Vec3{2.0f, 0.0f, 2.0f}));
    const Vec3 face = closest_point_on_box({0.2f, 7.0f, -0.1f}, ORIGIN, UNIT);
    EXPECT_EQ(face, (Vec3{0.2f, 0.5f, -0.1f}));
}

TEST(ClosestPoint, NegativeSizeIsAnInternalError) {
    EXPECT_THROW(closest_point_on_box(ORIGIN, ORIGIN, {1.0f, -0.1f, 1.0f}), InternalError);
}

TEST(Overlap, RequiresMoreThanTheToleranceOnEveryAxis) {
    EXPECT_FALSE(overlap(ORIGIN, UNIT, {0.9999f, 0.0f, 0.0f}, UNIT));
    EXPECT_TRUE(overlap(ORIGIN, UNIT, {0.9998f, 0.0f, 0.0f}, UNIT));
    EXPECT_FALSE(overlap(ORIGIN, UNIT, {1.0f, 0.0f, 0.0f}, UNIT));
    EXPECT_FALSE(overlap(ORIGIN, UNIT, {0.5f, 0.5f, 1.0f}, UNIT));
    EXPECT_TRUE(overlap(ORIGIN, UNIT, {0.5f, -0.5f, 0.5f}, UNIT));
}

}  // namespace
}  // namespace vantrel_sim
