// Runs the built program as a child process with its standard input and
// output on pipes.
#pragma once

#include <chrono>
#include <cstdint>
#include <string>
#include <string_view>

namespace molagirlik::test {

struct Outcome {
  std::string output;
  int exit_status = -1;  // -1 when it did not exit by itself
  int signal = 0;        // the signal that ended it, if any
  bool timed_out = false;
  double seconds = 0;
  long peak_kib = 0;  // with measure_memory: the peak resident memory
};

// What the child's standard input is.
enum class Stdin { pipe, closed, directory, file };

struct RunOptions {
  Stdin stdin_kind = Stdin::pipe;
  std::string stdin_path;  // with Stdin::file
  // The reader goes away after this many bytes of output.
  std::size_t read_limit = SIZE_MAX;
  std::chrono::milliseconds time_limit = std::chrono::seconds(20);
  // The child's standard input and output are non-blocking.
  bool nonblocking = false;
  // Run under /usr/bin/time to learn the peak memory of the program alone.
  bool measure_memory = false;
};

// Runs `program` with `input` on its standard input and collects its output,
// killing it after the time limit.
Outcome run_program(const std::string& program, std::string_view input,
                    const RunOptions& options = {});

// A child that is talked to one answer at a time, as a person would.
class Conversation {
 public:
  explicit Conversation(const std::string& program, bool nonblocking = false);
  ~Conversation();
  Conversation(const Conversation&) = delete;
  Conversation& operator=(const Conversation&) = delete;

  // Reads output until it ends with `text` (true) or `limit` passes with
  // nothing more arriving (false). The input stays open while waiting.
  bool wait_for(std::string_view text,
                std::chrono::milliseconds limit = std::chrono::seconds(5));
  void type(std::string_view text);
  // Closes the input and waits for the exit status.
  int finish();
  const std::string& output() const { return output_; }

 private:
  int pid_ = -1;
  int to_child_ = -1;
  int from_child_ = -1;
  std::string output_;
};

}  // namespace molagirlik::test
