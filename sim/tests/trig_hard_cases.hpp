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
inline constexpr std::array<HardCase, 48> HARD_CASES{{
    {0x73243F06u, 0x3E943A84u, 0xBF750971u},  // sin of 1.30129e+31: 2^-30.99 of a gap from a midpoint
    {0x46199998u, 0xBEB1FA5Du, 0xBF70090Bu},  // sin of 9830.4: 2^-30.50 of a gap from a midpoint
    {0x55CAFB2Au, 0xBF7E7A17u, 0x3DDF11F4u},  // sin of 2.78975e+13: 2^-29.56 of a gap from a midpoint
    {0x67A9242Bu, 0xBF7FAB81u, 0xBD4FEE38u},  // sin of 1.59749e+24: 2^-29.41 of a gap from a midpoint
    {0x4371ADE3u, 0x3E62DA56u, 0xBF79A393u},  // sin of 241.679: 2^-28.85 of a gap from a midpoint
    {0x5F208D82u, 0x3F2C7688u, 0x3F3D3068u},  // sin of 1.1569e+19: 2^-28.68 of a gap from a midpoint
    {0x7A5AACDBu, 0x3EDA83BBu, 0x3F6783A5u},  // sin of 2.83857e+35: 2^-28.35 of a gap from a midpoint
    {0x6446CEC0u, 0xBF6995BDu, 0xBED183BCu},  // sin of 1.46694e+22: 2^-28.31 of a gap from a midpoint
    {0x79D1F6D3u, 0xBF7A88EEu, 0xBE527517u},  // sin of 1.36275e+35: 2^-28.26 of a gap from a midpoint
    {0x61DFC847u, 0xBF0094DFu, 0x3F5D5DA1u},  // sin of 5.16007e+20: 2^-28.06 of a gap from a midpoint
    {0x5DADD689u, 0xBF74FC9Eu, 0x3E948F39u},  // sin of 1.56579e+18: 2^-28.00 of a gap from a midpoint
    {0x4FB56937u, 0xBF7FFCB7u, 0x3C241871u},  // sin of 6.08714e+09: 2^-27.97 of a gap from a midpoint
    {0x653CEE8Fu, 0x3F30DF39u, 0x3F3912E4u},  // sin of 5.57628e+22: 2^-27.88 of a gap from a midpoint
    {0x7A817B08u, 0x3E1B493Eu, 0xBF7D0A10u},  // sin of 3.36151e+35: 2^-27.85 of a gap from a midpoint
    {0x6D734599u, 0xBF5B5135u, 0xBF040B99u},  // sin of 4.70556e+27: 2^-27.77 of a gap from a midpoint
    {0x3EF3830Fu, 0x3EEA6F45u, 0x3F63966Au},  // sin of 0.475609: 2^-27.73 of a gap from a midpoint
    {0x6115CB11u, 0xBE7CC1E1u, 0x3F78142Fu},  // cos of 1.727e+20: 2^-31.94 of a gap from a midpoint
    {0x59443C0Au, 0x3F269965u, 0x3F425F62u},  // cos of 3.45219e+15: 2^-31.92 of a gap from a midpoint
    {0x5F18B878u, 0x3DAD60F7u, 0x3F7F14BBu},  // cos of 1.10047e+19: 2^-31.57 of a gap from a midpoint
    {0x7A4B1A27u, 0xBE2CBC24u, 0x3F7C54DAu},  // cos of 2.63642e+35: 2^-30.63 of a gap from a midpoint
    {0x5922AA80u, 0xBF587522u, 0x3F08AEBFu},  // cos of 2.86165e+15: 2^-29.53 of a gap from a midpoint
    {0x7908CD73u, 0x3E647CF1u, 0x3F798BB5u},  // cos of 4.4395e+34: 2^-29.43 of a gap from a midpoint
    {0x61703976u, 0xBF677280u, 0x3EDACC56u},  // cos of 2.7696e+20: 2^-29.34 of a gap from a midpoint
    {0x3C107FE6u, 0x3C107F6Bu, 0x3F7FFD74u},  // cos of 0.00881956: 2^-29.14 of a gap from a midpoint
    {0x55E5235Du, 0xBF7760F0u, 0xBE83C11Au},  // cos of 3.14925e+13: 2^-28.85 of a gap from a midpoint
    {0x39800000u, 0x39800000u, 0x3F800000u},  // cos of 0.000244141: 2^-28.58 of a gap from a midpoint
    {0x424790CEu, 0xBEBB16D3u, 0x3F6E4C01u},  // cos of 49.8914: 2^-28.04 of a gap from a midpoint
    {0x3A544395u, 0x3A544393u, 0x3F7FFFFBu},  // cos of 0.000809723: 2^-28.00 of a gap from a midpoint
    {0x4A01DCA4u, 0x3F393D07u, 0x3F30B318u},  // cos of 2.12766e+06: 2^-27.37 of a gap from a midpoint
    {0x7A38AB34u, 0xBE457E6Eu, 0x3F7B3195u},  // cos of 2.39714e+35: 2^-27.32 of a gap from a midpoint
    {0x52D9D3FEu, 0xBEFEA223u, 0xBF5E187Bu},  // cos of 4.67782e+11: 2^-27.30 of a gap from a midpoint
    {0x42378DB8u, 0x3F71BE54u, 0xBEA87A07u},  // cos of 45.8884: 2^-27.25 of a gap from a midpoint
    {0x6F79BE45u, 0x3F800000u, 0xB0DDEEA9u},  // 7.72918e+28: 2^-29.86 quarter turns from a multiple of pi/2
    {0x50A3E87Fu, 0x3F800000u, 0xB10A4ED8u},  // 2.19994e+10: 2^-29.54 quarter turns from a multiple of pi/2
    {0x6FF9BE45u, 0xB15DEEA9u, 0xBF800000u},  // 1.54584e+29: 2^-28.86 quarter turns from a multiple of pi/2
    {0x5123E87Fu, 0xB18A4ED8u, 0xBF800000u},  // 4.39988e+10: 2^-28.54 quarter turns from a multiple of pi/2
    {0x437CE5F1u, 0x3F800000u, 0xB18FD1DEu},  // 252.898: 2^-28.48 quarter turns from a multiple of pi/2
    {0x7079BE45u, 0x31DDEEA9u, 0x3F800000u},  // 3.09167e+29: 2^-27.86 quarter turns from a multiple of pi/2
    {0x6A1976F1u, 0x3F800000u, 0xB1DE3BDFu},  // 4.63818e+25: 2^-27.86 quarter turns from a multiple of pi/2
    {0x53B146A6u, 0xBF800000u, 0xB1EDA4F2u},  // 1.52279e+12: 2^-27.76 quarter turns from a multiple of pi/2
    {0x65898498u, 0x3F800000u, 0xB1FBF026u},  // 8.11763e+22: 2^-27.67 quarter turns from a multiple of pi/2
    {0x51A3E87Fu, 0x320A4ED8u, 0x3F800000u},  // 8.79975e+10: 2^-27.54 quarter turns from a multiple of pi/2
    {0x43FCE5F1u, 0xB20FD1DEu, 0xBF800000u},  // 505.796: 2^-27.48 quarter turns from a multiple of pi/2
    {0x77584625u, 0xBF800000u, 0xB22FA975u},  // 4.38656e+33: 2^-27.19 quarter turns from a multiple of pi/2
    {0x4C2332E9u, 0xBF800000u, 0x32493DE6u},  // 4.27816e+07: 2^-27.00 quarter turns from a multiple of pi/2
    {0x4096CBE4u, 0xBF800000u, 0x324CDE2Eu},  // 4.71239: 2^-26.97 quarter turns from a multiple of pi/2
    {0x6C55DA58u, 0x3F800000u, 0x324DBA59u},  // 1.03413e+27: 2^-26.97 quarter turns from a multiple of pi/2
    {0x70F9BE45u, 0x325DEEA9u, 0x3F800000u},  // 6.18334e+29: 2^-26.86 quarter turns from a multiple of pi/2
}};

}  // namespace vantrel_sim::trig_hard_cases
