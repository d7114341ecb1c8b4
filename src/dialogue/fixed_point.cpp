#include "dialogue/fixed_point.h"

#include <bit>
#include <cstdint>

namespace molagirlik {
namespace {

// Writes `value` in decimal, padded with zeros to at least `width` digits.
char* put_decimal(char* out, std::uint64_t value, int width) {
  char digits[24];
  int count = 0;
  do {
    digits[count++] = static_cast<char>('0' + value % 10);
    value /= 10;
  } while (value != 0);
  while (count < width) digits[count++] = '0';
  while (count > 0) *out++ = digits[--count];
  return out;
}

// Writes `mantissa` * 2^`exponent` (exponent >= 0) in decimal. The value can
// reach 2^128, so it is held in base 10^9, least significant limb first.
char* put_large_integer(char* out, std::uint32_t mantissa, int exponent) {
  constexpr std::uint32_t kBase = 1000000000;
  std::uint32_t limbs[5] = {mantissa};  // below 2^24: one limb
  int used = 1;
  for (; exponent > 0; --exponent) {
    std::uint32_t carry = 0;
    for (int i = 0; i < used; ++i) {
      const std::uint32_t doubled = limbs[i] * 2 + carry;
      carry = doubled >= kBase ? 1 : 0;
      limbs[i] = doubled - carry * kBase;
    }
    if (carry != 0) limbs[used++] = carry;
  }
  out = put_decimal(out, limbs[used - 1], 1);
  for (int i = used - 2; i >= 0; --i) out = put_decimal(out, limbs[i], 9);
  return out;
}

}  // namespace

std::size_t format_fixed(float value, int decimals, char* out) {
  char* at = out;
  const auto bits = std::bit_cast<std::uint32_t>(value);
  if ((bits >> 31) != 0) *at++ = '-';
  const auto biased = static_cast<int>((bits >> 23) & 0xFF);
  const std::uint32_t fraction = bits & 0x7FFFFF;
  if (biased == 0xFF) {
    const char* word = fraction == 0 ? "inf" : "nan";
    for (int i = 0; i < 3; ++i) *at++ = word[i];
    return static_cast<std::size_t>(at - out);
  }
  // value = mantissa * 2^exponent, exactly.
  const std::uint32_t mantissa = biased == 0 ? fraction : fraction | 0x800000;
  const int exponent = (biased == 0 ? 1 : biased) - 150;

  if (exponent >= 0) {
    at = put_large_integer(at, mantissa, exponent);
    if (decimals > 0) {
      *at++ = '.';
      for (int i = 0; i < decimals; ++i) *at++ = '0';
    }
    return static_cast<std::size_t>(at - out);
  }

  // The value in units of 10^-decimals, rounded once: mantissa * 10^decimals
  // < 2^44, divided by 2^shift with the remainder deciding.
  std::uint64_t scaled = mantissa;
  for (int i = 0; i < decimals; ++i) scaled *= 10;
  const int shift = -exponent;
  std::uint64_t units = 0;
  if (shift < 64) {
    units = scaled >> shift;
    const std::uint64_t rest = scaled & ((std::uint64_t{1} << shift) - 1);
    const std::uint64_t half = std::uint64_t{1} << (shift - 1);
    if (rest > half || (rest == half && (units & 1) != 0)) ++units;
  }  // else the value is below half a unit: it rounds to 0.

  char digits[24];
  char* end = put_decimal(digits, units, decimals + 1);
  const char* point = end - decimals;
  for (const char* d = digits; d != point; ++d) *at++ = *d;
  if (decimals > 0) {
    *at++ = '.';
    for (const char* d = point; d != end; ++d) *at++ = *d;
  }
  return static_cast<std::size_t>(at - out);
}

}  // namespace molagirlik
