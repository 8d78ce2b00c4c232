// Our number reader and shortest-digit writer against the standard library's floating-point
// from_chars and to_chars, built only where the standard library has them (libstdc++).

#include <gtest/gtest.h>

#include <bit>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <random>
#include <string>
#include <string_view>
#include <system_error>

#include "decimal_to_binary.hpp"
#include "exact_decimal.hpp"
#include "shortest_digits.hpp"

namespace vantrel_sim {
namespace {

// Whether a number text is at least 1 in magnitude: out of range then means overflow.
bool at_least_one(std::string_view text) {
    std::size_t at = text.front() == '-' ? 1 : 0;
    std::int64_t lead = 0;
    bool found = false;
    std::int64_t position = 0;  // power of ten of the digit at `at`, before the exponent
    const std::size_t point = text.find('.');
    const std::size_t mantissa_end = std::min(text.find_first_of("eE"), text.size());
    std::int64_t whole_digits = static_cast<std::int64_t>(std::min(point, mantissa_end) - at);
    for (position = whole_digits - 1; at < mantissa_end && !found; ++at) {
        if (text[at] == '.') continue;
        if (text[at] != '0') {
            lead = position;
            found = true;
        }
        --position;
    }
    if (!found) return false;
    std::int64_t exponent = 0;
    if (mantissa_end < text.size()) {
        std::size_t e = mantissa_end + 1;
        const bool negative = text[e] == '-';
        if (text[e] == '-' || text[e] == '+') ++e;
        for (; e < text.size(); ++e) exponent = std::min<std::int64_t>(exponent * 10 + (text[e] - '0'), 1 << 30);
        if (negative) exponent = -exponent;
    }
    return lead + exponent >= 0;
}

// Counts texts and reports the first few whose value differs from from_chars'.
class Comparison {
public:
    template <typename Real>
    void check(const std::string& text, Real ours) {
        using Bits = std::conditional_t<sizeof(Real) == 4, std::uint32_t, std::uint64_t>;
        Real reference{};
        const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), reference);
        ++count_;
        bool same = end == text.data() + text.size();
        if (error == std::errc::result_out_of_range) {
            // The reader takes such a value as an infinity or a zero, by its size.
            same = same && (at_least_one(text) ? std::isinf(ours) : ours == 0) &&
                   std::signbit(ours) == (text.front() == '-');
        } else {
            same = same && error == std::errc() &&
                   std::bit_cast<Bits>(reference) == std::bit_cast<Bits>(ours);
        }
        if (!same && ++failures_ <= 10) {
            ADD_FAILURE() << (sizeof(Real) == 4 ? "float " : "double ") << text;
        }
    }

    void both(const std::string& text) {
        check(text, decimal_to_float(text));
        check(text, decimal_to_double(text));
    }

    long count() const { return count_; }

private:
    long count_ = 0;
    int failures_ = 0;
};

std::string random_digits(std::mt19937_64& random, int count, bool leading_nonzero) {
    std::string digits;
    for (int i = 0; i < count; ++i) {
        const int low = i == 0 && leading_nonzero ? 1 : 0;
        digits += static_cast<char>('0' + low + static_cast<int>(random() % (10 - low)));
    }
    return digits;
}

// -?digits(.digits)?(e[+-]?digits)? with the lengths and exponent range given.
std::string random_number(std::mt19937_64& random, int max_whole, int max_fraction, int min_exponent,
                          int max_exponent) {
    std::string text = random() % 2 == 0 ? "-" : "";
    const int whole = 1 + static_cast<int>(random() % static_cast<unsigned>(max_whole));
    text += whole == 1 ? random_digits(random, 1, false) : random_digits(random, whole, true);
    if (max_fraction > 0 && random() % 2 == 0) {
        text += '.' + random_digits(random, 1 + static_cast<int>(random() % static_cast<unsigned>(max_fraction)), false);
    }
    if (random() % 4 != 0) {
        const auto span = static_cast<unsigned>(max_exponent - min_exponent + 1);
        const int exponent = min_exponent + static_cast<int>(random() % span);
        text += random() % 2 == 0 ? "e" : "E";
        text += exponent < 0 ? "-" : (random() % 2 == 0 ? "+" : "");
        text += std::to_string(std::abs(exponent));
    }
    return text;
}

TEST(NumberReaderAgainstFromChars, ShortAndMediumRandomTexts) {
    std::mt19937_64 random(1);
    Comparison comparison;
    for (int i = 0; i < 700000; ++i) comparison.both(random_number(random, 25, 25, -60, 60));
    EXPECT_EQ(comparison.count(), 1'400'000);
}

TEST(NumberReaderAgainstFromChars, LongMantissasAndExtremeExponents) {
    std::mt19937_64 random(2);
    Comparison comparison;
    for (int i = 0; i < 20000; ++i) comparison.both(random_number(random, 400, 900, -700, 400));
    for (int i = 0; i < 100000; ++i) comparison.both(random_number(random, 30, 30, -360, 330));
    // Exponents far beyond any range, and beyond what an int holds.
    for (int i = 0; i < 20000; ++i) {
        const std::string mantissa = random_number(random, 20, 20, 0, 0);
        comparison.both(mantissa.substr(0, mantissa.find_first_of("eE")) + "e" +
                        (i % 2 == 0 ? "-" : "") + random_digits(random, 5 + i % 20, true));
    }
    EXPECT_EQ(comparison.count(), 280'000);
}

// Midpoints and their two near neighbours, for floats (subnormals and the largest value
// included) and doubles.
TEST(NumberReaderAgainstFromChars, MidpointsBetweenNeighbours) {
    std::mt19937_64 random(3);
    Comparison comparison;
    const auto all_three = [&comparison](const testing::MidpointTexts& texts) {
        comparison.both(texts.on);
        comparison.both(texts.below);
        comparison.both(texts.above);
    };
    for (int i = 0; i < 40000; ++i) {
        const auto bits = static_cast<std::uint32_t>(i < 2000 ? random() % 0x1000000u
                                                              : random() % 0x7F800000u);
        const std::uint32_t fraction = bits & 0x7FFFFFu;
        const std::uint32_t biased = bits >> 23;
        const std::uint64_t m = biased == 0 ? fraction : fraction | 0x800000u;
        const int e = biased == 0 ? -149 : static_cast<int>(biased) - 150;
        all_three(testing::midpoint_texts(2 * m + 1, e - 1));
    }
    for (int i = 0; i < 5000; ++i) {
        const std::uint64_t bits = random() % 0x7FF0000000000000u;
        const std::uint64_t fraction = bits & 0xFFFFFFFFFFFFFu;
        const auto biased = static_cast<int>(bits >> 52);
        const std::uint64_t m = biased == 0 ? fraction : fraction | std::uint64_t{1} << 52;
        const int e = biased == 0 ? -1074 : biased - 1075;
        all_three(testing::midpoint_texts(2 * m + 1, e - 1));
    }
    EXPECT_EQ(comparison.count(), 270'000);
}

// Around the float range's ends: the largest float, where rounding goes to infinity, the
// smallest subnormal and half of it, each approached with up to 40 digits.
TEST(NumberReaderAgainstFromChars, EdgesOfTheFloatRange) {
    std::mt19937_64 random(4);
    Comparison comparison;
    const std::string edges[] = {
        "3.4028234663852885981170418348451692544", "3.4028235677973366163753939545814256844",
        "1.4012984643248170709237295832899161312", "7.0064923216240853546186479164495806564",
        "1.1754942106924410754870294448492873488", "1.1754943508222875079687365372222456778",
    };
    const int exponents[] = {38, 38, -45, -46, -38, -38};
    for (int i = 0; i < 60000; ++i) {
        const std::size_t edge = static_cast<std::size_t>(i) % 6;
        std::string text = edges[edge].substr(0, 3 + random() % 38);
        // Nudge the last digit down or up by up to 3.
        const int nudge = static_cast<int>(random() % 7) - 3;
        const int last = text.back() - '0' + nudge;
        if (last >= 0 && last <= 9) text.back() = static_cast<char>('0' + last);
        comparison.both((i % 2 == 0 ? "" : "-") + text + "e" + std::to_string(exponents[edge]));
    }
    EXPECT_EQ(comparison.count(), 120'000);
}

template <typename Real>
std::string our_scientific(Real value) {
    const bool negative = std::signbit(value);
    const ShortestDigits shortest = shortest_digits(negative ? -value : value);
    char digits[24]{};
    const auto count = static_cast<int>(
        std::to_chars(digits, digits + sizeof digits, shortest.significand).ptr - digits);
    const int exponent = shortest.exponent + count - 1;
    const int magnitude = std::abs(exponent);
    char text[48];
    char* out = text;
    if (negative) *out++ = '-';
    *out++ = digits[0];
    if (count > 1) *out++ = '.';
    for (int i = 1; i < count; ++i) *out++ = digits[i];
    *out++ = 'e';
    *out++ = exponent < 0 ? '-' : '+';
    if (magnitude < 10) *out++ = '0';
    return {text, std::to_chars(out, out + 4, magnitude).ptr};
}

template <typename Real>
std::string their_scientific(Real value) {
    char text[64];
    return {text, std::to_chars(text, text + sizeof text, value, std::chars_format::scientific).ptr};
}

TEST(ShortestDigitsAgainstToChars, FloatsAndDoubles) {
    std::mt19937_64 random(5);
    int failures = 0;
    const auto check = [&failures](auto value) {
        if (!std::isfinite(value)) return;
        const std::string ours = our_scientific(value);
        const std::string theirs = their_scientific(value);
        if (ours != theirs && ++failures <= 10) ADD_FAILURE() << theirs << " written as " << ours;
    };
    for (int i = 0; i < 3'000'000; ++i) check(std::bit_cast<float>(static_cast<std::uint32_t>(random())));
    for (std::uint32_t bits = 0; bits < 100000; ++bits) check(std::bit_cast<float>(bits));
    for (int i = 0; i < 100000; ++i) check(std::bit_cast<double>(random()));
    // Doubles that are floats, small subnormals, whole numbers and powers of two.
    for (int i = 0; i < 50000; ++i) {
        check(static_cast<double>(std::bit_cast<float>(static_cast<std::uint32_t>(random()))));
        check(std::bit_cast<double>(random() % 100000));
        check(static_cast<double>(random() >> (random() % 64)));
        check(std::ldexp(1.0, static_cast<int>(random() % 2098) - 1074));
    }
}

}  // namespace
}  // namespace vantrel_sim
