// The built program fed what no careful user would type: it must end, with
// status 0, without repeating itself, and keep working after the bad entry.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

#include "child_process.h"
#include "test_support.h"

namespace molagirlik {
namespace {

using test::contains_in_order;
using test::count_of;
using test::cp857;
using test::Outcome;
using test::run_program;
using test::RunOptions;
using test::Stdin;

const std::string kProgram = MOLAGIRLIK_BINARY;
const std::string kDecimalPrompt = cp857("buraya giriniz: ");
const std::string kClosingEnd = cp857("'c' HARFİNİ GİRİNİZ...\n");
const std::string kNotInteger = cp857("UYARI: Geçerli bir tamsayı girmediniz!");
const std::string kNotPositive =
    cp857("UYARI: Pozitif olan bir tamsayı girmediniz!");
const std::string kOutOfRange =
    cp857("UYARI: Girdiğiniz tamsayı 0 ile 6 arasında değil!");
const std::string kNotNumber =
    cp857("UYARI: Yanlışlıkla karakter veya karakter dizisi girdiniz!");

std::string result(const std::string& mass) {
  return cp857("1. bileşiğin molekül kütlesi: " + mass + "       \n");
}

std::string rejection(const std::string& word) {
  return cp857("\nUYARI: " + word + " geçerli bir element sembolü değil!\n");
}

TEST(BadInputTest, EndOfInputEndsTheRunAtEveryRead) {
  const std::pair<std::string, std::string> cases[] = {
      {"", kDecimalPrompt},           // decimals
      {"-42193742", kDecimalPrompt},  // a discarded word
      {"abc", cp857("tamsayı giriniz...               \n")},  // decimals again
      {"9 -42193742", cp857("tamsayı giriniz...\n")},  // a discarded word
      {"2", cp857("1. elementin sembolü: ")},          // symbol
      {"2 Xx", cp857("tekrar giriniz...\n\n1. elementin sembolü: ")},
      {"2 H", "1. elementin adedi  : "},             // count
      {"2 H -9832342", "1. elementin adedi  : \n"},  // a discarded word
      {"2 H x", cp857("tekrar giriniz...\n\n1. elementin adedi  : ")},
      {"2 son", kClosingEnd},    // first character
      {"2 son\n", kClosingEnd},  // second character
      {"2 son\r", kClosingEnd},
      {"2 son\nc", kDecimalPrompt},
  };
  for (const auto& [input, last] : cases) {
    SCOPED_TRACE("input \"" + input + "\"");
    // A run that waited for input it will never get would be killed.
    const Outcome outcome = run_program(kProgram, input);
    EXPECT_FALSE(outcome.timed_out);
    EXPECT_EQ(outcome.exit_status, 0);
    EXPECT_TRUE(outcome.output.ends_with(last));
    EXPECT_EQ(count_of(outcome.output, kDecimalPrompt),
              input == "2 son\nc" ? 2u : 1u);
  }
}

TEST(BadInputTest, UnreadableInputIsTheEndOfInput) {
  for (const Stdin kind : {Stdin::closed, Stdin::directory}) {
    RunOptions options;
    options.stdin_kind = kind;
    const Outcome outcome = run_program(kProgram, "", options);
    EXPECT_FALSE(outcome.timed_out);
    EXPECT_EQ(outcome.exit_status, 0);
    EXPECT_EQ(count_of(outcome.output, kDecimalPrompt), 1u);
    EXPECT_TRUE(outcome.output.ends_with(kDecimalPrompt));
  }
}

// A temporary file of its own, so that runs side by side never share one;
// removed afterwards.
class TempFile {
 public:
  explicit TempFile(const std::string& name)
      : path_(::testing::TempDir() + "molagirlik-" + name + "-XXXXXX") {
    const int fd = mkstemp(path_.data());
    EXPECT_GE(fd, 0) << path_;
    if (fd >= 0) close(fd);
  }
  ~TempFile() { std::remove(path_.c_str()); }
  const std::string& path() const { return path_; }
  // Writes `before`, `count` copies of `fill`, then `after`.
  void write(const std::string& before, char fill = ' ', std::size_t count = 0,
             const std::string& after = "") const {
    std::ofstream file(path_, std::ios::binary);
    file << before;
    const std::string block(1 << 20, fill);
    for (; count >= block.size(); count -= block.size()) file << block;
    file << block.substr(0, count) << after;
    file.close();
    EXPECT_TRUE(file) << "could not write " << path_;
  }

 private:
  std::string path_;
};

// A result that cannot be written is no success: status 1 and a message,
// unlike a reader that went away on purpose.
TEST(BadInputTest, AnOutputThatCannotBeWrittenIsAFailure) {
  const std::pair<std::string, std::string> programs[] = {
      {kProgram, "molagirlik"}, {MOLAGIRLIK_UTF8_BINARY, "molagirlik-utf8"}};
  for (const auto& [program, name] : programs) {
    TempFile message("stderr");
    const std::string command = "printf '2 H 2 son\\n\\n' | '" + program +
                                "' > /dev/full 2> '" + message.path() + "'";
    const int status = std::system(command.c_str());
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 1);
    std::ifstream file(message.path());
    std::string line;
    std::getline(file, line);
    EXPECT_EQ(line, name + ": write error: No space left on device");
  }
}

// Non-blocking descriptors, as some parent programs leave them: a read or
// write that is not ready yet waits, and nothing is lost.
TEST(BadInputTest, NonBlockingInputAndOutputLoseNothing) {
  test::Conversation user(kProgram, true);
  ASSERT_TRUE(user.wait_for(kDecimalPrompt));
  user.type("2\nH 2\n");
  ASSERT_TRUE(user.wait_for(cp857("2. elementin sembolü: ")));
  user.type("son\n\n");
  EXPECT_EQ(user.finish(), 0);
  EXPECT_TRUE(contains_in_order(user.output(), {result("2.02"), kClosingEnd}));

  std::string session;
  for (int i = 0; i < 2000; ++i) session += "2 H 2 O 1 son c\n";
  session += "2 son\n\n";
  RunOptions options;
  options.nonblocking = true;
  const Outcome outcome = run_program(kProgram, session, options);
  EXPECT_EQ(outcome.exit_status, 0);
  EXPECT_EQ(outcome.output, run_program(kProgram, session).output);
}

TEST(BadInputTest, AReaderThatGoesAwayEndsTheRunQuietly) {
  TempFile session("long-session");
  std::string text;
  for (int i = 0; i < 20000; ++i) text += "2 H 2 O 1 son c\n";
  session.write(text + "2 son\n\n");
  for (const std::size_t limit :
       {std::size_t{1}, std::size_t{100}, std::size_t{200000}}) {
    RunOptions options;
    options.stdin_kind = Stdin::file;
    options.stdin_path = session.path();
    options.read_limit = limit;
    const Outcome outcome = run_program(kProgram, "", options);
    EXPECT_EQ(outcome.signal, 0) << "after " << limit << " bytes";
    EXPECT_EQ(outcome.exit_status, 0) << "after " << limit << " bytes";
    EXPECT_FALSE(outcome.timed_out);
  }
}

// 100 MB without white space, at each prompt that reads a word or a number.
TEST(BadInputTest, AHundredMegabyteEntryCostsNoMemory) {
  if (access("/usr/bin/time", X_OK) != 0) {
    GTEST_SKIP() << "/usr/bin/time measures the memory; it is not installed";
  }
  struct Case {
    const char* name;
    std::string before;
    char fill;
    std::string after;
  };
  const Case cases[] = {
      {"decimals word", "", 'a', " 2 H 2 son\n"},
      {"symbol word", "2 ", 'a', " H 2 son\n"},
      {"count word", "2 H ", 'a', " 2 son\n"},
      {"count digits", "2 H ", '9', " 2 son\n"},
  };
  for (const auto& [name, before, fill, after] : cases) {
    SCOPED_TRACE(name);
    TempFile file("big");
    file.write(before, fill, std::size_t{100} << 20, after);
    RunOptions options;
    options.stdin_kind = Stdin::file;
    options.stdin_path = file.path();
    options.measure_memory = true;
    const Outcome outcome = run_program(kProgram, "", options);
    EXPECT_EQ(outcome.exit_status, 0);
    EXPECT_TRUE(contains_in_order(outcome.output, {result("2.02")}));
    EXPECT_LT(outcome.output.size(), 10000u);
    std::printf("%s: peak memory %ld KiB, %.2f s\n", name, outcome.peak_kib,
                outcome.seconds);
#ifndef MOLAGIRLIK_SANITIZED
    EXPECT_LT(outcome.peak_kib, 4096);
#endif
  }
}

TEST(BadInputTest, OddEntriesAreWarnedAboutAndTheNextOneKept) {
  struct Case {
    const char* name;
    std::string input;
    std::vector<std::string> pieces;
  };
  const Case cases[] = {
      {"decimals past 32 bits",
       "4294967298 3 H 1 son\n",
       {kOutOfRange, result("1.008")}},
      {"decimals past 32 bits, negative",
       "-4294967298\n2 H 1 son\n",
       {kOutOfRange, result("1.01")}},
      {"count past 32 bits",
       "2 H 4294967298 3 son\n",
       {kNotInteger, result("3.02")}},
      {"count just past 32 bits",
       "2 H 2147483648 1 son\n",
       {kNotInteger, result("1.01")}},
      {"count past 32 bits, negative",
       "2 H -4294967298 3 son\n",
       {kNotPositive, result("3.02")}},
      {"NUL bytes",
       std::string("2 H\0 H 1 son\n", 13),
       {rejection(std::string("H\0", 2)), result("1.01")}},
      {"bytes 0x80 to 0xFF",
       "2 \x80\xFF\x9A H 1 son\n",
       {rejection("\x80\xFF\x9A"), result("1.01")}},
      {"format words",
       "%s%n 2 %n%s%d H %s 1 son\n",
       {kNotNumber, rejection("%n%s%d"), kNotInteger, result("1.01")}},
      {"lone signs",
       "- 2 + H - 1 son\n",
       {kNotNumber, rejection("+"), kNotInteger, result("1.01")}},
      {"the sentinels typed",
       "-42193742 x 2 H -9832342 y 1 son\n",
       {kNotNumber, kNotInteger, result("1.01")}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const Outcome outcome = run_program(kProgram, c.input);
    EXPECT_EQ(outcome.exit_status, 0);
    EXPECT_TRUE(contains_in_order(outcome.output, c.pieces));
    EXPECT_TRUE(outcome.output.ends_with(kClosingEnd));
  }
}

}  // namespace
}  // namespace molagirlik
