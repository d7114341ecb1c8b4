#include "dialogue/integer_entry.h"

#include "dialogue/letters.h"

namespace molagirlik {

bool enter_decimal_places(Console& console, int& p) {
  console.print(
      "   Ondal%ckl%c hane adedini, 0 ile 6 aras%cnda olacak %cekilde buraya giriniz: ",
      pair, pair, pair, turk_s);
  if (console.read_int(p) == IntRead::end) return false;

  while (p == kDecimalPlacesSentinel) {
    if (!console.skip_word()) return false;
    console.print("\n");
    console.print(
        "       UYARI: Yanl%c%cl%ckla karakter veya karakter dizisi girdiniz!        \n",
        pair, turk_s, pair);
    console.print(
        "       L%ctfen 0 ile 6 aras%cnda olan bir tamsay%c giriniz...               \n",
        r, pair, pair);
    if (console.read_int(p) == IntRead::end) return false;
  }

  while (p < 0 || p > 6) {
    if (p != kDecimalPlacesSentinel) {
      console.print("\n");
      console.print(
          "       UYARI: Girdi%ciniz tamsay%c 0 ile 6 aras%cnda de%cil!\n", u,
          pair, pair, u);
      console.print(
          "       L%ctfen 0 ile 6 aras%cnda olan bir tamsay%c giriniz...\n", r,
          pair, pair);
    }
    p = kDecimalPlacesSentinel;
    if (console.read_int(p) == IntRead::end) return false;
    if (p == kDecimalPlacesSentinel) {
      if (!console.skip_word()) return false;
      console.print("\n");
      console.print(
          "UYARI: Yanl%c%cl%ckla karakter veya karakter dizisi girdiniz!\n",
          pair, turk_s, pair);
      console.print("L%ctfen 0 ile 6 aras%cnda olan bir tamsay%c giriniz...\n",
                    r, pair, pair);
    }
  }
  return true;
}

bool enter_atom_count(Console& console, std::int64_t x, int& n) {
  n = kAtomCountSentinel;
  for (;;) {
    console.print("%d. elementin adedi  : ", x);
    const IntRead read = console.read_int(n);
    if (read == IntRead::end) return false;
    console.print("\n");

    // A number past the 32-bit range is no count this program can hold; it
    // has been read, so nothing more is thrown away.
    const bool too_large = read == IntRead::out_of_range && n > 0;
    if (too_large || n == kAtomCountSentinel) {
      if (!too_large && !console.skip_word()) return false;
      console.print("UYARI: Ge%cerli bir tamsay%c girmediniz!\n", f, pair);
    } else if (n < 0) {
      console.print("UYARI: Pozitif olan bir tamsay%c girmediniz!\n", pair);
    } else {
      return true;
    }
    console.print("Say%cy%c tekrar giriniz...\n", pair, pair);
    console.print("\n");
    n = kAtomCountSentinel;
  }
}

}  // namespace molagirlik
