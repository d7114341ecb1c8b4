// Helpers shared by the tests.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "console/console.h"
#include "string_streams.h"

namespace molagirlik::test {

// The text with each Turkish letter turned from UTF-8 into its code page 857
// byte, so that expected screens can be written readably.
std::string cp857(std::string_view utf8);

// Runs the whole dialogue in-process on `input`, handed over `chunk` bytes a
// read, and returns what it wrote.
std::string run(std::string_view input, std::size_t chunk = SIZE_MAX,
                LetterEncoding letters = LetterEncoding::cp857);

// Whether every piece occurs in `text`, in order and without overlapping.
// On failure, names the first piece that was not found.
::testing::AssertionResult contains_in_order(
    std::string_view text, const std::vector<std::string>& pieces);

// A sink that counts its writes.
class CountingSink final : public Sink {
 public:
  Status write(const char* data, std::size_t size) override;
  int writes = 0;
  std::string text;
};

// A source that hands out one line a read and notes, each time it is asked,
// what the sink held: what the user saw while the program waited.
class RecordingSource final : public Source {
 public:
  RecordingSource(std::vector<std::string> lines, const CountingSink& sink)
      : lines_(std::move(lines)), sink_(sink) {}
  std::size_t read(char* buffer, std::size_t size) override;
  std::vector<std::string> seen;

 private:
  std::vector<std::string> lines_;
  std::size_t next_ = 0;
  const CountingSink& sink_;
};

// How often `piece` occurs in `text`.
std::size_t count_of(const std::string& text, const std::string& piece);

// The contents of a file in the golden folder.
std::string golden(const std::string& name);

// Every golden and corpus session: its file name, and its input.
std::vector<std::pair<std::string, std::string>> sessions();

}  // namespace molagirlik::test
