#pragma once
// A slow, obviously correct unsigned big integer for the tests' exact models: schoolbook
// arithmetic on 32-bit limbs, least significant first, no leading zero limbs.

#include <algorithm>
#include <compare>
#include <cstdint>
#include <string>
#include <vector>

namespace zendrel::testing {

class BigInteger {
 public:
  BigInteger() = default;
  BigInteger(std::uint64_t v) {  // NOLINT: implicit on purpose, for readable models
    while (v != 0) {
      limbs_.push_back(static_cast<std::uint32_t>(v));
      v >>= 32;
    }
  }

  static BigInteger powerOfTen(int k) {
    BigInteger r = 1;
    for (int i = 0; i < k; ++i) r.multiplyAdd(10, 0);
    return r;
  }
  static BigInteger powerOfTwo(int k) { return BigInteger(1) << k; }
  static BigInteger fromDecimal(const std::string& digits) {
    BigInteger r;
    for (char c : digits) r.multiplyAdd(10, static_cast<std::uint32_t>(c - '0'));
    return r;
  }

  bool isZero() const { return limbs_.empty(); }
  int bitLength() const {
    if (limbs_.empty()) return 0;
    int top = 32;
    while (((limbs_.back() >> (top - 1)) & 1) == 0) --top;
    return static_cast<int>(limbs_.size() - 1) * 32 + top;
  }
  bool bit(int i) const {
    const auto limb = static_cast<std::size_t>(i / 32);
    return limb < limbs_.size() && ((limbs_[limb] >> (i % 32)) & 1) != 0;
  }
  // The low 64 bits.
  std::uint64_t low64() const {
    std::uint64_t r = 0;
    for (std::size_t i = 0; i < limbs_.size() && i < 2; ++i) r |= std::uint64_t{limbs_[i]} << (32 * i);
    return r;
  }

  void multiplyAdd(std::uint32_t factor, std::uint32_t addend) {
    std::uint64_t carry = addend;
    for (auto& limb : limbs_) {
      carry += std::uint64_t{limb} * factor;
      limb = static_cast<std::uint32_t>(carry);
      carry >>= 32;
    }
    if (carry != 0) limbs_.push_back(static_cast<std::uint32_t>(carry));
    trim();
  }

  friend BigInteger operator+(const BigInteger& a, const BigInteger& b) {
    BigInteger r;
    std::uint64_t carry = 0;
    for (std::size_t i = 0; i < std::max(a.limbs_.size(), b.limbs_.size()); ++i) {
      carry += std::uint64_t{a.limb(i)} + b.limb(i);
      r.limbs_.push_back(static_cast<std::uint32_t>(carry));
      carry >>= 32;
    }
    if (carry != 0) r.limbs_.push_back(static_cast<std::uint32_t>(carry));
    r.trim();
    return r;
  }
  // Precondition: a >= b.
  friend BigInteger operator-(const BigInteger& a, const BigInteger& b) {
    BigInteger r;
    std::int64_t borrow = 0;
    for (std::size_t i = 0; i < a.limbs_.size(); ++i) {
      std::int64_t d = std::int64_t{a.limb(i)} - b.limb(i) - borrow;
      borrow = d < 0 ? 1 : 0;
      r.limbs_.push_back(static_cast<std::uint32_t>(d + (borrow << 32)));
    }
    r.trim();
    return r;
  }
  friend BigInteger operator*(const BigInteger& a, const BigInteger& b) {
    BigInteger r;
    r.limbs_.assign(a.limbs_.size() + b.limbs_.size(), 0);
    for (std::size_t i = 0; i < a.limbs_.size(); ++i) {
      std::uint64_t carry = 0;
      for (std::size_t j = 0; j < b.limbs_.size(); ++j) {
        carry += std::uint64_t{a.limbs_[i]} * b.limbs_[j] + r.limbs_[i + j];
        r.limbs_[i + j] = static_cast<std::uint32_t>(carry);
        carry >>= 32;
      }
      r.limbs_[i + b.limbs_.size()] = static_cast<std::uint32_t>(carry);
    }
    r.trim();
    return r;
  }
  friend BigInteger operator<<(const BigInteger& a, int n) {
    if (a.isZero()) return a;
    BigInteger r;
    r.limbs_.assign(static_cast<std::size_t>(n / 32), 0);
    const int s = n % 32;
    std::uint32_t carry = 0;
    for (auto limb : a.limbs_) {
      r.limbs_.push_back((limb << s) | carry);
      carry = s == 0 ? 0 : limb >> (32 - s);
    }
    if (carry != 0) r.limbs_.push_back(carry);
    return r;
  }
  friend BigInteger operator>>(const BigInteger& a, int n) {
    BigInteger r;
    const auto skip = static_cast<std::size_t>(n / 32);
    const int s = n % 32;
    for (std::size_t i = skip; i < a.limbs_.size(); ++i) {
      const std::uint64_t pair = a.limb(i) | (std::uint64_t{a.limb(i + 1)} << 32);
      r.limbs_.push_back(static_cast<std::uint32_t>(pair >> s));
    }
    r.trim();
    return r;
  }
  // Quotient and remainder by bitwise long division.
  static void divide(const BigInteger& n, const BigInteger& d, BigInteger& q, BigInteger& r) {
    q = BigInteger();
    r = BigInteger();
    for (int i = n.bitLength() - 1; i >= 0; --i) {
      r = r << 1;
      if (n.bit(i)) r = r + BigInteger(1);
      q = q << 1;
      if (r >= d) {
        r = r - d;
        q = q + BigInteger(1);
      }
    }
  }

  friend std::strong_ordering operator<=>(const BigInteger& a, const BigInteger& b) {
    if (a.limbs_.size() != b.limbs_.size()) return a.limbs_.size() <=> b.limbs_.size();
    for (std::size_t i = a.limbs_.size(); i-- > 0;)
      if (a.limbs_[i] != b.limbs_[i]) return a.limbs_[i] <=> b.limbs_[i];
    return std::strong_ordering::equal;
  }
  friend bool operator==(const BigInteger& a, const BigInteger& b) = default;

 private:
  std::uint32_t limb(std::size_t i) const { return i < limbs_.size() ? limbs_[i] : 0; }
  void trim() {
    while (!limbs_.empty() && limbs_.back() == 0) limbs_.pop_back();
  }
  std::vector<std::uint32_t> limbs_;
};

}  // namespace zendrel::testing
