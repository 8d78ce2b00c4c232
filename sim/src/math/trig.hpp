#pragma once

// sin, cos and hypot of floats, correctly rounded: the exact value rounded once to the nearest
// float, ties to even. The platform's maths library rounds these differently from one machine
// to the next; these give the same bits everywhere, and replays and recorded logs rely on that.

namespace vantrel_sim {

// NaN for an infinite or NaN argument.
float exact_sin(float x);
float exact_cos(float x);
// sqrt(a² + b²); +infinity if either argument is infinite, else NaN if either is NaN.
float exact_hypot(float a, float b);

}  // namespace vantrel_sim
