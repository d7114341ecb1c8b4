// The Windows standard streams' output over scripted Windows calls: pipes
// that are not ready, writes that take less than asked, a reader that left,
// and characters code page 857 lacks.
#include "console/standard_streams_windows.h"

#include <gtest/gtest.h>

#include <string>

#include "scripted_windows_calls.h"

namespace molagirlik {
namespace {

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
