#include "elements/mass_sum.h"

#include <gtest/gtest.h>

#include <bit>
#include <cfloat>
#include <cstdint>
#include <limits>
#include <random>

#include "elements/element_table.h"

namespace molagirlik {
namespace {

float bits(std::uint32_t pattern) { return std::bit_cast<float>(pattern); }

TEST(MassSumTest, RoundsOnceTo64BitsThenOnceToSinglePrecision) {
  struct Case {
    const char* name;
    float sum;
    int n;
    float m;
    float expected;
  };
  const float H = bits(0x3F81042E), He = bits(0x40801551),
              Ga = bits(0x428B722D);
  const Case cases[] = {
      {"nothing yet", 0, 1, H, H},
      {"a zero count", 12.5f, 0, H, 12.5f},
      {"water", bits(0x4001042E), 1, bits(0x417FFD8B), bits(0x41901F4B)},
      // 3 * 15.9994 + 1.00794 rounded once gives ...142; a float product
      // first gives ...138.
      {"H 1 O 3", H, 3, bits(0x417FFD8B), bits(0x4244064A)},
      // Exact products of 55 bits; double rounds them to 53 first.
      {"He 1240968271", 0, 1240968271, He, 4967101952.0f},
      {"Ga 1999875493", 0, 1999875493, Ga, 139437326336.0f},
      // Ties at single precision go to the even neighbour.
      {"tie down to even", 16777216.0f, 1, 1.0f, 16777216.0f},
      {"tie up to even", 16777218.0f, 1, 1.0f, 16777220.0f},
      {"just above a tie", 16777216.0f, 1, 1.0000001f, 16777218.0f},
      // The exact sum lies a 2^-41 part above a tie; rounded to 64 bits it
      // is the tie itself, which goes to the even neighbour below.
      {"64 bits make a tie", 140980170784768.0f, 1417326674, bits(0x424BC419),
       141052363145216.0f},
      // No dialogue reaches these two: every mass is at least H's, and a
      // product below 2^40. A bit below the 64 kept still breaks the tie.
      {"a sticky bit", 0x1.8p-62f, 7, H, 0x1.c38ea2p+2f},
      // A tie at 64 bits after an odd last bit: up to the even neighbour.
      {"a 64-bit tie up to even", 0x1.fffffep-11f, 1655017472, H,
       0x1.8db85p+30f},
      {"too far apart to matter", 0x1p-100f, 1, H, H},
      {"the largest count", 0, 2147483647, bits(0x438A8000), 594852970496.0f},
      {"too large for a float", 0, 2, FLT_MAX,
       std::numeric_limits<float>::infinity()},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(std::bit_cast<std::uint32_t>(add_atoms(c.sum, c.n, c.m)),
              std::bit_cast<std::uint32_t>(c.expected))
        << c.name;
  }
}

// Where long double has a 64-bit significand (x86), it is the reference.
TEST(MassSumTest, AgreesWithA64BitSignificand) {
  if (std::numeric_limits<long double>::digits != 64) {
    GTEST_SKIP() << "long double has "
                 << std::numeric_limits<long double>::digits
                 << " bits here, not 64";
  }
  std::mt19937_64 random(2004);
  std::uniform_int_distribution<int> count(0, INT32_MAX);
  std::uniform_int_distribution<std::size_t> element(0, kElements.size() - 1);
  std::uniform_int_distribution<int> scale(0, 100);
  for (int i = 0; i < 1000000; ++i) {
    const int n = i % 4 == 0 ? count(random) % 100 : count(random);
    const float m = kElements[element(random)].mass;
    // Sums from 0 up to far beyond any product, so that the lower term
    // falls anywhere, or entirely, below the upper one's 64 bits.
    const float sum =
        i % 16 == 0 ? 0
                    : std::ldexp(static_cast<float>(random() >> 40) + 1.0f,
                                 scale(random) - 24);
    const auto expected =
        static_cast<float>(static_cast<long double>(n) * m + sum);
    ASSERT_EQ(std::bit_cast<std::uint32_t>(add_atoms(sum, n, m)),
              std::bit_cast<std::uint32_t>(expected))
        << sum << " + " << n << " * " << m;
  }
}

}  // namespace
}  // namespace molagirlik
