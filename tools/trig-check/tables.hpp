#pragma once

namespace vantrel_reference {

struct TableSizes {
    int two_over_pi_words;
    int fast_sin;
    int fast_cos;
    double fast_reach;  // largest |u| the fast polynomials serve
    int accurate_sin;
    int accurate_cos;
};

inline constexpr TableSizes TRIG_TABLES{5, 6, 6, 0.5 + 0x1p-14, 13, 14};

// Writes the header with the constants of the simulation's sin and cos to standard output.
void print_trig_tables(const TableSizes& sizes = TRIG_TABLES);

}  // namespace vantrel_reference
