#pragma once

// Exact decimal texts of binary values, for tests of the number reader: the midpoint
// between two neighbouring floats is m · 2^e with m odd, whose decimal digits are m · 5^-e
// (or m · 2^e) followed by the exponent.

#include <cstdint>
#include <string>
#include <vector>

namespace vantrel_sim::testing {

// A decimal integer in base-10^9 limbs, least significant first.
class DecimalInteger {
public:
    explicit DecimalInteger(std::uint64_t value) {
        do {
            limbs_.push_back(static_cast<std::uint32_t>(value % BASE));
            value /= BASE;
        } while (value != 0);
    }

    void multiply(std::uint32_t factor) {
        std::uint64_t carry = 0;
        for (std::uint32_t& limb : limbs_) {
            const std::uint64_t product = std::uint64_t{limb} * factor + carry;
            limb = static_cast<std::uint32_t>(product % BASE);
            carry = product / BASE;
        }
        for (; carry != 0; carry /= BASE) limbs_.push_back(static_cast<std::uint32_t>(carry % BASE));
    }

    // Requires a nonzero value.
    void decrement() {
        for (std::uint32_t& limb : limbs_) {
            if (limb != 0) {
                --limb;
                break;
            }
            limb = BASE - 1;
        }
        if (limbs_.size() > 1 && limbs_.back() == 0) limbs_.pop_back();
    }

    std::string text() const {
        std::string out = std::to_string(limbs_.back());
        for (std::size_t i = limbs_.size() - 1; i-- > 0;) {
            const std::string part = std::to_string(limbs_[i]);
            out.append(9 - part.size(), '0');
            out += part;
        }
        return out;
    }

private:
    static constexpr std::uint32_t BASE = 1'000'000'000;
    std::vector<std::uint32_t> limbs_;
};

// m · 2^exponent as a decimal integer D, the value being D · 10^decimal_exponent.
struct ExactDecimal {
    DecimalInteger digits;
    int decimal_exponent;
};

inline ExactDecimal exact_decimal(std::uint64_t m, int exponent) {
    DecimalInteger digits(m);
    int power = exponent < 0 ? -exponent : exponent;
    const std::uint32_t factor = exponent < 0 ? 5u : 2u;
    const std::uint32_t chunk = exponent < 0 ? 1'220'703'125u : 1u << 29;  // 5^13, 2^29
    const int chunk_power = exponent < 0 ? 13 : 29;
    for (; power >= chunk_power; power -= chunk_power) digits.multiply(chunk);
    for (; power > 0; --power) digits.multiply(factor);
    return {digits, exponent < 0 ? exponent : 0};
}

// The three texts around a midpoint: exactly on it, a hair below and a hair above.
struct MidpointTexts {
    std::string on;
    std::string below;
    std::string above;
};

inline std::string with_exponent(const std::string& digits, int exponent) {
    return digits + "e" + std::to_string(exponent);
}

inline MidpointTexts midpoint_texts(std::uint64_t odd_m, int exponent) {
    ExactDecimal exact = exact_decimal(odd_m, exponent);
    MidpointTexts texts;
    texts.on = with_exponent(exact.digits.text(), exact.decimal_exponent);
    texts.above = with_exponent(exact.digits.text() + "0000001", exact.decimal_exponent - 7);
    exact.digits.decrement();
    texts.below = with_exponent(exact.digits.text() + "9999999", exact.decimal_exponent - 7);
    return texts;
}

}  // namespace vantrel_sim::testing
