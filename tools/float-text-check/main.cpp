// float-text-check: for every one of the 2^32 float bit patterns, our shortest digits and
// our snapshot text against std::to_chars; with --read-back also the snapshot text of the float read back by
// our reader to the same bits (several times slower: far from 1 the reader takes its exact
// path). Prints the mismatches and the time; exits 1 when there is any.
//
//     nice build/tools/float-text-check [--read-back] [THREADS]     # 2 threads by default

#include <atomic>
#include <charconv>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string_view>
#include <thread>
#include <vector>

#include "decimal_to_binary.hpp"
#include "json_text.hpp"
#include "shortest_digits.hpp"

namespace {

using namespace vantrel_sim;

constexpr std::uint64_t PATTERNS = std::uint64_t{1} << 32;

float from_bits(std::uint32_t bits) {
    float value = 0.0f;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

std::uint32_t to_bits(float value) {
    std::uint32_t bits = 0;
    std::memcpy(&bits, &value, sizeof bits);
    return bits;
}

// Our digits in to_chars' scientific form: -d.ddde-dd.
char* our_scientific(char* out, float value) {
    if (to_bits(value) >> 31 != 0) {
        *out++ = '-';
        value = -value;
    }
    const ShortestDigits shortest = shortest_digits(value);
    char digits[24];
    const char* const digits_end = std::to_chars(digits, digits + sizeof digits, shortest.significand).ptr;
    const auto count = static_cast<int>(digits_end - digits);
    *out++ = digits[0];
    if (count > 1) {
        *out++ = '.';
        for (int i = 1; i < count; ++i) *out++ = digits[i];
    }
    const int exponent = shortest.exponent + count - 1;
    *out++ = 'e';
    *out++ = exponent < 0 ? '-' : '+';
    const int magnitude = exponent < 0 ? -exponent : exponent;
    if (magnitude < 10) *out++ = '0';
    return std::to_chars(out, out + 4, magnitude).ptr;
}

// The snapshot text built from to_chars' scientific form -d.ddde-dd, one character at a time:
// plain notation for decimal exponents -6..12 with a digit after the point, otherwise
// scientific with the point only before more digits and no padding in the exponent.
char* expected_text(char* out, std::string_view scientific) {
    if (scientific.front() == '-') {
        *out++ = '-';
        scientific.remove_prefix(1);
    }
    const std::size_t e = scientific.find('e');
    char digits[16];
    int count = 0;
    for (std::size_t i = 0; i < e; ++i) {
        if (scientific[i] != '.') digits[count++] = scientific[i];
    }
    int magnitude = 0;
    std::from_chars(scientific.data() + e + 2, scientific.data() + scientific.size(), magnitude);
    const int exponent = scientific[e + 1] == '-' ? -magnitude : magnitude;
    if (exponent < -6 || exponent > 12) {
        *out++ = digits[0];
        if (count > 1) *out++ = '.';
        for (int i = 1; i < count; ++i) *out++ = digits[i];
        *out++ = 'e';
        *out++ = exponent < 0 ? '-' : '+';
        return std::to_chars(out, out + 4, magnitude).ptr;
    }
    if (exponent < 0) {
        *out++ = '0';
        *out++ = '.';
        for (int i = 1; i < -exponent; ++i) *out++ = '0';
        for (int i = 0; i < count; ++i) *out++ = digits[i];
        return out;
    }
    for (int i = 0; i <= exponent; ++i) *out++ = i < count ? digits[i] : '0';
    *out++ = '.';
    if (count <= exponent + 1) *out++ = '0';
    for (int i = exponent + 1; i < count; ++i) *out++ = digits[i];
    return out;
}

struct Tally {
    std::uint64_t checked = 0;
    std::uint64_t digit_mismatches = 0;
    std::uint64_t text_mismatches = 0;
    std::uint64_t read_back_mismatches = 0;
};

void report(const char* what, std::uint32_t bits, std::string_view ours, std::string_view theirs) {
    std::fprintf(stderr, "%s mismatch at 0x%08x: ours %.*s, expected %.*s\n", what, bits,
                 static_cast<int>(ours.size()), ours.data(), static_cast<int>(theirs.size()),
                 theirs.data());
}

void check_range(std::uint64_t first, std::uint64_t last, bool read_back, Tally& tally,
                 std::atomic<std::uint64_t>& done) {
    char ours[48];
    char theirs[48];
    char text[FLOAT_TEXT_CAPACITY];
    char expected[48];
    for (std::uint64_t pattern = first; pattern < last; ++pattern) {
        const auto bits = static_cast<std::uint32_t>(pattern);
        if ((bits & 0x7F800000u) == 0x7F800000u) continue;  // infinities and NaNs
        const float value = from_bits(bits);
        ++tally.checked;
        const std::string_view mine(ours, static_cast<std::size_t>(our_scientific(ours, value) - ours));
        const char* const end = std::to_chars(theirs, theirs + sizeof theirs, value, std::chars_format::scientific).ptr;
        const std::string_view reference(theirs, static_cast<std::size_t>(end - theirs));
        if (mine != reference && ++tally.digit_mismatches <= 10) report("digits", bits, mine, reference);
        const std::string_view written(text, static_cast<std::size_t>(format_float(text, value) - text));
        const std::string_view wanted(expected, static_cast<std::size_t>(expected_text(expected, reference) - expected));
        if (written != wanted && ++tally.text_mismatches <= 10) report("text", bits, written, wanted);
        if (read_back) {
            if (to_bits(decimal_to_float(written)) != bits && ++tally.read_back_mismatches <= 10) {
                report("read-back", bits, written, reference);
            }
        }
        if ((pattern & 0xFFFFFF) == 0xFFFFFF) done += 0x1000000;
    }
}

}  // namespace

int main(int argc, char** argv) {
    int arg = 1;
    const bool read_back = arg < argc && std::string_view(argv[arg]) == "--read-back";
    if (read_back) ++arg;
    const int threads = arg < argc ? std::atoi(argv[arg]) : 2;
    if (threads < 1 || threads > 64) {
        std::fprintf(stderr, "usage: float-text-check [--read-back] [THREADS]\n");
        return 2;
    }
    const auto start = std::chrono::steady_clock::now();
    std::vector<Tally> tallies(static_cast<std::size_t>(threads));
    std::atomic<std::uint64_t> done{0};
    std::atomic<int> finished{0};
    std::vector<std::thread> workers;
    const std::uint64_t share = PATTERNS / static_cast<std::uint64_t>(threads);
    for (int t = 0; t < threads; ++t) {
        const std::uint64_t first = share * static_cast<std::uint64_t>(t);
        const std::uint64_t last = t + 1 == threads ? PATTERNS : first + share;
        Tally& tally = tallies[static_cast<std::size_t>(t)];
        workers.emplace_back([first, last, read_back, &tally, &done, &finished] {
            check_range(first, last, read_back, tally, done);
            ++finished;
        });
    }
    std::uint64_t reported = 0;
    while (finished < threads) {
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        if (done >= reported + (PATTERNS >> 4)) {
            reported = done;
            std::fprintf(stderr, "float-text-check: %3.0f%%\n",
                         100.0 * static_cast<double>(reported) / static_cast<double>(PATTERNS));
        }
    }
    for (std::thread& worker : workers) worker.join();
    Tally total;
    for (const Tally& tally : tallies) {
        total.checked += tally.checked;
        total.digit_mismatches += tally.digit_mismatches;
        total.text_mismatches += tally.text_mismatches;
        total.read_back_mismatches += tally.read_back_mismatches;
    }
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::printf("float-text-check: %llu finite floats on %d threads in %.0f s: %llu digit mismatches "
                "and %llu text mismatches against std::to_chars",
                static_cast<unsigned long long>(total.checked), threads, seconds,
                static_cast<unsigned long long>(total.digit_mismatches),
                static_cast<unsigned long long>(total.text_mismatches));
    if (read_back) {
        std::printf(", %llu texts that read back to other bits",
                    static_cast<unsigned long long>(total.read_back_mismatches));
    }
    std::printf("\n");
    const bool clean = total.digit_mismatches == 0 && total.text_mismatches == 0 &&
                       total.read_back_mismatches == 0;
    return clean ? 0 : 1;
}
