// The fast evaluation of Calc against the node-by-node walk: same value bit
// for bit, same code, same exception, over formulas that fault at poles, at
// domain edges and by overflow, for many values of X and every angle unit.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <string>
#include <string_view>
#include <vector>

#include "engine/CalcExpress.h"

namespace {

const char* const kFormulas[] = {
    "X*X+3*X-1", "((X+1)*(X-1))/(X*X+1)", "X^3-2*X^2+X-7", "sin(X)*cos(X)+sqrt(abs(X))",
    "exp(-X*X/2)/sqrt(2*Pi)", "(X&255)<<2|1", "log(abs(X)+1)*tanh(X)", "2k*X+0x1F-1.5m",
    "1/(X-X)", "sqrt(X)", "ln(X)", "log(X)", "exp(X*1e4)", "(X*1e4900)*0", "1/(1/(X-X))",
    "X/0", "0/X", "X/X", "1/X", "X/(1/(X-X))", "-(X*1e4900)/1e4900", "X*1e4900-X*1e4900",
    "X&1e30", "1e30|X", "X~3", "X<<70", "X>>X", "(1/X)&1", "X#3", "3#X", "X#(X-X)",
    "X^(-1)", "X^0.5", "X^X", "0^X", "X^(-2)", "(X-X)^(-1)", "(-X)^1.5", "X^1e5", "X^3*0",
    "X@2", "X@3", "X@(X-X)", "X!", "(X*100)!", "(-X)!", "sec(X)", "cosec(X)", "tg(X)",
    "ctg(X)", "arcsin(X)", "arccos(X/10)", "arctg(X)", "arcctg(X)", "sh(X*3000)",
    "ch(X*3000)", "th(X)", "cth(X)", "sgn(1/(X-X))", "h(ln(X))", "round(X*1e18)",
    "trunc(X*1e19)", "round(1/X)", "arcsh(X)", "arcch(X)", "arcth(X/5)", "arccth(X)",
    "sech(X)", "cosech(X)", "arcsech(X/5)", "arccosech(X)", "exp(ln(X))+sqrt(-X)",
    "abs(1/(X-X))-abs(1/(X-X))", "sin(X*1e4900)", "cos(1/(X-X))", "exp(-1/(X-X))",
    "1/exp(1/(X-X))", "A*X+B/X-C", "0x1FFFFFFFFFFFFFFFFFFFF*X", "1/(X*1e-4900)",
    "(X*1e-4900)*1e-4900", "1e4900/1e-4900*X", "Pi*X/180", "(X+1)/X", "2^X", "X/(X*X)",
    // powl raises the overflow flag for these, whose results are in range
    "X^12121^1", "(X*1e3000)^1", "(X*1e-2000)^(-2)", "(X*1e1736)@0.5", "(1e-1736*X)@(-0.5)",
};

// The formulas above, and every function of the engine applied to X.
std::vector<std::string> Formulas() {
  std::vector<std::string> formulas(std::begin(kFormulas), std::end(kFormulas));
  for (std::string_view name : FunctionNames()) formulas.push_back(std::string(name) + "(X)");
  return formulas;
}

// The values of X: ordinary, poles, domain edges, beyond the ranges, and
// values that are not finite.
std::vector<long double> XValues() {
  constexpr long double kInf = std::numeric_limits<long double>::infinity();
  std::vector<long double> xs = {0.0L, -0.0L, 1, -1, 0.5L, -0.5L, 2, 3, 90, 180, 45, 100, 1754, 1755,
                                 1e18L, -1e19L, 0x1p63L, -0x1p63L, 11356, 11357, -11400, 1e-4900L,
                                 std::numeric_limits<long double>::denorm_min(),
                                 std::numeric_limits<long double>::max(), kInf, -kInf,
                                 std::numeric_limits<long double>::quiet_NaN()};
  for (int i = -60; i <= 60; ++i) xs.push_back(i * 0.25L);
  return xs;
}

// Runs `f` and reports the value, code and whether it threw.
struct TOutcome {
  long double Value = 0;
  TCalcError Error = ceOK;
  int Thrown = 0;  // 0 none, 1 EDivByZero, 2 EConvertError, 3 other
};

template <typename F>
TOutcome Outcome(TCalcExpress& e, F f) {
  TOutcome o;
  try {
    o.Value = f();
  } catch (const EDivByZero&) {
    o.Thrown = 1;
  } catch (const EConvertError&) {
    o.Thrown = 2;
  } catch (...) {
    o.Thrown = 3;
  }
  o.Error = e.Error();
  return o;
}

bool SameBits(long double a, long double b) { return std::memcmp(&a, &b, 10) == 0; }

TEST(EngineFastPath, MatchesTheNodeByNodeWalk) {
  TCalcExpress e;
  e.Variables() = {"Pi", "A", "B", "C", "D", "E", "F", "X"};
  std::vector<long double> values(256);
  values[0] = 3.141592653589793238512808959406186204433L;
  values[1] = 2, values[2] = -3, values[3] = 0;
  int checked = 0;
  for (const TCalcDeg degs : {cdRadians, cdDegreees, cdGradians}) {
    e.SetDegs(degs);
    for (const std::string& formula : Formulas()) {
      e.SetFormula(formula);
      ASSERT_TRUE(e.HasTree()) << formula;
      for (const long double x : XValues()) {
        values[7] = x;
        // Also with too few values handed in: X then reads as 0.
        for (const std::size_t count : {values.size(), std::size_t(7)}) {
          const TOutcome fast = Outcome(e, [&] { return e.Calc(values.data(), count); });
          const TOutcome slow = Outcome(e, [&] { return e.CalcNodeByNode(values.data(), count); });
          SCOPED_TRACE(formula + " X=" + std::to_string(double(x)) + " degs " +
                       std::to_string(int(degs)) + " count " + std::to_string(count));
          EXPECT_EQ(fast.Thrown, slow.Thrown);
          EXPECT_EQ(int(fast.Error), int(slow.Error));
          if (!fast.Thrown) {
            EXPECT_TRUE(SameBits(fast.Value, slow.Value))
                << double(fast.Value) << " vs " << double(slow.Value);
          }
          ++checked;
        }
      }
    }
  }
  EXPECT_GT(checked, 10000);
}

// The fast run must not be fooled by faults that leave a finite value
// (the faulting node reads as 0 and the walk goes on).
TEST(EngineFastPath, FaultsThatLeaveFiniteValues) {
  struct TRow {
    const char* Formula;
    long double X;
    TCalcError Error;
    long double Value;
  } const rows[] = {
      {"1/(1/(X-X))", 2, ceDivisionByZero, 0}, {"sqrt(X)+1", -4, ceMath, 1},
      {"ln(X)*2+5", 0, ceDivisionByZero, 5},   {"(X*1e4900)*0+7", 1e100L, ceOverflow, 7},
      {"(X&1e30)+1", 3, ceMath, 1},            {"exp(X*1e4)/exp(X*1e4)", 2, ceMath, 0},
      {"(-X)^1.5+2", 4, ceMath, 2},            {"X!+1", 1755, ceOverflow, 1},
      {"round(X*1e19)+1", 1, ceMath, 1},       {"1/exp(X*1e4)", 2, ceDivisionByZero, 0},
      {"h(ln(X-X))", 0, ceDivisionByZero, 1},  {"0^(X-3)", 1, ceDivisionByZero, 0},
  };
  TCalcExpress e;
  e.Variables() = {"X"};
  for (const TRow& row : rows) {
    SCOPED_TRACE(row.Formula);
    e.SetFormula(row.Formula);
    const long double v = e.Calc(std::vector<long double>{row.X});
    EXPECT_EQ(int(e.Error()), int(row.Error));
    EXPECT_EQ(double(v), double(row.Value));
  }
}

}  // namespace
