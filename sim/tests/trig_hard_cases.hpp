#pragma once

// Written by `vantrel-trig-check --hard-cases FILE` from its run over all floats; the
// results are MPFR's. The arguments whose sin or cos lies nearest to a midpoint between
// two floats, and those nearest to a multiple of pi/2.

#include <array>
#include <cstdint>

namespace vantrel_sim::trig_hard_cases {

struct HardCase {
    std::uint32_t x;
    std::uint32_t sin;
    std::uint32_t cos;
};

// Bits of x, of its sin and of its cos.
inline constexpr std::array<HardCase, 29> HARD_CASES{{
    {0xE0C7295Du, 0x3DF2FC63u, 0xBF7E3119u},  // sin -114808831537393434624.00: 2^-24.99 of a gap from a midpoint
    {0x62C47681u, 0xBF3EFFDAu, 0xBF2A74B7u},  // sin 1812050472407771643904.00: 2^-24.32 of a gap from a midpoint
    {0x7DFF9F1Du, 0xBD0F2167u, 0x3F7FD7FAu},  // sin 42472412789442386385231180469765144576.00: 2^-23.82 of a gap from a midpoint
    {0x7B9CE9D9u, 0xBE9B9D25u, 0xBF73E3B6u},  // sin 1629482607760699089241589871890399232.00: 2^-23.53 of a gap from a midpoint
    {0xD2AE570Du, 0x3EF799CEu, 0x3F60131Eu},  // sin -374392389632.00: 2^-23.21 of a gap from a midpoint
    {0x5A008CEDu, 0x3F20B32Eu, 0xBF47470Cu},  // sin 9045936638525440.00: 2^-22.86 of a gap from a midpoint
    {0x7908CD73u, 0x3E647CF1u, 0x3F798BB5u},  // cos 44394961123010893144742496552615936.00: 2^-29.43 of a gap from a midpoint
    {0x75DA4C95u, 0x3E4B0B73u, 0x3F7AEABBu},  // cos 553454093401701452811606264119296.00: 2^-26.24 of a gap from a midpoint
    {0xEE4D9F27u, 0x3F773A9Bu, 0x3E84DFAEu},  // cos -15909207597746824260880433152.00: 2^-24.49 of a gap from a midpoint
    {0x62ECDADBu, 0x3E788A3Au, 0x3F785852u},  // cos 2184600899957811052544.00: 2^-23.23 of a gap from a midpoint
    {0x3F44A58Au, 0x3F31DED8u, 0x3F381D46u},  // cos 0.77: 2^-22.75 of a gap from a midpoint
    {0x6BD9A209u, 0x3F1851D1u, 0x3F4DC10Cu},  // cos 526204184494592153643646976.00: 2^-22.57 of a gap from a midpoint
    {0x4DD2B627u, 0x3F7FFAD8u, 0x3C4D824Cu},  // cos 441894112.00: 2^-22.42 of a gap from a midpoint
    {0x6BBA2714u, 0xBF800000u, 0x346B1785u},  // 4.50089e+26: 2^-22.77 quarter turns from a multiple of pi/2
    {0x747959D7u, 0x3F800000u, 0xB4D88338u},  // 7.90225e+31: 2^-21.89 quarter turns from a multiple of pi/2
    {0x5E90389Du, 0xB4F26FCEu, 0xBF800000u},  // 5.19611e+18: 2^-21.73 quarter turns from a multiple of pi/2
    {0x44867FDBu, 0x3F800000u, 0x34F4D954u},  // 1076: 2^-21.72 quarter turns from a multiple of pi/2
    {0x63D9CBAFu, 0xBF800000u, 0x34FBDDF6u},  // 8.03524e+21: 2^-21.67 quarter turns from a multiple of pi/2
    {0x4E41EF71u, 0xB50AA258u, 0xBF800000u},  // 8.13424e+08: 2^-21.54 quarter turns from a multiple of pi/2
    {0x5C060C31u, 0x3F800000u, 0xB511B8AAu},  // 1.50924e+17: 2^-21.46 quarter turns from a multiple of pi/2
    {0x7365533Cu, 0x351BBADCu, 0xBF800000u},  // 1.8169e+31: 2^-21.37 quarter turns from a multiple of pi/2
    {0x614BCCEDu, 0xBF800000u, 0x352C9F4Cu},  // 2.34966e+20: 2^-21.22 quarter turns from a multiple of pi/2
    {0x6FDA6EA9u, 0x3F800000u, 0x35339416u},  // 1.35203e+29: 2^-21.16 quarter turns from a multiple of pi/2
    {0x512BF26Cu, 0xBF800000u, 0xB5432264u},  // 4.61567e+10: 2^-21.04 quarter turns from a multiple of pi/2
    {0x721D1168u, 0x3F800000u, 0xB545C8AAu},  // 3.11105e+30: 2^-21.02 quarter turns from a multiple of pi/2
    {0x6F8ED119u, 0xB54E9848u, 0xBF800000u},  // 8.83993e+28: 2^-20.96 quarter turns from a multiple of pi/2
    {0x428716A7u, 0xBF800000u, 0x35588C6Du},  // 67.5442: 2^-20.89 quarter turns from a multiple of pi/2
    {0x5400BDC8u, 0x3F800000u, 0x355C7549u},  // 2.21176e+12: 2^-20.87 quarter turns from a multiple of pi/2
    {0x6D9976F1u, 0x355E3BDFu, 0x3F800000u},  // 5.93687e+27: 2^-20.86 quarter turns from a multiple of pi/2
}};

}  // namespace vantrel_sim::trig_hard_cases
