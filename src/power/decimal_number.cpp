#include "power/decimal_number.h"

#include <bit>
#include <limits>

namespace power {
namespace {

// An unsigned whole number of up to 128 * 32 bits: room for the largest
// quotient operands below (about 3,800 bits: 10^1125 shifted by 54).
class BigNumber {
 public:
  explicit BigNumber(std::uint32_t value = 0) {
    limbs_[0] = value;
    size_ = value != 0 ? 1 : 0;
  }

  // this = this * factor + addend
  void multiplyAdd(std::uint32_t factor, std::uint32_t addend) {
    std::uint64_t carry = addend;
    for (int i = 0; i < size_; ++i) {
      const std::uint64_t product = static_cast<std::uint64_t>(limbs_[i]) * factor + carry;
      limbs_[i] = static_cast<std::uint32_t>(product);
      carry = product >> 32;
    }
    if (carry != 0) limbs_[size_++] = static_cast<std::uint32_t>(carry);
  }

  void multiplyByPowerOfTen(long long power) {
    for (; power >= 9; power -= 9) multiplyAdd(1'000'000'000, 0);
    for (; power > 0; --power) multiplyAdd(10, 0);
  }

  void shiftLeft(int bits) {
    const int words = bits / 32;
    const int rest = bits % 32;
    if (size_ == 0) return;
    limbs_[size_ + words] = 0;
    for (int i = size_ - 1; i >= 0; --i) {
      const std::uint64_t wide = static_cast<std::uint64_t>(limbs_[i]) << rest;
      limbs_[i + words + 1] |= static_cast<std::uint32_t>(wide >> 32);
      limbs_[i + words] = static_cast<std::uint32_t>(wide);
    }
    for (int i = 0; i < words; ++i) limbs_[i] = 0;
    size_ += words + 1;
    trim();
  }

  void shiftRightOne() {
    for (int i = 0; i < size_; ++i) {
      const std::uint32_t high = i + 1 < size_ ? limbs_[i + 1] << 31 : 0;
      limbs_[i] = (limbs_[i] >> 1) | high;
    }
    trim();
  }

  int bitLength() const {
    return size_ == 0 ? 0 : (size_ - 1) * 32 + static_cast<int>(std::bit_width(limbs_[size_ - 1]));
  }

  bool isZero() const { return size_ == 0; }

  bool lessThan(const BigNumber& other) const {
    if (size_ != other.size_) return size_ < other.size_;
    for (int i = size_ - 1; i >= 0; --i) {
      if (limbs_[i] != other.limbs_[i]) return limbs_[i] < other.limbs_[i];
    }
    return false;
  }

  // this -= other, where other <= this
  void subtract(const BigNumber& other) {
    std::int64_t borrow = 0;
    for (int i = 0; i < size_; ++i) {
      std::int64_t difference =
          static_cast<std::int64_t>(limbs_[i]) - (i < other.size_ ? other.limbs_[i] : 0) - borrow;
      borrow = difference < 0 ? 1 : 0;
      if (borrow != 0) difference += std::int64_t{1} << 32;
      limbs_[i] = static_cast<std::uint32_t>(difference);
    }
    trim();
  }

 private:
  void trim() {
    while (size_ > 0 && limbs_[size_ - 1] == 0) --size_;
  }

  std::uint32_t limbs_[128] = {};
  int size_ = 0;
};

constexpr std::uint64_t kHiddenBit = std::uint64_t{1} << 52;
constexpr int kSmallestExponent = -1074;  // of the last bit of the smallest subnormal

}  // namespace

void DecimalNumber::addDigit(int digit, bool afterPoint) {
  if (count_ == 0 && digit == 0) {
    if (afterPoint) --exponent_;  // a leading zero only places the point
    return;
  }
  if (count_ < kKeptDigits) {
    digits_[count_++] = static_cast<std::uint8_t>(digit);
    if (afterPoint) --exponent_;
    return;
  }
  if (digit != 0) droppedNonZero_ = true;
  if (!afterPoint) ++exponent_;
}

void DecimalNumber::addExponent(long long exponent) {
  exponent_ += exponent;
}

double DecimalNumber::toDouble(bool negative) const {
  const double sign = negative ? -1.0 : 1.0;
  int count = count_;
  long long exponent = exponent_;
  if (!droppedNonZero_) {
    while (count > 0 && digits_[count - 1] == 0) {
      --count;
      ++exponent;
    }
  }
  if (count == 0) return sign * 0.0;
  // The dropped digits stand in as one more digit, 1: just above the kept ones.
  const int extra = droppedNonZero_ ? 1 : 0;

  // 10^(order - 1) <= value < 10^order: far outside the double range the
  // answer is plain, and the exact arithmetic below stays within its size.
  const long long order = count + exponent;
  if (order > 310) return sign * std::numeric_limits<double>::infinity();
  if (order < -324) return sign * 0.0;  // below half the smallest subnormal

  // value = numerator / denominator exactly.
  BigNumber numerator;
  for (int i = 0; i < count; ++i) numerator.multiplyAdd(10, digits_[i]);
  if (extra != 0) numerator.multiplyAdd(10, 1);
  exponent -= extra;
  BigNumber denominator(1);
  if (exponent >= 0) {
    numerator.multiplyByPowerOfTen(exponent);
  } else {
    denominator.multiplyByPowerOfTen(-exponent);
  }

  // Scale by 2^shift so that the quotient has 54 or 55 bits: 53 for the
  // double, at least one more to round with; the remainder tells the rest.
  const int shift = denominator.bitLength() + 54 - numerator.bitLength();
  if (shift >= 0) {
    numerator.shiftLeft(shift);
  } else {
    denominator.shiftLeft(-shift);
  }
  denominator.shiftLeft(54);
  std::uint64_t quotient = 0;
  for (int bit = 54; bit >= 0; --bit) {
    quotient <<= 1;
    if (!numerator.lessThan(denominator)) {
      numerator.subtract(denominator);
      quotient |= 1;
    }
    denominator.shiftRightOne();
  }
  const bool remainder = !numerator.isZero();

  // value is about quotient * 2^-shift; keep 53 bits, fewer for a subnormal.
  int dropped = static_cast<int>(std::bit_width(quotient)) - 53;
  int binaryExponent = dropped - shift;  // of the kept mantissa's last bit
  if (binaryExponent < kSmallestExponent) {
    dropped += kSmallestExponent - binaryExponent;
    binaryExponent = kSmallestExponent;
  }
  if (dropped > 55) return sign * 0.0;  // below half the smallest subnormal
  std::uint64_t mantissa = quotient >> dropped;
  const std::uint64_t rest = quotient & ((std::uint64_t{1} << dropped) - 1);
  const std::uint64_t half = std::uint64_t{1} << (dropped - 1);
  if (rest > half || (rest == half && (remainder || (mantissa & 1) != 0))) ++mantissa;
  if (mantissa == 2 * kHiddenBit) {  // rounded up to the next power of two
    mantissa = kHiddenBit;
    ++binaryExponent;
  }

  std::uint64_t bits = mantissa;  // a subnormal as it is
  if (mantissa >= kHiddenBit) {
    const long long biased = binaryExponent + 52 + 1023;
    if (biased >= 2047) return sign * std::numeric_limits<double>::infinity();
    bits = (static_cast<std::uint64_t>(biased) << 52) | (mantissa - kHiddenBit);
  }
  return sign * std::bit_cast<double>(bits);
}

}  // namespace power
