// What the auxiliary windows (variables grid, graph, presets) need from the
// calculator's main window. The main window implements it; the windows see
// nothing else of it, so they can be built and tested on their own.
#pragma once

#include <QString>
#include <array>

#include "engine/CalcExpress.h"

using TValueStore = std::array<long double, 256>;

class ICalcHost {
 public:
  virtual ~ICalcHost() = default;

  // The expression engine shared by the calculator and the graph.
  virtual TCalcExpress& Express() = 0;
  // Entry i is the value of the name at position i of Express().Variables().
  virtual TValueStore& Values() = 0;

  // The expression field: absent when the skin has none.
  virtual bool HasExpressionField() const = 0;
  virtual QString ExpressionText() const = 0;

  // Engineering notation of the calculator (the variables grid's decimal
  // column follows it).
  virtual bool EngMode() const = 0;

  // Called when a window is hidden by its own means, so the main menu's
  // check mark follows ("Variables", "Graph").
  virtual void VariablesWindowHidden() = 0;
  virtual void GraphWindowHidden() = 0;
};
