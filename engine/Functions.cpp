// The 31 functions of the engine, with the three angle units. Faults are
// reported through the floating-point flags only (see ExprInternal.h), so the
// fast evaluation and the node-by-node rerun see the same faults.
#include <cmath>

#include "engine/ExprInternal.h"
#include "engine/PowersOfTen.h"

namespace {

constexpr long double kLn2 = 0.693147180559945309417232121458176568L;

// An angle unit other than radians: a full turn and its parts, and the
// factor to radians split into the nearest extended value and the rest.
struct TUnit {
  long double Full, Half, Quarter, Eighth;
  bool Degrees;
  long double ToRadHi, ToRadLo;
};
constexpr TUnit kDegrees{360, 180, 90, 45, true, 0.01745329251994329576923690768488612713442871888541L,
                         9.7761442520337260499402940283687704587637e-23L};
constexpr TUnit kGradians{400, 200, 100, 50, false, 0.01570796326794896619231321691639751442098584699687L,
                          4.26798477170023670076791646527175718949429e-22L};
// The factors back from radians, split the same way.
constexpr long double kRadToDegHi = 57.29577951308232087679815481410517033240547246656479L;
constexpr long double kRadToDegLo = 1.43536411792435062162334391689443619472744e-19L;
constexpr long double kRadToGradHi = 63.66197723675813430755350534900574481378385829618310L;
constexpr long double kRadToGradLo = -1.38249152109890068151911688158231307905806e-18L;

// a * b = hi + lo exactly (Dekker's product; no fused multiply-add needed).
void TwoProduct(long double a, long double b, long double& hi, long double& lo) {
  constexpr long double kSplit = 4294967297.0L;  // 2^32 + 1
  hi = a * b;
  const long double ca = kSplit * a, cb = kSplit * b;
  const long double ah = ca - (ca - a), al = a - ah;
  const long double bh = cb - (cb - b), bl = b - bh;
  lo = ((ah * bh - hi) + ah * bl + al * bh) + al * bl;
}

// x * (hi + lo) with nearly one rounding, for |x| well inside the range.
long double ScaleAccurately(long double x, long double hi, long double lo) {
  long double p, e;
  TwoProduct(x, hi, p, e);
  return p + (e + x * lo);
}

// An angle written as quadrant * quarter turn + D, with |D| <= an eighth.
struct TReduced {
  int Quadrant;  // 0..3
  long double D;
};

// fmodl is exact, and so is the subtraction of the nearest quarter turn: the
// difference is a multiple of the ulp of the remainder and below 64 in size.
TReduced Reduce(long double x, const TUnit& u) {
  const long double r = std::fmod(x, u.Full);
  const long double k = std::rint(r / u.Quarter);
  const long double d = r - k * u.Quarter;
  const int q = ((static_cast<int>(k) % 4) + 4) % 4;
  return {q, d};
}

long double ToRadians(long double d, const TUnit& u) { return ScaleAccurately(d, u.ToRadHi, u.ToRadLo); }

// sin and cos of a reduced angle: exact where the true value is exact.
long double SinReduced(long double d, const TUnit& u) {
  if (d == 0) return 0;
  if (u.Degrees && std::fabs(d) == 30) return std::copysign(0.5L, d);
  return std::sin(ToRadians(d, u));
}
long double CosReduced(long double d, const TUnit& u) {
  if (d == 0) return 1;
  return std::cos(ToRadians(d, u));
}

// tan of the reduced angle (cot = false) or its cotangent (cot = true).
long double TanReduced(long double d, const TUnit& u, bool cot) {
  if (d == 0) return cot ? Fault(fkDivByZero) : 0.0L;
  if (std::fabs(d) == u.Eighth) return std::copysign(1.0L, d);
  const long double t = std::tan(ToRadians(d, u));
  return cot ? 1 / t : t;
}

bool Unusable(long double x, long double& result) {
  if (std::isnan(x)) {
    result = x;
    return true;
  }
  if (std::isinf(x)) {
    result = Fault(fkInvalid);
    return true;
  }
  return false;
}

// sin of a quarter-turn count q plus d (exact zero at a half turn); cos is the
// same a quarter turn on.
long double SinQuadrant(int q, long double d, const TUnit& u) {
  switch (q & 3) {
    case 0: return SinReduced(d, u);
    case 1: return CosReduced(d, u);
    case 2: return d == 0 ? 0.0L : -SinReduced(d, u);
    default: return -CosReduced(d, u);
  }
}

// In radians the library reduces the argument itself, with a multi-precision
// multiple of pi/2, and keeps the rest of the reduction in its kernel: an own
// reduction ahead of it would round once more.
long double Sin(long double x, TCalcDeg degs) {
  if (degs == cdRadians) return std::sin(x);
  long double bad;
  if (Unusable(x, bad)) return bad;
  const TUnit& u = degs == cdDegreees ? kDegrees : kGradians;
  const TReduced r = Reduce(x, u);
  return SinQuadrant(r.Quadrant, r.D, u);
}

long double Cos(long double x, TCalcDeg degs) {
  if (degs == cdRadians) return std::cos(x);
  long double bad;
  if (Unusable(x, bad)) return bad;
  const TUnit& u = degs == cdDegreees ? kDegrees : kGradians;
  const TReduced r = Reduce(x, u);
  return SinQuadrant(r.Quadrant + 1, r.D, u);
}

// tan (cot = false) or cot of x; tan(q + d) is -cot(d) in odd quadrants.
long double Tan(long double x, TCalcDeg degs, bool cot) {
  if (degs == cdRadians) return cot ? 1 / std::tan(x) : std::tan(x);
  long double bad;
  if (Unusable(x, bad)) return bad;
  const TUnit& u = degs == cdDegreees ? kDegrees : kGradians;
  const TReduced r = Reduce(x, u);
  if (r.Quadrant % 2 == 0) return TanReduced(r.D, u, cot);
  if (r.D == 0) return cot ? 0.0L : Fault(fkDivByZero);
  return -TanReduced(r.D, u, !cot);
}

// A radian result of an inverse function in the chosen unit. Results within
// two ulps of a whole number of degrees or gradians are that number, so
// arcsin(1) is exactly 90 and arctg(1) exactly 45.
long double FromRadians(long double r, TCalcDeg degs) {
  if (degs == cdRadians) return r;
  const long double v = degs == cdDegreees ? ScaleAccurately(r, kRadToDegHi, kRadToDegLo)
                                            : ScaleAccurately(r, kRadToGradHi, kRadToGradLo);
  const long double n = std::rint(v);
  if (n != 0 && std::fabs(v - n) <= std::fabs(v) * 0x1p-62L) return n;
  return v;
}

long double Ln(long double x) {
  if (x == 0) return Fault(fkDivByZero);
  if (x < 0) return Fault(fkInvalid);
  return std::log(x);
}

long double Log10(long double x) {
  if (x == 0) return Fault(fkDivByZero);
  if (x < 0) return Fault(fkInvalid);
  // The exact powers of ten have whole logarithms.
  const long double r = std::log10(x);
  if (x >= 1 && x <= kPowersOfTen[kLastExactPowerOfTen]) {
    const int k = static_cast<int>(r + 0.5L);
    if (x == kPowersOfTen[k]) return k;
  }
  return r;
}

// 2 e^-|x|, the value of sech and |cosech| where cosh itself overflows.
constexpr long double kHyperbolicTail = 11000;
long double Tail(long double x) { return 2 * std::exp(-std::fabs(x)); }

long double Sech(long double x) {
  if (std::fabs(x) > kHyperbolicTail) return Tail(x);
  return 1 / std::cosh(x);
}

long double Cosech(long double x) {
  if (x == 0) return Fault(fkDivByZero);
  if (std::fabs(x) > kHyperbolicTail) return std::copysign(Tail(x), x);
  return 1 / std::sinh(x);
}

long double Coth(long double x) {
  const long double t = std::tanh(x);
  if (t == 0) return Fault(fkDivByZero);
  return 1 / t;
}

long double Arccosh(long double x) {
  if (x < 1) return Fault(fkInvalid);
  return std::acosh(x);
}

long double Arctanh(long double x) {
  const long double a = std::fabs(x);
  if (a > 1) return Fault(fkInvalid);
  if (a == 1) return Fault(fkDivByZero);
  return std::atanh(x);
}

// atanh(1/x); near 1 the form log1p(2 / (|x| - 1)) / 2 keeps full accuracy,
// since |x| - 1 is exact there.
long double Arccoth(long double x) {
  const long double a = std::fabs(x);
  if (a < 1) return Fault(fkInvalid);
  if (a == 1) return Fault(fkDivByZero);
  if (a < 2) return std::copysign(0.5L * std::log1p(2 / (a - 1)), x);
  return std::atanh(1 / x);
}

// Below this the reciprocal of the argument may overflow, while
// asinh(1/x) = ln(2/|x|) to full precision.
constexpr long double kTinyArgument = 0x1p-40L;

// acosh(1/x). For x near 1, 1/x - 1 would lose the digits that matter, so
// u = (1 - x) / x is formed directly (1 - x is exact) and
// acosh(1 + u) = log1p(u + sqrt(u (u + 2))).
long double Arcsech(long double x) {
  if (x == 0) return Fault(fkDivByZero);
  if (x < 0 || x > 1) return Fault(fkInvalid);
  if (x >= 0.5L) {
    const long double u = (1 - x) / x;
    return std::log1p(u + std::sqrt(u * (u + 2)));
  }
  if (x < kTinyArgument) return kLn2 - std::log(x);
  return std::acosh(1 / x);
}

long double Arccosech(long double x) {
  if (x == 0) return Fault(fkDivByZero);
  if (std::fabs(x) < kTinyArgument) return std::copysign(kLn2 - std::log(std::fabs(x)), x);
  return std::asinh(1 / x);
}

long double RoundOrTrunc(long double x, bool round) {
  const long double r = round ? std::rint(x) : std::trunc(x);
  if (!(r >= -0x1p63L && r < 0x1p63L)) return Fault(fkInvalid);
  return r;
}

long double Inverse(long double x, TCalcDeg degs, std::int32_t kind) {
  switch (kind) {
    case tkArcsin:
      if (std::fabs(x) > 1) return Fault(fkInvalid);
      return FromRadians(std::asin(x), degs);
    case tkArccos:
      if (std::fabs(x) > 1) return Fault(fkInvalid);
      return FromRadians(std::acos(x), degs);
    case tkArctg: return FromRadians(std::atan(x), degs);
    default: return FromRadians(std::atan2(1.0L, x), degs);  // arcctg, in (0, pi)
  }
}

}  // namespace

long double Fault(TFault fault) {
  volatile long double zero = 0, one = 1, big = std::numeric_limits<long double>::max();
  volatile long double sink;
  switch (fault) {
    case fkInvalid: sink = zero / zero; break;
    case fkDivByZero: sink = one / zero; break;
    case fkOverflow: sink = big * big; break;
  }
  (void)sink;
  return 0;
}

long double EvalFunction(std::int32_t kind, long double x, TCalcDeg degs) {
  switch (kind) {
    case tkCos: return Cos(x, degs);
    case tkSin: return Sin(x, degs);
    case tkTg: return Tan(x, degs, false);
    case tkCtg: return Tan(x, degs, true);
    case tkSec: return 1 / Cos(x, degs);
    case tkCosec: return 1 / Sin(x, degs);
    case tkSgn: return x < 0 ? -1 : (x > 0 ? 1 : 0);
    case tkSqrt: return x < 0 ? Fault(fkInvalid) : std::sqrt(x);
    case tkLn: return Ln(x);
    case tkExp: return std::exp(x);
    case tkArcsin:
    case tkArccos:
    case tkArctg:
    case tkArcctg: return Inverse(x, degs, kind);
    case tkSh: return std::sinh(x);
    case tkCh: return std::cosh(x);
    case tkTh: return std::tanh(x);
    case tkCth: return Coth(x);
    case tkHeaviside: return x < 0 ? 0 : 1;
    case tkLog: return Log10(x);
    case tkAbs: return std::fabs(x);
    case tkArcsinh: return std::asinh(x);
    case tkArccosh: return Arccosh(x);
    case tkArctanh: return Arctanh(x);
    case tkArccoth: return Arccoth(x);
    case tkSech: return Sech(x);
    case tkCosech: return Cosech(x);
    case tkArcsech: return Arcsech(x);
    case tkArccosech: return Arccosech(x);
    case tkRound: return RoundOrTrunc(x, true);
    case tkTrunc: return RoundOrTrunc(x, false);
    default: return Fault(fkInvalid);
  }
}
