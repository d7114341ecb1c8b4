// Standard input and output under WASI, as a browser page or a WASI runtime
// hands them over: no signals, and nothing to wait on.
#include <unistd.h>

#include "dialogue/posix_transfer.h"

namespace molagirlik {
namespace {

class WasiStreams final : public SystemStreams {
 public:
  Transfer read(char* buffer, std::size_t size) override {
    return posix_transfer(::read(STDIN_FILENO, buffer, size));
  }
  Transfer write(const char* data, std::size_t size) override {
    return posix_transfer(::write(STDOUT_FILENO, data, size));
  }
  // WASI has no way to wait for a descriptor; the runtime's calls block.
  void wait(bool) override {}
};

WasiStreams streams;

}  // namespace

SystemStreams& system_streams(LetterEncoding) { return streams; }

}  // namespace molagirlik
