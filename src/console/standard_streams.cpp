#include "console/standard_streams.h"

#include <cerrno>

namespace molagirlik {

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

}  // namespace molagirlik
