// The main window's part in the history tape: each evaluation goes on it, and
// Up and Down in the expression field step through its expressions.
#include "calc/App.h"
#include "calc/ExpressionField.h"
#include "calc/main.h"
#include "skin/SkinElements.h"

void TMainForm::AddToHistory(const QString& expression, const QString& shown,
                             std::optional<long double> value) {
  FCalc.History().Add({expression.toStdString(), shown.toStdString(), value});
}

void TMainForm::UseExpression(const QString& text) {
  if (!FBound.ExpressionEdit) return;
  // A history file may hold an entry longer than the field takes.
  if (text.size() > kMaxFormulaLength)
    throw EZumbrelError(TooLongMessage(text.size()).toStdString());
  // As a key's text is put in: one undo step, so Back brings the former text.
  SetExpressionText(text, static_cast<int>(text.size()));
  FUndo.Record(text.toStdString());
}

void TMainForm::RecallOlder() {
  if (!FBound.ExpressionEdit) return;
  if (const auto text = FRecall.Older(FCalc.History(), FBound.ExpressionEdit->text().toStdString()))
    UseExpression(QString::fromStdString(*text));
}

void TMainForm::RecallNewer() {
  if (!FBound.ExpressionEdit) return;
  if (const auto text = FRecall.Newer(FCalc.History(), FBound.ExpressionEdit->text().toStdString()))
    UseExpression(QString::fromStdString(*text));
}

void TMainForm::ReturnToExpression() {
  TSkinEdit* edit = FBound.ExpressionEdit;
  if (!edit || edit->isHidden() || !(edit->focusPolicy() & Qt::TabFocus)) return;
  activateWindow();
  edit->setFocus();
}
