// The loops over the operating system's calls on standard input and output,
// driven by a stand-in for those calls that does what real descriptors do:
// take a few bytes, take none, get interrupted, not be ready, or fail.
#include "console/standard_streams.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <string>
#include <vector>

#include "console/utf8.h"
#include "dialogue/dialogue.h"
#ifndef _WIN32
#include "console/posix_streams.h"
#endif
#include "test_support.h"

namespace molagirlik {
namespace {

using test::cp857;
using test::golden;

Transfer take(std::size_t count) { return {Transfer::done, count, 0}; }
const Transfer kInterrupted = {Transfer::interrupted, 0, 0};
const Transfer kNotReady = {Transfer::not_ready, 0, 0};
const Transfer kClosed = {Transfer::closed, 0, 0};
Transfer failure(int error) { return {Transfer::failed, 0, error}; }

// Each call does what the next step of its script says (a `done` step moves
// at most its count); once the script is used up, every call repeats the
// last step. A loop that never ends is cut off after 100,000 calls with an
// error no real call gives.
class ScriptedSystem final : public SystemStreams {
 public:
  ScriptedSystem(std::vector<Transfer> reads, std::vector<Transfer> writes,
                 std::string input = "")
      : reads_(std::move(reads)),
        writes_(std::move(writes)),
        input_(std::move(input)) {}

  Transfer read(char* buffer, std::size_t size) override {
    Transfer step = next(reads_, read_calls);
    if (step.result == Transfer::done) {
      step.count = std::min({step.count, size, input_.size() - taken_});
      input_.copy(buffer, step.count, taken_);
      taken_ += step.count;
    }
    return step;
  }
  Transfer write(const char* data, std::size_t size) override {
    Transfer step = next(writes_, write_calls);
    if (step.result == Transfer::done) {
      step.count = std::min(step.count, size);
      written.append(data, step.count);
    }
    return step;
  }
  void wait(bool output) override { ++(output ? output_waits : input_waits); }

  std::string written;
  int read_calls = 0;
  int write_calls = 0;
  int input_waits = 0;
  int output_waits = 0;

 private:
  static Transfer next(const std::vector<Transfer>& script, int& calls) {
    const auto index = static_cast<std::size_t>(calls++);
    if (calls > 100000) return failure(E2BIG);
    return script[std::min(index, script.size() - 1)];
  }
  std::vector<Transfer> reads_;
  std::vector<Transfer> writes_;
  std::string input_;
  std::size_t taken_ = 0;
};

TEST(StandardStreamsTest, OutputArrivesWholeOrTheFailureIsReported) {
  struct Case {
    const char* name;
    std::vector<Transfer> writes;
    Sink::Status status;
    std::size_t arrived;  // bytes of the 10,000 that reach the output
    int error;            // with Sink::Status::failed
    int waits;
  };
  const Case cases[] = {
      {"all at once", {take(SIZE_MAX)}, Sink::Status::ok, 10000, 0, 0},
      {"a few bytes a call", {take(3)}, Sink::Status::ok, 10000, 0, 0},
      {"interrupted now and then",
       {kInterrupted, take(4096), kInterrupted, take(SIZE_MAX)},
       Sink::Status::ok,
       10000,
       0,
       0},
      {"not ready: waits, then goes on",
       {take(100), kNotReady, take(5), kNotReady, kNotReady, take(SIZE_MAX)},
       Sink::Status::ok,
       10000,
       0,
       3},
      {"a call that takes nothing is a full device",
       {take(4), take(0)},
       Sink::Status::failed,
       4,
       ENOSPC,
       0},
      {"the reader went away",
       {take(2), kClosed},
       Sink::Status::closed,
       2,
       0,
       0},
      {"a device error",
       {take(7), failure(EIO)},
       Sink::Status::failed,
       7,
       EIO,
       0},
  };
  std::string data;
  for (int i = 0; i < 10000; ++i) data += static_cast<char>('a' + i % 26);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ScriptedSystem system({take(0)}, c.writes);
    StandardOutput output(system);
    EXPECT_EQ(output.write(data.data(), data.size()), c.status);
    EXPECT_EQ(system.written, data.substr(0, c.arrived));
    if (c.status == Sink::Status::failed) {
      EXPECT_EQ(output.error(), c.error);
    }
    EXPECT_EQ(system.output_waits, c.waits);
  }
}

TEST(StandardStreamsTest, InputIsRetriedUntilItGivesBytesOrEnds) {
  struct Case {
    const char* name;
    std::vector<Transfer> reads;
    std::string got;  // what one read returns
    int waits;
  };
  const Case cases[] = {
      {"bytes", {take(SIZE_MAX)}, "2 H 2", 0},
      {"a few bytes", {take(2)}, "2 ", 0},
      {"interrupted", {kInterrupted, kInterrupted, take(SIZE_MAX)}, "2 H 2", 0},
      {"not ready", {kNotReady, kNotReady, take(3)}, "2 H", 2},
      {"end of input", {take(0)}, "", 0},
      {"unreadable: the end", {failure(EISDIR)}, "", 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ScriptedSystem system(c.reads, {take(SIZE_MAX)}, "2 H 2");
    StandardInput input(system);
    char buffer[64];
    EXPECT_EQ(std::string(buffer, input.read(buffer, sizeof buffer)), c.got);
    EXPECT_EQ(system.input_waits, c.waits);
  }
}

#ifndef _WIN32
// What a POSIX read or write that failed means to the loops above.
TEST(StandardStreamsTest, PosixErrorsBecomeTransfers) {
  struct Case {
    long long count;  // what the call returned
    int error;        // errno then, perhaps left from an earlier call
    Transfer::Result result;
    int reported;  // the errno value kept for the message
  };
  const Case cases[] = {
      {-1, EINTR, Transfer::interrupted, 0},
      {-1, EAGAIN, Transfer::not_ready, 0},
      {-1, EPIPE, Transfer::closed, 0},
      {-1, ENOSPC, Transfer::failed, ENOSPC},
      // A read of nothing is the end of input, whatever errno still holds.
      {0, EAGAIN, Transfer::done, 0},
  };
  for (const Case& c : cases) {
    errno = c.error;
    const Transfer transfer = posix_transfer(c.count);
    EXPECT_EQ(transfer.result, c.result) << c.count << std::strerror(c.error);
    EXPECT_EQ(transfer.error, c.reported) << c.count << std::strerror(c.error);
    EXPECT_EQ(transfer.count, 0u);
  }
}

#endif

TEST(StandardStreamsTest, FindsAUtf8SequenceCutAtTheEnd) {
  struct Case {
    std::string data;
    std::size_t unfinished;
  };
  const Case cases[] = {
      {"", 0},
      {"abc", 0},
      {"\xC3", 1},
      {"a\xC3", 1},
      {"\xC3\xBC", 0},
      {"\xC3\xBC\xC4", 1},
      {"\xE2\x82", 2},
      {"\xE2\x82\xAC", 0},
      {"x\xF0\x9F\x98", 3},
      {"\xF0\x9F\x98\x80", 0},
      {"\x9A", 0},  // a code page 857 byte on its own
      {"\x80\x80\x80\x80", 0},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(unfinished_utf8(c.data.data(), c.data.size()), c.unfinished)
        << ::testing::PrintToString(c.data);
  }
}

// A whole dialogue over calls that move a few bytes at a time and are
// interrupted or not ready in between shows the same screen.
TEST(StandardStreamsTest, AWholeDialogueSurvivesStingyCalls) {
  const std::vector<Transfer> stingy = {take(7), kInterrupted, take(1),
                                        kNotReady, take(3)};
  std::vector<Transfer> script;
  for (int i = 0; i < 2000; ++i)
    script.insert(script.end(), stingy.begin(), stingy.end());
  script.push_back(take(0));
  ScriptedSystem system(script, script, golden("water.in"));
  StandardInput input(system);
  StandardOutput output(system);
  {
    Console console(input, output);
    run_dialogue(console);
  }
  EXPECT_EQ(system.written, cp857(golden("water.out")));
}

}  // namespace
}  // namespace molagirlik
