#include <gtest/gtest.h>

#include <cstdint>
#include <limits>

#include "math/float_bits.hpp"
#include "math/trig.hpp"
#include "trig_hard_cases.hpp"

namespace vantrel_sim {
namespace {

std::uint32_t bits(float x) {
    return bits_of(x);
}
float from_bits(std::uint32_t b) {
    return float_from_bits(b);
}

constexpr float INF = std::numeric_limits<float>::infinity();
constexpr float NOT_A_NUMBER = std::numeric_limits<float>::quiet_NaN();
constexpr float SMALLEST = std::numeric_limits<float>::denorm_min();
constexpr float LARGEST = std::numeric_limits<float>::max();

TEST(ExactTrig, KeepsSignedZerosAndTinyArgumentsAndGivesNanForNonFinite) {
    EXPECT_EQ(bits(exact_sin(0.0f)), bits(0.0f));
    EXPECT_EQ(bits(exact_sin(-0.0f)), bits(-0.0f));
    EXPECT_EQ(exact_cos(-0.0f), 1.0f);
    // Below 2^-12, sin x rounds to x and cos x to 1; 2^-12 itself already goes the long way.
    for (const float tiny :
         {SMALLEST, -from_bits(0x007fffffu), 1e-30f, -from_bits(0x397fffffu), 0x1p-12f}) {
        EXPECT_EQ(bits(exact_sin(tiny)), bits(tiny)) << tiny;
        EXPECT_EQ(exact_cos(tiny), 1.0f) << tiny;
    }
    for (const float x : {INF, -INF, NOT_A_NUMBER}) {
        EXPECT_NE(exact_sin(x), exact_sin(x));
        EXPECT_NE(exact_cos(x), exact_cos(x));
    }
}

// The arguments nearest to rounding boundaries and to multiples of pi/2 that the exhaustive
// check found, with MPFR's results: the cases any other port must get right too.
TEST(ExactTrig, HardestArgumentsRoundLikeTheExactValue) {
    for (const trig_hard_cases::HardCase& c : trig_hard_cases::HARD_CASES) {
        const float x = from_bits(c.x);
        EXPECT_EQ(bits(exact_sin(x)), c.sin) << std::hexfloat << x;
        EXPECT_EQ(bits(exact_cos(x)), c.cos) << std::hexfloat << x;
        EXPECT_EQ(bits(exact_sin(-x)), c.sin ^ 0x80000000u) << std::hexfloat << x;
        EXPECT_EQ(bits(exact_cos(-x)), c.cos) << std::hexfloat << x;
    }
}

TEST(ExactHypot, FollowsIeeeForNonFiniteArgumentsAndSigns) {
    EXPECT_EQ(exact_hypot(INF, NOT_A_NUMBER), INF);
    EXPECT_EQ(exact_hypot(NOT_A_NUMBER, -INF), INF);
    EXPECT_NE(exact_hypot(NOT_A_NUMBER, 1.0f), exact_hypot(NOT_A_NUMBER, 1.0f));
    EXPECT_EQ(bits(exact_hypot(-0.0f, -0.0f)), bits(0.0f));
    EXPECT_EQ(exact_hypot(-3.0f, 4.0f), 5.0f);
    EXPECT_EQ(exact_hypot(0.0f, -7.5f), 7.5f);
}

TEST(ExactHypot, OverflowsOnlyPastTheLargestFloatAndKeepsSubnormals) {
    EXPECT_EQ(exact_hypot(LARGEST, 1e19f), LARGEST);
    EXPECT_EQ(exact_hypot(LARGEST, LARGEST), INF);
    // sqrt(2) times the smallest subnormal rounds back to it; sqrt(8) of it to three of it.
    EXPECT_EQ(exact_hypot(SMALLEST, -SMALLEST), SMALLEST);
    EXPECT_EQ(exact_hypot(2 * SMALLEST, 2 * SMALLEST), 3 * SMALLEST);
}

// Between 2^24 and 2^25 floats are the even integers, so an odd integer is a midpoint.
float round_to_even(std::uint64_t odd) {
    return static_cast<float>((odd + 1) % 4 == 0 ? odd + 1 : odd - 1);
}

// Legs (p² - q², 2pq) and hypotenuse p² + q², odd between 2^24 and 2^25: the exact result is
// a midpoint, which rounds to the float with the even last bit, at every scale.
TEST(ExactHypot, PythagoreanTiesRoundToEven) {
    int ties = 0;
    for (std::uint64_t p = 2897; p < 5793; p += 7) {
        for (std::uint64_t q = 1 + p % 2; q < p; q += 2 * 97) {
            const std::uint64_t c = p * p + q * q;
            const std::uint64_t a = p * p - q * q;
            if (c < (1u << 24) || c >= (1u << 25) || a >= (1u << 24)) {
                continue;
            }
            const float leg_a = static_cast<float>(a);
            const float leg_b = static_cast<float>(2 * p * q);
            const float expected = round_to_even(c);
            EXPECT_EQ(exact_hypot(leg_a, leg_b), expected) << a << " " << 2 * p * q;
            // Scaled down so that the legs are subnormal or nearly.
            EXPECT_EQ(exact_hypot(leg_b * 0x1p-149f, -leg_a * 0x1p-149f), expected * 0x1p-149f);
            EXPECT_EQ(exact_hypot(leg_a * 0x1p100f, leg_b * 0x1p100f), expected * 0x1p100f);
            ++ties;
        }
    }
    EXPECT_GT(ties, 100);
}

// Exact results just off a midpoint c (odd, between 2^24 and 2^25), by far less than the
// double result's error, so only the exact comparison rounds them, at every scale:
// hypot(2t², 2t)² = c² - 1 with c = 2t² + 1, and, with n = 3 mod 4,
// hypot(4n - 20.5, (15n - 79) / 2)² = c² + 1/4 with c = (17n - 89) / 2.
TEST(ExactHypot, JustOffAMidpointRoundsToTheNearerSide) {
    const auto check = [](float a, float b, float expected) {
        EXPECT_EQ(exact_hypot(a, b), expected) << std::hexfloat << a << " " << b;
        EXPECT_EQ(exact_hypot(-b * 0x1p-148f, a * 0x1p-148f), expected * 0x1p-148f);
        EXPECT_EQ(exact_hypot(a * 0x1p100f, b * 0x1p100f), expected * 0x1p100f);
    };
    for (std::uint64_t t = 2897; t < 4096; t += 3) {
        const std::uint64_t c = 2 * t * t + 1;
        check(static_cast<float>(2 * t * t), static_cast<float>(2 * t), static_cast<float>(c - 1));
    }
    for (std::uint64_t n = 1973799; n < 2097156; n += 4 * 29) {
        const std::uint64_t c = (17 * n - 89) / 2;
        check(static_cast<float>(8 * n - 41) * 0.5f, static_cast<float>((15 * n - 79) / 2),
              static_cast<float>(c + 1));
    }
}

}  // namespace
}  // namespace vantrel_sim
