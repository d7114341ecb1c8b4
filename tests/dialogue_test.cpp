// Whole dialogues run in-process, compared with the screens they must show.

#include "dialogue/dialogue.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "test_support.h"

namespace molagirlik {
namespace {

using test::contains_in_order;
using test::count_of;
using test::cp857;
using test::golden;
using test::run;

// '*' and '-' alternating, 79 characters.
std::string star_rule() {
  std::string rule;
  for (int i = 0; i < 39; ++i) rule += "*-";
  return rule + "*\n";
}
const std::string kStarRule = star_rule();
const std::string kNoMolecule =
    cp857("\n Hiçbir molekül girmediniz! Molekül kütlesi yok.\n");
const std::string kClosingEnd =
    cp857("YENİ BİR MOLEKÜL İÇİN 'c' HARFİNİ GİRİNİZ...\n");

std::string result_line(std::int64_t z, const std::string& mass) {
  return kStarRule + "\n" +
         cp857("                     " + std::to_string(z) +
               ". bileşiğin molekül kütlesi: " + mass + "       \n") +
         "\n" + kStarRule;
}
std::string information(std::int64_t z) {
  return cp857("                 BİLGİ: Şu anda " + std::to_string(z) +
               ". bileşiğinizi giriyorsunuz...          \n");
}
std::string symbol_prompt(int x) {
  return cp857(std::to_string(x) + ". elementin sembolü: ");
}
std::string count_prompt(int x) {
  return std::to_string(x) + ". elementin adedi  : ";
}
std::string rejection(const std::string& word) {
  return cp857("\nUYARI: " + word +
               " geçerli bir element sembolü değil!\n"
               "Lütfen element sembolünü tekrar giriniz...\n\n");
}
TEST(DialogueTest, WholeScreensMatchTheGoldenTranscripts) {
  for (const std::string name : {"water", "warnings"}) {
    SCOPED_TRACE(name);
    const std::string input = golden(name + ".in");
    const std::string screen = golden(name + ".out");
    ASSERT_FALSE(screen.empty());
    for (std::size_t chunk : {std::size_t{1}, std::size_t{7}, SIZE_MAX}) {
      EXPECT_EQ(run(input, chunk), cp857(screen)) << "chunk " << chunk;
    }
    // The companion for UTF-8 terminals differs only in the letters.
    EXPECT_EQ(run(input, SIZE_MAX, LetterEncoding::utf8), screen);
  }
}

// Every session, read in pieces of every size from 1 to 16 bytes, gives
// exactly the bytes it gives read whole.
TEST(DialogueTest, OutputDoesNotDependOnHowTheInputIsCut) {
  for (const auto& [name, input] : test::sessions()) {
    SCOPED_TRACE(name);
    const std::string whole = run(input);
    ASSERT_LT(whole.size(), StringSink::kLimit) << "a dialogue that never ends";
    for (std::size_t chunk = 1; chunk <= 16; ++chunk) {
      // Not ASSERT_EQ: its diff of two runaway screens takes far too long.
      ASSERT_TRUE(run(input, chunk) == whole)
          << "reads of " << chunk << " bytes";
    }
  }
}

TEST(DialogueTest, Transcripts) {
  struct Case {
    const char* name;
    std::string input;
    std::vector<std::string> pieces;  // must appear in this order
  };
  const std::string long_word(300, 'a');
  // 141052379922432 exactly; rounded to 64 bits first, the sum is a tie at
  // single precision, which goes to the even neighbour below.
  std::string past_64_bits = "0";
  for (int i = 0; i < 237; ++i) past_64_bits += " Uub 2147483647";
  past_64_bits += " Uub 60000 V 1417326674 son\n";
  const Case cases[] = {
      {"water, 2 decimals", "2\nH\n2\nO\n1\nson\n", {result_line(1, "18.02")}},
      {"water, 0 decimals", "0 H 2 O 1 son\n", {result_line(1, "18")}},
      {"water, 6 decimals", "6 H 2 O 1 son\n", {result_line(1, "18.015280")}},
      {"glucose in single precision",
       "6 C 6 H 12 O 6 son\n",
       {result_line(1, "180.155884")}},
      {"carbon dioxide, 6 decimals",
       "6 C 1 O 2 son\n",
       {result_line(1, "44.009499")}},
      {"carbon dioxide, 4 decimals",
       "4 C 1 O 2 son\n",
       {result_line(1, "44.0095")}},
      {"a product too large for a fraction",
       "2 C 1000000 son\n",
       {result_line(1, "12010700.00")}},
      {"the largest count",
       "0 Uub 2147483647 son\n",
       {result_line(1, "594852970496")}},
      {"the sum rounded once, not per product",
       "6 H 1 O 3 son\n",
       {result_line(1, "49.006142")}},
      {"a product of 55 bits kept exact",
       "0 He 1240968271 son\n",
       {result_line(1, "4967101952")}},
      {"another product of 55 bits",
       "0 Ga 1999875493 son\n",
       {result_line(1, "139437326336")}},
      {"a sum wider than 64 bits",
       past_64_bits,
       {result_line(1, "141052363145216")}},
      {"the same symbol twice",
       "6 H 1 O 1 H 1 son\n",
       {symbol_prompt(3), count_prompt(3), symbol_prompt(4),
        result_line(1, "18.015280")}},
      {"son at once",
       "2 son\n",
       {information(1), symbol_prompt(1) + kNoMolecule + "\n"}},
      {"SON ends too", "2 H 1 SON\n", {result_line(1, "1.01")}},
      {"every count zero", "2 H 0 O 0 son\n", {symbol_prompt(3) + kNoMolecule}},
      {"a zero count still advances",
       "2 H 0 O 1 son\n",
       {symbol_prompt(2), result_line(1, "16.00")}},
      {"a rejected symbol is asked again",
       "2 Xx H 1 son\n",
       {symbol_prompt(1) + rejection("Xx") + symbol_prompt(1) + count_prompt(1),
        symbol_prompt(2)}},
      {"Son is no end word",
       "2 Son son\n",
       {rejection("Son") + symbol_prompt(1) + kNoMolecule}},
      {"the rest of 3.5 is the first symbol",
       "3.5\nH 1 son\n",
       {symbol_prompt(1) + rejection(".5") + symbol_prompt(1),
        result_line(1, "1.008")}},
      {"a typed word is never a format",
       "2 %s%n%d son\n",
       {rejection("%s%n%d")}},
      {"a long word is echoed cut",
       "2 " + long_word + " son\n",
       {rejection(long_word.substr(0, 255))}},
      {"c starts the next compound",
       "2 H 2 son\nc\n3 O 1 son\nc\n1 son\n\n",
       {information(1), result_line(1, "2.02"), information(2),
        symbol_prompt(1), result_line(2, "15.999"), information(3),
        kNoMolecule}},
      {"the decimals are asked anew for each compound",
       "2 H 1 son c x 3 O 1 son\n",
       {result_line(1, "1.01"),
        cp857("       UYARI: Yanlışlıkla karakter veya karakter dizisi "
              "girdiniz!        \n"),
        information(2), result_line(2, "15.999")}},
      {"a carry into the next 9 digits",
       "0 Tc 20408163 son\n",
       {result_line(1, "2000000000")}},
      {"another carry", "0 Tc 30612245 son\n", {result_line(1, "3000000000")}},
      {"son c goes on without a new line",
       "2 son c\n2 H 1 son\n",
       {information(1), kNoMolecule, information(2), result_line(2, "1.01")}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string screen = run(c.input);
    EXPECT_TRUE(contains_in_order(screen, c.pieces));
    EXPECT_TRUE(screen.ends_with(kClosingEnd));
  }
}

// A word is cut to its first 255 bytes: in UTF-8 between whole characters,
// in code page 857, where each letter is one byte, after the 255th.
TEST(DialogueTest, ALongWordIsCutBetweenLetters) {
  const std::string a254(254, 'a');
  struct Case {
    LetterEncoding letters;
    std::string word;
    std::string echoed;
  };
  const Case cases[] = {
      {LetterEncoding::utf8, a254 + "ç", a254},
      // Ã, a lead byte in UTF-8.
      {LetterEncoding::cp857, a254 + "\xC7" + "b", a254 + "\xC7"},
  };
  for (const auto& [letters, word, echoed] : cases) {
    const std::string screen = run("2 " + word + " son\n", SIZE_MAX, letters);
    const std::string warning = "UYARI: " + echoed + " ge";
    EXPECT_TRUE(contains_in_order(screen, {warning}))
        << static_cast<int>(letters);
  }
}

TEST(DialogueTest, OnlyLowerCaseCContinues) {
  for (const std::string answer : {"", "C", "x", " c", "\t"}) {
    SCOPED_TRACE("answer \"" + answer + "\"");
    const std::string screen = run("2 H 1 son\n" + answer + "\n2 O 1 son\n");
    EXPECT_EQ(count_of(screen, information(1)), 1u);
    EXPECT_EQ(count_of(screen, cp857("BİLGİ")), 1u);
  }
}

TEST(DialogueTest, EntriesMayComeSeveralToALine) {
  EXPECT_EQ(run("2 H 2 O 1 son\n"), run("2\nH\n2\nO\n1\nson\n"));
}

TEST(DialogueTest, EveryWaitComesAfterWhatItWaitsFor) {
  test::CountingSink sink;
  test::RecordingSource source(
      {"x\n", "9\n", "2\n", "H\n", "-1\n", "2\n", "Qq\n", "O\n", "1\n", "son\n",
       "c\n", "0\n", "son\n", "\n"},
      sink);
  {
    Console console(source, sink);
    run_dialogue(console);
  }
  const std::vector<std::string> waits_after = {
      cp857("buraya giriniz: "),
      cp857("tamsayı giriniz...               \n"),
      cp857("tamsayı giriniz...\n"),
      symbol_prompt(1),
      count_prompt(1),
      count_prompt(1),
      symbol_prompt(2),
      symbol_prompt(2),
      count_prompt(2),
      symbol_prompt(3),
      kClosingEnd,
      cp857("buraya giriniz: "),
      symbol_prompt(1),
      kClosingEnd,
  };
  ASSERT_EQ(source.seen.size(), waits_after.size());
  for (std::size_t i = 0; i < waits_after.size(); ++i) {
    EXPECT_TRUE(source.seen[i].ends_with(waits_after[i])) << "wait " << i;
  }
  // One write per wait, none in between.
  EXPECT_EQ(sink.writes, static_cast<int>(waits_after.size()));
}

}  // namespace
}  // namespace molagirlik
