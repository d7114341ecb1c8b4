#include "elements/element_table.h"

#include <cstdint>

namespace molagirlik {

// Masses are the shortest decimals that give the single-precision values the
// table has always held.
constexpr std::array<Element, 112> kElements = {{
    {"H", 1.00794f},    {"He", 4.002602f},  {"Li", 6.941f},
    {"Be", 9.012182f},  {"B", 10.811f},     {"C", 12.0107f},
    {"N", 14.00674f},   {"O", 15.9994f},    {"F", 18.998404f},
    {"Ne", 20.1797f},   {"Na", 22.98977f},  {"Mg", 24.305f},
    {"Al", 26.981539f}, {"Si", 28.0855f},   {"P", 30.97376f},
    {"S", 32.066f},     {"Cl", 35.4527f},   {"Ar", 39.948f},
    {"K", 39.0983f},    {"Ca", 40.078f},    {"Sc", 44.95591f},
    {"Ti", 47.867f},    {"V", 50.9415f},    {"Cr", 51.9961f},
    {"Mn", 54.93805f},  {"Fe", 55.845f},    {"Co", 58.9332f},
    {"Ni", 58.6934f},   {"Cu", 63.546f},    {"Zn", 65.39f},
    {"Ga", 69.723f},    {"Ge", 72.61f},     {"As", 74.9216f},
    {"Se", 78.96f},     {"Br", 79.904f},    {"Kr", 83.8f},
    {"Rb", 85.4678f},   {"Sr", 87.62f},     {"Y", 88.90585f},
    {"Zr", 91.224f},    {"Nb", 92.90638f},  {"Mo", 95.94f},
    {"Tc", 98.0f},      {"Ru", 101.07f},    {"Rh", 102.9055f},
    {"Pd", 106.42f},    {"Ag", 107.8682f},  {"Cd", 112.411f},
    {"In", 114.818f},   {"Sn", 118.71f},    {"Sb", 121.76f},
    {"Te", 127.6f},     {"I", 126.90447f},  {"Xe", 131.29f},
    {"Cs", 132.90546f}, {"Ba", 137.327f},   {"La", 138.9055f},
    {"Ce", 140.116f},   {"Pr", 140.90765f}, {"Nd", 144.24f},
    {"Pm", 145.0f},     {"Sm", 150.36f},    {"Eu", 151.964f},
    {"Gd", 157.25f},    {"Tb", 158.92534f}, {"Dy", 162.5f},
    {"Ho", 164.93031f}, {"Er", 167.26f},    {"Tm", 168.9342f},
    {"Yb", 173.04f},    {"Lu", 174.967f},   {"Hf", 178.49f},
    {"Ta", 180.9479f},  {"W", 183.84f},     {"Re", 186.207f},
    {"Os", 190.23f},    {"Ir", 192.217f},   {"Pt", 195.078f},
    {"Au", 196.96655f}, {"Hg", 200.59f},    {"Tl", 204.3833f},
    {"Pb", 207.2f},     {"Bi", 208.98038f}, {"Po", 209.0f},
    {"At", 210.0f},     {"Rn", 222.0f},     {"Fr", 223.0f},
    {"Ra", 226.0f},     {"Ac", 227.0f},     {"Th", 232.0381f},
    {"Pa", 231.0f},     {"U", 238.0289f},   {"Np", 237.0f},
    {"Pu", 244.0f},     {"Am", 243.0f},     {"Cm", 247.0f},
    {"Bk", 247.0f},     {"Cf", 251.0f},     {"Es", 252.0f},
    {"Fm", 257.0f},     {"Md", 258.0f},     {"No", 259.0f},
    {"Lr", 262.0f},     {"Rf", 261.0f},     {"Db", 262.0f},
    {"Sg", 263.0f},     {"Bh", 262.0f},     {"Hs", 265.0f},
    {"Mt", 266.0f},     {"Uun", 269.0f},    {"Uuu", 272.0f},
    {"Uub", 277.0f},
}};

namespace {

// For each capital letter, the table indices of the symbols that start with
// it, so that a lookup compares only with those. A plain scan of the table
// costs half as many instructions again per compound of a long session.
struct Buckets {
  static constexpr int kMaxPerLetter = 12;
  std::array<std::array<std::uint8_t, kMaxPerLetter>, 26> index{};
  std::array<int, 26> size{};
};

constexpr Buckets make_buckets() {
  Buckets buckets;
  for (std::size_t i = 0; i < kElements.size(); ++i) {
    const auto letter = static_cast<std::size_t>(kElements[i].symbol[0] - 'A');
    auto& count = buckets.size[letter];
    buckets.index[letter][static_cast<std::size_t>(count++)] =
        static_cast<std::uint8_t>(i);
  }
  return buckets;
}

constexpr Buckets kBuckets = make_buckets();

}  // namespace

float symbol_mass(std::string_view word) {
  if (word.empty() || word[0] < 'A' || word[0] > 'Z') return 0;
  const auto letter = static_cast<std::size_t>(word[0] - 'A');
  for (int k = 0; k < kBuckets.size[letter]; ++k) {
    const Element& element =
        kElements[kBuckets.index[letter][static_cast<std::size_t>(k)]];
    if (element.symbol == word) return element.mass;
  }
  return 0;
}

void reject_symbol(Console& console, std::string_view word) {
  console.print("\n"_screen);
  console.print("UYARI: %s geçerli bir element sembolü değil!\n"_screen, word);
  console.print("Lütfen element sembolünü tekrar giriniz...\n"_screen);
  console.print("\n"_screen);
}

}  // namespace molagirlik
