// Screen texts that must not compile, one a case: each test builds this file
// with one case switched on and passes only on its own check's message;
// with none, it compiles.
#include <cstdint>
#include <string_view>

#include "console/console.h"

namespace molagirlik {

void print(Console& console, std::int64_t z, std::string_view a, float sum) {
#if defined(CASE_LETTER)
  // Ä is neither ASCII nor one of the eleven Turkish letters.
  console.print("Çay ve Ä"_screen);
#elif defined(CASE_MORE_CONVERSIONS)
  console.print("%d. ve %d."_screen, z);
#elif defined(CASE_FEWER_CONVERSIONS)
  console.print("%d."_screen, z, sum);
#elif defined(CASE_FEWER_FOR_INTEGERS)
  // Integers alone, so that only the count can refuse it.
  console.print("%d."_screen, z, z);
#elif defined(CASE_SEVEN_DECIMALS)
  // The number's buffer holds six decimals at most.
  console.print("%1.7f"_screen, sum);
#elif defined(CASE_NINE_DECIMALS)
  console.print("%1.9f"_screen, sum);
#elif defined(CASE_WRONG_KIND)
  console.print("%1.2f"_screen, a);
#elif defined(CASE_WRONG_TYPE)
  // A plain int for "%d": the ordinals are 64 bits wide.
  console.print("%d. element"_screen, static_cast<int>(z));
#endif
  console.print("%d %s %1.2f"_screen, z, a, sum);
}

}  // namespace molagirlik
