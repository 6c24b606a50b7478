#pragma once

#include <cstdint>

namespace power {

// A decimal number gathered digit by digit and converted once, at the end, to
// the nearest double (halves to the even neighbour), however many digits it
// has and whatever its exponent.
//
// Only the first kKeptDigits significant digits are kept, and whether any
// later one was not zero. That is enough for every rounding decision: a value
// halfway between two doubles has at most 767 significant digits, so digits
// past the 800th can only tell "exactly there" from "a little above".
class DecimalNumber {
 public:
  // The next digit of the number, before or after its decimal point.
  void addDigit(int digit, bool afterPoint);
  // Multiplies the number by 10 to this power.
  void addExponent(long long exponent);
  double toDouble(bool negative) const;

 private:
  static constexpr int kKeptDigits = 800;
  std::uint8_t digits_[kKeptDigits] = {};
  int count_ = 0;                // significant digits kept
  bool droppedNonZero_ = false;  // a digit past the kept ones was not zero
  long long exponent_ = 0;       // the number is digits_ (a whole number) times 10^exponent_
};

}  // namespace power
