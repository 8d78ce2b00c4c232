// Prints sim/src/math/trig_tables.hpp from MPFR.
#include <cmath>
#include <cstdio>

#include "reference.hpp"
#include "tables.hpp"

namespace vantrel_reference {

namespace {

void print_fit(const char* name, bool sine, int count, double reach) {
    const Fit fit = quarter_turn_fit(sine, count, reach);
    std::printf("// Relative error below 2^%.2f for |u| <= 1/2 + 2^-14.\n",
                std::log2(fit.relative_error_bound));
    std::printf("inline constexpr std::array<double, %d> %s{\n", count, name);
    for (const double c : fit.coefficients) {
        std::printf("    %a,\n", c);
    }
    std::printf("};\n");
}

void print_pairs(const char* name, int count, int first_power) {
    std::printf("inline constexpr std::array<DoubleDouble, %d> %s{{\n", count, name);
    for (int k = 0; k < count; ++k) {
        const DoublePair c = quarter_turn_coefficient_pair(first_power + 2 * k);
        std::printf("    {%a, %a},\n", c.hi, c.lo);
    }
    std::printf("}};\n");
}

}  // namespace

void print_trig_tables(const TableSizes& sizes) {
    std::printf(
        "#pragma once\n\n"
        "// Written by `vantrel-trig-check tables` with MPFR; the MPFR tests check them again.\n\n"
        "#include <array>\n#include <cstdint>\n\n#include \"math/double_double.hpp\"\n\n"
        "namespace vantrel_sim::trig_tables {\n\n"
        "// 2/pi = sum of TWO_OVER_PI[i] * 2^(-64 (i + 1)), short of it by less than 2^-%d.\n"
        "inline constexpr std::array<std::uint64_t, %d> TWO_OVER_PI{\n",
        64 * sizes.two_over_pi_words, sizes.two_over_pi_words);
    for (const std::uint64_t word : two_over_pi_words(sizes.two_over_pi_words)) {
        std::printf("    0x%016llXu,\n", static_cast<unsigned long long>(word));
    }
    const DoublePair split = two_over_pi_split(29);
    std::printf(
        "};\n\n"
        "// 2/pi = TWO_OVER_PI_HEAD + TWO_OVER_PI_TAIL within 2^-83; the head has 29 bits, so its\n"
        "// product with a float is exact in double.\n"
        "inline constexpr double TWO_OVER_PI_HEAD = %a;\n"
        "inline constexpr double TWO_OVER_PI_TAIL = %a;\n",
        split.hi, split.lo);
    std::printf(
        "\n"
        "// sin and cos in quarter turns, for the fast path:\n"
        "// sin(pi u / 2) ~ sum of SIN[k] u^(2k+1), cos(pi u / 2) ~ sum of COS[k] u^(2k),\n"
        "// near the best polynomials of their degree (the Chebyshev series in u^2, cut and\n"
        "// rounded). The bounds count the terms cut and the coefficients' rounding.\n");
    print_fit("FAST_SIN", true, sizes.fast_sin, sizes.fast_reach);
    print_fit("FAST_COS", false, sizes.fast_cos, sizes.fast_reach);
    std::printf(
        "// For the accurate path, their Taylor coefficients (-1)^k (pi/2)^n / n! as\n"
        "// double-doubles (error below 2^-106 relative):\n"
        "// sin(pi u / 2) = sum of SIN[k] u^(2k+1), cos(pi u / 2) = sum of COS[k] u^(2k).\n");
    print_pairs("ACCURATE_SIN", sizes.accurate_sin, 1);
    print_pairs("ACCURATE_COS", sizes.accurate_cos, 0);
    std::printf("\n}  // namespace vantrel_sim::trig_tables\n");
}

}  // namespace vantrel_reference
