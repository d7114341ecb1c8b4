// The dialogue of molagirlik, run against any console.
#pragma once

#include "console/console.h"

namespace molagirlik {

// Runs compound after compound until the user declines another one or the
// input ends.
void run_dialogue(Console& console);

}  // namespace molagirlik
