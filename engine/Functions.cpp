// The functions of the engine, one row each in the function table at the end
// of this file: the names, the arguments where a function has a real value,
// and how the value is computed in the three angle units. A function's fault
// is decided from its argument and its value (EvalFunction), never from the
// flags the maths library leaves behind.
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

// 1 / d; a denominator of exactly zero is a pole.
long double Reciprocal(long double d, TCalcError& fault) {
  if (d == 0) {
    fault = ceDivisionByZero;
    return 0;
  }
  return 1 / d;
}

// tan of the reduced angle (cot = false) or its cotangent (cot = true).
long double TanReduced(long double d, const TUnit& u, bool cot, TCalcError& fault) {
  if (d == 0) return cot ? Reciprocal(d, fault) : 0.0L;
  if (std::fabs(d) == u.Eighth) return std::copysign(1.0L, d);
  const long double t = std::tan(ToRadians(d, u));
  return cot ? 1 / t : t;
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

const TUnit& Unit(TCalcDeg degs) { return degs == cdDegreees ? kDegrees : kGradians; }

// In radians the library reduces the argument itself, with a multi-precision
// multiple of pi/2, and keeps the rest of the reduction in its kernel: an own
// reduction ahead of it would round once more.
long double Sin(long double x, TCalcDeg degs) {
  if (degs == cdRadians) return std::sin(x);
  const TReduced r = Reduce(x, Unit(degs));
  return SinQuadrant(r.Quadrant, r.D, Unit(degs));
}

long double Cos(long double x, TCalcDeg degs) {
  if (degs == cdRadians) return std::cos(x);
  const TReduced r = Reduce(x, Unit(degs));
  return SinQuadrant(r.Quadrant + 1, r.D, Unit(degs));
}

// tan (cot = false) or cot of x; tan(q + d) is -cot(d) in odd quadrants.
long double Tan(long double x, TCalcDeg degs, bool cot, TCalcError& fault) {
  if (degs == cdRadians) return cot ? Reciprocal(std::tan(x), fault) : std::tan(x);
  const TUnit& u = Unit(degs);
  const TReduced r = Reduce(x, u);
  if (r.Quadrant % 2 == 0) return TanReduced(r.D, u, cot, fault);
  if (r.D == 0) return cot ? 0.0L : Reciprocal(0, fault);
  return -TanReduced(r.D, u, !cot, fault);
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

long double Arcsin(long double x, TCalcDeg degs) { return FromRadians(std::asin(x), degs); }
long double Arccos(long double x, TCalcDeg degs) { return FromRadians(std::acos(x), degs); }
long double Arctg(long double x, TCalcDeg degs) { return FromRadians(std::atan(x), degs); }
// In (0, pi): the angle of the point (x, 1).
long double Arcctg(long double x, TCalcDeg degs) { return FromRadians(std::atan2(1.0L, x), degs); }

long double Sgn(long double x) { return x < 0 ? -1 : (x > 0 ? 1 : 0); }
long double Heaviside(long double x) { return x < 0 ? 0 : 1; }

// The exact powers of ten have whole logarithms.
long double Log10(long double x) {
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

long double Cosech(long double x, TCalcDeg, TCalcError& fault) {
  if (std::fabs(x) > kHyperbolicTail) return std::copysign(Tail(x), x);
  return Reciprocal(std::sinh(x), fault);
}

long double Coth(long double x, TCalcDeg, TCalcError& fault) {
  return Reciprocal(std::tanh(x), fault);
}

// atanh(1/x); near 1 the form log1p(2 / (|x| - 1)) / 2 keeps full accuracy,
// since |x| - 1 is exact there.
long double Arccoth(long double x) {
  const long double a = std::fabs(x);
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
  if (x >= 0.5L) {
    const long double u = (1 - x) / x;
    return std::log1p(u + std::sqrt(u * (u + 2)));
  }
  if (x < kTinyArgument) return kLn2 - std::log(x);
  return std::acosh(1 / x);
}

long double Arccosech(long double x) {
  if (std::fabs(x) < kTinyArgument) return std::copysign(kLn2 - std::log(std::fabs(x)), x);
  return std::asinh(1 / x);
}

// ---- domains: where a function has a real value, and its poles ----

TCalcError Anywhere(long double) { return ceOK; }
TCalcError Finite(long double x) { return std::isinf(x) ? ceMath : ceOK; }  // an angle
TCalcError NonNegative(long double x) { return x < 0 ? ceMath : ceOK; }
TCalcError PositivePoleAtZero(long double x) {
  return x == 0 ? ceDivisionByZero : (x < 0 ? ceMath : ceOK);
}
TCalcError PoleAtZero(long double x) { return x == 0 ? ceDivisionByZero : ceOK; }
TCalcError UpToOnePoleAtZero(long double x) {
  return x == 0 ? ceDivisionByZero : (x < 0 || x > 1 ? ceMath : ceOK);
}
TCalcError WithinOne(long double x) { return std::fabs(x) > 1 ? ceMath : ceOK; }
TCalcError WithinOnePolesAtOne(long double x) {
  const long double a = std::fabs(x);
  return a > 1 ? ceMath : (a == 1 ? ceDivisionByZero : ceOK);
}
TCalcError BeyondOnePolesAtOne(long double x) {
  const long double a = std::fabs(x);
  return a < 1 ? ceMath : (a == 1 ? ceDivisionByZero : ceOK);
}
TCalcError AtLeastOne(long double x) { return x < 1 ? ceMath : ceOK; }
// The rounded or truncated value must fit a signed 64-bit integer; 2^63 - 0.5
// rounds (to even) to 2^63.
TCalcError RoundsToInt64(long double x) {
  return x >= -0x1p63L && x < 0x1p63L - 0.5L ? ceOK : ceMath;
}
TCalcError TruncatesToInt64(long double x) { return x >= -0x1p63L && x < 0x1p63L ? ceOK : ceMath; }

// The forms of a value that need neither the angle unit nor a fault of their own.
template <long double (*F)(long double)>
long double OfX(long double x, TCalcDeg, TCalcError&) {
  return F(x);
}
template <long double (*F)(long double, TCalcDeg)>
long double OfAngle(long double x, TCalcDeg degs, TCalcError&) {
  return F(x, degs);
}

long double Tg(long double x, TCalcDeg degs, TCalcError& fault) {
  return Tan(x, degs, false, fault);
}
long double Ctg(long double x, TCalcDeg degs, TCalcError& fault) {
  return Tan(x, degs, true, fault);
}
long double Sec(long double x, TCalcDeg degs, TCalcError& fault) {
  return Reciprocal(Cos(x, degs), fault);
}
long double Cosec(long double x, TCalcDeg degs, TCalcError& fault) {
  return Reciprocal(Sin(x, degs), fault);
}

// A row's evaluation: the domain decides first, then the value (see
// EvalFunction). Both are template arguments, so a row is one call.
template <TDomain Domain, TValue Value>
long double Checked(long double x, TCalcDeg degs, TCalcError& fault) {
  if (std::isnan(x)) return x;
  fault = Domain(x);
  if (fault != ceOK) return 0;
  const long double v = Value(x, degs, fault);
  if (fault == ceOK) fault = ResultFault(v, std::isfinite(x));
  return v;
}

// ---- the function table: one row per function ----

// clang-format off
constexpr TFunction kFunctions[] = {
    // kind, names                  Checked<domain, value>
    {10, {"cos"},                   Checked<Finite, OfAngle<Cos>>},
    {11, {"sin"},                   Checked<Finite, OfAngle<Sin>>},
    {12, {"tg", "tan"},             Checked<Finite, Tg>},
    {13, {"ctg"},                   Checked<Finite, Ctg>},
    {15, {"sgn", "sign"},           Checked<Anywhere, OfX<Sgn>>},
    {16, {"sqrt"},                  Checked<NonNegative, OfX<sqrtl>>},
    {17, {"ln"},                    Checked<PositivePoleAtZero, OfX<logl>>},
    {18, {"exp"},                   Checked<Anywhere, OfX<expl>>},
    {19, {"arcsin"},                Checked<WithinOne, OfAngle<Arcsin>>},
    {20, {"arccos"},                Checked<WithinOne, OfAngle<Arccos>>},
    {21, {"arctg", "arctan"},       Checked<Anywhere, OfAngle<Arctg>>},
    {22, {"arcctg"},                Checked<Anywhere, OfAngle<Arcctg>>},
    {23, {"sh", "sinh"},            Checked<Anywhere, OfX<sinhl>>},
    {24, {"ch", "cosh"},            Checked<Anywhere, OfX<coshl>>},
    {25, {"th", "tanh"},            Checked<Anywhere, OfX<tanhl>>},
    {26, {"cth", "coth"},           Checked<PoleAtZero, Coth>},
    {27, {"heaviside", "h"},        Checked<Anywhere, OfX<Heaviside>>},
    {28, {"log"},                   Checked<PositivePoleAtZero, OfX<Log10>>},
    {29, {"sec"},                   Checked<Finite, Sec>},
    {30, {"cosec"},                 Checked<Finite, Cosec>},
    {31, {"abs"},                   Checked<Anywhere, OfX<fabsl>>},
    {32, {"arcsinh", "arcsh"},      Checked<Anywhere, OfX<asinhl>>},
    {33, {"arccosh", "arcch"},      Checked<AtLeastOne, OfX<acoshl>>},
    {34, {"arcth", "arctanh"},      Checked<WithinOnePolesAtOne, OfX<atanhl>>},
    {35, {"arccth", "arccoth"},     Checked<BeyondOnePolesAtOne, OfX<Arccoth>>},
    {36, {"sech"},                  Checked<Anywhere, OfX<Sech>>},
    {37, {"cosech"},                Checked<PoleAtZero, Cosech>},
    {38, {"arcsech"},               Checked<UpToOnePoleAtZero, OfX<Arcsech>>},
    {39, {"arccosech"},             Checked<PoleAtZero, OfX<Arccosech>>},
    {40, {"round"},                 Checked<RoundsToInt64, OfX<rintl>>},
    {41, {"trunc"},                 Checked<TruncatesToInt64, OfX<truncl>>},
};
// clang-format on

// Every row has a kind of its own, in the range the parser reads as a function.
constexpr bool KindsAreSound() {
  for (std::size_t i = 0; i < std::size(kFunctions); ++i) {
    if (!IsFunctionKind(kFunctions[i].Kind)) return false;
    for (std::size_t j = 0; j < i; ++j)
      if (kFunctions[j].Kind == kFunctions[i].Kind) return false;
  }
  return true;
}
static_assert(KindsAreSound(), "each function needs a kind of its own between 10 and 50");

}  // namespace

std::span<const TFunction> FunctionTable() { return kFunctions; }

int FindFunction(std::string_view lowerName) {
  for (std::size_t i = 0; i < std::size(kFunctions); ++i)
    for (std::string_view name : kFunctions[i].Names)
      if (!name.empty() && name == lowerName) return int(i);
  return -1;
}

std::vector<std::string_view> FunctionNames() {
  std::vector<std::string_view> names;
  for (const TFunction& f : kFunctions)
    for (std::string_view name : f.Names)
      if (!name.empty()) names.push_back(name);
  return names;
}

long double EvalFunction(std::uint32_t row, long double x, TCalcDeg degs, TCalcError& fault) {
  return kFunctions[row].Eval(x, degs, fault);
}
