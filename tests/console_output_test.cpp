#include <gtest/gtest.h>

#include <cfloat>
#include <string>
#include <vector>

#include "console/console.h"
#include "test_support.h"

// What the console writes: when, and how its formats render their
// arguments.
namespace molagirlik {
namespace {

TEST(ConsoleTest, OutputIsWrittenOnceBeforeEachWaitAndNotBefore) {
  test::CountingSink sink;
  test::RecordingSource source({"1 2\n", "3\n"}, sink);
  Console console(source, sink);
  int value = 0;

  console.print("a"_screen);
  console.print("b"_screen);
  EXPECT_EQ(sink.writes, 0);
  console.read_int(value);  // must wait: both prints written in one go
  EXPECT_EQ(sink.writes, 1);
  console.print("c"_screen);
  console.read_int(value);  // the 2 is already buffered: no wait, no write
  EXPECT_EQ(sink.writes, 1);
  EXPECT_EQ(value, 2);
  console.print("d"_screen);
  console.read_int(value);  // " \n" is buffered, then it must wait for "3"
  EXPECT_EQ(value, 3);
  console.read_int(value);  // waits again and finds the end
  console.print("e"_screen);
  console.flush();
  EXPECT_EQ(source.seen, (std::vector<std::string>{"ab", "abcd", "abcd"}));
  EXPECT_EQ(sink.text, "abcde");
  EXPECT_EQ(sink.writes, 3);
}

// The mass is the exact value of the float rounded once to its decimals,
// ties to even, on every platform's C library.
TEST(ConsoleTest, AMassIsWrittenExactlyRoundedOnce) {
  struct Case {
    float value;
    const char* text[7];  // with 0 to 6 decimals
  };
  const Case cases[] = {
      {18.015280f,
       {"18", "18.0", "18.02", "18.015", "18.0153", "18.01528", "18.015280"}},
      // Exact ties go to the even digit.
      {2.5f, {"2", "2.5", "2.50", "2.500", "2.5000", "2.50000", "2.500000"}},
      {0.125f, {"0", "0.1", "0.12", "0.125", "0.1250", "0.12500", "0.125000"}},
      {-0.0f,
       {"-0", "-0.0", "-0.00", "-0.000", "-0.0000", "-0.00000", "-0.000000"}},
      {1e-7f, {"0", "0.0", "0.00", "0.000", "0.0000", "0.00000", "0.000000"}},
      // Carries between 9-digit groups, and the largest float.
      {2e9f,
       {"2000000000", "2000000000.0", "2000000000.00", "2000000000.000",
        "2000000000.0000", "2000000000.00000", "2000000000.000000"}},
      {0x1p90f,
       {"1237940039285380274899124224", "1237940039285380274899124224.0",
        "1237940039285380274899124224.00", "1237940039285380274899124224.000",
        "1237940039285380274899124224.0000",
        "1237940039285380274899124224.00000",
        "1237940039285380274899124224.000000"}},
      {FLT_MAX,
       {"340282346638528859811704183484516925440",
        "340282346638528859811704183484516925440.0",
        "340282346638528859811704183484516925440.00",
        "340282346638528859811704183484516925440.000",
        "340282346638528859811704183484516925440.0000",
        "340282346638528859811704183484516925440.00000",
        "340282346638528859811704183484516925440.000000"}},
  };
  constexpr Format<float> kFormats[] = {
      "%1.0f"_screen, "%1.1f"_screen, "%1.2f"_screen, "%1.3f"_screen,
      "%1.4f"_screen, "%1.5f"_screen, "%1.6f"_screen};
  for (const Case& c : cases) {
    for (int p = 0; p < 7; ++p) {
      StringSource source("");
      StringSink sink;
      {
        Console console(source, sink);
        console.print(kFormats[p], c.value);
      }
      EXPECT_EQ(sink.text, c.text[p]) << c.value << " with " << p;
    }
  }
}

TEST(ConsoleTest, ConversionsWriteTheirArguments) {
  StringSource source("");
  StringSink cp857_sink;
  StringSink utf8_sink;
  const std::string_view word("%n\0x", 4);
  {
    Console cp857(source, cp857_sink);
    Console utf8(source, utf8_sink, LetterEncoding::utf8);
    cp857.print("%d|%d|şö|%s|%1.3f"_screen, INT64_MIN, std::int64_t{0}, word,
                2.5f);
    utf8.print("%d|%d|şö|%s|%1.3f"_screen, INT64_MIN, std::int64_t{0}, word,
               2.5f);
  }
  EXPECT_EQ(cp857_sink.text,
            std::string("-9223372036854775808|0|\x9F\x94|%n\0x|2.500", 36));
  EXPECT_EQ(
      utf8_sink.text,
      std::string("-9223372036854775808|0|\xC5\x9F\xC3\xB6|%n\0x|2.500", 38));
}

// The tests' own sink stops at its bound, so that a dialogue that never
// stops fails in seconds instead of filling the memory.
TEST(ConsoleTest, TheTestSinkRefusesOutputPastItsBound) {
  StringSink sink;
  const std::string half(StringSink::kLimit / 2, 'x');
  EXPECT_EQ(sink.write(half.data(), half.size()), Sink::Status::ok);
  EXPECT_EQ(sink.write(half.data(), half.size()), Sink::Status::ok);
  EXPECT_EQ(sink.write("x", 1), Sink::Status::failed);
  EXPECT_EQ(sink.text.size(), StringSink::kLimit);
}

}  // namespace
}  // namespace molagirlik
