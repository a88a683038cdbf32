// The formula parser: tokenizer and the recursive-descent grammar steps.
// Nodes are appended to FNodes as they are made; operands always come before
// the node that uses them.
#include <string>

#include "engine/CalcExpress.h"
#include "engine/ExprInternal.h"

namespace {

// Bracket levels the parser follows before it gives up with ceSyntax: each
// level costs three stack frames, and a formula comes from the outside.
constexpr std::int32_t kMaxNesting = 2000;

bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_'; }
char Lower(char c) { return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c; }

bool IsTermOperator(std::int32_t k) {
  return k == tkTimes || k == tkDivide || k == tkAnd || k == tkMod || k == tkShl || k == tkShr;
}

}  // namespace

int IndexOfName(const std::vector<std::string>& names, std::string_view name) {
  for (std::size_t i = 0; i < names.size(); ++i) {
    const std::string& n = names[i];
    if (n.size() != name.size()) continue;
    std::size_t k = 0;
    while (k < n.size() && Lower(n[k]) == Lower(name[k])) ++k;
    if (k == n.size()) return int(i);
  }
  return -1;
}

struct TCalcExpress::TToken {
  std::int32_t Kind = tkEnd;
  // number: constant index or kBadLiteral | message; variable: position;
  // function: its row in the function table
  std::uint32_t Payload = 0;
};

void TCalcExpress::NextToken(TToken& token) {
  token = TToken();
  const std::string& f = FFormula;
  const std::size_t n = f.size();
  std::size_t p = std::size_t(FPos) - 1;
  while (p < n && f[p] == ' ') ++p;
  FPos = std::int32_t(p + 1);
  if (p >= n) return;  // end: FLastToken and FTokenBefore stay

  std::size_t length = 1;
  std::int32_t kind = tkUnknown;
  const char c = f[p];
  auto number = [&](std::string text) {
    kind = tkNumber;
    try {
      token.Payload = std::uint32_t(FConstants.size());
      FConstants.push_back(ParseNumber(text, DecimalSeparator()));
    } catch (const EConvertError& e) {
      token.Payload = kBadLiteral | std::uint32_t(FBadLiterals.size());
      FBadLiterals.push_back(e.what());
    }
  };
  switch (c) {
    case '(': kind = tkOpen; break;
    case ')': kind = tkClose; break;
    case '+': kind = tkPlus; break;
    case '*': kind = tkTimes; break;
    case '/': kind = tkDivide; break;
    case '^': kind = tkPower; break;
    case '!': kind = tkFactorial; break;
    case '@': kind = tkRoot; break;
    case '&': kind = tkAnd; break;
    case '|': kind = tkOr; break;
    case '~': kind = tkXor; break;
    case '#': kind = tkMod; break;
    case '-':
      // A minus that opens the formula or a bracket and stands before a digit
      // belongs to the number.
      if (p + 1 < n && IsDigit(f[p + 1]) && (FLastToken == tkEnd || FLastToken == tkOpen)) {
        FPos = std::int32_t(p + 2);
        std::string text(1, '-');
        text += ScanNumber();
        number(std::move(text));
        length = 0;
      } else {
        kind = tkMinus;
      }
      break;
    case '<':
    case '>':
      if (p + 1 < n && (f[p + 1] == '<' || f[p + 1] == '>')) {
        length = 2;
        if (f[p + 1] == c) kind = c == '<' ? tkShl : tkShr;
      }
      break;
    default:
      if (IsDigit(c)) {
        number(ScanNumber());
        length = 0;
      } else if (IsLetter(c)) {
        std::size_t e = p;
        while (e < n && (IsLetter(f[e]) || IsDigit(f[e]))) ++e;
        const std::string_view ident(f.data() + p, e - p);
        length = e - p;
        std::string lower(ident);
        for (char& ch : lower) ch = Lower(ch);
        if (const int row = FindFunction(lower); row >= 0) {
          kind = FunctionTable()[std::size_t(row)].Kind;
          token.Payload = std::uint32_t(row);
        } else {
          kind = tkVariable;
          const int index = IndexOfName(FVariables, ident);
          if (index >= 0) token.Payload = std::uint32_t(index);
          else FError = ceNoVariable;
        }
      }
      break;
  }
  if (length) FPos = std::int32_t(p + length + 1);
  token.Kind = kind;
  FTokenBefore = FLastToken;
  FLastToken = kind;
}

std::uint32_t TCalcExpress::NewNode(std::int32_t kind, std::uint32_t left, std::uint32_t right,
                                    std::uint32_t payload) {
  FNodes.push_back(TExprNode{kind, left, right, payload});
  return std::uint32_t(FNodes.size() - 1);
}

std::uint32_t TCalcExpress::NewLeaf(const TToken& token) {
  return NewNode(token.Kind, kNoNode, kNoNode, token.Payload);
}

std::uint32_t TCalcExpress::ParseExpression() {
  if (FNesting >= kMaxNesting) {
    FError = ceSyntax;
    return kNoNode;
  }
  ++FNesting;
  TToken token;  // each bracket level has its own current token
  std::uint32_t node = ParseTerm(token);
  while (FError == ceOK) {
    const std::int32_t k = token.Kind;
    if (k == tkEnd) break;
    if (k == tkClose) {
      --FBracketDepth;
      break;
    }
    if (k != tkPlus && k != tkMinus && k != tkOr && k != tkXor) {
      FError = ceSyntax;
      break;
    }
    const std::uint32_t right = ParseTerm(token);
    if (FError != ceOK) break;
    node = NewNode(k, node, right);
  }
  --FNesting;
  return node;
}

std::uint32_t TCalcExpress::ParseTerm(TToken& token) {
  NextToken(token);
  bool negate = false;
  if (FTokenBefore == tkEnd || FTokenBefore == tkOpen) {
    if (token.Kind == tkMinus) {
      negate = true;
      NextToken(token);
    }
    if (token.Kind == tkPlus) NextToken(token);
  }
  std::uint32_t node = ParseFactor(token);
  while (IsTermOperator(token.Kind)) {
    const std::int32_t op = token.Kind;
    NextToken(token);
    const std::uint32_t right = ParseFactor(token);
    node = NewNode(op, node, right);
  }
  if (negate) node = NewNode(tkNegate, node, kNoNode);
  if (token.Kind == tkVariable) FError = ceSyntax;
  return node;
}

std::uint32_t TCalcExpress::ParseFactor(TToken& token) {
  std::uint32_t node;
  const std::int32_t k = token.Kind;
  if (k == tkOpen) {
    ++FBracketDepth;
    node = ParseExpression();
    if (FError != ceOK) return node;
  } else if (k == tkNumber || k == tkVariable) {
    node = NewLeaf(token);
  } else if (IsFunctionKind(k)) {
    const std::uint32_t row = token.Payload;
    NextToken(token);
    if (token.Kind != tkOpen) {
      FError = ceMissingBracket;
      return kNoNode;
    }
    ++FBracketDepth;
    const std::uint32_t argument = ParseExpression();
    node = NewNode(k, argument, kNoNode, row);
    if (FError != ceOK) return node;
  } else {
    FError = ceSyntax;
    return kNoNode;
  }
  NextToken(token);
  while (token.Kind == tkFactorial) {
    NextToken(token);
    node = NewNode(tkFactorial, node, kNoNode);
  }
  while (token.Kind == tkPower || token.Kind == tkRoot) {
    const std::int32_t op = token.Kind;
    NextToken(token);
    if (token.Kind == tkOpen) {
      ++FBracketDepth;
      const std::uint32_t right = ParseExpression();
      node = NewNode(op, node, right);
      if (FError != ceOK) return node;
    } else if (token.Kind == tkNumber || token.Kind == tkVariable) {
      node = NewNode(op, node, NewLeaf(token));
    } else {
      FError = ceBadExponent;
      return node;
    }
    NextToken(token);
  }
  return node;
}

void TCalcExpress::FreeTree() {
  FTree = nullptr;
  // Large trees give their memory back; small ones keep it for the next parse.
  constexpr std::size_t kKeep = 1 << 16;
  if (FNodes.capacity() > kKeep) std::vector<TExprNode>().swap(FNodes);
  else FNodes.clear();
  if (FConstants.capacity() > kKeep) std::vector<long double>().swap(FConstants);
  else FConstants.clear();
  FBadLiterals.clear();
  if (FCode.capacity() > kKeep) std::vector<TInstr>().swap(FCode);
  else FCode.clear();
  if (FStack.capacity() > kKeep) std::vector<long double>().swap(FStack);
}
