// molagirlik: the molecular mass of a compound, entered element by element.
//
// One compound after another: the banner, the number of decimal places, the
// information block, the element loop, the result and the closing block,
// then the question whether to go on.

#include "main.h"

#include "dialogue/integer_entry.h"
#include "dialogue/letters.h"
#include "dialogue/standard_streams.h"
#include "elements/element_table.h"
#include "elements/mass_sum.h"

namespace molagirlik {
namespace {

constexpr const char* kStarRule =
    "*-*-*-*-*-*-*-*-*-*-*-*-*-*-*-*-*-*-*-*-*-*-*-*-*-*-*-*-*-*-*-*-*-*-*-*-*-*-*-*\n";
constexpr const char* kCaretRule =
    "^^^^^^^^^^^^^^^^^^^^^^^^^^^^^^^^^^^^^^^^^^^^^^^^^^^^^^^^^^^^^^^^^^^^^^^^^^^^^^^\n";
constexpr const char* kDashRule =
    "-------------------------------------------------------------------------------\n";
constexpr const char* kColumnRule =
    "--------+--------+--------+--------+--------+--------+--------+--------+-------\n";
constexpr const char* kEqualsRule =
    "================================================================================\n";

// The result line for each number of decimal places.
constexpr Format<std::int64_t, int, int, int, int, float> kResultLines[] = {
    "                     %d. bile%ci%cin molek%cl k%ctlesi: %1.0f       \n",
    "                     %d. bile%ci%cin molek%cl k%ctlesi: %1.1f       \n",
    "                     %d. bile%ci%cin molek%cl k%ctlesi: %1.2f       \n",
    "                     %d. bile%ci%cin molek%cl k%ctlesi: %1.3f       \n",
    "                     %d. bile%ci%cin molek%cl k%ctlesi: %1.4f       \n",
    "                     %d. bile%ci%cin molek%cl k%ctlesi: %1.5f       \n",
    "                     %d. bile%ci%cin molek%cl k%ctlesi: %1.6f       \n",
};

void print_banner(Console& console) {
  constinit static BlockCache cache;
  console.print_block(cache, [&] {
    console.print("\n");
    console.print(kStarRule);
    console.print("\n");
    console.print(
        "                         MOLEK%cL A%cIRLI%cI HESAPLAMA                         \n",
        l, g, g);
    console.print(
        "                                   PROGRAMI                                    \n");
    console.print("\n");
    console.print(
        "                                  S%cr%cm 2.0                                  \n",
        r, r);
    console.print(kStarRule);
    console.print(
        "               Element sembol%c yerine 'son' girerek %c%ckabilir               \n",
        r, f, pair);
    console.print(
        "           ve girdi%ciniz molek%cl%cn k%ctlesini %c%crenebilirsiniz.           \n",
        u, r, r, r, w, u);
    console.print(kCaretRule);
  });
}

void print_information(Console& console, std::int64_t z) {
  console.print(kDashRule);
  console.print("\n");
  console.print(
      "                 B%cLG%c: %cu anda %d. bile%ci%cinizi giriyorsunuz...          \n",
      h, h, turk_sc, z, turk_s, u);
  console.print("\n");
  console.print(kColumnRule);
}

void print_result(Console& console, std::int64_t z, int p, float sum) {
  if (sum != 0) {
    console.print(kStarRule);
    console.print("\n");
    console.print(kResultLines[p], z, turk_s, u, r, r, sum);
    console.print("\n");
    console.print(kStarRule);
  } else {
    console.print("\n");
    console.print(" Hi%cbir molek%cl girmediniz! Molek%cl k%ctlesi yok.\n", f,
                  r, r, r);
  }
}

void print_closing(Console& console) {
  constinit static BlockCache cache;
  console.print_block(cache, [&] {
    console.print("\n");
    console.print(kEqualsRule);
    console.print(
        "                               ZORVANTELIMKASU                               \n");
    console.print(
        "                                  May%cs 2004                                   \n",
        pair);
    console.print("\n");
    console.print(kEqualsRule);
    console.print(
        "Bu program%c kulland%c%c%cn%cz i%cin te%cekk%crler.G%cle g%cle!\n",
        pair, pair, u, pair, pair, f, turk_s, r, r, r);
    console.print("\n");
    console.print("%cIKMAK %c%c%cN ENTER TU%cUNA BASINIZ...\n", no, h, no, h,
                  turk_sc);
    console.print("YEN%c B%cR MOLEK%cL %c%c%cN 'c' HARF%cN%c G%cR%cN%cZ...\n",
                  h, h, l, h, no, h, h, h, h, h, h);
  });
}

}  // namespace

int run_dialogue(Console& console, std::int64_t first_compound) {
  // The ordinals are 64 bits wide: a session piped in without end could
  // otherwise count past 32 bits in hours, and show negative numbers.
  std::int64_t z = first_compound;  // ordinal of the current compound
  int p = kDecimalPlacesSentinel;   // decimal places of the result, 0 to 6
  std::int64_t x = 1;               // ordinal of the element being entered
  Word a;                           // the word typed at the symbol prompt
  float m = 0;    // mass of the current element; 0 when no symbol matched
  int n = 0;      // atom count of the current element
  float sum = 0;  // molecular mass of the compound so far
  char e = 0;     // the answer at the continue prompt

  for (;; ++z) {
    p = kDecimalPlacesSentinel;
    sum = 0;
    print_banner(console);
    if (!enter_decimal_places(console, p)) return 0;
    print_information(console, z);

    for (x = 1;; ++x) {
      console.print("%d. elementin sembol%c: ", x, r);
      if (!console.read_word(a)) return 0;
      if (a.view() == "son" || a.view() == "SON") break;
      m = symbol_mass(a.view());
      if (m == 0) {
        reject_symbol(console, a.view());
        --x;
        continue;
      }
      if (!enter_atom_count(console, x, n)) return 0;
      sum = add_atoms(sum, n, m);
    }

    print_result(console, z, p, sum);
    print_closing(console);
    // The first character is the line end the last entry left behind; the
    // second is the answer.
    if (!console.read_char(e) || !console.read_char(e)) return 0;
    if (e != 'c') return 0;
  }
}

}  // namespace molagirlik

#ifndef MOLAGIRLIK_NO_MAIN
int main() {
  // molagirlik-utf8, built from this same file, writes the Turkish letters
  // in UTF-8 for today's terminals.
#ifdef MOLAGIRLIK_UTF8
  molagirlik::StandardConsole standard("molagirlik-utf8",
                                       molagirlik::LetterEncoding::utf8);
#else
  molagirlik::StandardConsole standard("molagirlik");
#endif
  molagirlik::run_dialogue(standard.console());
  return standard.finish();
}
#endif
