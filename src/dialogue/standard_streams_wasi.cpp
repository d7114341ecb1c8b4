// Standard input and output under WASI, as a browser page or a WASI runtime
// hands them over: no signals, and nothing to wait on.
#include <unistd.h>

#include <cerrno>

#include "dialogue/standard_streams.h"

namespace molagirlik {
namespace {

Transfer outcome(ssize_t count) {
  if (count >= 0) return {Transfer::done, static_cast<std::size_t>(count), 0};
  switch (errno) {
    case EINTR:
      return {Transfer::interrupted, 0, 0};
    case EAGAIN:
      return {Transfer::not_ready, 0, 0};
    case EPIPE:
      return {Transfer::closed, 0, 0};
    default:
      return {Transfer::failed, 0, errno};
  }
}

class WasiStreams final : public SystemStreams {
 public:
  Transfer read(char* buffer, std::size_t size) override {
    return outcome(::read(STDIN_FILENO, buffer, size));
  }
  Transfer write(const char* data, std::size_t size) override {
    return outcome(::write(STDOUT_FILENO, data, size));
  }
  // WASI has no way to wait for a descriptor; the runtime's calls block.
  void wait(bool) override {}
};

WasiStreams streams;

}  // namespace

SystemStreams& system_streams(LetterEncoding) { return streams; }

}  // namespace molagirlik
