#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>
#include <random>
#include <string>

#include "decimal_to_binary.hpp"
#include "exact_decimal.hpp"
#include "shortest_digits.hpp"

namespace vantrel_sim {
namespace {

using testing::midpoint_texts;
using testing::MidpointTexts;

// The significand m and exponent e of a positive finite float or double, value = m · 2^e.
template <typename Bits>
std::pair<std::uint64_t, int> significand_and_exponent(Bits bits, int fraction_bits, int bias) {
    const std::uint64_t fraction = bits & ((Bits{1} << fraction_bits) - 1);
    const auto biased = static_cast<int>(bits >> fraction_bits);
    if (biased == 0) return {fraction, 1 - bias - fraction_bits};
    return {fraction | std::uint64_t{1} << fraction_bits, biased - bias - fraction_bits};
}

// Checks the three texts around the midpoint after `bits`: a hair below reads as `bits`,
// a hair above as the next value up, and the midpoint itself as whichever is even.
template <typename Real, typename Bits, typename Read>
void expect_midpoint_rounding(Bits bits, int fraction_bits, int bias, bool negative, Read read) {
    const auto [m, e] = significand_and_exponent(bits, fraction_bits, bias);
    MidpointTexts texts = midpoint_texts(2 * m + 1, e - 1);
    const Bits sign = negative ? Bits{1} << (sizeof(Bits) * 8 - 1) : 0;
    if (negative) {
        texts.on = "-" + texts.on;
        texts.below = "-" + texts.below;
        texts.above = "-" + texts.above;
    }
    const Bits even = (bits & 1u) == 0 ? bits : bits + 1;
    ASSERT_EQ(std::bit_cast<Bits>(read(texts.below)), bits | sign) << texts.below;
    ASSERT_EQ(std::bit_cast<Bits>(read(texts.above)), (bits + 1) | sign) << texts.above;
    ASSERT_EQ(std::bit_cast<Bits>(read(texts.on)), even | sign) << texts.on;
}

TEST(NumberReader, MidpointsTieToEvenAndAHairEitherSideDecides) {
    std::mt19937_64 random(7);
    const auto float_read = [](const std::string& text) { return decimal_to_float(text); };
    const auto double_read = [](const std::string& text) { return decimal_to_double(text); };
    // Zero to the smallest subnormal, the subnormal top, and the largest float to infinity.
    for (const std::uint32_t bits : {0u, 1u, 0x7FFFFFu, 0x800000u, 0x7F7FFFFFu}) {
        expect_midpoint_rounding<float>(bits, 23, 127, false, float_read);
    }
    for (const std::uint64_t bits : {std::uint64_t{0}, std::uint64_t{1}, 0x7FEFFFFFFFFFFFFFu}) {
        expect_midpoint_rounding<double>(bits, 52, 1023, true, double_read);
    }
    for (int i = 0; i < 3000; ++i) {
        const auto bits = static_cast<std::uint32_t>(random() % 0x7F7FFFFFu);
        expect_midpoint_rounding<float>(bits, 23, 127, i % 2 == 0, float_read);
    }
    for (int i = 0; i < 300; ++i) {
        const std::uint64_t bits = random() % 0x7FEFFFFFFFFFFFFFu;
        expect_midpoint_rounding<double>(bits, 52, 1023, i % 2 == 0, double_read);
    }
}

TEST(NumberReader, EveryDigitOfAVeryLongMantissaCounts) {
    // 1 + 2^-24, halfway between 1 and the next float; a 1 far behind tips it upwards.
    const std::string midpoint = "1.000000059604644775390625";
    const std::string zeros(100000, '0');
    EXPECT_EQ(decimal_to_float(midpoint + zeros), 1.0f);
    EXPECT_EQ(decimal_to_float(midpoint + zeros + "1"), std::nextafter(1.0f, 2.0f));
    EXPECT_EQ(decimal_to_float("0." + zeros + "1e100038"), 1e37f);
    EXPECT_EQ(decimal_to_double("1" + zeros + "e-100000"), 1.0);
    EXPECT_EQ(decimal_to_double("-0." + zeros + zeros), -0.0);
    EXPECT_TRUE(std::signbit(decimal_to_double("-0." + zeros + zeros)));
}

// The shortest digits read back to the same value, and one digit fewer, rounded either
// way, reads back to a different one.
template <typename Real, typename Read>
void expect_shortest(Real value, Read read) {
    const ShortestDigits shortest = shortest_digits(value);
    const auto text = [](std::uint64_t significand, int exponent) {
        return std::to_string(significand) + "e" + std::to_string(exponent);
    };
    ASSERT_EQ(read(text(shortest.significand, shortest.exponent)), value);
    ASSERT_NE(shortest.significand % 10, 0u);
    if (shortest.significand < 10) return;  // one digit: nothing is shorter
    const std::uint64_t shorter = shortest.significand / 10;
    const Real down = read(text(shorter, shortest.exponent + 1));
    const Real up = read(text(shorter + 1, shortest.exponent + 1));
    ASSERT_TRUE(down != value && up != value) << text(shortest.significand, shortest.exponent);
}

TEST(ShortestDigits, ReadBackAndNoneShorterDoes) {
    std::mt19937_64 random(11);
    const auto float_read = [](const std::string& text) { return decimal_to_float(text); };
    const auto double_read = [](const std::string& text) { return decimal_to_double(text); };
    for (int i = 0; i < 100000; ++i) {
        const auto value = std::bit_cast<float>(static_cast<std::uint32_t>(random() % 0x7F800000u));
        if (value != 0.0f) expect_shortest(value, float_read);
    }
    for (int i = 0; i < 10000; ++i) {
        const auto value = std::bit_cast<double>(random() % 0x7FF0000000000000u);
        if (value != 0.0) expect_shortest(value, double_read);
    }
    expect_shortest(std::numeric_limits<float>::denorm_min(), float_read);
    expect_shortest(std::numeric_limits<double>::max(), double_read);
}

}  // namespace
}  // namespace vantrel_sim
