// What the auxiliary windows (variables grid, graph) need from the
// calculator: its model (variables, evaluation, number texts), the text of
// the expression field, a way to say that they were hidden, and the
// program's one error report. The main
// window implements it; the windows see nothing else of it, so they can be
// built and tested on their own.
#pragma once

#include <QString>
#include <exception>
#include <functional>

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

  // Shows an error that a handler of these windows raised, as the program
  // reports every error that nothing else handles.
  virtual void ReportError(const QString& message) = 0;
};

// Runs a handler of these windows (a button's, a menu item's, the mouse's):
// an error it raises goes to the host's report and no further, so nothing
// unwinds through the toolkit's event handling.
inline void RunHandler(ICalcHost& host, const std::function<void()>& handler) {
  try {
    handler();
  } catch (const std::exception& e) {
    host.ReportError(QString::fromUtf8(e.what()));
  } catch (...) {
    host.ReportError(QStringLiteral("Unknown error"));
  }
}
