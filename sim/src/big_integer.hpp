#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace vantrel_sim {

// An unsigned integer of up to 4160 bits for the exact steps of decimal conversion. The
// largest value any conversion builds is below 2^3800 (an 800-digit mantissa over 10^1126),
// so the capacity is never reached; were it reached, the top limbs would be dropped rather
// than written out of bounds. Nothing is allocated, and everything is constexpr so that the
// same code computes the tables of powers of ten at compile time.
class BigInteger {
public:
    static constexpr std::size_t CAPACITY = 130;

    constexpr BigInteger() = default;
    constexpr explicit BigInteger(std::uint64_t value) {
        while (value != 0) {
            limbs_[size_++] = static_cast<std::uint32_t>(value);
            value >>= 32;
        }
    }

    constexpr bool is_zero() const { return size_ == 0; }

    constexpr int bit_length() const {
        if (size_ == 0) return 0;
        int bits = static_cast<int>(size_ - 1) * 32;
        for (std::uint32_t top = limbs_[size_ - 1]; top != 0; top >>= 1) ++bits;
        return bits;
    }

    // The low 64 bits.
    constexpr std::uint64_t low_bits() const {
        const std::uint64_t low = size_ > 0 ? limbs_[0] : 0u;
        const std::uint64_t high = size_ > 1 ? limbs_[1] : 0u;
        return high << 32 | low;
    }

    // this = this * factor + addend
    constexpr void multiply_add(std::uint32_t factor, std::uint32_t addend) {
        std::uint64_t carry = addend;
        for (std::size_t i = 0; i < size_; ++i) {
            const std::uint64_t product = std::uint64_t{limbs_[i]} * factor + carry;
            limbs_[i] = static_cast<std::uint32_t>(product);
            carry = product >> 32;
        }
        push_carry(carry);
        trim();
    }

    constexpr void multiply_power_of_ten(int exponent) {
        constexpr std::uint32_t TEN_TO_THE_NINE = 1'000'000'000;
        for (; exponent >= 9; exponent -= 9) multiply_add(TEN_TO_THE_NINE, 0);
        std::uint32_t rest = 1;
        for (; exponent > 0; --exponent) rest *= 10;
        multiply_add(rest, 0);
    }

    constexpr void shift_left(int bits) {
        if (size_ == 0 || bits <= 0) return;
        const std::size_t whole = static_cast<std::size_t>(bits) / 32;
        const int part = bits % 32;
        const std::size_t old_size = size_;
        size_ = old_size + whole + 1 < CAPACITY ? old_size + whole + 1 : CAPACITY;
        for (std::size_t i = size_; i-- > 0;) {
            const std::uint32_t high = i >= whole && i - whole < old_size ? limbs_[i - whole] : 0u;
            const std::uint32_t low =
                part != 0 && i >= whole + 1 && i - whole - 1 < old_size ? limbs_[i - whole - 1] : 0u;
            limbs_[i] = part == 0 ? high : (high << part | low >> (32 - part));
        }
        trim();
    }

    // this -= other; requires this >= other.
    constexpr void subtract(const BigInteger& other) {
        std::uint64_t borrow = 0;
        for (std::size_t i = 0; i < size_; ++i) {
            const std::uint64_t taken = (i < other.size_ ? other.limbs_[i] : 0u) + borrow;
            borrow = limbs_[i] < taken ? 1u : 0u;
            limbs_[i] = static_cast<std::uint32_t>((std::uint64_t{1} << 32) * borrow + limbs_[i] - taken);
        }
        trim();
    }

    constexpr void add(const BigInteger& other) {
        const std::size_t longest = size_ > other.size_ ? size_ : other.size_;
        std::uint64_t carry = 0;
        for (std::size_t i = 0; i < longest; ++i) {
            const std::uint64_t sum = std::uint64_t{i < size_ ? limbs_[i] : 0u} +
                                      (i < other.size_ ? other.limbs_[i] : 0u) + carry;
            limbs_[i] = static_cast<std::uint32_t>(sum);
            carry = sum >> 32;
        }
        size_ = longest;
        push_carry(carry);
    }

    friend constexpr int compare(const BigInteger& a, const BigInteger& b) {
        if (a.size_ != b.size_) return a.size_ < b.size_ ? -1 : 1;
        for (std::size_t i = a.size_; i-- > 0;) {
            if (a.limbs_[i] != b.limbs_[i]) return a.limbs_[i] < b.limbs_[i] ? -1 : 1;
        }
        return 0;
    }

private:
    constexpr void push_carry(std::uint64_t carry) {
        if (carry != 0 && size_ < CAPACITY) limbs_[size_++] = static_cast<std::uint32_t>(carry);
    }
    constexpr void trim() {
        while (size_ > 0 && limbs_[size_ - 1] == 0) --size_;
    }

    std::array<std::uint32_t, CAPACITY> limbs_{};
    std::size_t size_ = 0;  // limbs in use; the top one is not zero
};

// floor(dividend / divisor) when it is known to be below 2^quotient_bits (at most 64);
// leaves the remainder, shifted left by one, in `dividend`, so that it is zero exactly when
// the division was exact.
constexpr std::uint64_t divide_short_quotient(BigInteger& dividend, BigInteger divisor,
                                              int quotient_bits) {
    divisor.shift_left(quotient_bits - 1);
    std::uint64_t quotient = 0;
    for (int i = 0; i < quotient_bits; ++i) {
        quotient <<= 1;
        if (compare(dividend, divisor) >= 0) {
            dividend.subtract(divisor);
            quotient |= 1u;
        }
        dividend.shift_left(1);
    }
    return quotient;
}

}  // namespace vantrel_sim
