// The simulation's correctly rounded sin, cos and hypot beside the platform's sinf, cosf and
// hypotf, on the arguments the game gives them: view and walk angles, horizontal offsets.
#include <benchmark/benchmark.h>

#include <cmath>
#include <random>
#include <vector>

#include "math/trig.hpp"

namespace {

using namespace vantrel_sim;

constexpr std::size_t COUNT = 4096;

// Angles in [-range, range]: 10 for a player who turned a turn or so, more after many turns.
std::vector<float> angles(float range) {
    std::mt19937 random(7);
    std::uniform_real_distribution<float> angle(-range, range);
    std::vector<float> values(COUNT);
    for (float& v : values) {
        v = angle(random);
    }
    return values;
}

template <float (*F)(float)>
void unary(benchmark::State& state) {
    const std::vector<float> x = angles(static_cast<float>(state.range(0)));
    for (auto _ : state) {
        float sum = 0.0f;
        for (const float v : x) {
            sum += F(v);
        }
        benchmark::DoNotOptimize(sum);
    }
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * COUNT));
}

// Offsets between positions in a room, some clamped to zero as the footprint distance does.
template <float (*F)(float, float)>
void binary(benchmark::State& state) {
    std::mt19937 random(11);
    std::uniform_real_distribution<float> offset(-20.0f, 20.0f);
    std::vector<float> a(COUNT);
    std::vector<float> b(COUNT);
    for (std::size_t i = 0; i < COUNT; ++i) {
        a[i] = offset(random);
        b[i] = i % 4 == 0 ? 0.0f : offset(random);
    }
    for (auto _ : state) {
        float sum = 0.0f;
        for (std::size_t i = 0; i < COUNT; ++i) {
            sum += F(a[i], b[i]);
        }
        benchmark::DoNotOptimize(sum);
    }
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * COUNT));
}

float platform_sin(float x) {
    return std::sin(x);
}
float platform_cos(float x) {
    return std::cos(x);
}
float platform_hypot(float a, float b) {
    return std::hypot(a, b);
}

BENCHMARK_TEMPLATE(unary, exact_sin)->Name("BM_Sin_Exact")->Arg(10)->Arg(10000);
BENCHMARK_TEMPLATE(unary, platform_sin)->Name("BM_Sin_Platform")->Arg(10)->Arg(10000);
BENCHMARK_TEMPLATE(unary, exact_cos)->Name("BM_Cos_Exact")->Arg(10)->Arg(10000);
BENCHMARK_TEMPLATE(unary, platform_cos)->Name("BM_Cos_Platform")->Arg(10)->Arg(10000);
BENCHMARK_TEMPLATE(binary, exact_hypot)->Name("BM_Hypot_Exact");
BENCHMARK_TEMPLATE(binary, platform_hypot)->Name("BM_Hypot_Platform");

}  // namespace
