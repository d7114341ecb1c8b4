#include "console/console.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "console/letters.h"
#include "dialogue/dialogue.h"
#include "test_support.h"

namespace molagirlik {
namespace {

// Everything a console has not read yet, character by character.
std::string rest_of(Console& console) {
  std::string rest;
  char c;
  while (console.read_char(c)) rest += c;
  return rest;
}

// Runs `check` on a console reading `input`, handed over whole and cut into
// reads of one and of two bytes, so that no read depends on where the input
// was cut.
template <class Check>
void for_each_cut(const std::string& input, Check check) {
  for (std::size_t chunk : {std::size_t{1}, std::size_t{2}, SIZE_MAX}) {
    SCOPED_TRACE(::testing::Message()
                 << "input \"" << input << "\", chunk " << chunk);
    StringSource source(input, chunk);
    StringSink sink;
    Console console(source, sink);
    check(console);
  }
}

TEST(ConsoleTest, IntegerReadFollowsFormattedInput) {
  struct Case {
    const char* input;
    IntRead result;
    int target;  // 99 when the read must leave it alone
    const char* rest;
  };
  const Case cases[] = {
      {"42", IntRead::value, 42, ""},
      {"  \n\t\r\v\f 7x", IntRead::value, 7, "x"},
      {"2abc", IntRead::value, 2, "abc"},
      {"3.5\n", IntRead::value, 3, ".5\n"},
      {"+5 ", IntRead::value, 5, " "},
      {"-12\n", IntRead::value, -12, "\n"},
      {"-0", IntRead::value, 0, ""},
      {"00000000000000000000007 ", IntRead::value, 7, " "},
      {"2147483647", IntRead::value, INT_MAX, ""},
      {"-2147483648", IntRead::value, INT_MIN, ""},
      {"abc", IntRead::no_integer, 99, "abc"},
      {" .5", IntRead::no_integer, 99, ".5"},
      {"- 5", IntRead::no_integer, 99, "- 5"},
      {"-x", IntRead::no_integer, 99, "-x"},
      {"+", IntRead::no_integer, 99, "+"},
      {"--1", IntRead::no_integer, 99, "--1"},
      {"\xC3\xA7", IntRead::no_integer, 99, "\xC3\xA7"},
      {"", IntRead::end, 99, ""},
      {" \r\n\n ", IntRead::end, 99, ""},
      {"2147483648", IntRead::out_of_range, INT_MAX, ""},
      {"-2147483649", IntRead::out_of_range, INT_MIN, ""},
      {"4294967298 3", IntRead::out_of_range, INT_MAX, " 3"},
      {"-4294967296\n", IntRead::out_of_range, INT_MIN, "\n"},
      // Exactly 2^31, then more digits: the value must keep growing.
      {"-2147483648123", IntRead::out_of_range, INT_MIN, ""},
      {"2147483648123 ", IntRead::out_of_range, INT_MAX, " "},
      {"99999999999999999999999999999999abc", IntRead::out_of_range, INT_MAX,
       "abc"},
  };
  for (const Case& c : cases) {
    for_each_cut(c.input, [&](Console& console) {
      int target = 99;
      EXPECT_EQ(console.read_int(target), c.result);
      EXPECT_EQ(target, c.target);
      EXPECT_EQ(rest_of(console), c.rest);
    });
  }
}

TEST(ConsoleTest, DigitsBeyondAnyBufferAreReadAsOneNumber) {
  const std::string input = std::string(300000, '9') + " 5";
  StringSource source(input, 4096);
  StringSink sink;
  Console console(source, sink);
  int target = 0;
  EXPECT_EQ(console.read_int(target), IntRead::out_of_range);
  EXPECT_EQ(console.read_int(target), IntRead::value);
  EXPECT_EQ(target, 5);
}

TEST(ConsoleTest, WordReadTakesTheWordUpToWhiteSpace) {
  struct Case {
    std::string input;
    std::string word;
    std::string rest;
  };
  const std::string long_word(1000, 'a');
  const Case cases[] = {
      {"  Hydrogen  x", "Hydrogen", "  x"},
      {"\n\nH\n", "H", "\n"},
      {"son", "son", ""},
      {std::string("a\0b c", 5), std::string("a\0b", 3), " c"},
      {"\x80\xFF%s%n\t", "\x80\xFF%s%n", "\t"},
      // A long word is cut to what the word holds, the rest of it dropped.
      {long_word + "\nHe", long_word.substr(0, Word::capacity), "\nHe"},
  };
  for (const Case& c : cases) {
    for_each_cut(c.input, [&](Console& console) {
      Word word;
      ASSERT_TRUE(console.read_word(word));
      EXPECT_EQ(word.view(), c.word);
      EXPECT_EQ(rest_of(console), c.rest);
    });
  }
  StringSource blank(" \n\t ");
  StringSink sink;
  Console console(blank, sink);
  Word word;
  EXPECT_FALSE(console.read_word(word));
  EXPECT_FALSE(console.skip_word());
}

TEST(ConsoleTest, CharacterReadTakesCrLfAsOneLineEnd) {
  struct Case {
    const char* input;
    const char* chars;  // what the character reads give until the end
  };
  const Case cases[] = {
      {"\nc", "\nc"},   {"\r\nc\r\n", "\nc\n"}, {"\rc", "\rc"},
      {" c\n", " c\n"}, {"\r", "\r"},           {"\r\r\n", "\r\n"},
  };
  for (const Case& c : cases) {
    for_each_cut(c.input, [&](Console& console) {
      EXPECT_EQ(rest_of(console), c.chars);
    });
  }
}

// A terminal's end-of-input key ends a read with nothing; the user could go
// on typing, but the program's input has ended and is not read again.
TEST(ConsoleTest, TheEndOfInputIsFinal) {
  class Terminal final : public Source {
   public:
    std::size_t read(char* buffer, std::size_t size) override {
      const std::string_view chunks[] = {"2 H 2", "", "O 1 son\n\n"};
      if (reads == 3) return 0;
      const std::string_view chunk = chunks[reads++];
      const std::size_t count = std::min(size, chunk.size());
      chunk.copy(buffer, count);
      return count;
    }
    int reads = 0;
  } terminal;
  StringSink sink;
  {
    Console console(terminal, sink);
    run_dialogue(console);
  }
  EXPECT_EQ(terminal.reads, 2);
  EXPECT_TRUE(sink.text.ends_with(test::cp857("2. elementin sembolü: ")));
}

TEST(ConsoleTest, ReadsEndOnceTheOutputIsGone) {
  class ClosedSink final : public Sink {
   public:
    Status write(const char*, std::size_t) override { return Status::closed; }
  } sink;
  StringSource source("1 2 3 4");
  Console console(source, sink);
  int value = 0;
  console.print("prompt"_screen);
  EXPECT_EQ(console.read_int(value), IntRead::end);
  EXPECT_EQ(console.output_status(), Sink::Status::closed);
  char c;
  EXPECT_FALSE(console.read_char(c));
}

// A letter that falls on the last byte of the 64 KiB output buffer fills
// it, and the next one starts a new buffer; none is written past its end.
TEST(ConsoleTest, ALetterAtTheEndOfTheBufferStaysInIt) {
  class SizedSink final : public Sink {
   public:
    Status write(const char* data, std::size_t size) override {
      sizes.push_back(size);
      text.append(data, size);
      return Status::ok;
    }
    std::vector<std::size_t> sizes;
    std::string text;
  } sink;
  StringSource source("");
  const std::string filler(64 * 1024 - 1, 'a');
  // On the heap, where a sanitizer sees a byte past the buffer.
  auto console = std::make_unique<Console>(source, sink);
  console->print("%sü"_screen, std::string_view(filler));
  console->print("ğ"_screen);
  console->flush();
  EXPECT_EQ(sink.sizes, (std::vector<std::size_t>{64 * 1024, 1}));
  EXPECT_EQ(sink.text, filler + "\x81\xA7");
}

}  // namespace
}  // namespace molagirlik
