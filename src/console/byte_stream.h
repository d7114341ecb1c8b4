// Where the console's bytes come from and where they go.
#pragma once

#include <cstddef>

namespace molagirlik {

// Where input bytes come from.
class Source {
 public:
  // Reads up to `size` bytes into `buffer` and returns how many; 0 means the
  // input has ended (or can no longer be read).
  virtual std::size_t read(char* buffer, std::size_t size) = 0;

 protected:
  ~Source() = default;
};

// Where output bytes go.
class Sink {
 public:
  enum class Status {
    ok,      // everything written so far has arrived
    closed,  // the reader went away (a broken pipe)
    failed,  // any other write error
  };
  // Writes all `size` bytes of `data`, or reports why it could not.
  virtual Status write(const char* data, std::size_t size) = 0;

 protected:
  ~Sink() = default;
};

}  // namespace molagirlik
