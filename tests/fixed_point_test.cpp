#include "dialogue/fixed_point.h"

#include <gtest/gtest.h>

#include <bit>
#include <cfloat>
#include <cstdint>
#include <cstdio>
#include <limits>
#include <random>
#include <string>

namespace molagirlik {
namespace {

std::string fixed(float value, int decimals) {
  char out[kFixedPointSize];
  return std::string(out, format_fixed(value, decimals, out));
}

TEST(FixedPointTest, WritesTheExactValueRoundedOnce) {
  struct Case {
    float value;
    int decimals;
    const char* text;
  };
  const Case cases[] = {
      {18.015280f, 2, "18.02"},
      {18.015280f, 0, "18"},
      {18.015280f, 6, "18.015280"},
      {180.155884f, 6, "180.155884"},
      {0, 0, "0"},
      {0, 3, "0.000"},
      {-0.0f, 1, "-0.0"},
      // Exact ties go to the even digit.
      {0.5f, 0, "0"},
      {1.5f, 0, "2"},
      {2.5f, 0, "2"},
      {0.125f, 2, "0.12"},
      {0.375f, 2, "0.38"},
      // Below half a unit of the last decimal.
      {1e-7f, 6, "0.000000"},
      {std::bit_cast<float>(std::uint32_t{1}), 6, "0.000000"},
      {12010700.0f, 2, "12010700.00"},
      // A carry from one 9-digit group into the next.
      {2e9f, 0, "2000000000"},
      {3e9f, 1, "3000000000.0"},
      {0x1p63f, 0, "9223372036854775808"},
      {0x1p90f, 0, "1237940039285380274899124224"},
      {16777217.0f, 0, "16777216"},
      {594852970496.0f, 1, "594852970496.0"},
      {FLT_MAX, 0, "340282346638528859811704183484516925440"},
      {-FLT_MAX, 6, "-340282346638528859811704183484516925440.000000"},
      {std::numeric_limits<float>::infinity(), 2, "inf"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(fixed(c.value, c.decimals), c.text)
        << c.value << " with " << c.decimals;
  }
}

// The C library's "%1.Nf" of the same value widened to double.
TEST(FixedPointTest, MatchesTheCLibrary) {
  std::mt19937 random(2004);
  for (int i = 0; i < 200000; ++i) {
    // Every exponent, subnormals and the largest values included.
    const float value = std::bit_cast<float>(
        static_cast<std::uint32_t>(random()) % 0x7F800000u);
    const int decimals = i % 7;
    char expected[128];
    std::snprintf(expected, sizeof expected, "%1.*f", decimals,
                  static_cast<double>(value));
    ASSERT_EQ(fixed(value, decimals), expected);
  }
}

}  // namespace
}  // namespace molagirlik
