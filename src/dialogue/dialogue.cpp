// The dialogue of molagirlik: one compound after another, the banner, the
// number of decimal places, the information block, the element loop, the
// result and the closing block, then the question whether to go on.

#include "dialogue/dialogue.h"

#include "dialogue/integer_entry.h"
#include "elements/element_table.h"
#include "elements/mass_sum.h"

namespace molagirlik {
namespace {

constexpr auto kStarRule =
    "*-*-*-*-*-*-*-*-*-*-*-*-*-*-*-*-*-*-*-*-*-*-*-*-*-*-*-*-*-*-*-*-*-*-*-*-*-*-*-*\n"_screen;

// The result line for each number of decimal places.
constexpr Format<std::int64_t, float> kResultLines[] = {
    "                     %d. bileşiğin molekül kütlesi: %1.0f       \n"_screen,
    "                     %d. bileşiğin molekül kütlesi: %1.1f       \n"_screen,
    "                     %d. bileşiğin molekül kütlesi: %1.2f       \n"_screen,
    "                     %d. bileşiğin molekül kütlesi: %1.3f       \n"_screen,
    "                     %d. bileşiğin molekül kütlesi: %1.4f       \n"_screen,
    "                     %d. bileşiğin molekül kütlesi: %1.5f       \n"_screen,
    "                     %d. bileşiğin molekül kütlesi: %1.6f       \n"_screen,
};

void print_banner(Console& console) {
  console.print(
      "\n"
      "*-*-*-*-*-*-*-*-*-*-*-*-*-*-*-*-*-*-*-*-*-*-*-*-*-*-*-*-*-*-*-*-*-*-*-*-*-*-*-*\n"
      "\n"
      "                         MOLEKÜL AĞIRLIĞI HESAPLAMA                         \n"
      "                                   PROGRAMI                                    \n"
      "\n"
      "                                  Sürüm 2.0                                  \n"
      "*-*-*-*-*-*-*-*-*-*-*-*-*-*-*-*-*-*-*-*-*-*-*-*-*-*-*-*-*-*-*-*-*-*-*-*-*-*-*-*\n"
      "               Element sembolü yerine 'son' girerek çıkabilir               \n"
      "           ve girdiğiniz molekülün kütlesini öğrenebilirsiniz.           \n"
      "^^^^^^^^^^^^^^^^^^^^^^^^^^^^^^^^^^^^^^^^^^^^^^^^^^^^^^^^^^^^^^^^^^^^^^^^^^^^^^^\n"_screen);
}

void print_information(Console& console, std::int64_t z) {
  console.print(
      "-------------------------------------------------------------------------------\n"
      "\n"
      "                 BİLGİ: Şu anda %d. bileşiğinizi giriyorsunuz...          \n"
      "\n"
      "--------+--------+--------+--------+--------+--------+--------+--------+-------\n"_screen,
      z);
}

void print_result(Console& console, std::int64_t z, int p, float sum) {
  if (sum != 0) {
    console.print(kStarRule);
    console.print("\n"_screen);
    console.print(kResultLines[p], z, sum);
    console.print("\n"_screen);
    console.print(kStarRule);
  } else {
    console.print("\n"_screen);
    console.print(" Hiçbir molekül girmediniz! Molekül kütlesi yok.\n"_screen);
  }
}

void print_closing(Console& console) {
  console.print(
      "\n"
      "================================================================================\n"
      "                               ZORVANTELIMKASU                               \n"
      "                                  Mayıs 2004                                   \n"
      "\n"
      "================================================================================\n"
      "Bu programı kullandığınız için teşekkürler.Güle güle!\n"
      "\n"
      "ÇIKMAK İÇİN ENTER TUŞUNA BASINIZ...\n"
      "YENİ BİR MOLEKÜL İÇİN 'c' HARFİNİ GİRİNİZ...\n"_screen);
}

}  // namespace

void run_dialogue(Console& console) {
  // The ordinals are 64 bits wide: a session piped in without end could
  // otherwise count past 32 bits in hours, and show negative numbers.
  std::int64_t z = 1;              // ordinal of the current compound
  int p = kDecimalPlacesSentinel;  // decimal places of the result, 0 to 6
  std::int64_t x = 1;              // ordinal of the element being entered
  Word a;                          // the word typed at the symbol prompt
  float m = 0;    // mass of the current element; 0 when no symbol matched
  int n = 0;      // atom count of the current element
  float sum = 0;  // molecular mass of the compound so far
  char e = 0;     // the answer at the continue prompt

  for (;; ++z) {
    p = kDecimalPlacesSentinel;
    sum = 0;
    print_banner(console);
    if (!enter_decimal_places(console, p)) return;
    print_information(console, z);

    for (x = 1;; ++x) {
      console.print("%d. elementin sembolü: "_screen, x);
      if (!console.read_word(a)) return;
      if (a.view() == "son" || a.view() == "SON") break;
      m = symbol_mass(a.view());
      if (m == 0) {
        reject_symbol(console, a.view());
        --x;
        continue;
      }
      if (!enter_atom_count(console, x, n)) return;
      sum = add_atoms(sum, n, m);
    }

    print_result(console, z, p, sum);
    print_closing(console);
    // The first character is the line end the last entry left behind; the
    // second is the answer.
    if (!console.read_char(e) || !console.read_char(e)) return;
    if (e != 'c') return;
  }
}

}  // namespace molagirlik
