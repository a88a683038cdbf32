// Power, root, factorial and the integer operators of the engine, each
// deciding its own fault from its operands and its result (ExprInternal.h).
#include <cmath>
#include <vector>

#include "engine/ExprInternal.h"

namespace {

// ---- factorial: n! for n = 0..1754, each the exact product rounded once ----

constexpr int kFactorialCount = 1755;  // 1755! is beyond the extended range

// The exact integer held in `limbs` (little-endian) rounded to extended, ties
// to even.
long double RoundBigInteger(const std::vector<std::uint64_t>& limbs) {
  const std::size_t top = limbs.size() - 1;
  const int topBits = 64 - __builtin_clzll(limbs[top]);
  const long bits = long(top) * 64 + topBits;
  if (bits <= 64) return static_cast<long double>(limbs[0]);
  auto bit = [&](long i) { return (limbs[std::size_t(i / 64)] >> (i % 64)) & 1u; };
  const long shift = bits - 64;
  std::uint64_t mantissa = 0;
  for (long i = bits - 1; i >= shift; --i) mantissa = (mantissa << 1) | bit(i);
  const bool roundBit = bit(shift - 1);
  bool sticky = false;
  for (long i = shift - 2; i >= 0 && !sticky; --i) sticky = bit(i);
  long exponent = shift;
  if (roundBit && (sticky || (mantissa & 1u))) {
    if (++mantissa == 0) {
      mantissa = 1ull << 63;
      ++exponent;
    }
  }
  return std::ldexp(static_cast<long double>(mantissa), int(exponent));
}

std::vector<long double> MakeFactorials() {
  std::vector<long double> table(kFactorialCount);
  std::vector<std::uint64_t> limbs{1};
  table[0] = 1;
  for (int n = 1; n < kFactorialCount; ++n) {
    unsigned __int128 carry = 0;
    for (auto& limb : limbs) {
      const unsigned __int128 p = static_cast<unsigned __int128>(limb) * unsigned(n) + carry;
      limb = static_cast<std::uint64_t>(p);
      carry = p >> 64;
    }
    if (carry) limbs.push_back(static_cast<std::uint64_t>(carry));
    table[std::size_t(n)] = RoundBigInteger(limbs);
  }
  return table;
}

// ---- roots ----

// x = m * 2^e with m odd (x finite and non-zero).
void OddMantissa(long double x, std::uint64_t& m, long& e) {
  int e2;
  const long double f = std::frexp(std::fabs(x), &e2);
  m = static_cast<std::uint64_t>(std::ldexp(f, 64));
  e = long(e2) - 64;
  const int tz = __builtin_ctzll(m);
  m >>= tz;
  e += tz;
}

// m^p, or false when it does not fit in 128 bits.
bool IntPower(std::uint64_t m, long p, unsigned __int128& out) {
  unsigned __int128 r = 1;
  for (long i = 0; i < p; ++i)
    if (__builtin_mul_overflow(r, static_cast<unsigned __int128>(m), &r)) return false;
  out = r;
  return true;
}

// Whether c^n equals x exactly, for degrees n = p/q with q a power of two
// up to 64 and |p| up to 64 (c, x > 0).
bool IsExactRoot(long double c, long double x, long double n) {
  if (!(c > 0) || !std::isfinite(c)) return false;
  long q = 1;
  while (q <= 64 && std::trunc(n * q) != n * q) q *= 2;
  if (q > 64 || std::fabs(n * q) > 64) return false;
  const long p = long(n * q);
  std::uint64_t mc, mx;
  long ec, ex;
  OddMantissa(c, mc, ec);
  OddMantissa(x, mx, ex);
  if (ec * p != ex * q) return false;
  if (p < 0) return mc == 1 && mx == 1;
  unsigned __int128 lhs, rhs;
  return IntPower(mc, p, lhs) && IntPower(mx, q, rhs) && lhs == rhs;
}

// The n-th root of x > 0. powl(x, 1/n) suffers from the rounding of 1/n
// (an error growing with ln x), so one Newton step on r^n = x follows; a
// root that is exact in extended is found among the neighbours.
long double PositiveRoot(long double x, long double n) {
  if (n == 1) return x;
  if (n == 2) return std::sqrt(x);
  long double r;
  if (n == 3) {
    r = std::cbrt(x);
  } else {
    r = std::pow(x, 1 / n);
    if (!std::isfinite(r) || r == 0) return r;
    // Only for 1 < |n| <= 2^32: below 1 the step would magnify the error of
    // r^n, above 2^32 r is so close to 1 that powl is already exact enough.
    // r^n is within 2^-31 of x, so it neither overflows nor loses digits.
    const long double a = std::fabs(n);
    if (a > 1 && a <= 0x1p32L && std::isnormal(r) && x > 0x1p-16000L &&
        x < std::numeric_limits<long double>::max() / 2) {
      const long double rho = std::pow(r, n) / x;
      r -= r * ((rho - 1) / n);
    }
  }
  if (IsExactRoot(r, x, n)) return r;
  const long double up = std::nextafter(r, HUGE_VALL), down = std::nextafter(r, 0.0L);
  if (IsExactRoot(up, x, n)) return up;
  if (IsExactRoot(down, x, n)) return down;
  return r;
}

bool IsOddInteger(long double n) { return std::trunc(n) == n && std::fmod(n, 2.0L) != 0; }

}  // namespace

long double EvalFactorial(long double x, TCalcError& fault) {
  static const std::vector<long double> table = MakeFactorials();
  std::int64_t n;
  if (!ConvertToInt64(x, n) || n < 0) {
    fault = ceMath;
    return 0;
  }
  if (n >= kFactorialCount) {
    fault = ceOverflow;
    return 0;
  }
  return table[std::size_t(n)];
}

long double EvalPower(long double base, long double exponent, TCalcError& fault) {
  if (exponent == 0) return 1;
  if (base == 0) {
    if (exponent > 0) return 0;
    if (exponent < 0) {
      fault = ceDivisionByZero;  // a pole
      return 0;
    }
    return exponent;  // NaN
  }
  if (base < 0 && std::trunc(exponent) != exponent) {
    fault = ceMath;  // no real power
    return 0;
  }
  // Multiplied out as in EvalBinary.
  long double r;
  if (exponent == 2) r = base * base;
  else if (exponent == 3) r = base * base * base;
  else if (exponent == -1) r = 1 / base;
  else r = std::pow(base, exponent);
  if (!std::isnan(base) && !std::isnan(exponent))
    fault = ResultFault(r, std::isfinite(base) && std::isfinite(exponent));
  return r;
}

long double EvalRoot(long double radicand, long double degree, TCalcError& fault) {
  if (degree == 0) {
    fault = ceDivisionByZero;
    return 0;
  }
  if (std::isnan(radicand) || std::isnan(degree)) return radicand + degree;
  long double r;
  if (radicand > 0 && std::isfinite(radicand) && std::isfinite(degree)) {
    r = PositiveRoot(radicand, degree);
  } else if (radicand < 0 && std::isfinite(radicand) && IsOddInteger(degree)) {
    r = -PositiveRoot(-radicand, degree);
  } else {
    // The pole of 0 to a negative power and the missing real root of a
    // negative radicand are the power's; its overflow is decided below, from
    // the root's own operands (1 / degree may overflow where the root does not).
    r = EvalPower(radicand, 1 / degree, fault);
    if (fault == ceDivisionByZero || fault == ceMath) return 0;
  }
  fault = ResultFault(r, std::isfinite(radicand) && std::isfinite(degree));
  return r;
}
