// The built program, run through real pipes.
#include <gtest/gtest.h>

#include <string>

#include "child_process.h"
#include "test_support.h"

namespace molagirlik {
namespace {

using test::cp857;
using test::golden;
using test::run_program;

const std::string kProgram = MOLAGIRLIK_BINARY;

std::string with_crlf(const std::string& text) {
  std::string out;
  for (char c : text) {
    if (c == '\n') out += '\r';
    out += c;
  }
  return out;
}

TEST(EndToEndTest, GoldenTranscriptsThroughPipes) {
  for (const std::string name : {"water", "warnings"}) {
    SCOPED_TRACE(name);
    const std::string screen = cp857(golden(name + ".out"));
    for (const std::string& input :
         {golden(name + ".in"), with_crlf(golden(name + ".in"))}) {
      const auto outcome = run_program(kProgram, input);
      EXPECT_EQ(outcome.output, screen);
      EXPECT_EQ(outcome.exit_status, 0);
    }
  }
}

TEST(EndToEndTest, EachPromptArrivesBeforeTheProgramWaits) {
  test::Conversation user(kProgram);
  const std::pair<std::string, std::string> steps[] = {
      {cp857("buraya giriniz: "), "2\n"},
      {cp857("1. elementin sembolü: "), "H\n"},
      {"1. elementin adedi  : ", "2\n"},
      {cp857("2. elementin sembolü: "), "O\n"},
      {"2. elementin adedi  : ", "1\n"},
      {cp857("3. elementin sembolü: "), "son\n"},
      {cp857("'c' HARFİNİ GİRİNİZ...\n"), "c\n"},
      {cp857("buraya giriniz: "), "0\n"},
      {cp857("1. elementin sembolü: "), "son\n"},
      {cp857("'c' HARFİNİ GİRİNİZ...\n"), "\n"},
  };
  for (const auto& [prompt, answer] : steps) {
    ASSERT_TRUE(user.wait_for(prompt))
        << "no prompt \"" << prompt << "\" after:\n"
        << user.output();
    user.type(answer);
  }
  EXPECT_EQ(user.finish(), 0);
  EXPECT_NE(user.output().find(cp857("1. bileşiğin molekül kütlesi: 18.02")),
            std::string::npos);
  EXPECT_TRUE(user.output().ends_with(cp857("'c' HARFİNİ GİRİNİZ...\n")));
}

}  // namespace
}  // namespace molagirlik
