// Evaluation: operators, functions in each angle unit, the fault rule and its
// order, and the component's life cycle.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

#include "engine/CalcExpress.h"

void PrintTo(TCalcError e, std::ostream* os) { *os << "code " << int(e); }

namespace {

constexpr long double kPi = 3.141592653589793238512808959406186204433L;

// Distance in units in the last place (0 for equal values).
long double Ulps(long double a, long double b) {
  if (a == b) return 0;
  int e;
  std::frexp(std::fmax(std::fabs(a), std::fabs(b)), &e);
  return std::fabs(a - b) / std::ldexp(1.0L, e - 64);
}

struct TRow {
  const char* Formula;
  TCalcError Error;
  long double Value;
  int Ulps = 0;  // 0: exact
};

class EngineEval : public ::testing::Test {
 protected:
  EngineEval() {
    E.Variables() = {"Pi", "A", "B", "C", "D", "E", "F", "X"};
    Values[0] = kPi;
  }
  long double Eval(const std::string& f) {
    E.SetFormula(f);
    EXPECT_TRUE(E.HasTree()) << f;
    return E.Calc(Values.data(), Values.size());
  }
  // Each row also by the node-by-node walk, which must agree bit for bit.
  void Check(const TRow* rows, std::size_t n, TCalcDeg degs = cdRadians) {
    E.SetDegs(degs);
    for (std::size_t i = 0; i < n; ++i) {
      SCOPED_TRACE(rows[i].Formula);
      const long double v = Eval(rows[i].Formula);
      const TCalcError error = E.Error();
      const long double walked = E.CalcNodeByNode(Values.data(), Values.size());
      EXPECT_EQ(E.Error(), error);
      EXPECT_EQ(std::memcmp(&v, &walked, 10), 0) << (double)v << " walked " << (double)walked;
      EXPECT_EQ(error, rows[i].Error);
      if (rows[i].Error != ceOK) continue;  // the value is not used then
      EXPECT_LE(Ulps(v, rows[i].Value), rows[i].Ulps) << (double)v;
    }
  }
  TCalcExpress E;
  std::vector<long double> Values = std::vector<long double>(256);
};

TEST_F(EngineEval, Operators) {
  const TRow rows[] = {
      {"6&3", ceOK, 2},        {"6|3", ceOK, 7},          {"6~3", ceOK, 5},
      {"7#3", ceOK, 1},        {"(-7)#2", ceOK, -1},      {"7#(-2)", ceOK, 1},
      {"1<<4", ceOK, 16},      {"256>>4", ceOK, 16},      {"2.5&7", ceOK, 2},
      {"3.5&7", ceOK, 4},      {"7.9#4", ceOK, 0},        {"1<<63", ceOK, -9223372036854775808.0L},
      {"1<<64", ceOK, 0},      {"1<<127", ceOK, 0},       {"1<<128", ceOK, 1},
      {"1<<256", ceOK, 1},     {"1<<(-1)", ceOK, 2147483648.0L}, {"(-1)>>1", ceOK, 9223372036854775807.0L},
      {"(-1)>>63", ceOK, 1},   {"1e300&1", ceMath, 0},    {"1&1e300", ceMath, 0},
      {"9223372036854775807.6|0", ceMath, 0},            {"(-9223372036854775808)|0", ceOK, -9223372036854775808.0L},
      {"(-9223372036854775808)#(-1)", ceOK, 0},          {"1<<1e30", ceMath, 0},
      {"1/3*3", ceOK, 1},      {"0.1+0.2", ceOK, 0.3L, 1}, {"2-5", ceOK, -3},
      {"0/0", ceMath, 0},      {"1/0", ceDivisionByZero, 0}, {"1e4000*1e4000", ceOverflow, 0},
      {"1e-4000*1e-4000", ceOK, 0}, {"1e-4940/2", ceOK, 5e-4941L, 1},
  };
  Check(rows, std::size(rows));
}

TEST_F(EngineEval, PowersAndRoots) {
  const TRow rows[] = {
      {"0^0", ceOK, 1},          {"0^2", ceOK, 0},             {"0^(-2)", ceDivisionByZero, 0},
      {"0^(-0.5)", ceDivisionByZero, 0}, {"(-8)^(1/3)", ceMath, 0}, {"(-2)^3", ceOK, -8},
      {"(-2)^(-3)", ceOK, -0.125L}, {"(-2)^64", ceOK, 18446744073709551616.0L},
      {"(-1)^(2^70)", ceOK, 1}, {"(-1)^(2^70+1)", ceOK, 1},    {"2^0.5", ceOK, 1.414213562373095048801688724209698L, 1},
      {"10^(-5000)", ceOK, 0},  {"10^5000", ceOverflow, 0},    {"2^(-16445)", ceOK, 0x1p-16445L},
      {"10^27", ceOK, 1e27L},   {"3^40", ceOK, 12157665459056928801.0L}, {"1.5^2", ceOK, 2.25L},
      {"8@3", ceOK, 2},         {"1024@10", ceOK, 2},           {"8@1.5", ceOK, 4},
      {"27@1.5", ceOK, 9},      {"4@0.5", ceOK, 16},            {"4@0", ceDivisionByZero, 0},
      {"(-8)@3", ceOK, -2},     {"(-8)@2", ceMath, 0},          {"(-8)@0.5", ceOK, 64},
      {"(-32)@5", ceOK, -2},    {"8@(-3)", ceOK, 0.5L},         {"0@3", ceOK, 0},
      {"0@(-3)", ceDivisionByZero, 0}, {"2@2", ceOK, 1.414213562373095048801688724209698L},
      {"(3^39)@39", ceOK, 3},   {"(7^22)@22", ceOK, 7},        {"1e4000@1e-3", ceOverflow, 0},
      {"2@3", ceOK, 1.259921049894873164767210607278228L, 1},
      {"1e1000@3", ceOK, 2.154434690031883721759293566519350e333L, 1},
      {"1e4900@7", ceOK, 1.0e700L, 1},
      {"(2^16380*1.5)@1.5", ceOK, 0x1p10920L * 1.310370697104448303570830640220998L, 1},
      {"12345678@11", ceOK, 4.412484337827116991406197871688740L, 1},
  };
  Check(rows, std::size(rows));
}

TEST_F(EngineEval, Factorial) {
  const TRow rows[] = {
      {"0!", ceOK, 1},         {"1!", ceOK, 1},         {"5!", ceOK, 120},
      {"2.5!", ceOK, 2},       {"3.5!", ceOK, 24},      {"(-0.4)!", ceOK, 1},
      {"20!", ceOK, 2432902008176640000.0L},
      {"25!", ceOK, std::strtold("15511210043330985984000000", nullptr)},
      {"100!", ceOK, std::strtold("9332621544394415268169923885626670049071596826438162146859296389521759999322991"
                                  "5608941463976156518286253697920827223758251185210916864000000000000000000000000",
                                  nullptr)},
      {"170!", ceOK, std::strtold("7257415615307998967396728211129263114716991681296451376543577798900561843401706"
                                  "1578523507492426174595114909912378385207766660225654427530253289007732075109024"
                                  "0043028005829560396661259965825710439855829425756896631343961226257109494680671"
                                  "1205568880457193340212661452800000000000000000000000000000000000000000",
                                  nullptr)},
      {"1755!", ceOverflow, 0}, {"65536!", ceOverflow, 0}, {"(-1)!", ceMath, 0},
      {"1e20!", ceMath, 0},    {"3!!", ceOK, 720},
  };
  Check(rows, std::size(rows));
  EXPECT_TRUE(std::isfinite(Eval("1754!")));
  EXPECT_EQ(E.Error(), ceOK);
  EXPECT_GT(Eval("1754!"), 1.979e4930L);
}

TEST_F(EngineEval, FunctionsInRadians) {
  const TRow rows[] = {
      {"sgn(-3)", ceOK, -1},   {"sign(0)", ceOK, 0},    {"sgn(0.1)", ceOK, 1},
      {"h(0)", ceOK, 1},       {"h(-1e-300)", ceOK, 0}, {"abs(-2.5)", ceOK, 2.5L},
      {"round(2.5)", ceOK, 2}, {"round(3.5)", ceOK, 4}, {"round(-2.5)", ceOK, -2},
      {"trunc(-2.7)", ceOK, -2}, {"round(1e19)", ceMath, 0}, {"trunc(-9223372036854775808.5)", ceOK, -9223372036854775808.0L},
      {"sqrt(-1)", ceMath, 0}, {"sqrt(0)", ceOK, 0},    {"ln(0)", ceDivisionByZero, 0},
      {"ln(-1)", ceMath, 0},   {"exp(-20000)", ceOK, 0}, {"exp(11357)", ceOverflow, 0},
      {"exp(0)", ceOK, 1},     {"ln(1)", ceOK, 0},      {"log(0)", ceDivisionByZero, 0},
      {"log(-1)", ceMath, 0},  {"log(1000)-3", ceOK, 0}, {"log(1e27)", ceOK, 27},
      {"log(1e28)", ceOK, 28, 1}, {"log(0.001)", ceOK, -3, 1}, {"arcsin(2)", ceMath, 0},
      {"arccos(-1.5)", ceMath, 0}, {"arcsin(1)", ceOK, kPi / 2}, {"arccos(-1)", ceOK, kPi},
      {"arcctg(0)", ceOK, kPi / 2}, {"arcctg(-1)", ceOK, 2.356194490192344928846982537459627L, 1},
      {"arctg(1e4000)", ceOK, kPi / 2}, {"ctg(0)", ceDivisionByZero, 0}, {"tg(0)", ceOK, 0},
      {"sin(0)", ceOK, 0},     {"cos(0)", ceOK, 1},    {"sec(0)", ceOK, 1},
      {"tg(7)", ceOK, 0.8714479827243187364564508896L},  // correctly rounded
      {"cosec(0)", ceDivisionByZero, 0}, {"sin(1e4000)", ceOK, std::sin(1e4000L)},
      {"tanh(20000)", ceOK, 1}, {"tanh(-20000)", ceOK, -1}, {"sech(20000)", ceOK, 0},
      {"cosech(-20000)", ceOK, 0}, {"coth(20000)", ceOK, 1}, {"sinh(20000)", ceOverflow, 0},
      {"cosh(-20000)", ceOverflow, 0}, {"sech(11355)", ceOK, 2 * std::exp(-11355.0L), 2},
      {"arctanh(1)", ceDivisionByZero, 0}, {"arctanh(-1)", ceDivisionByZero, 0},
      {"arccoth(1)", ceDivisionByZero, 0}, {"coth(0)", ceDivisionByZero, 0},
      {"cosech(0)", ceDivisionByZero, 0}, {"arcsech(0)", ceDivisionByZero, 0},
      {"arccosech(0)", ceDivisionByZero, 0}, {"arccosh(0.5)", ceMath, 0},
      {"arctanh(2)", ceMath, 0}, {"arccoth(0.5)", ceMath, 0}, {"arccoth(0)", ceMath, 0},
      {"arcsech(-0.5)", ceMath, 0}, {"arcsech(1.5)", ceMath, 0}, {"arcsech(1)", ceOK, 0},
      {"arccosh(1)", ceOK, 0},  {"arcsinh(0)", ceOK, 0}, {"cosech(1e-4940)", ceOverflow, 0},
      {"arccosech(2^(-16400))", ceOK, 11368.30690836366301975202402403555L, 1},
      {"arccosech(-(2^(-16400)))", ceOK, -11368.30690836366301975202402403555L, 1},
      {"arcsech(2^(-16400))", ceOK, 11368.30690836366301975202402403555L, 1},
  };
  Check(rows, std::size(rows));
}

// Every maths library function the engine calls, at the edges of its range:
// around the overflow threshold, at poles, with subnormal results, at the
// largest and the smallest arguments. The code follows from the mathematics
// (the library raises flags some of these results contradict). "M" is the
// largest extended value; 2^(-16440) is subnormal. References from bc.
TEST_F(EngineEval, LibraryFunctionsAtTheEdgesOfTheirRange) {
  constexpr long double kMax = std::numeric_limits<long double>::max();
  Values[1] = kMax;  // A
  Values[2] = 0x1p-16440L;  // B
  const TRow rows[] = {
      // powl, directly and through the roots
      {"1e1736@0.5", ceOK, 1e3472L, 2},
      {"(1e-1736)@(-0.5)", ceOK, 1e3472L, 2},
      {"2^12121^1", ceOK, 0x1p12121L},
      {"1e4111^1", ceOK, 1e4111L},
      {"(2^(-8000))^(-2)", ceOK, 0x1p16000L},
      {"(2^(-5000))^(-3)", ceOK, 0x1p15000L},
      {"10^4932", ceOK, 1e4932L, 1},
      {"10^4933", ceOverflow, 0},
      {"2^16383.5", ceOK, 0x1p16383L * 1.414213562373095048801688724L, 1},
      {"2^16384", ceOverflow, 0},
      {"(-2)^16385", ceOverflow, 0},
      {"2^(-16446)", ceOK, 0},
      {"0.9999999^(-1e30)", ceOverflow, 0},
      {"0.5@B", ceOK, 0},
      {"2@B", ceOverflow, 0},
      {"(2^16383)@0.5", ceOverflow, 0},
      {"B@3", ceOK, 0x1p-5480L},
      {"A@3", ceOK, 0x1p5440L * 2642245.949629133047190139779L, 1},
      // expl, sinhl, coshl, tanhl
      {"exp(11356.5)", ceOK, 1.1622076620702832743142224e+4932L, 2},
      {"exp(11357)", ceOverflow, 0},
      {"exp(-11390)", ceOK, 2.43137038184895956975364483e-4947L, 1},
      {"exp(-11400)", ceOK, 0},
      {"sinh(11357.125)", ceOK, 1.085644883179780584818578935e+4932L, 2},
      {"cosh(-11357.125)", ceOK, 1.085644883179780584818578935e+4932L, 2},
      {"sinh(11357.25)", ceOverflow, 0},
      {"cosh(11357.25)", ceOverflow, 0},
      {"sinh(B)", ceOK, 0x1p-16440L},
      {"tanh(B)", ceOK, 0x1p-16440L},
      {"coth(B)", ceOverflow, 0},
      {"coth(2^(-16382))", ceOK, 0x1p16382L},
      {"sech(11357.25)", ceOK, 8.128780564044308312723966247e-4933L, 1},
      {"cosech(2^(-16383))", ceOK, 0x1p16383L},
      {"cosech(B)", ceOverflow, 0},
      // asinhl, acoshl, atanhl, log1pl
      {"arcsinh(A)", ceOK, 11357.21655347470389480129410L, 1},
      {"arccosh(A)", ceOK, 11357.21655347470389480129410L, 1},
      {"arcsinh(B)", ceOK, 0x1p-16440L},
      {"arctanh(1-2^(-64))", ceOK, 22.52728336819822255604649142L, 1},
      {"arccoth(1+2^(-63))", ceOK, 22.18070977791824990137853294L, 1},
      {"arccoth(A)", ceOK, 1 / kMax},
      {"arccoth(-1)", ceDivisionByZero, 0},
      {"arcsech(B)", ceOK, 11396.03279558606083212871331L, 1},
      {"arccosech(B)", ceOK, 11396.03279558606083212871331L, 1},
      // logl, log10l
      {"ln(B)", ceOK, -11395.33964840550088681929608L, 1},
      {"ln(A)", ceOK, 11356.52340629414394949187687L, 1},
      {"log(B)", ceOK, -4948.933128715850849313867429L, 1},
      {"log(A)", ceOK, 4932.075448958667902381874508L, 1},
      {"ln(-B)", ceMath, 0},
      {"log(0*B)", ceDivisionByZero, 0},
      // sinl, cosl, tanl and the reciprocals
      {"sin(2^16383)", ceOK, 0.3893629985894208126948115853L, 1},
      {"sin(B)", ceOK, 0x1p-16440L},
      {"tg(B)", ceOK, 0x1p-16440L},
      {"ctg(B)", ceOverflow, 0},
      {"cosec(B)", ceOverflow, 0},
      {"ctg(2^(-16382))", ceOK, 0x1p16382L},
      // asinl, acosl, atanl, atan2l, sqrtl
      {"arcsin(B)", ceOK, 0x1p-16440L},
      {"arctg(A)", ceOK, kPi / 2},
      {"arcctg(A)", ceOK, 1 / kMax},
      {"arcctg(-A)", ceOK, kPi},
      {"sqrt(B)", ceOK, 0x1p-8220L},
      {"sqrt(A)", ceOK, 1.090748135619415929433419457e+2466L, 1},
      // rintl, truncl
      {"round(9223372036854775807.5)", ceMath, 0},
      {"trunc(9223372036854775807.5)", ceOK, 9223372036854775807.0L},
      {"round(A)", ceMath, 0},
  };
  Check(rows, std::size(rows));
  // In degrees the engine reduces the angle itself (exactly, M is 240 degrees
  // on from a whole turn) before the library sees it.
  const TRow degrees[] = {
      {"ctg(B)", ceOverflow, 0},
      {"cosec(B)", ceOverflow, 0},
      {"tg(90)", ceDivisionByZero, 0},
      {"sec(-270)", ceDivisionByZero, 0},
      {"sin(A)", ceOK, -0.8660254037844386467637231707529L, 1},
      {"cos(A)", ceOK, -0.5L},
      {"arcctg(-A)", ceOK, 180},
  };
  Check(degrees, std::size(degrees), cdDegreees);
}

TEST_F(EngineEval, FunctionsInDegrees) {
  const TRow rows[] = {
      {"sin(30)", ceOK, 0.5L},   {"sin(150)", ceOK, 0.5L},   {"sin(-30)", ceOK, -0.5L},
      {"sin(180)", ceOK, 0},     {"sin(360)", ceOK, 0},      {"sin(90)", ceOK, 1},
      {"sin(270)", ceOK, -1},    {"sin(-90)", ceOK, -1},     {"cos(90)", ceOK, 0},
      {"cos(270)", ceOK, 0},     {"cos(180)", ceOK, -1},     {"cos(60)", ceOK, 0.5L},
      {"cos(-120)", ceOK, -0.5L}, {"cos(3600)", ceOK, 1},     {"sin(45*2^70)", ceOK, 0},
      {"cos(45*2^70)", ceOK, 1},   {"sin(2^70)", ceOK, -0.8290375725550416920063368415016420L, 1},
      {"cos(2^70)", ceOK, 0.5591929034707468301604281399859893L, 1},
      {"cos(45)", ceOK, 0.7071067811865475244008443621048490L, 1},
      {"sin(1)", ceOK, 0.01745240643728351281941897851631619L, 1},
      {"tg(45)", ceOK, 1},       {"tg(-45)", ceOK, -1},      {"tg(135)", ceOK, -1},
      {"tg(180)", ceOK, 0},      {"tg(90)", ceDivisionByZero, 0}, {"tg(-270)", ceDivisionByZero, 0},
      {"tg(60)", ceOK, 1.732050807568877293527446341505872L, 1},
      {"ctg(45)", ceOK, 1},      {"ctg(90)", ceOK, 0},       {"ctg(180)", ceDivisionByZero, 0},
      {"ctg(0)", ceDivisionByZero, 0}, {"ctg(-135)", ceOK, 1},
      {"sec(60)", ceOK, 2},      {"sec(90)", ceDivisionByZero, 0}, {"cosec(30)", ceOK, 2},
      {"cosec(180)", ceDivisionByZero, 0},
      {"arcsin(1)", ceOK, 90},   {"arcsin(0.5)", ceOK, 30},  {"arcsin(-1)", ceOK, -90},
      {"arccos(0)", ceOK, 90},   {"arccos(-1)", ceOK, 180},  {"arccos(0.5)", ceOK, 60},
      {"arctg(1)", ceOK, 45},    {"arcctg(1)", ceOK, 45},    {"arcctg(0)", ceOK, 90},
      {"arcctg(-1)", ceOK, 135}, {"arctg(-1e4000)", ceOK, -90}, {"arcsin(1.5)", ceMath, 0},
      {"arctg(0.1)", ceOK, 5.710593137499642512695881348234360L, 1},
      {"arcsin(sin(40))", ceOK, 40, 2},
  };
  Check(rows, std::size(rows), cdDegreees);
}

TEST_F(EngineEval, FunctionsInGradians) {
  const TRow rows[] = {
      {"sin(100)", ceOK, 1},    {"sin(200)", ceOK, 0},    {"cos(100)", ceOK, 0},
      {"cos(300)", ceOK, 0},    {"cos(400)", ceOK, 1},    {"tg(50)", ceOK, 1},
      {"tg(200)", ceOK, 0},     {"tg(100)", ceDivisionByZero, 0}, {"ctg(200)", ceDivisionByZero, 0},
      {"ctg(100)", ceOK, 0},    {"arctg(1)", ceOK, 50},   {"arcsin(1)", ceOK, 100},
      {"arccos(-1)", ceOK, 200}, {"arcctg(1)", ceOK, 50},  {"sec(400)", ceOK, 1},
      {"sin(50)", ceOK, 0.7071067811865475244008443621048490L, 1},
      {"sin(1)", ceOK, 0.01570731731182067575329535330990677L, 1},
  };
  Check(rows, std::size(rows), cdGradians);
}

TEST_F(EngineEval, AngleUnitIsReadAtEachCalc) {
  E.SetFormula("sin(90)");
  const long double rad = E.Calc(Values);
  EXPECT_EQ(rad, std::sin(90.0L));
  E.SetDegs(cdDegreees);
  EXPECT_EQ(E.Calc(Values), 1);
  E.SetDegs(cdGradians);
  EXPECT_LE(Ulps(E.Calc(Values), 0.9876883405951377261900402476934372L), 1);
}

TEST_F(EngineEval, FaultRuleAndOrder) {
  // The faulting node is worth 0 and the walk goes on; the last fault's code stays.
  const TRow rows[] = {
      {"1/0+5", ceDivisionByZero, 0},  {"sqrt(-1)+1/0", ceDivisionByZero, 0},
      {"1/0+sqrt(-1)", ceMath, 0},     {"exp(1/0)", ceDivisionByZero, 0},
      {"(1/0)&(sqrt(-1))", ceMath, 0}, {"(1/0)<<(sqrt(-1))", ceDivisionByZero, 0},
      {"(sqrt(-1))>>(1/0)", ceMath, 0}, {"(1e4000*1e4000)-ln(0)", ceDivisionByZero, 0},
      {"ln(0)-(1e4000*1e4000)", ceOverflow, 0},
  };
  for (const auto& r : rows) {
    SCOPED_TRACE(r.Formula);
    Eval(r.Formula);
    EXPECT_EQ(E.Error(), r.Error);
  }
  EXPECT_EQ(Eval("1/0+5"), 5);
  EXPECT_EQ(Eval("exp(1/0)"), 1);
  EXPECT_EQ(Eval("2*(0/0)+7"), 7);
  EXPECT_EQ(Eval("(-1)!+3!"), 6);
  EXPECT_EQ(E.Error(), ceMath);
}

TEST_F(EngineEval, IntegerRemainderByZeroIsAnException) {
  for (const char* f : {"5#0", "5#0.4", "5#(1/0)", "1+(2#0)*3"}) {
    SCOPED_TRACE(f);
    E.SetFormula(f);
    try {
      E.Calc(Values);
      ADD_FAILURE() << "no exception";
    } catch (const EDivByZero& e) {
      EXPECT_STREQ(e.what(), "Division by zero");
    }
  }
  EXPECT_EQ(E.Error(), ceOK);
  // The right operand of # comes first: its fault is set before the exception.
  E.SetFormula("(sqrt(-1))#(1/0)");
  EXPECT_THROW(E.Calc(Values), EDivByZero);
  EXPECT_EQ(E.Error(), ceMath);
  E.SetFormula("(1/0)#(sqrt(-1))");
  EXPECT_THROW(E.Calc(Values), EDivByZero);
  EXPECT_EQ(E.Error(), ceDivisionByZero);
  // A left operand outside the 64-bit range faults before the division.
  E.SetFormula("1e300#0");
  EXPECT_EQ(E.Calc(Values), 0);
  EXPECT_EQ(E.Error(), ceMath);
}

TEST_F(EngineEval, LongChains) {
  const int n = 1000000;
  auto chain = [&](const char* first, const char* link) {
    std::string f = first;
    f.reserve(std::size_t(n) * 3);
    for (int i = 1; i < n; ++i) f += link;
    return f;
  };
  EXPECT_EQ(Eval(chain("1", "+1")), n);
  EXPECT_EQ(Eval(chain("1", "-1")), 2 - n);
  EXPECT_EQ(Eval(chain("2", "*1")), 2);
  EXPECT_EQ(Eval(chain("2", "^1")), 2);
  EXPECT_EQ(Eval(chain("1", "!")), 1);
  EXPECT_EQ(Eval(chain("(1)", "+(1)")), n);
  EXPECT_EQ(Eval(chain("x", "+x")), 0);
  EXPECT_EQ(E.Error(), ceOK);
  EXPECT_EQ(Eval(chain("1", "#3")), 1);
  EXPECT_EQ(Eval(chain("1/0", "+1")), n - 1);
  EXPECT_EQ(E.Error(), ceDivisionByZero);
}

TEST_F(EngineEval, Component) {
  TCalcExpress fresh;
  EXPECT_EQ(fresh.Formula(), "0");
  EXPECT_EQ(fresh.Calc(nullptr, 0), 0);
  EXPECT_EQ(fresh.Error(), ceOK);
  EXPECT_EQ(fresh.Degs(), cdRadians);
  EXPECT_TRUE(fresh.HasTree());

  fresh.SetFormula("");
  EXPECT_EQ(fresh.Calc(nullptr, 0), 0);
  EXPECT_EQ(fresh.Error(), ceSyntax);

  fresh.Variables().push_back("Z");
  fresh.Variables().push_back("A");
  fresh.SetFormula("A+1");
  EXPECT_EQ(fresh.Calc({0, 2}), 3);
  fresh.SetVariables({"Z"});
  EXPECT_EQ(fresh.Error(), ceNoVariable);
  EXPECT_FALSE(fresh.HasTree());
  EXPECT_EQ(fresh.Calc({0, 2}), 0);
  EXPECT_EQ(fresh.Error(), ceNoVariable);
  fresh.SetVariables({"A", "Z"});
  EXPECT_EQ(fresh.Calc({2, 0}), 3);
  fresh.SetVariables(fresh.Variables());
  EXPECT_EQ(fresh.Calc({4, 0}), 5);

  E.SetFormula("X^2");
  for (int x = 1; x <= 3; ++x) {
    Values[7] = x;
    EXPECT_EQ(E.Calc(Values), x * x);
  }
  E.SetFormula("1/0");
  E.Calc(Values);
  EXPECT_EQ(E.Error(), ceDivisionByZero);
  E.SetFormula("2+2");
  EXPECT_EQ(E.Error(), ceOK);
  EXPECT_EQ(E.Calc(Values), 4);
  EXPECT_EQ(E.Error(), ceOK);
  // A position beyond the values handed in reads as 0.
  E.SetFormula("X+1");
  EXPECT_EQ(E.Calc(Values.data(), 2), 1);
}

}  // namespace
