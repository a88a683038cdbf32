// Evaluation and parse speed of the expression engine on a reference set of
// formulas, against the same formulas written by hand in long double and, where
// it has the operators, against muparser (double precision).
#include <benchmark/benchmark.h>

#include <cmath>
#include <string>
#include <vector>

#include "engine/CalcExpress.h"

#ifdef ZUMBREL_HAVE_MUPARSER
#include <muParser.h>
#endif

namespace {

using THand = long double (*)(long double);

struct TCase {
  const char* Formula;
  const char* MuParser;  // nullptr: muparser lacks an operator of it
  THand Hand;
};

constexpr long double kPi = 3.141592653589793238512808959406186204433L;

const TCase kCases[] = {
    {"X*X+3*X-1", "X*X+3*X-1", [](long double x) { return x * x + 3 * x - 1; }},
    {"((X+1)*(X-1))/(X*X+1)", "((X+1)*(X-1))/(X*X+1)",
     [](long double x) { return ((x + 1) * (x - 1)) / (x * x + 1); }},
    {"X^3-2*X^2+X-7", "X^3-2*X^2+X-7",
     [](long double x) { return std::pow(x, 3.0L) - 2 * std::pow(x, 2.0L) + x - 7; }},
    {"sin(X)*cos(X)+sqrt(abs(X))", "sin(X)*cos(X)+sqrt(abs(X))",
     [](long double x) { return std::sin(x) * std::cos(x) + std::sqrt(std::fabs(x)); }},
    {"exp(-X*X/2)/sqrt(2*Pi)", "exp(-X*X/2)/sqrt(2*Pi)",
     [](long double x) { return std::exp(-(x * x / 2)) / std::sqrt(2 * kPi); }},
    {"(X&255)<<2|1", nullptr,
     [](long double x) {
       return static_cast<long double>(((std::llrint(x) & 255) << 2) | 1);
     }},
    {"log(abs(X)+1)*tanh(X)", "log10(abs(X)+1)*tanh(X)",
     [](long double x) { return std::log10(std::fabs(x) + 1) * std::tanh(x); }},
    {"2k*X+0x1F-1.5m", nullptr, [](long double x) { return 2000 * x + 31 - 0.0015L; }},
};

// X steps through -5..5 in 1001 points, one point per evaluation.
struct TStepper {
  int I = 0;
  long double Next() {
    const long double x = -5 + I * 0.01L;
    I = I == 1000 ? 0 : I + 1;
    return x;
  }
};

void BM_Engine(benchmark::State& state) {
  const TCase& c = kCases[state.range(0)];
  TCalcExpress e;
  e.Variables() = {"Pi", "A", "B", "C", "D", "E", "F", "X"};
  std::vector<long double> values(256);
  values[0] = kPi;
  e.SetFormula(c.Formula);
  if (e.Error() != ceOK) state.SkipWithError("formula does not parse");
  TStepper x;
  for (auto _ : state) {
    values[7] = x.Next();
    benchmark::DoNotOptimize(e.Calc(values));
  }
  state.SetLabel(c.Formula);
}

void BM_Hand(benchmark::State& state) {
  const TCase& c = kCases[state.range(0)];
  TStepper x;
  for (auto _ : state) {
    long double v = x.Next();
    benchmark::DoNotOptimize(v);  // the formula cannot be folded over the loop
    benchmark::DoNotOptimize(c.Hand(v));
  }
  state.SetLabel(c.Formula);
}

#ifdef ZUMBREL_HAVE_MUPARSER
void BM_MuParser(benchmark::State& state) {
  const TCase& c = kCases[state.range(0)];
  if (!c.MuParser) {
    state.SkipWithError("muparser lacks an operator of this formula");
    for (auto _ : state) {
    }
    return;
  }
  mu::Parser p;
  double x = 0, pi = static_cast<double>(kPi);
  p.DefineVar("X", &x);
  p.DefineVar("Pi", &pi);
  p.SetExpr(c.MuParser);
  TStepper step;
  for (auto _ : state) {
    x = static_cast<double>(step.Next());
    benchmark::DoNotOptimize(p.Eval());
  }
  state.SetLabel(c.Formula);
}
BENCHMARK(BM_MuParser)->DenseRange(0, 7);
#endif

void BM_Parse(benchmark::State& state) {
  const TCase& c = kCases[state.range(0)];
  TCalcExpress e;
  e.Variables() = {"Pi", "A", "B", "C", "D", "E", "F", "X"};
  for (auto _ : state) {
    e.SetFormula(c.Formula);
    benchmark::DoNotOptimize(e.Error());
  }
  state.SetLabel(c.Formula);
}

#ifdef ZUMBREL_HAVE_MUPARSER
void BM_MuParserParse(benchmark::State& state) {
  const TCase& c = kCases[state.range(0)];
  if (!c.MuParser) {
    state.SkipWithError("muparser lacks an operator of this formula");
    for (auto _ : state) {
    }
    return;
  }
  mu::Parser p;
  double x = 0, pi = 0;
  p.DefineVar("X", &x);
  p.DefineVar("Pi", &pi);
  for (auto _ : state) {
    p.SetExpr(c.MuParser);
    benchmark::DoNotOptimize(p.Eval());  // muparser parses lazily, at the first Eval
  }
  state.SetLabel(c.Formula);
}
BENCHMARK(BM_MuParserParse)->DenseRange(0, 7);
#endif

BENCHMARK(BM_Engine)->DenseRange(0, 7);
BENCHMARK(BM_Hand)->DenseRange(0, 7);
BENCHMARK(BM_Parse)->DenseRange(0, 7);

}  // namespace

BENCHMARK_MAIN();
