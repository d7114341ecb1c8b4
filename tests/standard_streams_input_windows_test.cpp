// The Windows standard streams' input over scripted Windows calls: pipes
// that are not ready, and console lines with Ctrl+Z or Ctrl+C.
#include <gtest/gtest.h>

#include <string>

#include "console/standard_streams_windows.h"
#include "scripted_windows_calls.h"

namespace molagirlik {
namespace {

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

}  // namespace
}  // namespace molagirlik
