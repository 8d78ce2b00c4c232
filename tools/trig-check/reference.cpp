#include "reference.hpp"

#include <mpfr.h>

#include <cmath>
#include <memory>

namespace vantrel_reference {

namespace {

// An MPFR number that frees itself.
class Real {
  public:
    explicit Real(mpfr_prec_t precision) { mpfr_init2(value_, precision); }
    ~Real() { mpfr_clear(value_); }
    Real(const Real&) = delete;
    Real& operator=(const Real&) = delete;
    mpfr_ptr get() { return value_; }

  private:
    mpfr_t value_;
};

// Rounds like binary32 arithmetic, subnormals included, for the duration of one operation.
class Binary32Range {
  public:
    Binary32Range() : emin_(mpfr_get_emin()), emax_(mpfr_get_emax()) {
        mpfr_set_emin(-148);
        mpfr_set_emax(128);
    }
    ~Binary32Range() {
        mpfr_set_emin(emin_);
        mpfr_set_emax(emax_);
    }
    Binary32Range(const Binary32Range&) = delete;
    Binary32Range& operator=(const Binary32Range&) = delete;

  private:
    mpfr_exp_t emin_;
    mpfr_exp_t emax_;
};

using Function = int (*)(mpfr_ptr, mpfr_srcptr, mpfr_rnd_t);

float correctly_rounded(Function f, float x) {
    Binary32Range range;
    Real in(24);
    Real out(24);
    mpfr_set_flt(in.get(), x, MPFR_RNDN);
    const int inexact = f(out.get(), in.get(), MPFR_RNDN);
    mpfr_subnormalize(out.get(), inexact, MPFR_RNDN);
    return mpfr_get_flt(out.get(), MPFR_RNDN);
}

double midpoint_closeness(Function f, float x) {
    constexpr mpfr_prec_t PRECISION = 256;
    const float rounded = std::abs(correctly_rounded(f, x));
    Real exact(PRECISION);
    Real in(24);
    mpfr_set_flt(in.get(), x, MPFR_RNDN);
    f(exact.get(), in.get(), MPFR_RNDN);
    mpfr_abs(exact.get(), exact.get(), MPFR_RNDN);
    // The float on the far side of the exact value, and the midpoint between the two.
    const bool above = mpfr_cmp_d(exact.get(), static_cast<double>(rounded)) > 0;
    const float neighbour = std::nextafter(rounded, above ? INFINITY : 0.0f);
    const double midpoint =
        (static_cast<double>(rounded) + static_cast<double>(neighbour)) / 2.0;  // exact
    const double gap = std::abs(static_cast<double>(neighbour) - static_cast<double>(rounded));
    Real distance(PRECISION);
    mpfr_sub_d(distance.get(), exact.get(), midpoint, MPFR_RNDN);
    mpfr_abs(distance.get(), distance.get(), MPFR_RNDN);
    mpfr_div_d(distance.get(), distance.get(), gap, MPFR_RNDN);
    return std::log2(mpfr_get_d(distance.get(), MPFR_RNDN));
}

}  // namespace

float reference_sin(float x) {
    return correctly_rounded(mpfr_sin, x);
}
float reference_cos(float x) {
    return correctly_rounded(mpfr_cos, x);
}

float reference_hypot(float a, float b) {
    Binary32Range range;
    Real x(24);
    Real y(24);
    Real out(24);
    mpfr_set_flt(x.get(), a, MPFR_RNDN);
    mpfr_set_flt(y.get(), b, MPFR_RNDN);
    const int inexact = mpfr_hypot(out.get(), x.get(), y.get(), MPFR_RNDN);
    mpfr_subnormalize(out.get(), inexact, MPFR_RNDN);
    return mpfr_get_flt(out.get(), MPFR_RNDN);
}

double sin_midpoint_closeness(float x) {
    return midpoint_closeness(mpfr_sin, x);
}
double cos_midpoint_closeness(float x) {
    return midpoint_closeness(mpfr_cos, x);
}

std::vector<std::uint64_t> two_over_pi_words(int count) {
    Real value(64 * count + 64);
    mpfr_const_pi(value.get(), MPFR_RNDN);
    mpfr_ui_div(value.get(), 2, value.get(), MPFR_RNDN);
    std::vector<std::uint64_t> words;
    for (int i = 0; i < count; ++i) {
        // Shift the next 64 bits above the point, take them and keep the rest.
        mpfr_mul_2ui(value.get(), value.get(), 32, MPFR_RNDN);
        const std::uint64_t high = mpfr_get_ui(value.get(), MPFR_RNDZ);
        mpfr_sub_ui(value.get(), value.get(), high, MPFR_RNDN);
        mpfr_mul_2ui(value.get(), value.get(), 32, MPFR_RNDN);
        const std::uint64_t low = mpfr_get_ui(value.get(), MPFR_RNDZ);
        mpfr_sub_ui(value.get(), value.get(), low, MPFR_RNDN);
        words.push_back(high << 32 | low);
    }
    return words;
}

DoublePair two_over_pi_split(int head_bits) {
    Real value(256);
    Real head(head_bits);
    mpfr_const_pi(value.get(), MPFR_RNDN);
    mpfr_ui_div(value.get(), 2, value.get(), MPFR_RNDN);
    mpfr_set(head.get(), value.get(), MPFR_RNDN);
    mpfr_sub(value.get(), value.get(), head.get(), MPFR_RNDN);
    return {mpfr_get_d(head.get(), MPFR_RNDN), mpfr_get_d(value.get(), MPFR_RNDN)};
}

namespace {

void coefficient(mpfr_ptr c, int n) {
    Real factorial(mpfr_get_prec(c));
    mpfr_const_pi(c, MPFR_RNDN);
    mpfr_div_2ui(c, c, 1, MPFR_RNDN);
    mpfr_pow_ui(c, c, static_cast<unsigned long>(n), MPFR_RNDN);
    mpfr_fac_ui(factorial.get(), static_cast<unsigned long>(n), MPFR_RNDN);
    mpfr_div(c, c, factorial.get(), MPFR_RNDN);
    if (n / 2 % 2 == 1) {
        mpfr_neg(c, c, MPFR_RNDN);
    }
}

}  // namespace

double quarter_turn_coefficient(int n) {
    Real c(256);
    coefficient(c.get(), n);
    return mpfr_get_d(c.get(), MPFR_RNDN);
}

DoublePair quarter_turn_coefficient_pair(int n) {
    Real c(256);
    coefficient(c.get(), n);
    const double hi = mpfr_get_d(c.get(), MPFR_RNDN);
    mpfr_sub_d(c.get(), c.get(), hi, MPFR_RNDN);
    return {hi, mpfr_get_d(c.get(), MPFR_RNDN)};
}

namespace {

constexpr mpfr_prec_t FIT_PRECISION = 256;

// sin(π√z/2)/√z or cos(π√z/2).
void reduced_function(mpfr_ptr out, mpfr_srcptr z, bool sine) {
    Real root(FIT_PRECISION);
    mpfr_sqrt(root.get(), z, MPFR_RNDN);
    mpfr_const_pi(out, MPFR_RNDN);
    mpfr_mul(out, out, root.get(), MPFR_RNDN);
    mpfr_div_2ui(out, out, 1, MPFR_RNDN);
    if (sine) {
        mpfr_sin(out, out, MPFR_RNDN);
        mpfr_div(out, out, root.get(), MPFR_RNDN);
    } else {
        mpfr_cos(out, out, MPFR_RNDN);
    }
}

// Polynomials in z as coefficient lists of MPFR numbers.
using Polynomial = std::vector<std::unique_ptr<Real>>;

Polynomial zero_polynomial(std::size_t size) {
    Polynomial p;
    for (std::size_t i = 0; i < size; ++i) {
        p.push_back(std::make_unique<Real>(FIT_PRECISION));
        mpfr_set_zero(p.back()->get(), 1);
    }
    return p;
}

}  // namespace

Fit quarter_turn_fit(bool sine, int count, double reach) {
    constexpr int NODES = 40;
    const auto size = static_cast<std::size_t>(count);
    Real h(FIT_PRECISION);
    mpfr_set_d(h.get(), reach, MPFR_RNDN);
    mpfr_sqr(h.get(), h.get(), MPFR_RNDN);

    // Chebyshev coefficients of the function on z in [0, h], from its values at the nodes.
    std::vector<std::unique_ptr<Real>> series;
    Real angle(FIT_PRECISION);
    Real z(FIT_PRECISION);
    Real value(FIT_PRECISION);
    Real term(FIT_PRECISION);
    for (int k = 0; k < NODES; ++k) {
        series.push_back(std::make_unique<Real>(FIT_PRECISION));
        mpfr_set_zero(series.back()->get(), 1);
    }
    for (int i = 0; i < NODES; ++i) {
        mpfr_const_pi(angle.get(), MPFR_RNDN);
        mpfr_mul_ui(angle.get(), angle.get(), static_cast<unsigned long>(2 * i + 1), MPFR_RNDN);
        mpfr_div_ui(angle.get(), angle.get(), 2 * NODES, MPFR_RNDN);
        mpfr_cos(z.get(), angle.get(), MPFR_RNDN);
        mpfr_add_ui(z.get(), z.get(), 1, MPFR_RNDN);
        mpfr_mul(z.get(), z.get(), h.get(), MPFR_RNDN);
        mpfr_div_2ui(z.get(), z.get(), 1, MPFR_RNDN);
        reduced_function(value.get(), z.get(), sine);
        for (int k = 0; k < NODES; ++k) {
            mpfr_mul_ui(term.get(), angle.get(), static_cast<unsigned long>(k), MPFR_RNDN);
            mpfr_cos(term.get(), term.get(), MPFR_RNDN);
            mpfr_mul(term.get(), term.get(), value.get(), MPFR_RNDN);
            mpfr_add(series[static_cast<std::size_t>(k)]->get(),
                     series[static_cast<std::size_t>(k)]->get(), term.get(), MPFR_RNDN);
        }
    }
    for (int k = 0; k < NODES; ++k) {
        mpfr_mul_ui(series[static_cast<std::size_t>(k)]->get(),
                    series[static_cast<std::size_t>(k)]->get(), k == 0 ? 1 : 2, MPFR_RNDN);
        mpfr_div_ui(series[static_cast<std::size_t>(k)]->get(),
                    series[static_cast<std::size_t>(k)]->get(), NODES, MPFR_RNDN);
    }

    // The kept terms in powers of z: T_k(t) with t = 2z/h - 1, by T_k+1 = 2t T_k - T_k-1.
    Polynomial sum = zero_polynomial(size);
    Polynomial previous = zero_polynomial(size);
    Polynomial current = zero_polynomial(size);
    mpfr_set_ui(current[0]->get(), 1, MPFR_RNDN);
    Real scale(FIT_PRECISION);
    mpfr_ui_div(scale.get(), 2, h.get(), MPFR_RNDN);
    for (std::size_t k = 0; k < size; ++k) {
        for (std::size_t j = 0; j < size; ++j) {
            mpfr_mul(term.get(), current[j]->get(), series[k]->get(), MPFR_RNDN);
            mpfr_add(sum[j]->get(), sum[j]->get(), term.get(), MPFR_RNDN);
        }
        Polynomial next = zero_polynomial(size);
        for (std::size_t j = 0; j < size; ++j) {
            // 2 t T_k - T_k-1, t = scale z - 1 (T_1 = t itself).
            const double factor = k == 0 ? 1.0 : 2.0;
            mpfr_mul_d(term.get(), current[j]->get(), -factor, MPFR_RNDN);
            mpfr_add(next[j]->get(), next[j]->get(), term.get(), MPFR_RNDN);
            if (j + 1 < size) {
                mpfr_mul(term.get(), current[j]->get(), scale.get(), MPFR_RNDN);
                mpfr_mul_d(term.get(), term.get(), factor, MPFR_RNDN);
                mpfr_add(next[j + 1]->get(), next[j + 1]->get(), term.get(), MPFR_RNDN);
            }
            if (k > 0) {
                mpfr_sub(next[j]->get(), next[j]->get(), previous[j]->get(), MPFR_RNDN);
            }
        }
        previous = std::move(current);
        current = std::move(next);
    }

    // Bound: the terms cut (the series falls so fast that the nodes' aliasing is nothing) and
    // each coefficient's rounding at the interval's end, against the function's least value
    // there, at z = h.
    Fit fit;
    Real bound(FIT_PRECISION);
    mpfr_set_zero(bound.get(), 1);
    for (int k = count; k < NODES; ++k) {
        mpfr_abs(term.get(), series[static_cast<std::size_t>(k)]->get(), MPFR_RNDU);
        mpfr_add(bound.get(), bound.get(), term.get(), MPFR_RNDU);
    }
    Real power(FIT_PRECISION);
    mpfr_set_ui(power.get(), 1, MPFR_RNDN);
    for (std::size_t j = 0; j < size; ++j) {
        fit.coefficients.push_back(mpfr_get_d(sum[j]->get(), MPFR_RNDN));
        mpfr_sub_d(term.get(), sum[j]->get(), fit.coefficients.back(), MPFR_RNDN);
        mpfr_abs(term.get(), term.get(), MPFR_RNDU);
        mpfr_mul(term.get(), term.get(), power.get(), MPFR_RNDU);
        mpfr_add(bound.get(), bound.get(), term.get(), MPFR_RNDU);
        mpfr_mul(power.get(), power.get(), h.get(), MPFR_RNDU);
    }
    reduced_function(value.get(), h.get(), sine);
    mpfr_div(bound.get(), bound.get(), value.get(), MPFR_RNDU);
    fit.relative_error_bound = mpfr_get_d(bound.get(), MPFR_RNDU);
    return fit;
}

}  // namespace vantrel_reference
