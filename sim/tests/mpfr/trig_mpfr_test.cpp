// exact_sin, exact_cos and exact_hypot against MPFR's correctly rounded results, and their
// constant tables against MPFR's digits. Built only where MPFR is found.
#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>
#include <random>
#include <vector>

#include "math/trig.hpp"
#include "math/trig_tables.hpp"
#include "reference.hpp"
#include "tables.hpp"
#include "trig_hard_cases.hpp"

namespace vantrel_sim {
namespace {

using namespace vantrel_reference;

std::uint32_t bits(float x) {
    return std::bit_cast<std::uint32_t>(x);
}
float from_bits(std::uint32_t b) {
    return std::bit_cast<float>(b);
}

constexpr float LARGEST = std::numeric_limits<float>::max();
constexpr float SMALLEST = std::numeric_limits<float>::denorm_min();

TEST(TrigTables, AreMpfrsDigitsOfTwoOverPiAndOfTheSeries) {
    const std::vector<std::uint64_t> words = two_over_pi_words(TRIG_TABLES.two_over_pi_words);
    ASSERT_EQ(words.size(), trig_tables::TWO_OVER_PI.size());
    for (std::size_t i = 0; i < words.size(); ++i) {
        EXPECT_EQ(trig_tables::TWO_OVER_PI[i], words[i]) << i;
    }
    const DoublePair split = two_over_pi_split(29);
    EXPECT_EQ(trig_tables::TWO_OVER_PI_HEAD, split.hi);
    EXPECT_EQ(trig_tables::TWO_OVER_PI_TAIL, split.lo);

    // The fast path's error budget in trig.cpp counts on these bounds.
    const Fit sine = quarter_turn_fit(true, TRIG_TABLES.fast_sin, TRIG_TABLES.fast_reach);
    const Fit cosine = quarter_turn_fit(false, TRIG_TABLES.fast_cos, TRIG_TABLES.fast_reach);
    EXPECT_LT(sine.relative_error_bound, 0x1.6p-48);    // 2^-47.54
    EXPECT_LT(cosine.relative_error_bound, 0x1.7p-44);  // 2^-43.48
    ASSERT_EQ(sine.coefficients.size(), trig_tables::FAST_SIN.size());
    ASSERT_EQ(cosine.coefficients.size(), trig_tables::FAST_COS.size());
    for (std::size_t k = 0; k < sine.coefficients.size(); ++k) {
        EXPECT_EQ(trig_tables::FAST_SIN[k], sine.coefficients[k]) << k;
        EXPECT_EQ(trig_tables::FAST_COS[k], cosine.coefficients[k]) << k;
    }

    ASSERT_EQ(trig_tables::ACCURATE_SIN.size(), static_cast<std::size_t>(TRIG_TABLES.accurate_sin));
    ASSERT_EQ(trig_tables::ACCURATE_COS.size(), static_cast<std::size_t>(TRIG_TABLES.accurate_cos));
    for (std::size_t k = 0; k < trig_tables::ACCURATE_SIN.size(); ++k) {
        const DoublePair c = quarter_turn_coefficient_pair(static_cast<int>(2 * k + 1));
        EXPECT_EQ(trig_tables::ACCURATE_SIN[k].hi, c.hi) << k;
        EXPECT_EQ(trig_tables::ACCURATE_SIN[k].lo, c.lo) << k;
    }
    for (std::size_t k = 0; k < trig_tables::ACCURATE_COS.size(); ++k) {
        const DoublePair c = quarter_turn_coefficient_pair(static_cast<int>(2 * k));
        EXPECT_EQ(trig_tables::ACCURATE_COS[k].hi, c.hi) << k;
        EXPECT_EQ(trig_tables::ACCURATE_COS[k].lo, c.lo) << k;
    }
}

// Counts mismatches and reports the first few, so that a broken build does not print millions.
class Mismatches {
  public:
    void check(const char* what, float x, float y, float got, float expected) {
        if (bits(got) == bits(expected)) {
            return;
        }
        if (++count_ <= 10) {
            ADD_FAILURE() << what << std::hexfloat << "(" << x << ", " << y << ") = " << got
                          << ", correctly " << expected;
        }
    }
    int count() const { return count_; }

  private:
    int count_ = 0;
};

// The correctly rounded float of the exact value whose double approximation y (from the
// platform's sin or cos, whose error stays below one double ulp) is given: y rounded, when no
// float rounding boundary lies within 2^-46 of it; MPFR's value otherwise.
float screened(double y, float x, float (*mpfr)(float)) {
    const double margin = std::abs(y) * 0x1p-46;
    const auto low = static_cast<float>(y - margin);
    const auto high = static_cast<float>(y + margin);
    return low == high ? low : mpfr(x);
}

// 255 exponents, both signs, 8192 random significands each: two million arguments. One in
// 64 is compared with MPFR directly, the others through the screen above (MPFR alone would
// take a minute).
TEST(ExactTrigAgainstMpfr, SinAndCosRoundCorrectlyOverEveryExponent) {
    std::mt19937 random(20240611);
    Mismatches mismatches;
    for (std::uint32_t exponent = 0; exponent < 255; ++exponent) {
        for (std::uint32_t i = 0; i < 8192; ++i) {
            const float x = from_bits((i % 2) << 31 | exponent << 23 | (random() & 0x7fffffu));
            const bool direct = i % 64 == 0;
            const float sin_expected =
                direct ? reference_sin(x)
                       : screened(std::sin(static_cast<double>(x)), x, reference_sin);
            const float cos_expected =
                direct ? reference_cos(x)
                       : screened(std::cos(static_cast<double>(x)), x, reference_cos);
            mismatches.check("sin", x, 0.0f, exact_sin(x), sin_expected);
            mismatches.check("cos", x, 0.0f, exact_cos(x), cos_expected);
        }
    }
    EXPECT_EQ(mismatches.count(), 0);
}

TEST(ExactTrigAgainstMpfr, HardCasesHugeTinyAndSubnormalArgumentsRoundCorrectly) {
    std::vector<float> arguments;
    for (const trig_hard_cases::HardCase& c : trig_hard_cases::HARD_CASES) {
        // The list's own results are MPFR's: the portable test relies on them.
        EXPECT_EQ(bits(reference_sin(from_bits(c.x))), c.sin) << std::hexfloat << from_bits(c.x);
        EXPECT_EQ(bits(reference_cos(from_bits(c.x))), c.cos) << std::hexfloat << from_bits(c.x);
        arguments.push_back(from_bits(c.x));
    }
    // The top of the range, where the reduction reads the far end of 2/pi.
    for (std::uint32_t b = 0x7f7fffffu; b > 0x7f7fff00u; --b) {
        arguments.push_back(from_bits(b));
    }
    // Around 2^16 and 2^-12, where the reduction and the shortcut for tiny arguments change.
    for (const std::uint32_t edge : {0x47800000u, 0x39800000u}) {
        for (std::uint32_t b = edge - 64; b < edge + 64; ++b) {
            arguments.push_back(from_bits(b));
        }
    }
    // Subnormals, and the floats nearest to small multiples of pi/2.
    for (const float x : {SMALLEST, from_bits(0x007fffffu), 0.0f, -0.0f}) {
        arguments.push_back(x);
    }
    for (int k = 1; k < 2000; ++k) {
        const auto near = static_cast<float>(k * 1.5707963267948966);
        arguments.insert(arguments.end(),
                         {std::nextafter(near, 0.0f), near, std::nextafter(near, 1e9f)});
    }
    Mismatches mismatches;
    for (const float x : arguments) {
        for (const float signed_x : {x, -x}) {
            mismatches.check("sin", signed_x, 0.0f, exact_sin(signed_x), reference_sin(signed_x));
            mismatches.check("cos", signed_x, 0.0f, exact_cos(signed_x), reference_cos(signed_x));
        }
    }
    EXPECT_EQ(mismatches.count(), 0);
}

// Every pair of exponents (subnormals, huge and far apart included), 32 random pairs each:
// two million.
TEST(ExactHypotAgainstMpfr, RoundsCorrectlyOverEveryPairOfExponents) {
    std::mt19937 random(7);
    Mismatches mismatches;
    for (std::uint32_t ea = 0; ea < 255; ++ea) {
        for (std::uint32_t eb = 0; eb < 255; ++eb) {
            for (int i = 0; i < 32; ++i) {
                const float a = from_bits(static_cast<std::uint32_t>(i % 2) << 31 | ea << 23 |
                                          (random() & 0x7fffffu));
                const float b = from_bits(static_cast<std::uint32_t>(i / 2 % 2) << 31 | eb << 23 |
                                          (random() & 0x7fffffu));
                mismatches.check("hypot", a, b, exact_hypot(a, b), reference_hypot(a, b));
            }
        }
    }
    EXPECT_EQ(mismatches.count(), 0);
}

TEST(ExactHypotAgainstMpfr, PairsAtTheOverflowBoundaryAndAmongSubnormalsRoundCorrectly) {
    Mismatches mismatches;
    // hypot(largest, 2^116) lies 1.5 2^-50 relative above the midpoint between the largest
    // float and 2^128, so it overflows; slightly smaller second legs straddle that midpoint.
    for (std::uint32_t b = 0x79800000u - 4096; b < 0x79800000u + 4096; ++b) {
        mismatches.check("hypot", LARGEST, from_bits(b), exact_hypot(LARGEST, from_bits(b)),
                         reference_hypot(LARGEST, from_bits(b)));
    }
    std::mt19937 random(11);
    for (int i = 0; i < 100000; ++i) {
        const float a = from_bits(random() % 0x01000000u);
        const float b = from_bits(random() % 0x00200000u);
        mismatches.check("hypot", a, b, exact_hypot(a, b), reference_hypot(a, b));
    }
    EXPECT_EQ(mismatches.count(), 0);
}

}  // namespace
}  // namespace vantrel_sim
