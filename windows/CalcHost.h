// What the auxiliary windows (variables grid, graph) need from the
// calculator: its model (variables, evaluation, number texts), the text of
// the expression field, and a way to say that they were hidden. The main
// window implements it; the windows see nothing else of it, so they can be
// built and tested on their own.
#pragma once

#include <QString>

#include "calc/Calculator.h"

class ICalcHost {
 public:
  virtual ~ICalcHost() = default;

  // The calculator model shared by the main window and these windows.
  virtual TCalculator& Calculator() = 0;

  // The expression field: absent when the skin has none.
  virtual bool HasExpressionField() const = 0;
  virtual QString ExpressionText() const = 0;

  // Called when a window is hidden by its own means, so the main menu's
  // check mark follows ("Variables", "Graph").
  virtual void VariablesWindowHidden() = 0;
  virtual void GraphWindowHidden() = 0;
};
