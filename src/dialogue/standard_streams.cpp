#include "dialogue/standard_streams.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace molagirlik {

Transfer posix_transfer(long long count) {
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

std::size_t StandardInput::read(char* buffer, std::size_t size) {
  for (;;) {
    const Transfer got = system_.read(buffer, size);
    switch (got.result) {
      case Transfer::done:
        return got.count;
      case Transfer::interrupted:
        break;
      case Transfer::not_ready:
        system_.wait(false);
        break;
      case Transfer::closed:
      case Transfer::failed:
        return 0;
    }
  }
}

Sink::Status StandardOutput::write(const char* data, std::size_t size) {
  while (size > 0) {
    const Transfer done = system_.write(data, size);
    switch (done.result) {
      case Transfer::done:
        if (done.count == 0 || done.count > size) {
          error_ = ENOSPC;
          return Status::failed;
        }
        data += done.count;
        size -= done.count;
        break;
      case Transfer::interrupted:
        break;
      case Transfer::not_ready:
        system_.wait(true);
        break;
      case Transfer::closed:
        return Status::closed;
      case Transfer::failed:
        error_ = done.error;
        return Status::failed;
    }
  }
  return Status::ok;
}

StandardConsole::StandardConsole(const char* program, LetterEncoding letters)
    : program_(program),
      system_(system_streams(letters)),
      in_(system_),
      out_(system_),
      console_(in_, out_, letters) {}

int StandardConsole::finish() {
  console_.flush();
  if (console_.output_status() != Sink::Status::failed) return 0;
  std::fprintf(stderr, "%s: write error: %s\n", program_,
               std::strerror(out_.error()));
  return 1;
}

}  // namespace molagirlik
