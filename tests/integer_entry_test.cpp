#include "dialogue/integer_entry.h"

#include <gtest/gtest.h>

#include <string>

#include "test_support.h"

namespace molagirlik {
namespace {

using test::cp857;

const std::string kPrompt = cp857(
    "   Ondalıklı hane adedini, 0 ile 6 arasında olacak şekilde buraya "
    "giriniz: ");
// Non-number warnings, indented and padded (first read after the prompt)...
const std::string kNotNumberIndented = cp857(
    "\n"
    "       UYARI: Yanlışlıkla karakter veya karakter dizisi girdiniz!        \n"
    "       Lütfen 0 ile 6 arasında olan bir tamsayı giriniz...               \n");
// ...and flush left (after a number out of range).
const std::string kNotNumberFlush = cp857(
    "\n"
    "UYARI: Yanlışlıkla karakter veya karakter dizisi girdiniz!\n"
    "Lütfen 0 ile 6 arasında olan bir tamsayı giriniz...\n");
const std::string kOutOfRange = cp857(
    "\n"
    "       UYARI: Girdiğiniz tamsayı 0 ile 6 arasında değil!\n"
    "       Lütfen 0 ile 6 arasında olan bir tamsayı giriniz...\n");

struct Result {
  bool done;
  int value;
  std::string output;
  std::string rest;  // the next word left in the input
};

// Runs `entry` on a console reading `input`, and notes what it returned,
// the value it left, what it wrote and the next word it left in the input.
template <class Entry>
Result run_entry(const std::string& input, Entry entry) {
  StringSource source(input);
  StringSink sink;
  Result result{};
  {
    Console console(source, sink);
    result.done = entry(console, result.value);
    Word word;
    if (console.read_word(word)) result.rest = word.view();
  }
  result.output = sink.text;
  return result;
}

Result decimal_places(const std::string& input) {
  return run_entry(input, [](Console& console, int& p) {
    p = kDecimalPlacesSentinel;
    return enter_decimal_places(console, p);
  });
}

Result atom_count(const std::string& input, int x) {
  return run_entry(input, [x](Console& console, int& n) {
    return enter_atom_count(console, x, n);
  });
}

TEST(DecimalPlacesTest, AcceptsZeroToSixAfterTheRightWarnings) {
  struct Case {
    std::string input;
    int value;
    std::string warnings;  // what follows the prompt
    std::string rest = "";
  };
  const Case cases[] = {
      {"4\n", 4, ""},
      {"0", 0, ""},
      {"6", 6, ""},
      {"-1\n3", 3, kOutOfRange},
      {"7 0", 0, kOutOfRange},
      {"abc\n9\nx\n4\n", 4, kNotNumberIndented + kOutOfRange + kNotNumberFlush},
      {"a b 2", 2, kNotNumberIndented + kNotNumberIndented},
      {"9 x y 1", 1, kOutOfRange + kNotNumberFlush + kNotNumberFlush},
      {"9 8 5", 5, kOutOfRange + kOutOfRange},
      {"3.5\n", 3, "", ".5"},
      {"2abc", 2, "", "abc"},
      // The sentinel itself counts as no number: the word after it goes.
      {"-42193742 junk 5", 5, kNotNumberIndented},
      {"9 -42193742 junk 5", 5, kOutOfRange + kNotNumberFlush},
      // Beyond 32 bits: out of range, never wrapped; the next entry stays.
      {"4294967298 3", 3, kOutOfRange},
      {"4294967296 2", 2, kOutOfRange},
      {"-4294967294 2", 2, kOutOfRange},
      {"-2147483648123 2", 2, kOutOfRange},
      {"2147483648123 2", 2, kOutOfRange},
      {"- 2", 2, kNotNumberIndented},
      {"-x 2", 2, kNotNumberIndented},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE("input \"" + c.input + "\"");
    const Result result = decimal_places(c.input);
    EXPECT_TRUE(result.done);
    EXPECT_EQ(result.value, c.value);
    EXPECT_EQ(result.output, kPrompt + c.warnings);
    EXPECT_EQ(result.rest, c.rest);
  }
}

TEST(DecimalPlacesTest, StopsAtTheEndOfInput) {
  const std::pair<std::string, std::string> cases[] = {
      {"", ""},
      {"  \n", ""},
      {"abc", kNotNumberIndented},
      {"9", kOutOfRange},
      {"9 x", kOutOfRange + kNotNumberFlush},
      {"-", kNotNumberIndented},
  };
  for (const auto& [input, warnings] : cases) {
    SCOPED_TRACE("input \"" + input + "\"");
    const Result result = decimal_places(input);
    EXPECT_FALSE(result.done);
    EXPECT_EQ(result.output, kPrompt + warnings);
  }
}

TEST(AtomCountTest, AcceptsZeroOrMoreAfterTheRightWarnings) {
  const std::string not_number = cp857(
      "UYARI: Geçerli bir tamsayı girmediniz!\n"
      "Sayıyı tekrar giriniz...\n"
      "\n");
  const std::string negative = cp857(
      "UYARI: Pozitif olan bir tamsayı girmediniz!\n"
      "Sayıyı tekrar giriniz...\n"
      "\n");
  const std::string prompt = "3. elementin adedi  : ";
  struct Case {
    std::string input;
    int value;
    std::string output;
    std::string rest = "";
  };
  const Case cases[] = {
      {"2\n", 2, prompt + "\n"},
      {"0", 0, prompt + "\n"},
      {"2147483647", 2147483647, prompt + "\n"},
      {"x 2", 2, prompt + "\n" + not_number + prompt + "\n"},
      {"-2\n1", 1, prompt + "\n" + negative + prompt + "\n"},
      {"x -1 y 5", 5,
       prompt + "\n" + not_number + prompt + "\n" + negative + prompt + "\n" +
           not_number + prompt + "\n"},
      {"2abc", 2, prompt + "\n", "abc"},
      {"-9832342 junk 4", 4, prompt + "\n" + not_number + prompt + "\n"},
      // Too large a count is thrown away by itself; the entry after it stays.
      {"4294967298 3", 3, prompt + "\n" + not_number + prompt + "\n"},
      {"99999999999999999999x 3", 3,
       prompt + "\n" + not_number + prompt + "\n" + not_number + prompt + "\n"},
      {"-4294967298 3", 3, prompt + "\n" + negative + prompt + "\n"},
      {"2147483648123 3", 3, prompt + "\n" + not_number + prompt + "\n"},
      {"-2147483648123 3", 3, prompt + "\n" + negative + prompt + "\n"},
      {"- 4", 4, prompt + "\n" + not_number + prompt + "\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE("input \"" + c.input + "\"");
    const Result result = atom_count(c.input, 3);
    EXPECT_TRUE(result.done);
    EXPECT_EQ(result.value, c.value);
    EXPECT_EQ(result.output, c.output);
    EXPECT_EQ(result.rest, c.rest);
  }
}

TEST(AtomCountTest, StopsAtTheEndOfInput) {
  const std::string prompt = "1. elementin adedi  : ";
  EXPECT_EQ(atom_count("", 1).output, prompt);
  EXPECT_FALSE(atom_count("", 1).done);
  EXPECT_FALSE(atom_count("x", 1).done);
  EXPECT_FALSE(atom_count("-5", 1).done);
}

}  // namespace
}  // namespace molagirlik
