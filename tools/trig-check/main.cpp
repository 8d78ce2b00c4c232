// vantrel-trig-check: checks exact_sin and exact_cos on every one of the 2^32 float arguments.
//
// The reference for each argument is the platform's double sin and cos (error below one
// double ulp, 2^-52) rounded to float, whenever that double lies farther than 2^-46 from a
// float rounding boundary, so its rounding cannot be in doubt; otherwise, and for every
// disagreement, MPFR decides. It also counts how often the fast path leaves the rounding to the
// accurate one, checks that the accurate one always decides, and lists the arguments whose
// results lie closest to a midpoint and those nearest to a multiple of pi/2.
//
//   vantrel-trig-check [--threads N] [--stride S] [--platform] [--hard-cases FILE]
//   vantrel-trig-check tables > sim/src/math/trig_tables.hpp
//
// --hard-cases writes the arguments found nearest to midpoints and to multiples of pi/2, with
// their correctly rounded results, as the header the tests read (sim/tests/trig_hard_cases.hpp).

#include <mpfr.h>

#include <algorithm>
#include <atomic>
#include <bit>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "math/trig.hpp"
#include "math/trig_detail.hpp"
#include "reference.hpp"
#include "tables.hpp"

namespace {

using namespace vantrel_sim;
using namespace vantrel_reference;

constexpr double SCREEN_MARGIN = 0x1p-46;
constexpr std::size_t KEPT = 16;

struct Options {
    unsigned threads = 2;
    std::uint64_t stride = 1;
    bool platform = false;   // check the platform's sinf and cosf instead, to see the check bite
    std::string hard_cases;  // where to write the hard cases, if anywhere
};

struct Case {
    float x;
    double measure;  // log2 of closeness to a midpoint, or of |u| in quarter turns
};

// Keeps the KEPT cases of smallest measure.
struct Smallest {
    std::vector<Case> cases;
    void add(Case c) {
        if (cases.size() == KEPT && c.measure >= cases.back().measure) {
            return;
        }
        cases.insert(
            std::upper_bound(cases.begin(), cases.end(), c,
                             [](const Case& a, const Case& b) { return a.measure < b.measure; }),
            c);
        if (cases.size() > KEPT) {
            cases.pop_back();
        }
    }
    void merge(const Smallest& other) {
        for (const Case& c : other.cases) {
            add(c);
        }
    }
};

struct Tally {
    std::uint64_t checked = 0;
    std::uint64_t misrounded = 0;
    std::uint64_t consulted = 0;          // arguments MPFR decided
    std::uint64_t screen_wrong = 0;       // the screen disagreed with MPFR (must be 0)
    std::uint64_t integer_reduction = 0;  // nonnegative arguments reduced with integers
    std::uint64_t accurate = 0;           // nonnegative arguments that took the accurate path
    std::uint64_t undecided = 0;          // ... where even that left the rounding in doubt
    std::vector<std::pair<float, float>> examples;  // first misrounded arguments and results
    std::vector<float> screen_examples;             // first arguments where the screen was wrong
    Smallest closest;                               // results nearest to a midpoint

    void merge(const Tally& t) {
        checked += t.checked;
        misrounded += t.misrounded;
        consulted += t.consulted;
        screen_wrong += t.screen_wrong;
        integer_reduction += t.integer_reduction;
        accurate += t.accurate;
        undecided += t.undecided;
        examples.insert(examples.end(), t.examples.begin(), t.examples.end());
        screen_examples.insert(screen_examples.end(), t.screen_examples.begin(),
                               t.screen_examples.end());
        closest.merge(t.closest);
    }
};

struct Function {
    const char* name;
    float (*exact)(float);
    float (*platform)(float);
    double (*screen)(double);
    float (*reference)(float);
    double (*closeness)(float);
};

float platform_sin(float x) {
    return std::sin(x);
}
float platform_cos(float x) {
    return std::cos(x);
}
double screen_sin(double x) {
    return std::sin(x);
}
double screen_cos(double x) {
    return std::cos(x);
}

const Function FUNCTIONS[2] = {
    {"sin", exact_sin, platform_sin, screen_sin, reference_sin, sin_midpoint_closeness},
    {"cos", exact_cos, platform_cos, screen_cos, reference_cos, cos_midpoint_closeness},
};

bool same(float a, float b) {
    return std::bit_cast<std::uint32_t>(a) == std::bit_cast<std::uint32_t>(b);
}

// The float the screen's double rounds to, when its error cannot change the rounding.
bool screened(double y, float& result) {
    const double magnitude = std::abs(y);
    const double margin = magnitude * SCREEN_MARGIN;
    const auto low = static_cast<float>(magnitude - margin);
    const auto high = static_cast<float>(magnitude + margin);
    result = std::signbit(y) ? -low : low;
    return low == high;
}

void check_one(const Function& f, float x, bool platform, Tally& tally) {
    ++tally.checked;
    const float ours = platform ? f.platform(x) : f.exact(x);
    if (!std::isfinite(x)) {
        if (!std::isnan(ours)) {
            ++tally.misrounded;
        }
        return;
    }
    float expected = 0.0f;
    if (!screened(f.screen(static_cast<double>(x)), expected)) {
        ++tally.consulted;
        expected = f.reference(x);
        if (!std::signbit(x)) {  // -x is as close
            tally.closest.add({x, f.closeness(x)});
        }
    } else if (!same(ours, expected)) {
        const float decided = f.reference(x);
        ++tally.consulted;
        if (!same(decided, expected)) {
            ++tally.screen_wrong;
            if (tally.screen_examples.size() < 8) {
                tally.screen_examples.push_back(x);
            }
        }
        expected = decided;
    }
    if (!same(ours, expected)) {
        ++tally.misrounded;
        if (tally.examples.size() < 8) {
            tally.examples.emplace_back(x, ours);
        }
    }
}

// Which path the library takes for sin and cos of |x| (the sign never changes it).
void count_paths(std::uint32_t bits, Tally (&tallies)[2], Smallest& nearest_quarter) {
    if (bits < trig_detail::TINY_BITS || bits >= 0x7f800000u) {
        return;
    }
    const trig_detail::QuarterTurns turns = trig_detail::reduce(bits);
    nearest_quarter.add({std::bit_cast<float>(bits), std::log2(std::abs(turns.u.hi))});
    const std::optional<trig_detail::QuarterTurns> near = trig_detail::reduce_fast(bits);
    for (unsigned offset = 0; offset < 2; ++offset) {
        Tally& tally = tallies[offset];
        tally.integer_reduction += near ? 0 : 1;
        const trig_detail::QuarterTurns& used = near ? *near : turns;
        if (!trig_detail::fast_value(used.quadrant + offset, used)) {
            ++tally.accurate;
            tally.undecided +=
                trig_detail::accurate_value(turns.quadrant + offset, turns).decided ? 0 : 1;
        }
    }
}

struct Shared {
    Options options;
    std::atomic<std::uint64_t> next_chunk{0};
    std::mutex lock;
    Tally tallies[2];
    Smallest nearest_quarter;
};

constexpr std::uint64_t CHUNK = std::uint64_t{1} << 22;
constexpr std::uint64_t ALL = std::uint64_t{1} << 32;

void work(Shared& shared) {
    Tally tallies[2];
    Smallest nearest_quarter;
    const std::uint64_t stride = shared.options.stride;
    for (;;) {
        const std::uint64_t chunk = shared.next_chunk.fetch_add(1);
        const std::uint64_t begin = chunk * CHUNK;
        if (begin >= ALL) {
            break;
        }
        for (std::uint64_t i = (begin + stride - 1) / stride * stride; i < begin + CHUNK;
             i += stride) {
            const auto bits = static_cast<std::uint32_t>(i);
            const float x = std::bit_cast<float>(bits);
            check_one(FUNCTIONS[0], x, shared.options.platform, tallies[0]);
            check_one(FUNCTIONS[1], x, shared.options.platform, tallies[1]);
            if (!shared.options.platform && (bits >> 31) == 0) {
                count_paths(bits, tallies, nearest_quarter);
            }
        }
        if (chunk % 64 == 63) {
            std::fprintf(stderr, "%3d%%\n", static_cast<int>((chunk + 1) * CHUNK * 100 / ALL));
        }
    }
    const std::lock_guard<std::mutex> guard(shared.lock);
    shared.tallies[0].merge(tallies[0]);
    shared.tallies[1].merge(tallies[1]);
    shared.nearest_quarter.merge(nearest_quarter);
}

void report(const Shared& shared, double seconds) {
    const char* what = shared.options.platform ? "platform" : "exact";
    for (int which = 0; which < 2; ++which) {
        const Tally& t = shared.tallies[which];
        std::printf("%s_%s: %llu misrounded out of %llu\n", what, FUNCTIONS[which].name,
                    static_cast<unsigned long long>(t.misrounded),
                    static_cast<unsigned long long>(t.checked));
        std::printf("  MPFR decided %llu arguments; the screen was wrong %llu times\n",
                    static_cast<unsigned long long>(t.consulted),
                    static_cast<unsigned long long>(t.screen_wrong));
        for (const float x : t.screen_examples) {
            std::printf("  screen wrong: x = %a (%.9g): double %s %a, correctly %a\n",
                        static_cast<double>(x), static_cast<double>(x), FUNCTIONS[which].name,
                        FUNCTIONS[which].screen(static_cast<double>(x)),
                        static_cast<double>(FUNCTIONS[which].reference(x)));
        }
        for (const auto& [x, result] : t.examples) {
            std::printf("  misrounded: x = %a (%.9g): %a, correctly %a\n", static_cast<double>(x),
                        static_cast<double>(x), static_cast<double>(result),
                        static_cast<double>(FUNCTIONS[which].reference(x)));
        }
        if (!shared.options.platform) {
            std::printf(
                "  of the nonnegative arguments: %llu reduced with integers, %llu took the "
                "accurate path, undecided %llu\n",
                static_cast<unsigned long long>(t.integer_reduction),
                static_cast<unsigned long long>(t.accurate),
                static_cast<unsigned long long>(t.undecided));
            std::printf("  results nearest a midpoint (bits of x, log2 of distance in gaps):\n");
            for (const Case& c : t.closest.cases) {
                std::printf("    0x%08Xu  %a  %.2f\n", std::bit_cast<std::uint32_t>(c.x),
                            static_cast<double>(c.x), c.measure);
            }
        }
    }
    if (!shared.options.platform) {
        std::printf(
            "arguments nearest a multiple of pi/2 (bits of x, log2 of |u| in quarter turns):\n");
        for (const Case& c : shared.nearest_quarter.cases) {
            std::printf("    0x%08Xu  %a  %.2f\n", std::bit_cast<std::uint32_t>(c.x),
                        static_cast<double>(c.x), c.measure);
        }
    }
    std::printf("time: %.0f s on %u threads\n", seconds, shared.options.threads);
}

void write_hard_case(std::FILE* out, float x, const char* why) {
    std::fprintf(out, "    {0x%08Xu, 0x%08Xu, 0x%08Xu},  // %s\n", std::bit_cast<std::uint32_t>(x),
                 std::bit_cast<std::uint32_t>(reference_sin(x)),
                 std::bit_cast<std::uint32_t>(reference_cos(x)), why);
}

bool write_hard_cases(const Shared& shared) {
    std::FILE* out = std::fopen(shared.options.hard_cases.c_str(), "w");
    if (out == nullptr) {
        std::perror(shared.options.hard_cases.c_str());
        return false;
    }
    const std::size_t count = shared.tallies[0].closest.cases.size() +
                              shared.tallies[1].closest.cases.size() +
                              shared.nearest_quarter.cases.size();
    std::fprintf(
        out,
        "#pragma once\n\n"
        "// Written by `vantrel-trig-check --hard-cases FILE` from its run over all floats; the\n"
        "// results are MPFR's. The arguments whose sin or cos lies nearest to a midpoint between\n"
        "// two floats, and those nearest to a multiple of pi/2.\n\n"
        "#include <array>\n#include <cstdint>\n\n"
        "namespace vantrel_sim::trig_hard_cases {\n\n"
        "struct HardCase {\n    std::uint32_t x;\n    std::uint32_t sin;\n    std::uint32_t "
        "cos;\n};\n\n"
        "// Bits of x, of its sin and of its cos.\n"
        "inline constexpr std::array<HardCase, %zu> HARD_CASES{{\n",
        count);
    char why[96];
    for (int which = 0; which < 2; ++which) {
        for (const Case& c : shared.tallies[which].closest.cases) {
            std::snprintf(why, sizeof why, "%s of %g: 2^%.2f of a gap from a midpoint",
                          FUNCTIONS[which].name, static_cast<double>(c.x), c.measure);
            write_hard_case(out, c.x, why);
        }
    }
    for (const Case& c : shared.nearest_quarter.cases) {
        std::snprintf(why, sizeof why, "%g: 2^%.2f quarter turns from a multiple of pi/2",
                      static_cast<double>(c.x), c.measure);
        write_hard_case(out, c.x, why);
    }
    std::fprintf(out, "}};\n\n}  // namespace vantrel_sim::trig_hard_cases\n");
    return std::fclose(out) == 0;
}

int usage() {
    std::fprintf(
        stderr,
        "usage: vantrel-trig-check [--threads N] [--stride S] [--platform] [--hard-cases FILE]\n"
        "       vantrel-trig-check tables\n");
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    Shared shared;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "tables" && argc == 2) {
            print_trig_tables();
            return 0;
        }
        if (arg == "--platform") {
            shared.options.platform = true;
        } else if (arg == "--threads" && i + 1 < argc) {
            shared.options.threads = static_cast<unsigned>(std::max(1, std::atoi(argv[++i])));
        } else if (arg == "--hard-cases" && i + 1 < argc) {
            shared.options.hard_cases = argv[++i];
        } else if (arg == "--stride" && i + 1 < argc) {
            shared.options.stride = static_cast<std::uint64_t>(std::max(1, std::atoi(argv[++i])));
        } else {
            return usage();
        }
    }
    if (!mpfr_buildopt_tls_p()) {
        std::fprintf(stderr, "this MPFR is not thread-safe; use --threads 1\n");
        if (shared.options.threads > 1) {
            return 2;
        }
    }
    const auto start = std::chrono::steady_clock::now();
    std::vector<std::thread> threads;
    for (unsigned t = 0; t < shared.options.threads; ++t) {
        threads.emplace_back(work, std::ref(shared));
    }
    for (std::thread& t : threads) {
        t.join();
    }
    const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
    report(shared, elapsed.count());
    if (!shared.options.hard_cases.empty() && !shared.options.platform &&
        !write_hard_cases(shared)) {
        return 2;
    }
    const bool clean = shared.tallies[0].misrounded == 0 && shared.tallies[1].misrounded == 0 &&
                       shared.tallies[0].undecided == 0 && shared.tallies[1].undecided == 0;
    return clean ? 0 : 1;
}
