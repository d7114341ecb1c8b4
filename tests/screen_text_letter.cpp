// Must not compile: a screen text holds ASCII and the eleven Turkish letters
// only, and Ä is none of them. The test passes when the compiler's message
// names the check.
#include "console/format.h"

namespace molagirlik {
constexpr Format<> kText = "Çay ve Ä"_screen;
}
