// Internals of the expression engine shared by its source files: token and
// node kinds, the tree node, the evaluator's instructions and the arithmetic
// of every operator and function. Only engine/*.cpp (and the engine's own
// tests) include this.
#pragma once

#include <cmath>
#include <cstdint>
#include <limits>
#include <span>
#include <string_view>

#include "engine/CalcExpress.h"

static_assert(std::numeric_limits<long double>::digits == 64, "the engine needs x87 extended");

// Token and node kinds.
enum TKind : std::int32_t {
  tkEnd = 0,
  tkOpen = 1,
  tkClose = 2,
  tkPlus = 3,
  tkMinus = 4,
  tkTimes = 5,
  tkDivide = 6,
  tkNumber = 7,
  tkVariable = 8,
  tkNegate = 9,
  // 10..50: the functions; each row of the function table names its kind.
  tkFirstFunction = 10,
  tkLastFunction = 50,
  tkPower = 51,
  tkFactorial = 52,
  tkRoot = 53,
  tkAnd = 54,
  tkOr = 55,
  tkXor = 56,
  tkMod = 57,
  tkShl = 58,
  tkShr = 59,
  tkUnknown = -1,  // an unrecognised character: no grammar rule accepts it
};

constexpr bool IsFunctionKind(std::int32_t kind) {
  return kind >= tkFirstFunction && kind <= tkLastFunction;
}

// ---- the function table (Functions.cpp) ----
//
// A function's fault at an argument, decided before anything is computed:
// ceMath where it has no real value, ceDivisionByZero at a pole, else ceOK.
using TDomain = TCalcError (*)(long double x);
// A function's value at x in the angle unit `degs`. A fault that only the
// computation finds (a denominator that is exactly zero) goes to `fault`.
using TValue = long double (*)(long double x, TCalcDeg degs, TCalcError& fault);

// One function: everything the parser, both evaluation walks, the command
// line's completion and the tests know of it. Eval is its value with its
// domain (see EvalFunction).
struct TFunction {
  std::int32_t Kind;          // its node kind, tkFirstFunction..tkLastFunction
  std::string_view Names[2];  // lower case; the second is an alias, or empty
  TValue Eval;
};

std::span<const TFunction> FunctionTable();

// The row of a function name given in lower case, or -1.
int FindFunction(std::string_view lowerName);

// The value of row `row` at x, with its fault (ceOK when none) decided from
// the argument and the value: the domain first; then a NaN is ceMath (no
// real value) and an infinity from a finite argument ceOverflow (beyond the
// extended range). A NaN argument passes through with no fault of its own.
long double EvalFunction(std::uint32_t row, long double x, TCalcDeg degs, TCalcError& fault);

constexpr std::uint32_t kNoNode = 0xFFFFFFFFu;

// A node of the parsed tree. The tree lives in one array, so freeing it and
// walking it never recurse, however deep a chain of operators grows.
// Payload: number leaf, index into the converted constants (or, with the top
// bit set, into the messages of literals that fail to convert); variable
// leaf, the position in Variables; function, its row in the function table.
struct TExprNode {
  std::int32_t Kind = 0;
  std::uint32_t Left = kNoNode;
  std::uint32_t Right = kNoNode;
  std::uint32_t Payload = 0;
};

constexpr std::uint32_t kBadLiteral = 0x80000000u;

// Instructions of the postfix program. The top of the evaluation stack is
// kept in a register; S/C/V name where the right operand comes from: the
// stack, a constant, or a variable.
enum TOp : std::uint8_t {
  opConst,     // push constant Arg
  opVar,       // push variable Arg
  opBad,       // a literal that fails to convert: raise its message
  opNeg,
  opFunc,      // the function of row Arg of the function table, of the top
  opFact,
  opAddS, opSubS, opMulS, opDivS, opBinS,
  opAddC, opSubC, opMulC, opDivC, opBinC,
  opAddV, opSubV, opMulV, opDivV, opBinV,
  opBinSwapS,  // #, << and >>: the right operand lies below, the left on top
  // A push of a leaf followed by + - * or / with a leaf (Arg, then Arg2), the
  // commonest shape of a formula (X*X, 3*X, X+1); the last two letters say
  // where the operands come from.
  opPairAddCV, opPairAddVC, opPairAddVV,
  opPairSubCV, opPairSubVC, opPairSubVV,
  opPairMulCV, opPairMulVC, opPairMulVV,
  opPairDivCV, opPairDivVC, opPairDivVV,
};

struct TInstr {
  TOp Op;
  std::uint8_t Kind;  // the node kind for opBin*
  std::uint32_t Arg;  // constant or variable index, or function table row
  std::uint32_t Arg2 = 0;  // the right leaf of a pair
};

// ---- faults ----
//
// Every operator and function decides its own fault from its operands and
// its result, and both evaluation walks take that decision: ceOverflow when
// the rounded result lies beyond the extended range, ceDivisionByZero at a
// pole, ceMath where there is no real result. The flags the maths library
// leaves behind decide nothing; it raises some that its results contradict
// (powl(1e1736, 2) is 1e3472 with the overflow flag up).

// The fault of a result computed from operands none of which is NaN, when
// no rule of the operation decided one before: a NaN has no real value, an
// infinity from finite operands lies beyond the range.
inline TCalcError ResultFault(long double result, bool finiteOperands) {
  if (std::isfinite(result)) return ceOK;
  if (std::isnan(result)) return ceMath;
  return finiteOperands ? ceOverflow : ceOK;
}

// The fault of a + b, a - b, a * b or a / b (`division`) that gave r; the
// same faults as the IEEE flags of those exact operations raise.
inline TCalcError ArithmeticFault(long double a, long double b, long double r, bool division) {
  if (std::isfinite(r) || std::isnan(a) || std::isnan(b)) return ceOK;
  const bool finite = std::isfinite(a) && std::isfinite(b);
  if (division && b == 0 && finite && !std::isnan(r)) return ceDivisionByZero;
  return ResultFault(r, finite);
}

// The other operators, each with its own fault (ceOK when none); a faulting
// operator's value is of no use.
long double EvalPower(long double base, long double exponent, TCalcError& fault);
long double EvalRoot(long double radicand, long double degree, TCalcError& fault);
long double EvalFactorial(long double x, TCalcError& fault);

// x rounded (ties to even) to a signed 64-bit integer; false outside the
// range. 2^63 - 0.5 rounds up to 2^63; -2^63 - 0.5 is not representable.
inline bool ConvertToInt64(long double x, std::int64_t& out) {
  if (!(x >= -0x1p63L && x < 0x1p63L - 0.5L)) return false;
#if defined(__GNUC__) && (defined(__x86_64__) || defined(__i386__))
  asm("fistpll %0" : "=m"(out) : "t"(x) : "st");  // rounds by the control word: to nearest
#else
  out = static_cast<std::int64_t>(std::llrint(x));
#endif
  return true;
}

// The shift operators on converted operands: a count of 0..63 shifts,
// 64..127 gives 0, 128 and more (of its low 8 bits) shift by the count mod 32.
inline long double ShiftInt64(std::int64_t value, std::int64_t count, bool left) {
  unsigned s = static_cast<std::uint64_t>(count) & 0xFFu;
  if (s >= 64 && s <= 127) return 0;
  if (s >= 128) s %= 32;
  const auto u = static_cast<std::uint64_t>(value);
  return static_cast<long double>(static_cast<std::int64_t>(left ? u << s : u >> s));
}

// The binary operators other than + - * /. Squares and cubes, common in
// formulas, are multiplied out here: as accurate as powl (a square is even
// correctly rounded) and much cheaper. Raises EDivByZero for an integer
// remainder by zero.
inline long double EvalBinary(std::int32_t kind, long double left, long double right,
                              TCalcError& fault) {
  std::int64_t l, r;
  switch (kind) {
    case tkPower:
      if ((right == 2 || right == 3) && left != 0) {  // 0 to a power is +0 (EvalPower)
        const long double v = right == 2 ? left * left : left * left * left;
        if (!std::isnan(left)) fault = ResultFault(v, std::isfinite(left));
        return v;
      }
      return EvalPower(left, right, fault);
    case tkRoot: return EvalRoot(left, right, fault);
    case tkAnd:
    case tkOr:
    case tkXor:
      if (!ConvertToInt64(left, l) || !ConvertToInt64(right, r)) break;
      return static_cast<long double>(kind == tkAnd ? (l & r) : kind == tkOr ? (l | r) : (l ^ r));
    case tkMod:
      // The right operand is converted first, as it is evaluated first.
      if (!ConvertToInt64(right, r) || !ConvertToInt64(left, l)) break;
      if (r == 0) throw EDivByZero();
      if (r == -1) return 0;  // the remainder is 0; the quotient may not fit
      return static_cast<long double>(l % r);
    case tkShl:
    case tkShr:
      if (!ConvertToInt64(right, r) || !ConvertToInt64(left, l)) break;
      return ShiftInt64(l, r, kind == tkShl);
    default: break;
  }
  fault = ceMath;  // an operand outside the 64-bit range
  return 0;
}

// The x87 flags of the exact basic operations. They are sticky and the
// library keeps the caller's flags, so one look after a run of the program
// tells whether any + - * / faulted; a flag the library raised for nothing
// only costs a second, node-by-node walk, which decides the codes.
enum TFault : int { fkInvalid = 0x01, fkDivByZero = 0x04, fkOverflow = 0x08 };

#if defined(__x86_64__) || defined(__i386__)
inline int FaultFlags() {
  unsigned short status;
  asm volatile("fnstsw %0" : "=am"(status));
  return status & (fkInvalid | fkDivByZero | fkOverflow);
}
inline void ClearFaultFlags() { asm volatile("fnclex"); }
#else
#error "the engine needs the x87 unit for its extended arithmetic"
#endif
