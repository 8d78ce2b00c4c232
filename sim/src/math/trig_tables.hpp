#pragma once

// Written by `vantrel-trig-check tables` with MPFR; the MPFR tests check them again.

#include <array>
#include <cstdint>

#include "math/double_double.hpp"

namespace vantrel_sim::trig_tables {

// 2/pi = sum of TWO_OVER_PI[i] * 2^(-64 (i + 1)), short of it by less than 2^-320.
inline constexpr std::array<std::uint64_t, 5> TWO_OVER_PI{
    0xA2F9836E4E441529u,
    0xFC2757D1F534DDC0u,
    0xDB6295993C439041u,
    0xFE5163ABDEBBC561u,
    0xB7246E3A424DD2E0u,
};

// 2/pi = TWO_OVER_PI_HEAD + TWO_OVER_PI_TAIL within 2^-83; the head has 29 bits, so its
// product with a float is exact in double.
inline constexpr double TWO_OVER_PI_HEAD = 0x1.45f306ep-1;
inline constexpr double TWO_OVER_PI_TAIL = -0x1.b1bbead603d8bp-32;

// sin and cos in quarter turns, for the fast path:
// sin(pi u / 2) ~ sum of SIN[k] u^(2k+1), cos(pi u / 2) ~ sum of COS[k] u^(2k),
// near the best polynomials of their degree (the Chebyshev series in u^2, cut and
// rounded). The bounds count the terms cut and the coefficients' rounding.
// Relative error below 2^-47.57 for |u| <= 1/2 + 2^-14.
inline constexpr std::array<double, 6> FAST_SIN{
    0x1.921fb54442cfap+0,
    -0x1.4abbce6257a1ep-1,
    0x1.466bc67122fbap-4,
    -0x1.32d2c643d3fa3p-8,
    0x1.5071cdb82f43ap-13,
    -0x1.dd543c79d441fp-19,
};
// Relative error below 2^-43.53 for |u| <= 1/2 + 2^-14.
inline constexpr std::array<double, 6> FAST_COS{
    0x1.ffffffffffe0bp-1,
    -0x1.3bd3cc9bd2c08p+0,
    0x1.03c1f074dcf1ep-2,
    -0x1.55d3ba2e6acfbp-6,
    0x1.e1e7cbaf0af92p-11,
    -0x1.a0edd0afc3052p-16,
};
// For the accurate path, their Taylor coefficients (-1)^k (pi/2)^n / n! as
// double-doubles (error below 2^-106 relative):
// sin(pi u / 2) = sum of SIN[k] u^(2k+1), cos(pi u / 2) = sum of COS[k] u^(2k).
inline constexpr std::array<DoubleDouble, 13> ACCURATE_SIN{{
    {0x1.921fb54442d18p+0, 0x1.1a62633145c07p-54},
    {-0x1.4abbce625be53p-1, 0x1.05511c68476a8p-55},
    {0x1.466bc6775aae2p-4, -0x1.6dc0cbddb0fc3p-59},
    {-0x1.32d2cce62bd86p-8, 0x1.066847a026e69p-62},
    {0x1.50783487ee782p-13, -0x1.1be14e6e8854ap-67},
    {-0x1.e3074fde8871fp-19, -0x1.88ef203b0a336p-73},
    {0x1.e8f434d018d63p-25, 0x1.94682b2571263p-80},
    {-0x1.6fadb9f155744p-31, 0x1.bab97c50b4cdp-85},
    {0x1.aaec32af93359p-38, 0x1.4fe55050e576ap-93},
    {-0x1.8a404211f9547p-45, -0x1.6d424c0620248p-103},
    {0x1.2877020d52cfp-52, -0x1.c9db31d99b9a3p-106},
    {-0x1.7215f879e1ac9p-60, 0x1.a2cc59fc2e3e8p-114},
    {0x1.859c594ba4573p-68, 0x1.46446588874ecp-123},
}};
inline constexpr std::array<DoubleDouble, 14> ACCURATE_COS{{
    {0x1p+0, 0x0p+0},
    {-0x1.3bd3cc9be45dep+0, -0x1.692b71366cc04p-54},
    {0x1.03c1f081b5ac4p-2, -0x1.32b33f87fc145p-56},
    {-0x1.55d3c7e3cbffap-6, 0x1.d582920937625p-65},
    {0x1.e1f506891babbp-11, -0x1.7362f495c096dp-68},
    {-0x1.a6d1f2a204a8cp-16, 0x1.5961232276df6p-70},
    {0x1.f9d38a3763cc3p-22, -0x1.c8a14c8bd6bc5p-76},
    {-0x1.b6e24f44b128fp-28, -0x1.6de1e0a0c23b9p-83},
    {0x1.20c62c2f2d7f5p-34, -0x1.5a3cd1a11c7a2p-88},
    {-0x1.2a0c591af8314p-41, -0x1.215803afbd5f8p-95},
    {0x1.ef6e308d6d1c4p-49, -0x1.c5f7779fbdd48p-103},
    {-0x1.52ae4120fde27p-56, 0x1.76dd247cd9002p-110},
    {0x1.838d8f43218p-64, -0x1.453680e7f5659p-120},
    {-0x1.789d662bb5482p-72, -0x1.01d70ae199b04p-130},
}};

}  // namespace vantrel_sim::trig_tables
