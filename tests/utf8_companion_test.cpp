// molagirlik-utf8 runs the same dialogue as molagirlik, with the Turkish
// letters in UTF-8 and everything else byte for byte the same.
#include <gtest/gtest.h>
#include <iconv.h>

#include <string>

#include "child_process.h"
#include "test_support.h"

namespace molagirlik {
namespace {

using test::golden;
using test::run_program;

const std::string kCp857Program = MOLAGIRLIK_BINARY;
const std::string kUtf8Program = MOLAGIRLIK_UTF8_BINARY;

// What `iconv -f CP857 -t UTF-8` makes of `text`.
std::string cp857_to_utf8(const std::string& text) {
  iconv_t converter = iconv_open("UTF-8", "CP857");
  if (converter == reinterpret_cast<iconv_t>(-1)) {
    ADD_FAILURE() << "no CP857 converter";
    return {};
  }
  std::string in = text;
  std::string out(text.size() * 3, '\0');
  char* in_at = in.data();
  char* out_at = out.data();
  std::size_t in_left = in.size();
  std::size_t out_left = out.size();
  EXPECT_NE(iconv(converter, &in_at, &in_left, &out_at, &out_left),
            static_cast<std::size_t>(-1));
  iconv_close(converter);
  out.resize(out.size() - out_left);
  return out;
}

TEST(Utf8CompanionTest, WritesWhatIconvMakesOfTheCodePageOutput) {
  const std::string sessions[] = {
      golden("water.in"),
      golden("warnings.in"),
      "6 C 6 H 12 O 6 son\nc\n0 son\nc\n3 Uub 1000000 son\n\n",
      "abc -1 7 x 2 Son Hydrogen H x -3 2 O 4294967298 1 son c\n2 son\n",
      "2\r\nH\r\n2\r\nson\r\nc\r\n1\r\nO\r\n1\r\nson\r\n\r\n",
      "2 H",
  };
  for (const std::string& input : sessions) {
    SCOPED_TRACE("input \"" + input + "\"");
    const auto cp857 = run_program(kCp857Program, input);
    const auto utf8 = run_program(kUtf8Program, input);
    EXPECT_EQ(utf8.exit_status, 0);
    EXPECT_EQ(utf8.output, cp857_to_utf8(cp857.output));
  }
}

TEST(Utf8CompanionTest, EchoesATypedWordExactlyAsTyped) {
  const auto outcome = run_program(kUtf8Program, "2 Çay H 1 son\n");
  EXPECT_NE(
      outcome.output.find("UYARI: Çay geçerli bir element sembolü değil!"),
      std::string::npos);
}

TEST(Utf8CompanionTest, ShowsEachPromptBeforeWaiting) {
  test::Conversation user(kUtf8Program);
  const std::pair<std::string, std::string> steps[] = {
      {"buraya giriniz: ", "2\n"},        {"1. elementin sembolü: ", "H\n"},
      {"1. elementin adedi  : ", "2\n"},  {"2. elementin sembolü: ", "son\n"},
      {"'c' HARFİNİ GİRİNİZ...\n", "\n"},
  };
  for (const auto& [prompt, answer] : steps) {
    ASSERT_TRUE(user.wait_for(prompt)) << "no prompt \"" << prompt << "\"";
    user.type(answer);
  }
  EXPECT_EQ(user.finish(), 0);
  EXPECT_NE(user.output().find("1. bileşiğin molekül kütlesi: 2.02"),
            std::string::npos);
}

}  // namespace
}  // namespace molagirlik
