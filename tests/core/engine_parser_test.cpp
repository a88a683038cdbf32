// The grammar: precedence, signs, brackets, names, and which error code a
// faulty formula leaves.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "engine/CalcExpress.h"

void PrintTo(TCalcError e, std::ostream* os) { *os << "code " << int(e); }

namespace {

struct TRow {
  const char* Formula;
  TCalcError Error;
  long double Value;  // with X = 2, A = 5
};

class EngineParser : public ::testing::Test {
 protected:
  EngineParser() {
    E.Variables() = {"Pi", "A", "B", "C", "D", "E", "F", "X"};
    Values[0] = 3.141592653589793238512808959406186204433L;
    Values[1] = 5;
    Values[7] = 2;
  }
  long double Eval(const std::string& f) {
    E.SetFormula(f);
    return E.Calc(Values.data(), Values.size());
  }
  void Check(const TRow* rows, std::size_t n) {
    for (std::size_t i = 0; i < n; ++i) {
      SCOPED_TRACE(rows[i].Formula);
      const long double v = Eval(rows[i].Formula);
      EXPECT_EQ(E.Error(), rows[i].Error);
      EXPECT_EQ(v, rows[i].Value);
      EXPECT_EQ(E.HasTree(), rows[i].Error == ceOK);
    }
  }
  TCalcExpress E;
  std::vector<long double> Values = std::vector<long double>(256);
};

TEST_F(EngineParser, PrecedenceAndSigns) {
  const TRow rows[] = {
      {"1+2*3", ceOK, 7},       {"(1+2)*3", ceOK, 9},      {"10-4-3", ceOK, 3},
      {"64/4/2", ceOK, 8},      {"-2^2", ceOK, 4},         {"-x^2", ceOK, -4},
      {"0-2^2", ceOK, -4},      {"-A&3", ceOK, -1},        {"2*-3", ceSyntax, 0},
      {"2+-3", ceSyntax, 0},    {"2*(-3)", ceOK, -6},      {"2^-1", ceBadExponent, 0},
      {"2^sin(1)", ceBadExponent, 0}, {"2^(-1)", ceOK, 0.5L}, {"2^(sin(0))", ceOK, 1},
      {"2^3^2", ceOK, 64},      {"3!^2", ceOK, 36},        {"2^3!", ceSyntax, 0},
      {"3!!", ceOK, 720},       {"--2", ceSyntax, 0},      {"-+2", ceOK, -2},
      {"+2", ceOK, 2},          {"+-2", ceSyntax, 0},      {"-(2)", ceOK, -2},
      {"(-x)", ceOK, -2},       {"-2*3+1", ceOK, -5},      {"-x*3+1", ceOK, -5},
      {"2^x", ceOK, 4},         {"x^x^x", ceOK, 16},       {"1|2~3", ceOK, 0},
      {"6&3*1", ceOK, 2},       {"1+6&3", ceOK, 3},        {"2 + 3 * 4", ceOK, 14},
      {"2<<3+1", ceOK, 17},     {"1+2 < < 3", ceSyntax, 0}, {"7#4*2", ceOK, 6},
      {"((((2))))", ceOK, 2},   {"-(-(-2))", ceOK, -2},    {"2^(3)^2", ceOK, 64},
  };
  Check(rows, std::size(rows));
}

TEST_F(EngineParser, NamesAndCalls) {
  const TRow rows[] = {
      {"sin (1)-sin(1)", ceOK, 0}, {"sin 1", ceMissingBracket, 0}, {"sin", ceMissingBracket, 0},
      {"sin()", ceSyntax, 0},      {"()", ceSyntax, 0},            {"SIN(0)", ceOK, 0},
      {"Sqrt(4)", ceOK, 2},        {"pi-Pi", ceOK, 0},             {"PI-pI", ceOK, 0},
      {"pi2", ceNoVariable, 0},    {"Q+1", ceNoVariable, 0},       {"2Q", ceSyntax, 0},
      {"2A", ceSyntax, 0},         {"2 3", ceSyntax, 0},           {"2(3)", ceSyntax, 0},
      {"(2)(3)", ceSyntax, 0},     {"2 pi", ceSyntax, 0},          {"2pi", ceSyntax, 0},
      {"a+A", ceOK, 10},           {"x_1", ceNoVariable, 0},       {"h(0)+H(-1)", ceOK, 1},
      {"sqrt(sqrt(16))", ceOK, 2}, {"abs(-x)*sgn(-1)", ceOK, -2},  {"tan(0)+tg(0)", ceOK, 0},
  };
  Check(rows, std::size(rows));
}

TEST_F(EngineParser, ErrorCodes) {
  const TRow rows[] = {
      {"", ceSyntax, 0},             {"   ", ceSyntax, 0},          {"2+", ceSyntax, 0},
      {"*2", ceSyntax, 0},           {"2\t", ceSyntax, 0},          {"\t2", ceSyntax, 0},
      {"2 $", ceSyntax, 0},          {"1<2", ceSyntax, 0},          {"1<>2", ceSyntax, 0},
      {"1><2", ceSyntax, 0},         {"2!3", ceSyntax, 0},          {"2^", ceBadExponent, 0},
      {"2^+1", ceBadExponent, 0},    {"2@*", ceSyntax, 0},     {"2^(", ceSyntax, 0},
      {"\xc3\xa9", ceSyntax, 0},     {"1+2)", ceMissingBracket, 0}, {"(2", ceMissingBracket, 0},
      {"2)", ceMissingBracket, 0},   {"sin(1", ceMissingBracket, 0}, {"2^(3", ceMissingBracket, 0},
      {"(1))+((2)", ceMissingBracket, 0}, {"Q)", ceNoVariable, 0}, {"(Q", ceNoVariable, 0},
      // The last error set before the parse stops is the one reported.
      {"Q*sin", ceMissingBracket, 0}, {"sin*2", ceMissingBracket, 0}, {"sin*+", ceSyntax, 0},
      {"1.*Q", ceNoVariable, 0},     {"Q^-1", ceBadExponent, 0},    {"Q 1", ceNoVariable, 0},
      {"Q+2*(3", ceNoVariable, 0},   {"1.+Q", ceWrongNumber, 0},    {"1+Q*1.", ceWrongNumber, 0},
      {"(1.e5)", ceSyntax, 0},       {"2^Q", ceNoVariable, 0},      {"h", ceMissingBracket, 0},
  };
  Check(rows, std::size(rows));
}

TEST_F(EngineParser, FunctionNamesWinOverVariables) {
  E.Variables().push_back("h");
  E.Variables().push_back("th2");
  EXPECT_EQ(Eval("h"), 0);
  EXPECT_EQ(E.Error(), ceMissingBracket);
  EXPECT_EQ(Eval("Th2+1"), 1);  // values[9] is 0
  EXPECT_EQ(E.Error(), ceOK);
}

TEST_F(EngineParser, FirstOfDuplicateNamesIsUsed) {
  E.Variables().push_back("q");
  E.Variables().push_back("Q");
  Values[8] = 11;
  Values[9] = 22;
  EXPECT_EQ(Eval("Q"), 11);
}

TEST_F(EngineParser, AllFortyThreeFunctionNames) {
  const char* names[] = {"cos", "sin", "tg", "tan", "ctg", "sgn", "sign", "sqrt", "ln", "exp", "arcsin",
                         "arccos", "arctg", "arctan", "arcctg", "sh", "sinh", "ch", "cosh", "th", "tanh",
                         "cth", "coth", "heaviside", "h", "log", "sec", "cosec", "abs", "arcsinh",
                         "arcsh", "arccosh", "arcch", "arcth", "arctanh", "arccth", "arccoth", "sech",
                         "cosech", "arcsech", "arccosech", "round", "trunc"};
  ASSERT_EQ(std::size(names), 43u);
  for (const char* n : names) {
    SCOPED_TRACE(n);
    Eval(std::string(n) + "(0.5)");
    EXPECT_TRUE(E.HasTree());
    Eval(std::string(n) + "+1");
    EXPECT_EQ(E.Error(), ceMissingBracket);
  }
  // Every name of the engine's function table (these among them) is there
  // once, and in any letter case it is a function, never a variable.
  const std::vector<std::string_view> table = FunctionNames();
  for (const char* n : names) EXPECT_NE(std::find(table.begin(), table.end(), n), table.end()) << n;
  for (std::string_view n : table) {
    SCOPED_TRACE(n);
    EXPECT_EQ(std::count(table.begin(), table.end(), n), 1);
    std::string upper(n);
    for (char& c : upper) c = char(std::toupper(static_cast<unsigned char>(c)));
    E.Variables().push_back(upper);
    Eval(upper + "(0.5)");
    EXPECT_TRUE(E.HasTree());
    Eval(std::string(n));
    EXPECT_EQ(E.Error(), ceMissingBracket);
    E.Variables().pop_back();
  }
}

TEST_F(EngineParser, NestingDepth) {
  auto nested = [](int depth) {
    return std::string(std::size_t(depth), '(') + "1" + std::string(std::size_t(depth), ')');
  };
  EXPECT_EQ(Eval(nested(1000)), 1);
  EXPECT_EQ(E.Error(), ceOK);
  EXPECT_EQ(Eval(nested(1500)), 1);
  EXPECT_EQ(E.Error(), ceOK);
  std::string calls;
  for (int i = 0; i < 1000; ++i) calls += "abs(";
  calls += "-1" + std::string(1000, ')');
  EXPECT_EQ(Eval(calls), 1);
  EXPECT_EQ(E.Error(), ceOK);
  std::string powers = "1";
  for (int i = 0; i < 1000; ++i) powers += "^(1";
  powers += std::string(1000, ')');
  EXPECT_EQ(Eval(powers), 1);
  EXPECT_EQ(E.Error(), ceOK);
  // Too deep for the parser: a syntax error, not a crashed stack.
  EXPECT_EQ(Eval(nested(100000)), 0);
  EXPECT_EQ(E.Error(), ceSyntax);
  EXPECT_EQ(Eval(std::string(1000000, '(')), 0);
  EXPECT_EQ(E.Error(), ceSyntax);
}

TEST_F(EngineParser, RightNestedChainsEvaluate) {
  // 1-(1-(1-...)) alternates between 0 and 1; 1000 levels give 1.
  std::string f;
  for (int i = 0; i < 1000; ++i) f += "1-(";
  f += "1" + std::string(1000, ')');
  EXPECT_EQ(Eval(f), 1);
  EXPECT_EQ(E.Error(), ceOK);
}

TEST_F(EngineParser, GarbageGivesCodeOrTreeAndRepeatableResults) {
  std::mt19937 rng(12345);
  const std::string alphabet = "0123456789+-*/^!@&|~#<>()., eExXbBoOsinqQ\t\xff";
  int trees = 0;
  for (int round = 0; round < 20000; ++round) {
    std::string f(rng() % 24, ' ');
    for (char& c : f) c = alphabet[rng() % alphabet.size()];
    SCOPED_TRACE(f);
    E.SetFormula(f);
    ASSERT_EQ(E.HasTree(), E.Error() == ceOK);
    if (!E.HasTree()) continue;
    ++trees;
    // Two evaluations of one tree agree in value and code.
    long double first = 0, second = 0;
    TCalcError firstError = ceOK;
    bool threw = false;
    try {
      first = E.Calc(Values.data(), Values.size());
      firstError = E.Error();
    } catch (const EZumbrelError&) {
      threw = true;
    }
    try {
      second = E.Calc(Values.data(), Values.size());
      ASSERT_FALSE(threw);
      EXPECT_EQ(E.Error(), firstError);
      if (first == first) {
        EXPECT_EQ(first, second);
      }
    } catch (const EZumbrelError&) {
      ASSERT_TRUE(threw);
    }
  }
  EXPECT_GT(trees, 100);
}

}  // namespace
