// The expression component: formula, variables, error code and angle unit.
#include "engine/CalcExpress.h"

#include <limits>

#include "engine/ExprInternal.h"

TCalcExpress::TCalcExpress() { SetFormula("0"); }

TCalcExpress::~TCalcExpress() = default;

void TCalcExpress::SetFormula(std::string_view text) {
  FreeTree();
  FError = ceOK;
  FFormula = text;
  FTokenBefore = 0;
  FLastToken = 0;
  FPos = 1;
  FBracketDepth = 0;
  FNesting = 0;
  // Positions are 32-bit; a longer text is not a formula anyone typed.
  if (FFormula.size() >= std::size_t(std::numeric_limits<std::int32_t>::max()) - 2) {
    FError = ceSyntax;
    return;
  }
  try {
    const std::uint32_t root = ParseExpression();
    // Unbalanced brackets are reported rather than shown as a silent 0.
    if (FBracketDepth != 0 && FError == ceOK) FError = ceMissingBracket;
    if (FError != ceOK || root == kNoNode) {
      FreeTree();
      return;
    }
    CompileTree(root);
    FTree = &FNodes[root];
  } catch (...) {
    FreeTree();
    throw;
  }
}

void TCalcExpress::SetVariables(const std::vector<std::string>& names) {
  if (&names != &FVariables) FVariables = names;
  SetFormula(std::string(FFormula));
}
