// The evaluator: the tree flattened into a postfix program, and the loops that
// run it. Most programs can fault only where a value stops being finite, so
// Calc runs them once, watching for such values (and for operands outside the
// ranges where a node cannot fault); other programs are run once and the
// fault flags read at the end. Only when a fault or an exception happened is
// the program run again node by node, which gives every node its own guard
// (the faulting node's value is 0, the last fault's code stays).
#include "engine/CalcExpress.h"
#include "engine/ExprInternal.h"

namespace {

// Keeps the compiler from moving the computation of `v` past the next test of
// the fault flags.
inline void Materialize(long double& v) {
#if defined(__GNUC__)
  asm volatile("" : "+m"(v));
#else
  volatile long double sink = v;
  v = sink;
#endif
}

TCalcError CodeOfFlags(int flags) {
  if (flags & fkDivByZero) return ceDivisionByZero;
  if (flags & fkInvalid) return ceMath;
  return ceOverflow;
}

// #, << and >> evaluate their right operand first.
bool RightFirst(std::int32_t kind) { return kind == tkMod || kind == tkShl || kind == tkShr; }

bool IsBinaryKind(std::int32_t kind) {
  switch (kind) {
    case tkPlus: case tkMinus: case tkTimes: case tkDivide: case tkPower: case tkRoot:
    case tkAnd: case tkOr: case tkXor: case tkMod: case tkShl: case tkShr:
      return true;
    default:
      return false;
  }
}

// The opcode of a binary node; `source` is 0 (stack), 1 (constant), 2 (variable).
TOp BinaryOp(std::int32_t kind, int source) {
  static constexpr TOp kOps[3][5] = {{opAddS, opSubS, opMulS, opDivS, opBinS},
                                     {opAddC, opSubC, opMulC, opDivC, opBinC},
                                     {opAddV, opSubV, opMulV, opDivV, opBinV}};
  int column = 4;
  if (kind >= tkPlus && kind <= tkDivide) column = kind - tkPlus;
  return kOps[source][column];
}

// The value of a pair instruction (see TOp).
template <typename TVar>
long double PairValue(const TInstr& in, const long double* k, const TVar& var) {
  const int shape = (in.Op - opPairAddCV) % 3;  // CV, VC, VV
  const long double a = shape == 0 ? k[in.Arg] : var(in.Arg);
  const long double b = shape == 1 ? k[in.Arg2] : var(in.Arg2);
  switch ((in.Op - opPairAddCV) / 3) {
    case 0: return a + b;
    case 1: return a - b;
    case 2: return a * b;
    default: return a / b;
  }
}

// The pair instruction for a leaf push `leaf` followed by `next`, or opConst
// when there is none.
TOp PairOp(const TInstr& leaf, const TInstr& next) {
  int column;
  switch (next.Op) {
    case opAddC: case opSubC: case opMulC: case opDivC: column = next.Op - opAddC; break;
    case opAddV: case opSubV: case opMulV: case opDivV: column = next.Op - opAddV; break;
    default: return opConst;
  }
  const bool rightConst = next.Op <= opDivC;
  int shape;
  if (leaf.Op == opConst) {
    if (rightConst) return opConst;
    shape = 0;
  } else if (leaf.Op == opVar) {
    shape = rightConst ? 1 : 2;
  } else {
    return opConst;
  }
  return TOp(opPairAddCV + column * 3 + shape);
}

constexpr long double kMax = std::numeric_limits<long double>::max();

bool Outside(long double x, long double low, long double high) { return !(x >= low && x <= high); }

// The operands for which a function cannot fault other than by a result
// that is not finite (overflow gives an infinity, a pole or domain error an
// infinity or NaN). Functions that report a fault with the value 0 instead
// are missing, or limited to operands where they cannot fault.
bool FunctionDomain(std::int32_t kind, long double& low, long double& high) {
  switch (kind) {
    case tkCos: case tkSin: case tkSec: case tkCosec: case tkSgn: case tkHeaviside: case tkAbs:
    case tkExp: case tkSh: case tkCh: case tkTh: case tkArctg: case tkArcctg: case tkArcsinh:
      low = -kMax, high = kMax;
      return true;
    case tkSqrt: low = 0, high = kMax; return true;
    case tkLn: case tkLog: low = std::numeric_limits<long double>::min(), high = kMax; return true;
    case tkArcsin: case tkArccos: low = -1, high = 1; return true;
    case tkRound: case tkTrunc: low = -0x1p62L, high = 0x1p62L; return true;
    default: return false;
  }
}

// A binary operator other than + - * / in the watched run; `bad` is set when
// the operator might fault (the value is then meaningless).
inline long double WatchedBinary(std::int32_t kind, long double left, long double right, bool& bad) {
  std::int64_t l, r;
  switch (kind) {
    case tkAnd: case tkOr: case tkXor: case tkShl: case tkShr:
      if (!ConvertToInt64(left, l) || !ConvertToInt64(right, r)) break;
      if (kind == tkShl || kind == tkShr) return ShiftInt64(l, r, kind == tkShl);
      return static_cast<long double>(kind == tkAnd ? (l & r) : kind == tkOr ? (l | r) : (l ^ r));
    case tkMod:
      if (!ConvertToInt64(left, l) || !ConvertToInt64(right, r)) break;
      return EvalBinary(kind, left, right);  // a remainder by 0 throws: the caller reruns
    case tkPower:
      if (Outside(left, -kMax, kMax) || Outside(right, -kMax, kMax)) break;
      // Squares and cubes as EvalPower forms them (0 cubed is +0 there).
      if (right == 2) return left * left;
      if (right == 3) return left == 0 ? 0.0L : left * left * left;
      // 0 to a negative power and a negative base to a fractional power
      // fault with the value 0. Integers of 2^63 and more need no test.
      if ((left == 0 && right < 0) ||
          (left < 0 && std::fabs(right) < 0x1p63L && (!ConvertToInt64(right, r) || r != right)))
        break;
      return EvalPower(left, right);
    default: break;
  }
  bad = true;
  return 0;
}

}  // namespace

// Post-order walk with an explicit stack: chains of a million operators are
// as deep as they are long.
void TCalcExpress::CompileTree(std::uint32_t root) {
  struct TFrame {
    std::uint32_t Node;
    std::uint8_t Stage;
  };
  std::vector<TFrame> frames{{root, 0}};
  std::size_t depth = 0, maxDepth = 1;
  auto push = [&] { maxDepth = std::max(maxDepth, ++depth); };
  auto plainLeaf = [&](std::uint32_t i) {
    const TExprNode& n = FNodes[i];
    return n.Kind == tkVariable || (n.Kind == tkNumber && !(n.Payload & kBadLiteral));
  };
  FCode.clear();
  FLastVariable = 0;
  while (!frames.empty()) {
    TFrame& f = frames.back();
    const TExprNode node = FNodes[f.Node];
    if (node.Kind == tkNumber) {
      FCode.push_back(node.Payload & kBadLiteral ? TInstr{opBad, 0, node.Payload & ~kBadLiteral}
                                                  : TInstr{opConst, 0, node.Payload});
      push();
      frames.pop_back();
    } else if (node.Kind == tkVariable) {
      FLastVariable = std::max(FLastVariable, std::size_t(node.Payload));
      FCode.push_back(TInstr{opVar, 0, node.Payload});
      push();
      frames.pop_back();
    } else if (!IsBinaryKind(node.Kind)) {  // negation, function, factorial
      if (f.Stage++ == 0) {
        frames.push_back({node.Left, 0});
        continue;
      }
      const TOp op = node.Kind == tkNegate ? opNeg : node.Kind == tkFactorial ? opFact : opFunc;
      FCode.push_back(TInstr{op, std::uint8_t(node.Kind), 0});
      frames.pop_back();
    } else if (plainLeaf(node.Right)) {
      // The right operand is read straight from its leaf; a leaf has no
      // faults, so the order of #, << and >> is kept.
      if (f.Stage++ == 0) {
        frames.push_back({node.Left, 0});
        continue;
      }
      const TExprNode& leaf = FNodes[node.Right];
      if (leaf.Kind == tkVariable) FLastVariable = std::max(FLastVariable, std::size_t(leaf.Payload));
      FCode.push_back(TInstr{BinaryOp(node.Kind, leaf.Kind == tkNumber ? 1 : 2), std::uint8_t(node.Kind),
                             leaf.Payload});
      frames.pop_back();
    } else {
      const bool swap = RightFirst(node.Kind);
      if (f.Stage < 2) {
        const std::uint32_t next = (f.Stage == 0) != swap ? node.Left : node.Right;
        ++f.Stage;
        frames.push_back({next, 0});
        continue;
      }
      FCode.push_back(TInstr{swap ? opBinSwapS : BinaryOp(node.Kind, 0), std::uint8_t(node.Kind), 0});
      --depth;
      frames.pop_back();
    }
  }
  FStack.assign(maxDepth + 1, 0.0L);
  ClassifyProgram();
}

// Whether RunChecked can evaluate the program, and the domains of its
// functions (kept among the constants, at the Arg of the function's
// instruction); then the leaf pushes are fused with what follows them.
void TCalcExpress::ClassifyProgram() {
  FChecked = true;
  for (TInstr& in : FCode) {
    if (in.Op == opFunc) {
      long double low, high;
      if (FunctionDomain(in.Kind, low, high)) {
        in.Arg = std::uint32_t(FConstants.size());
        FConstants.push_back(low);
        FConstants.push_back(high);
      } else {
        FChecked = false;
      }
    }
    if ((in.Op == opBinS || in.Op == opBinC || in.Op == opBinV || in.Op == opBinSwapS) && in.Kind == tkRoot)
      FChecked = false;
  }
  // Fuse each leaf push with a + - * / of a leaf that follows it.
  std::size_t out = 0;
  for (std::size_t i = 0; i < FCode.size(); ++i) {
    const TOp pair = i + 1 < FCode.size() ? PairOp(FCode[i], FCode[i + 1]) : opConst;
    if (pair != opConst) {
      FCode[out++] = TInstr{pair, 0, FCode[i].Arg, FCode[i + 1].Arg};
      ++i;
    } else {
      FCode[out++] = FCode[i];
    }
  }
  FCode.resize(out);
}

template <bool Guarded>
#if defined(__GNUC__)
__attribute__((always_inline))
#endif
inline long double TCalcExpress::Run(const long double* values, std::size_t count) {
  long double acc = 0;
  long double* sp = FStack.data();
  const long double* k = FConstants.data();
  // Positions beyond the values handed in read as 0; the check is skipped
  // when every position the program reads is there.
  const bool allThere = count > FLastVariable;
  auto var = [&](std::uint32_t i) { return allThere || i < count ? values[i] : 0.0L; };
  for (const TInstr& in : FCode) {
    switch (in.Op) {
      case opConst: *sp++ = acc; acc = k[in.Arg]; continue;
      case opVar: *sp++ = acc; acc = var(in.Arg); continue;
      case opBad: throw EConvertError(FBadLiterals[in.Arg]);
      case opNeg: acc = -acc; continue;
      case opFunc: acc = EvalFunction(in.Kind, acc, FDegs); break;
      case opFact: acc = EvalFactorial(acc); break;
      case opAddS: acc = *--sp + acc; break;
      case opSubS: acc = *--sp - acc; break;
      case opMulS: acc = *--sp * acc; break;
      case opDivS: acc = *--sp / acc; break;
      case opBinS: acc = EvalBinary(in.Kind, *--sp, acc); break;
      case opAddC: acc = acc + k[in.Arg]; break;
      case opSubC: acc = acc - k[in.Arg]; break;
      case opMulC: acc = acc * k[in.Arg]; break;
      case opDivC: acc = acc / k[in.Arg]; break;
      case opBinC: acc = EvalBinary(in.Kind, acc, k[in.Arg]); break;
      case opAddV: acc = acc + var(in.Arg); break;
      case opSubV: acc = acc - var(in.Arg); break;
      case opMulV: acc = acc * var(in.Arg); break;
      case opDivV: acc = acc / var(in.Arg); break;
      case opBinV: acc = EvalBinary(in.Kind, acc, var(in.Arg)); break;
      case opBinSwapS: acc = EvalBinary(in.Kind, acc, *--sp); break;
      default: *sp++ = acc; acc = PairValue(in, k, var); break;
    }
    if constexpr (Guarded) {
      Materialize(acc);
      if (const int flags = FaultFlags()) {
        FError = CodeOfFlags(flags);
        ClearFaultFlags();
        acc = 0;
      }
    }
  }
  return acc;
}

// The program run once with no look at the fault flags. A node faults
// exactly when its value is not finite although its operands are, or when an
// operand lies outside the node's domain. + - * and negation give a value
// that is not finite whenever an operand is not, so such values reach the
// result; every other node checks its operands (a divisor, as x / inf is 0).
// False when a fault may have happened (or a variable is not finite: the
// walk then tells).
#if defined(__GNUC__)
__attribute__((always_inline))
#endif
inline bool TCalcExpress::RunChecked(const long double* values, long double& result) {
  long double acc = 0;
  long double* sp = FStack.data();
  const long double* k = FConstants.data();
  auto var = [&](std::uint32_t i) { return values[i]; };  // Calc checks that all are there
  bool bad = false;
  for (const TInstr& in : FCode) {
    switch (in.Op) {
      case opConst: *sp++ = acc; acc = k[in.Arg]; break;
      case opVar: *sp++ = acc; acc = var(in.Arg); break;
      case opBad: throw EConvertError(FBadLiterals[in.Arg]);
      case opNeg: acc = -acc; break;
      case opFunc:
        bad |= Outside(acc, k[in.Arg], k[in.Arg + 1]);
        acc = EvalFunction(in.Kind, acc, FDegs);
        break;
      case opFact:
        bad |= Outside(acc, 0, 1754);
        acc = EvalFactorial(acc);
        break;
      case opAddS: acc = *--sp + acc; break;
      case opSubS: acc = *--sp - acc; break;
      case opMulS: acc = *--sp * acc; break;
      case opDivS: bad |= Outside(acc, -kMax, kMax); acc = *--sp / acc; break;
      case opBinS: { const long double left = *--sp; acc = WatchedBinary(in.Kind, left, acc, bad); break; }
      case opAddC: acc = acc + k[in.Arg]; break;
      case opSubC: acc = acc - k[in.Arg]; break;
      case opMulC: acc = acc * k[in.Arg]; break;
      case opDivC: acc = acc / k[in.Arg]; break;
      case opBinC: acc = WatchedBinary(in.Kind, acc, k[in.Arg], bad); break;
      case opAddV: acc = acc + var(in.Arg); break;
      case opSubV: acc = acc - var(in.Arg); break;
      case opMulV: acc = acc * var(in.Arg); break;
      case opDivV: bad |= Outside(var(in.Arg), -kMax, kMax); acc = acc / var(in.Arg); break;
      case opBinV: acc = WatchedBinary(in.Kind, acc, var(in.Arg), bad); break;
      case opBinSwapS: acc = WatchedBinary(in.Kind, acc, *--sp, bad); break;
      // Constants are finite: only a variable divisor needs a check.
      case opPairAddCV: *sp++ = acc; acc = k[in.Arg] + var(in.Arg2); break;
      case opPairAddVC: *sp++ = acc; acc = var(in.Arg) + k[in.Arg2]; break;
      case opPairAddVV: *sp++ = acc; acc = var(in.Arg) + var(in.Arg2); break;
      case opPairSubCV: *sp++ = acc; acc = k[in.Arg] - var(in.Arg2); break;
      case opPairSubVC: *sp++ = acc; acc = var(in.Arg) - k[in.Arg2]; break;
      case opPairSubVV: *sp++ = acc; acc = var(in.Arg) - var(in.Arg2); break;
      case opPairMulCV: *sp++ = acc; acc = k[in.Arg] * var(in.Arg2); break;
      case opPairMulVC: *sp++ = acc; acc = var(in.Arg) * k[in.Arg2]; break;
      case opPairMulVV: *sp++ = acc; acc = var(in.Arg) * var(in.Arg2); break;
      case opPairDivCV:
        *sp++ = acc;
        bad |= Outside(var(in.Arg2), -kMax, kMax);
        acc = k[in.Arg] / var(in.Arg2);
        break;
      case opPairDivVC: *sp++ = acc; acc = var(in.Arg) / k[in.Arg2]; break;
      case opPairDivVV:
        *sp++ = acc;
        bad |= Outside(var(in.Arg2), -kMax, kMax);
        acc = var(in.Arg) / var(in.Arg2);
        break;
    }
  }
  result = acc;
  return !bad && !Outside(acc, -kMax, kMax);
}

long double TCalcExpress::CalcNodeByNode(const long double* values, std::size_t count) {
  if (!FTree) return 0;
  FError = ceOK;
  ClearFaultFlags();
  const long double result = Run<true>(values, count);
  ClearFaultFlags();
  return result;
}

long double TCalcExpress::Calc(const long double* values, std::size_t count) {
  if (!FTree) return 0;
  FError = ceOK;
  // Calc leaves the fault flags clear, so they are normally clear here too;
  // flags raised by other code in between only cost a guarded rerun.
  try {
    long double result;
    if (FChecked && count > FLastVariable) {
      if (RunChecked(values, result)) return result;
    } else {
      result = Run<false>(values, count);
      Materialize(result);
      if (!FaultFlags()) return result;
    }
  } catch (const EZumbrelError&) {
    // rerun below: the exception must leave with the codes set before it
  }
  ClearFaultFlags();
  const long double result = Run<true>(values, count);
  ClearFaultFlags();
  return result;
}
