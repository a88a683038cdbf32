// Internals of the expression engine shared by its source files: token and
// node kinds, the tree node, the evaluator's instructions and the arithmetic
// of every operator and function. Only engine/*.cpp (and the engine's own
// tests) include this.
#pragma once

#include <cmath>
#include <cstdint>
#include <limits>

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
  tkCos = 10,
  tkSin = 11,
  tkTg = 12,
  tkCtg = 13,
  tkSgn = 15,
  tkSqrt = 16,
  tkLn = 17,
  tkExp = 18,
  tkArcsin = 19,
  tkArccos = 20,
  tkArctg = 21,
  tkArcctg = 22,
  tkSh = 23,
  tkCh = 24,
  tkTh = 25,
  tkCth = 26,
  tkHeaviside = 27,
  tkLog = 28,
  tkSec = 29,
  tkCosec = 30,
  tkAbs = 31,
  tkArcsinh = 32,
  tkArccosh = 33,
  tkArctanh = 34,
  tkArccoth = 35,
  tkSech = 36,
  tkCosech = 37,
  tkArcsech = 38,
  tkArccosech = 39,
  tkRound = 40,
  tkTrunc = 41,
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

inline bool IsFunctionKind(std::int32_t kind) { return kind >= tkCos && kind <= tkTrunc; }

// The kind of a function name (already in lower case), or tkUnknown.
std::int32_t FunctionKind(std::string_view lowerName);

constexpr std::uint32_t kNoNode = 0xFFFFFFFFu;

// A node of the parsed tree. The tree lives in one array, so freeing it and
// walking it never recurse, however deep a chain of operators grows.
// Payload: number leaf, index into the converted constants (or, with the top
// bit set, into the messages of literals that fail to convert); variable
// leaf, the position in Variables.
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
  opFunc,      // function Kind of the top
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
  std::uint8_t Kind;  // the node kind for opFunc and opBin*
  std::uint32_t Arg;  // constant or variable index
  std::uint32_t Arg2 = 0;  // the right leaf of a pair
};

// Arithmetic with the engine's fault rules. A fault is reported only through
// the x87 exception flags: invalid operation (ceMath), division by zero
// (ceDivisionByZero) and overflow (ceOverflow); underflow passes silently.
// Every value of the engine is computed on the x87 unit, so its status word
// is the one place to look, and reading it costs next to nothing.
// EvalBinary raises EDivByZero for an integer remainder by zero.
long double EvalFunction(std::int32_t kind, long double x, TCalcDeg degs);
long double EvalBinary(std::int32_t kind, long double left, long double right);
long double EvalPower(long double base, long double exponent);
long double EvalRoot(long double radicand, long double degree);
long double EvalFactorial(long double x);

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

enum TFault : int { fkInvalid = 0x01, fkDivByZero = 0x04, fkOverflow = 0x08 };

// Raises the given fault flag with an x87 operation and yields 0, the value of
// a faulting node.
long double Fault(TFault fault);

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
