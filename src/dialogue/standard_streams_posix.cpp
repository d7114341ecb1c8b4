// Standard input and output on a POSIX system.
#include <sys/select.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>

#include "dialogue/standard_streams.h"

namespace molagirlik {
namespace {

Transfer outcome(ssize_t count) {
  if (count >= 0) return {Transfer::done, static_cast<std::size_t>(count), 0};
  switch (errno) {
    case EINTR:
      return {Transfer::interrupted, 0, 0};
    case EAGAIN:
#if EWOULDBLOCK != EAGAIN
    case EWOULDBLOCK:
#endif
      return {Transfer::not_ready, 0, 0};
    case EPIPE:
      return {Transfer::closed, 0, 0};
    default:
      return {Transfer::failed, 0, errno};
  }
}

class PosixStreams final : public SystemStreams {
 public:
  Transfer read(char* buffer, std::size_t size) override {
    return outcome(::read(STDIN_FILENO, buffer, size));
  }
  Transfer write(const char* data, std::size_t size) override {
    return outcome(::write(STDOUT_FILENO, data, size));
  }
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
