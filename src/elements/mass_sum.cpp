#include "elements/mass_sum.h"

#include <bit>
#include <cstdint>
#include <utility>

namespace molagirlik {
namespace {

// mantissa * 2^exponent.
struct Binary {
  std::uint64_t mantissa;
  int exponent;
};

// The number of bits up to the leading one.
int bit_width(std::uint64_t value) {
  return static_cast<int>(std::bit_width(value));
}

// A float as an integer times a power of two, exactly.
Binary decompose(float value) {
  const auto bits = std::bit_cast<std::uint32_t>(value);
  const auto biased = static_cast<int>((bits >> 23) & 0xFF);
  const std::uint32_t fraction = bits & 0x7FFFFF;
  if (biased == 0) return {fraction, -149};
  return {fraction | 0x800000u, biased - 150};
}

// The 128-bit number hi:lo rounded to 64 significant bits, to the nearest,
// ties to even.
Binary round_to_64_bits(std::uint64_t hi, std::uint64_t lo) {
  if (hi == 0) return {lo, 0};
  // The low `shift` bits (1 to 64) of lo drop off the end.
  const int shift = bit_width(hi);
  std::uint64_t kept = shift < 64 ? (lo >> shift) | (hi << (64 - shift)) : hi;
  const bool half = ((lo >> (shift - 1)) & 1) != 0;
  const bool more = shift > 1 && (lo << (65 - shift)) != 0;
  int exponent = shift;
  if (half && (more || (kept & 1) != 0)) {
    // A carry past bit 63 leaves a power of two: one bit fewer.
    if (++kept == 0) {
      kept = std::uint64_t{1} << 63;
      ++exponent;
    }
  }
  return {kept, exponent};
}

// The float nearest to mantissa * 2^exponent (ties to even), for a result
// that is 0 or at least the smallest normal float.
float to_float(std::uint64_t mantissa, int exponent) {
  if (mantissa == 0) return 0;
  const int width = bit_width(mantissa);
  if (width > 24) {
    const int shift = width - 24;
    const std::uint64_t rest = mantissa & ((std::uint64_t{1} << shift) - 1);
    const std::uint64_t half = std::uint64_t{1} << (shift - 1);
    mantissa >>= shift;
    exponent += shift;
    if (rest > half || (rest == half && (mantissa & 1) != 0)) ++mantissa;
    // A carry into a 25th bit leaves a power of two: one bit fewer.
    if (mantissa >> 24 != 0) {
      mantissa >>= 1;
      ++exponent;
    }
  }
  const int lead = bit_width(mantissa) - 1;
  const int biased = exponent + lead + 127;
  if (biased >= 255) return std::bit_cast<float>(0x7F800000u);  // infinity
  const auto fraction =
      static_cast<std::uint32_t>(mantissa << (23 - lead)) & 0x7FFFFF;
  return std::bit_cast<float>(static_cast<std::uint32_t>(biased) << 23 |
                              fraction);
}

}  // namespace

float add_atoms(float sum, int n, float m) {
  const Binary mass = decompose(m);
  // A mass has 24 bits and a count 31: the product is exact in 64 bits.
  Binary top = {static_cast<std::uint64_t>(n) * mass.mantissa, mass.exponent};
  Binary low = decompose(sum);
  if (top.mantissa == 0) std::swap(top, low);
  if (low.mantissa == 0) return to_float(top.mantissa, top.exponent);
  // Usually both fit in 64 bits at the smaller exponent: the exact sum is
  // then its own 64-bit form.
  const int base = top.exponent < low.exponent ? top.exponent : low.exponent;
  const int top_shift = top.exponent - base;
  const int low_shift = low.exponent - base;
  if (top_shift < 64 - bit_width(top.mantissa) &&
      low_shift < 64 - bit_width(low.mantissa)) {
    return to_float((top.mantissa << top_shift) + (low.mantissa << low_shift),
                    base);
  }
  // Both with the leading bit at bit 62, the larger exponent on top.
  for (Binary* value : {&top, &low}) {
    const int shift = 63 - bit_width(value->mantissa);
    value->mantissa <<= shift;
    value->exponent -= shift;
  }
  if (top.exponent < low.exponent) std::swap(top, low);
  const int apart = top.exponent - low.exponent;

  Binary wide;
  if (apart > 64) {
    // The lower term is less than half a unit in the last of the 64 bits
    // that hold the upper one: rounding to 64 bits drops it.
    wide = top;
  } else {
    // top << apart + low, exact in 128 bits.
    std::uint64_t hi = apart == 0   ? 0
                       : apart < 64 ? top.mantissa >> (64 - apart)
                                    : top.mantissa;
    std::uint64_t lo = apart < 64 ? top.mantissa << apart : 0;
    lo += low.mantissa;
    if (lo < low.mantissa) ++hi;
    wide = round_to_64_bits(hi, lo);
    wide.exponent += low.exponent;
  }
  return to_float(wide.mantissa, wide.exponent);
}

}  // namespace molagirlik
