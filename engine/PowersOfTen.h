// The decimal scales of the program, one table of each: the powers of ten
// that are exact in extended, and the SI prefix letters with their powers.
// The number reader, log and the engineering format all read them here.
// Core layer, header only, standard C++.
#pragma once

// 10^0 .. 10^27. 10^n = 2^n 5^n, and 5^27 < 2^64 still fits the 64-bit
// mantissa, so every entry is exact.
inline constexpr long double kPowersOfTen[] = {1e0L,  1e1L,  1e2L,  1e3L,  1e4L,  1e5L,  1e6L,
                                               1e7L,  1e8L,  1e9L,  1e10L, 1e11L, 1e12L, 1e13L,
                                               1e14L, 1e15L, 1e16L, 1e17L, 1e18L, 1e19L, 1e20L,
                                               1e21L, 1e22L, 1e23L, 1e24L, 1e25L, 1e26L, 1e27L};
inline constexpr int kLastExactPowerOfTen = 27;

// The extended value nearest to 10^e, for |e| <= 27: a negative power is one
// division by an exact one, so it is rounded once.
inline long double PowerOfTen(int e) {
  return e >= 0 ? kPowersOfTen[e] : 1 / kPowersOfTen[-e];
}

// An SI prefix: the letter that scales a number by 10^Exponent (case matters).
struct TSIPrefix {
  char Letter;
  int Exponent;
};

// Every SI prefix the program reads and writes, from the smallest up.
inline constexpr TSIPrefix kSIPrefixes[] = {
    {'y', -24}, {'z', -21}, {'a', -18}, {'f', -15}, {'p', -12}, {'n', -9}, {'u', -6}, {'m', -3},
    {'k', 3},   {'M', 6},   {'G', 9},   {'T', 12},  {'P', 15},  {'E', 18}, {'Z', 21}, {'Y', 24},
};

// The power of ten of an SI prefix letter, or 0 when the letter is none.
constexpr int SIExponent(char letter) {
  for (const TSIPrefix& p : kSIPrefixes)
    if (p.Letter == letter) return p.Exponent;
  return 0;
}
