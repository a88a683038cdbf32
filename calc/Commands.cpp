// The commands behind the skin's keys and the calculator's own handlers.
#include <QClipboard>
#include <QGuiApplication>
#include <QAction>
#include <QApplication>
#include <cmath>

#include "calc/Format.h"
#include "calc/main.h"
#include "controls/ImgBox.h"
#include "engine/Errors.h"
#include "skin/SkinElements.h"
#include "skin/skin.h"

namespace {

QString PlainText(long double value) {
  return QString::fromStdString(PlainDecimal(value, DecimalSeparator()));
}

// What a function key inserts without a modifier, with 2ndF, with Hyp and
// with both. Log and Ln have no hyperbolic form and keep Hyp as it is.
struct TFunctionKey {
  const char* Name;
  const char* Plain;
  const char* Second;
  const char* Hyp;
  const char* Both;
};

constexpr TFunctionKey kFunctionKeys[] = {
    {"Sin", "sin", "arcsin", "sinh", "arcsinh"},
    {"Cos", "cos", "arccos", "cosh", "arccosh"},
    {"Tan", "tan", "arctan", "tanh", "arctanh"},
    {"Log", "log", "10^", nullptr, nullptr},
    {"Ln", "ln", "exp", nullptr, nullptr},
};

}  // namespace

QString TMainForm::FormatNumber(long double value) const {
  return QString::fromStdString(FormatValue(NumberFormat, value, EngMode, DecimalSeparator()));
}

void TMainForm::SetExpressionText(const QString& text, int caret) {
  Updating = true;
  ExpressionEdit->setText(text);
  ExpressionEdit->setCursorPosition(caret);
  Updating = false;
}

void TMainForm::InsertText(const QString& text) {
  if (!ExpressionEdit) return;
  QString field = ExpressionEdit->text();
  int p = ExpressionEdit->cursorPosition();
  if (ExpressionEdit->hasSelectedText()) {
    p = ExpressionEdit->selectionStart();
    field.remove(p, static_cast<int>(ExpressionEdit->selectedText().size()));
  }
  field.insert(p, text);
  SetExpressionText(field, p + static_cast<int>(text.size()));
  Undo.Record(ExpressionEdit->text().toStdString());
}

void TMainForm::ExpressionChange() {
  if (Updating || !ExpressionEdit) return;
  Undo.Record(ExpressionEdit->text().toStdString());
}

void TMainForm::Evaluate() {
  if (!ExpressionEdit || !ResultLabel) return;
  const QString text = ExpressionEdit->text();
  if (text.isEmpty()) return;
  // A value typed into a variable field and not yet committed takes part.
  if (IsVariableField(focusWidget())) VariableChange(static_cast<TSkinEdit*>(focusWidget()));
  Express->SetFormula(text.toStdString());
  const long double x = Express->Calc(Values.data(), Values.size());
  if (Express->Error() != ceOK) {
    ResultLabel->setText(ErrorTexts.value(Express->Error(), QString::fromStdString(ErrorText(Express->Error()))));
    return;
  }
  LastResult = x;
  ResultLabel->setText(FormatNumber(x));
}

void TMainForm::ClearCommand() {
  if (ExpressionEdit) SetExpressionText(QString(), 0);
  if (ResultLabel) ResultLabel->setText(FormatNumber(0));
  Undo.Reset();
}

void TMainForm::BackCommand() {
  if (!Undo.StepBack()) return;
  if (!ExpressionEdit) return;
  const QString text = QString::fromStdString(Undo.CurrentText());
  SetExpressionText(text, static_cast<int>(text.size()));
}

void TMainForm::MinimizeCommand() {
  // The whole application goes to the task bar, not only this window.
  for (QWidget* w : QApplication::topLevelWidgets())
    if (w->isVisible() && w->isWindow() && w->windowType() != Qt::Popup) w->showMinimized();
}

void TMainForm::MemoryKey(int index, const QString& name) {
  long double& slot = Values[static_cast<std::size_t>(index)];
  switch (MemMode) {
    case mmNone: InsertText(name); break;
    case mmSet: slot = LastResult; break;
    case mmClear: slot = 0; break;
    case mmOut: InsertText(PlainText(slot)); break;
    case mmPlus:
    case mmMinus: {
      const long double sum = MemMode == mmPlus ? slot + LastResult : slot - LastResult;
      // The memory keeps a number; an overflow is reported like any other fault.
      if (!std::isfinite(sum)) throw EZumbrelError("Floating point overflow");
      slot = sum;
      break;
    }
    default: break;
  }
  for (TImgCheckBox* box : {MemSetBox, MemClearBox, MemOutBox, MemPlusBox, MemMinusBox})
    if (box) box->SetChecked(false);
  MemMode = mmNone;
  if (Skin) Skin->SetButtonHint(name, slot != 0 ? name + QLatin1Char('=') + PlainText(slot) : QString());
}

void TMainForm::FunctionKey(const QString& name) {
  for (const TFunctionKey& key : kFunctionKeys) {
    if (name != QLatin1String(key.Name)) continue;
    if (!key.Hyp) {
      // Log and Ln: 2ndF gives the inverse; Hyp is neither used nor reset.
      InsertText(QLatin1String(SecondF ? key.Second : key.Plain));
      if (SecondF) Reset2ndF();
      return;
    }
    const char* text = SecondF ? (Hyperbolic ? key.Both : key.Second) : (Hyperbolic ? key.Hyp : key.Plain);
    InsertText(QLatin1String(text));
    Reset2ndF();
    ResetHyp();
    return;
  }
}

void TMainForm::Reset2ndF() {
  SecondF = false;
  if (SecondFBox) SecondFBox->SetChecked(false);
}

void TMainForm::ResetHyp() {
  Hyperbolic = false;
  if (HypBox) HypBox->SetChecked(false);
}

void TMainForm::MemModeMouseUp(QObject* sender) {
  auto* clicked = qobject_cast<TImgCheckBox*>(sender);
  if (!clicked) return;
  for (TImgCheckBox* box : {MemSetBox, MemClearBox, MemOutBox, MemPlusBox, MemMinusBox})
    if (box && box != clicked) box->SetChecked(false);
  MemMode = clicked->Checked() ? clicked->Tag() : mmNone;
}

void TMainForm::SecondFMouseUp(QObject* sender) {
  if (auto* box = qobject_cast<TImgCheckBox*>(sender)) SecondF = box->Checked();
}

void TMainForm::HypMouseUp(QObject* sender) {
  if (auto* box = qobject_cast<TImgCheckBox*>(sender)) Hyperbolic = box->Checked();
}

void TMainForm::EngMouseUp(QObject* sender) {
  auto* box = qobject_cast<TImgCheckBox*>(sender);
  if (!box) return;
  EngMode = box->Checked();
  UpdateFormat();
}

void TMainForm::VariableChange(TSkinEdit* field) {
  if (!field || !Express) return;
  const int i = IndexOfName(Express->Variables(), field->EditName().toStdString());
  if (i < 0 || i >= static_cast<int>(Values.size())) return;
  try {
    Values[static_cast<std::size_t>(i)] = ParseNumber(field->text().toStdString());
  } catch (const EConvertError&) {
    // Text that is no number leaves the variable as it was.
  }
}

void TMainForm::MMCopyResultClick() {
  if (!ResultLabel) return;
  QGuiApplication::clipboard()->setText(ResultLabel->text());
}

void TMainForm::UpdateDegsMenu() {
  const TCalcDeg degs = Express ? Express->Degs() : cdRadians;
  MMDegrees->setChecked(degs == cdDegreees);
  MMRadians->setChecked(degs == cdRadians);
  MMGradians->setChecked(degs == cdGradians);
}

void TMainForm::UpdateFormat() {
  for (QAction* item : {MMDecimal, MMHexadecimal, MMOctal, MMBinary})
    item->setChecked(item->data().toInt() == NumberFormat);
  MMEng->setChecked(EngMode);
  if (EngBox) EngBox->SetChecked(EngMode);
  if (ResultLabel) ResultLabel->setText(FormatNumber(LastResult));
}

bool TMainForm::IsVariableField(QObject* object) const {
  auto* edit = qobject_cast<TSkinEdit*>(object);
  // Controls of an earlier skin have already left the window.
  return edit && edit != ExpressionEdit && edit->parent() == this && Skin;
}
