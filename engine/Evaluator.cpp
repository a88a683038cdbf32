// The evaluator: the tree flattened into a postfix program, and the loop that
// runs it. Calc runs the program once without looking at the fault flags
// after every node; only when a fault or an exception happened does it run
// the program again node by node, which gives every node its own guard (the
// faulting node's value is 0, the last fault's code stays).
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

long double TCalcExpress::Calc(const long double* values, std::size_t count) {
  if (!FTree) return 0;
  FError = ceOK;
  // Calc leaves the fault flags clear, so they are normally clear here too;
  // flags raised by other code in between only cost a guarded rerun.
  try {
    long double result = Run<false>(values, count);
    Materialize(result);
    if (!FaultFlags()) return result;
  } catch (const EZumbrelError&) {
    // rerun below: the exception must leave with the codes set before it
  }
  ClearFaultFlags();
  const long double result = Run<true>(values, count);
  ClearFaultFlags();
  return result;
}
