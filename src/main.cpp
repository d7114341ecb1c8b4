// molagirlik: the molecular mass of a compound, entered element by element,
// in a Turkish dialogue on standard input and output. Here the program is
// put together: the dialogue, on a console over this platform's standard
// streams.
//
// molagirlik-utf8, built from this same file, writes the Turkish letters in
// UTF-8 for today's terminals.

#include <cstdio>
#include <cstring>

#include "console/console.h"
#include "console/standard_streams.h"
#include "dialogue/dialogue.h"

namespace {

#ifdef MOLAGIRLIK_UTF8
constexpr const char* kProgram = "molagirlik-utf8";
constexpr auto kEncoding = molagirlik::LetterEncoding::utf8;
#else
constexpr const char* kProgram = "molagirlik";
constexpr auto kEncoding = molagirlik::LetterEncoding::cp857;
#endif

}  // namespace

int main() {
  using molagirlik::Sink;
  molagirlik::SystemStreams& system = molagirlik::system_streams(kEncoding);
  molagirlik::StandardInput in(system);
  molagirlik::StandardOutput out(system);
  Sink::Status status = Sink::Status::ok;
  {
    molagirlik::Console console(in, out, kEncoding);
    molagirlik::run_dialogue(console);
    console.flush();
    status = console.output_status();
  }
  // Output lost for another reason than its reader going away is said, and
  // ends the program with status 1.
  if (status != Sink::Status::failed) return 0;
  std::fprintf(stderr, "%s: write error: %s\n", kProgram,
               std::strerror(out.error()));
  return 1;
}
