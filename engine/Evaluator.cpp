// The evaluator: the tree flattened into a postfix program, and the loop that
// runs it. Every node decides its own fault from its operands and its result
// (ExprInternal.h). Calc runs the program once, gathering the faults of the
// functions and operators and reading the flags of + - * / once at the end;
// only when a fault or an exception happened is the program run again node by
// node, which gives every node its own guard (the faulting node's value is 0,
// the last fault's code stays). Both runs take the same decisions, so they
// cannot disagree.
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

// a + b, a - b, a * b or a / b (op 0..3), with its fault in the guarded walk.
template <bool Guarded>
inline long double Arithmetic(int op, long double a, long double b, TCalcError& fault) {
  long double r;
  switch (op) {
    case 0: r = a + b; break;
    case 1: r = a - b; break;
    case 2: r = a * b; break;
    default: r = a / b; break;
  }
  if constexpr (Guarded) fault = ArithmeticFault(a, b, r, op == 3);
  return r;
}

// The value of a pair instruction (see TOp).
template <bool Guarded, typename TVar>
long double PairValue(const TInstr& in, const long double* k, const TVar& var, TCalcError& fault) {
  const int shape = (in.Op - opPairAddCV) % 3;  // CV, VC, VV
  const long double a = shape == 0 ? k[in.Arg] : var(in.Arg);
  const long double b = shape == 1 ? k[in.Arg2] : var(in.Arg2);
  return Arithmetic<Guarded>((in.Op - opPairAddCV) / 3, a, b, fault);
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
      FCode.push_back(TInstr{op, 0, op == opFunc ? node.Payload : 0});
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
  FusePairs();
}

// Fuses each leaf push with a + - * / of a leaf that follows it.
void TCalcExpress::FusePairs() {
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

// Runs the program. The guarded run gives each node its own guard; the
// other gathers the faults of all nodes in `faults` (those of + - * / are
// left in the fault flags instead).
template <bool Guarded>
#if defined(__GNUC__)
__attribute__((always_inline))
#endif
inline long double TCalcExpress::Run(const long double* values, std::size_t count,
                                     TCalcError& faults) {
  long double acc = 0;
  long double* sp = FStack.data();
  const long double* k = FConstants.data();
  // Positions beyond the values handed in read as 0; the check is skipped
  // when every position the program reads is there.
  const bool allThere = count > FLastVariable;
  auto var = [&](std::uint32_t i) { return allThere || i < count ? values[i] : 0.0L; };
  for (const TInstr& in : FCode) {
    TCalcError fault = ceOK;
    switch (in.Op) {
      case opConst: *sp++ = acc; acc = k[in.Arg]; continue;
      case opVar: *sp++ = acc; acc = var(in.Arg); continue;
      case opBad: throw EConvertError(FBadLiterals[in.Arg]);
      case opNeg: acc = -acc; continue;
      case opFunc: acc = EvalFunction(in.Arg, acc, FDegs, fault); break;
      case opFact: acc = EvalFactorial(acc, fault); break;
      case opAddS: acc = Arithmetic<Guarded>(0, *--sp, acc, fault); break;
      case opSubS: acc = Arithmetic<Guarded>(1, *--sp, acc, fault); break;
      case opMulS: acc = Arithmetic<Guarded>(2, *--sp, acc, fault); break;
      case opDivS: acc = Arithmetic<Guarded>(3, *--sp, acc, fault); break;
      case opBinS: acc = EvalBinary(in.Kind, *--sp, acc, fault); break;
      case opAddC: acc = Arithmetic<Guarded>(0, acc, k[in.Arg], fault); break;
      case opSubC: acc = Arithmetic<Guarded>(1, acc, k[in.Arg], fault); break;
      case opMulC: acc = Arithmetic<Guarded>(2, acc, k[in.Arg], fault); break;
      case opDivC: acc = Arithmetic<Guarded>(3, acc, k[in.Arg], fault); break;
      case opBinC: acc = EvalBinary(in.Kind, acc, k[in.Arg], fault); break;
      case opAddV: acc = Arithmetic<Guarded>(0, acc, var(in.Arg), fault); break;
      case opSubV: acc = Arithmetic<Guarded>(1, acc, var(in.Arg), fault); break;
      case opMulV: acc = Arithmetic<Guarded>(2, acc, var(in.Arg), fault); break;
      case opDivV: acc = Arithmetic<Guarded>(3, acc, var(in.Arg), fault); break;
      case opBinV: acc = EvalBinary(in.Kind, acc, var(in.Arg), fault); break;
      case opBinSwapS: acc = EvalBinary(in.Kind, acc, *--sp, fault); break;
      default: *sp++ = acc; acc = PairValue<Guarded>(in, k, var, fault); break;
    }
    if constexpr (Guarded) {
      if (fault != ceOK) {
        FError = fault;
        acc = 0;
      }
    } else {
      faults = TCalcError(faults | fault);
    }
  }
  return acc;
}

long double TCalcExpress::CalcNodeByNode(const long double* values, std::size_t count) {
  if (!FTree) return 0;
  FError = ceOK;
  // The next Calc looks at the fault flags: they are left clear, also when an
  // exception leaves the walk.
  struct TClearFlags {
    ~TClearFlags() { ClearFaultFlags(); }
  } clearFlags;
  TCalcError unused = ceOK;
  return Run<true>(values, count, unused);
}

long double TCalcExpress::Calc(const long double* values, std::size_t count) {
  if (!FTree) return 0;
  FError = ceOK;
  // Calc leaves the fault flags clear, so they are normally clear here too;
  // flags raised by other code in between only cost a guarded rerun.
  try {
    TCalcError faults = ceOK;
    long double result = Run<false>(values, count, faults);
    Materialize(result);
    if (faults == ceOK && !FaultFlags()) return result;
  } catch (const EZumbrelError&) {
    // rerun below: the exception must leave with the codes set before it
  }
  return CalcNodeByNode(values, count);
}
