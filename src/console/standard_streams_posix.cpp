// Standard input and output on a POSIX system.
#include <sys/select.h>

#include <csignal>

#include "console/posix_streams.h"

namespace molagirlik {
namespace {

class PosixStreams final : public PosixDescriptors {
 public:
  // select, unlike poll, can wait on a terminal on every POSIX system.
  void wait(bool output) override {
    const int fd = output ? STDOUT_FILENO : STDIN_FILENO;
    fd_set ready;
    FD_ZERO(&ready);
    FD_SET(fd, &ready);
    ::select(fd + 1, output ? nullptr : &ready, output ? &ready : nullptr,
             nullptr, nullptr);
  }
};

PosixStreams streams;

}  // namespace

SystemStreams& system_streams(LetterEncoding) {
  // A reader that goes away shows up as a failed write, not as a signal.
  std::signal(SIGPIPE, SIG_IGN);
  return streams;
}

}  // namespace molagirlik
