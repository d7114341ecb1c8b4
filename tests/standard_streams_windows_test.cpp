// The Windows standard streams over scripted Windows calls: pipes that are
// not ready, writes that take less than asked, a reader that left, console
// lines with Ctrl+Z or Ctrl+C, and characters code page 857 lacks.
#include "console/standard_streams_windows.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace molagirlik {
namespace {

// What one call answers: success with at most `count` units moved, or
// failure with `error`. Once a script is used up its last step repeats; a
// loop that never ends is cut off after 10,000 calls.
struct Step {
  BOOL ok;
  std::size_t count;
  DWORD error;
};
Step moves(std::size_t count) { return {TRUE, count, 0}; }
Step fails(DWORD error) { return {FALSE, 0, error}; }

HANDLE const kIn = reinterpret_cast<HANDLE>(8);
HANDLE const kOut = reinterpret_cast<HANDLE>(12);

class ScriptedCalls final : public WindowsCalls {
 public:
  // Redirected streams: `out_type` is FILE_TYPE_PIPE or FILE_TYPE_DISK.
  std::string input;
  DWORD out_type = FILE_TYPE_PIPE;
  // A console on input, output or both; `out_mode` false for a console
  // opened without read access (`> CON`).
  bool in_console = false;
  bool out_console = false;
  bool out_mode = true;
  std::wstring typed;  // console input
  std::vector<Step> reads = {moves(SIZE_MAX)};
  std::vector<Step> writes = {moves(SIZE_MAX)};

  std::string written;
  std::wstring shown;  // console output
  int pauses = 0;
  int stops = 0;

  BOOL read_file(HANDLE in, char* buffer, DWORD size, DWORD* got) override {
    return hand_out(input, input_at_, in, buffer, size, got);
  }
  BOOL write_file(HANDLE out, const char* data, DWORD size,
                  DWORD* done) override {
    const Step step = next(writes, write_calls_, out == kOut);
    *done = static_cast<DWORD>(std::min(step.count, std::size_t{size}));
    written.append(data, *done);
    return step.ok;
  }
  BOOL read_console(HANDLE in, wchar_t* buffer, DWORD size,
                    DWORD* got) override {
    return hand_out(typed, typed_at_, in, buffer, size, got);
  }
  BOOL write_console(HANDLE out, const wchar_t* text, DWORD size,
                     DWORD* done) override {
    if (!out_console) return fail(ERROR_INVALID_HANDLE);
    EXPECT_EQ(out, kOut);
    shown.append(text, size);
    *done = size;
    return TRUE;
  }
  DWORD last_error() override { return error_; }
  DWORD file_type(HANDLE handle) override {
    if (handle == kOut) return out_console ? FILE_TYPE_CHAR : out_type;
    return in_console ? FILE_TYPE_CHAR : FILE_TYPE_PIPE;
  }
  BOOL console_mode(HANDLE handle, DWORD* mode) override {
    *mode = 0;
    const bool console = handle == kIn ? in_console : out_console && out_mode;
    return console ? TRUE : fail(ERROR_INVALID_HANDLE);
  }
  void pause() override { ++pauses; }
  void stop_interrupted() override { ++stops; }

 private:
  // One scripted read of `from`, which has been handed out up to `at`.
  template <class Char>
  BOOL hand_out(const std::basic_string<Char>& from, std::size_t& at, HANDLE in,
                Char* buffer, DWORD size, DWORD* got) {
    const Step step = next(reads, read_calls_, in == kIn);
    *got = static_cast<DWORD>(
        std::min({step.count, std::size_t{size}, from.size() - at}));
    from.copy(buffer, *got, at);
    at += *got;
    return step.ok;
  }
  BOOL fail(DWORD error) {
    error_ = error;
    return FALSE;
  }
  Step next(const std::vector<Step>& script, int& calls, bool right_handle) {
    EXPECT_TRUE(right_handle);
    const auto index = static_cast<std::size_t>(calls++);
    Step step = calls > 10000 ? fails(ERROR_GEN_FAILURE)
                              : script[std::min(index, script.size() - 1)];
    error_ = step.error;
    return step;
  }
  std::size_t input_at_ = 0;
  std::size_t typed_at_ = 0;
  int read_calls_ = 0;
  int write_calls_ = 0;
  DWORD error_ = 0;
};

// All that standard input hands out until it ends.
std::string read_all(ScriptedCalls& calls, LetterEncoding letters) {
  WindowsStreams streams(calls, letters, kIn, kOut);
  StandardInput input(streams);
  std::string got;
  char buffer[100];
  while (const std::size_t count = input.read(buffer, sizeof buffer))
    got.append(buffer, count);
  return got;
}

TEST(WindowsStreamsTest, RedirectedOutputArrivesWholeOrTheFailureIsReported) {
  struct Case {
    const char* name;
    DWORD out_type;
    std::vector<Step> writes;
    Sink::Status status;
    std::size_t arrived;  // bytes of the 100,000
    int error;            // with Sink::Status::failed
    int pauses;
  };
  const Case cases[] = {
      {"a pipe takes less than asked",
       FILE_TYPE_PIPE,
       {moves(1000), moves(7), moves(SIZE_MAX)},
       Sink::Status::ok,
       100000,
       0,
       0},
      {"a full PIPE_NOWAIT pipe takes nothing: wait",
       FILE_TYPE_PIPE,
       {moves(704), moves(0), moves(0), moves(SIZE_MAX)},
       Sink::Status::ok,
       100000,
       0,
       2},
      {"a file that takes nothing is full",
       FILE_TYPE_DISK,
       {moves(704), moves(0)},
       Sink::Status::failed,
       704,
       ENOSPC,
       0},
      {"a full disk",
       FILE_TYPE_DISK,
       {moves(5), fails(ERROR_DISK_FULL)},
       Sink::Status::failed,
       5,
       ENOSPC,
       0},
      {"the reader left: ERROR_NO_DATA",
       FILE_TYPE_PIPE,
       {moves(3), fails(ERROR_NO_DATA)},
       Sink::Status::closed,
       3,
       0,
       0},
      {"the reader left: ERROR_BROKEN_PIPE",
       FILE_TYPE_PIPE,
       {fails(ERROR_BROKEN_PIPE)},
       Sink::Status::closed,
       0,
       0,
       0},
      {"the reader left: ERROR_PIPE_NOT_CONNECTED",
       FILE_TYPE_PIPE,
       {fails(ERROR_PIPE_NOT_CONNECTED)},
       Sink::Status::closed,
       0,
       0,
       0},
  };
  std::string data;
  for (int i = 0; i < 100000; ++i) data += static_cast<char>('a' + i % 26);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ScriptedCalls calls;
    calls.out_type = c.out_type;
    calls.writes = c.writes;
    WindowsStreams streams(calls, LetterEncoding::cp857, kIn, kOut);
    StandardOutput output(streams);
    EXPECT_EQ(output.write(data.data(), data.size()), c.status);
    EXPECT_EQ(calls.written, data.substr(0, c.arrived));
    if (c.status == Sink::Status::failed) {
      EXPECT_EQ(output.error(), c.error);
    }
    EXPECT_EQ(calls.pauses, c.pauses);
  }
}

TEST(WindowsStreamsTest, InputIsReadUntilItEnds) {
  struct Case {
    const char* name;
    bool console;
    LetterEncoding letters;
    std::vector<Step> reads;
    std::wstring typed;  // at the console
    std::string got;
    int pauses = 0;
    int stops = 0;
  };
  const Case cases[] = {
      {"a PIPE_NOWAIT pipe with nothing yet: wait",
       false,
       LetterEncoding::cp857,
       {fails(ERROR_NO_DATA), fails(ERROR_NO_DATA), moves(3), moves(SIZE_MAX),
        fails(ERROR_BROKEN_PIPE)},
       L"",
       "2 H 2 son\n",
       2},
      {"a pipe's writer left",
       false,
       LetterEncoding::cp857,
       {moves(2), fails(ERROR_BROKEN_PIPE)},
       L"",
       "2 "},
      {"Ctrl+Z at the start of a line ends the input",
       true,
       LetterEncoding::cp857,
       {moves(6)},
       L"2 H 2\n\x1A\r\nO 1\r\n",
       "2 H 2\n"},
      {"Ctrl+Z inside a line is data",
       true,
       LetterEncoding::cp857,
       {moves(6), moves(0)},
       L"2 H\x1A\r\n",
       "2 H\x1A\r\n",
       0,
       1},
      {"Ctrl+C stops the program",
       true,
       LetterEncoding::cp857,
       {moves(3), moves(0)},
       L"2\r\n",
       "2\r\n",
       0,
       1},
      {"Ctrl+C as an aborted read",
       true,
       LetterEncoding::cp857,
       {fails(ERROR_OPERATION_ABORTED)},
       L"",
       "",
       0,
       1},
      {"look-alikes are no letters in code page 857",
       true,
       LetterEncoding::cp857,
       {moves(SIZE_MAX), moves(0)},
       L"\xFF28 \x0124 \x0101 \x0152 \xE7\x131\r\n",
       "? ? ? ? \x87\x8D\r\n",
       0,
       1},
      {"UTF-8 takes every character",
       true,
       LetterEncoding::utf8,
       {moves(3), moves(SIZE_MAX), moves(0)},
       L"\xFF28\xD83D\xDE00\xE7\r\n",
       "\xEF\xBC\xA8\xF0\x9F\x98\x80\xC3\xA7\r\n",
       0,
       1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ScriptedCalls calls;
    calls.in_console = c.console;
    calls.input = "2 H 2 son\n";
    calls.typed = c.typed;
    calls.reads = c.reads;
    EXPECT_EQ(read_all(calls, c.letters), c.got);
    EXPECT_EQ(calls.pauses, c.pauses);
    EXPECT_EQ(calls.stops, c.stops);
  }
}

TEST(WindowsStreamsTest, AConsoleWithoutReadAccessStillGetsWideText) {
  for (const bool out_mode : {true, false}) {
    SCOPED_TRACE(out_mode ? "a console" : "> CON");
    ScriptedCalls calls;
    calls.out_console = true;
    calls.out_mode = out_mode;
    WindowsStreams streams(calls, LetterEncoding::cp857, kIn, kOut);
    StandardOutput output(streams);
    EXPECT_EQ(output.write("A\xA6IRLI\xA6I", 8), Sink::Status::ok);
    EXPECT_EQ(calls.shown, L"A\x11EIRLI\x11EI");
    EXPECT_EQ(calls.written, "");
  }
}

}  // namespace
}  // namespace molagirlik
