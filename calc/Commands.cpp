// The commands behind the skin's keys and the calculator's own handlers.
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QDropEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QMimeData>
#include <QMouseEvent>
#include <memory>

#include "calc/App.h"
#include "calc/ExpressionField.h"
#include "calc/Format.h"
#include "calc/main.h"
#include "controls/ImgBox.h"
#include "controls/ImgBtn.h"
#include "controls/SlideBar.h"
#include "engine/Errors.h"
#include "skin/SkinElements.h"
#include "skin/skin.h"

QString TMainForm::FormatNumber(long double value) const {
  return QString::fromStdString(FCalc.FormatNumber(value));
}

void TMainForm::SetExpressionText(const QString& text, int caret) {
  FUpdating = true;
  FBound.ExpressionEdit->setText(text);
  FBound.ExpressionEdit->setCursorPosition(caret);
  FUpdating = false;
}

void TMainForm::InsertText(const QString& text) {
  TSkinEdit* edit = FBound.ExpressionEdit;
  if (!edit) return;
  QString field = edit->text();
  int p = edit->cursorPosition();
  if (edit->hasSelectedText()) {
    p = edit->selectionStart();
    field.remove(p, static_cast<int>(edit->selectedText().size()));
  }
  field.insert(p, text);
  if (field.size() > kMaxFormulaLength)
    throw EZumbrelError(TooLongMessage(field.size()).toStdString());
  SetExpressionText(field, p + static_cast<int>(text.size()));
  FUndo.Record(edit->text().toStdString());
}

void TMainForm::ExpressionChange() {
  if (FUpdating || !FBound.ExpressionEdit) return;
  FUndo.Record(FBound.ExpressionEdit->text().toStdString());
}

void TMainForm::Evaluate() {
  if (!FBound.ExpressionEdit || !FBound.ResultLabel) return;
  const QString text = FBound.ExpressionEdit->text();
  if (text.isEmpty()) return;
  // A value typed into a variable field and not yet committed takes part.
  if (IsVariableField(focusWidget())) VariableChange(static_cast<TSkinEdit*>(focusWidget()));
  TCalcResult result;
  try {
    result = FCalc.Evaluate(text.toStdString());
  } catch (const std::exception& e) {
    // The program's error report shows it; the tape keeps it too.
    AddToHistory(text, QString::fromUtf8(e.what()), std::nullopt);
    throw;
  }
  if (result.Error != ceOK) {
    FBound.ResultLabel->setText(QString::fromStdString(ErrorText(result.Error)));
    AddToHistory(text, FBound.ResultLabel->text(), std::nullopt);
    return;
  }
  FBound.ResultLabel->setText(FormatNumber(result.Value));
  AddToHistory(text, FBound.ResultLabel->text(), result.Value);
}

void TMainForm::ClearCommand() {
  if (FBound.ExpressionEdit) SetExpressionText(QString(), 0);
  if (FBound.ResultLabel) FBound.ResultLabel->setText(FormatNumber(0));
  FUndo.Reset();
}

void TMainForm::BackCommand() {
  if (!FUndo.StepBack()) return;
  if (!FBound.ExpressionEdit) return;
  const QString text = QString::fromStdString(FUndo.CurrentText());
  SetExpressionText(text, static_cast<int>(text.size()));
}

void TMainForm::EscapeCommand() {
  // A hidden field (a skin that builds the expression out of sight) keeps
  // its text; the history and the display are reset all the same.
  TSkinEdit* edit = FBound.ExpressionEdit;
  if (edit && (edit->focusPolicy() & Qt::TabFocus) && !edit->isHidden()) {
    edit->clear();
    edit->setFocus();
  }
  FUndo.Reset();
  if (FBound.ResultLabel) FBound.ResultLabel->setText(FormatNumber(0));
}

void TMainForm::PasteCommand() {
  if (FBound.ExpressionEdit) PasteText(QGuiApplication::clipboard()->text());
}

void TMainForm::PasteText(const QString& text) {
  TSkinEdit* edit = FBound.ExpressionEdit;
  if (!edit) return;
  // Measured before the field takes anything: a text of megabytes never
  // enters it.
  const qsizetype length = edit->text().size() - edit->selectedText().size() + text.size();
  if (length > kMaxFormulaLength) throw EZumbrelError(TooLongMessage(length).toStdString());
  // As typed: one step of the history, the field's own undo too.
  edit->insert(OneLine(text));
}

bool TMainForm::ExpressionFieldEvent(QEvent* event) {
  TSkinEdit* edit = FBound.ExpressionEdit;
  QClipboard* clipboard = QGuiApplication::clipboard();
  // A refused paste is reported, and the field never sees the event.
  const auto paste = [this](QClipboard::Mode mode) {
    RunGuarded([this, mode] { PasteText(QGuiApplication::clipboard()->text(mode)); });
    return true;
  };
  switch (event->type()) {
    case QEvent::KeyPress:
      if (!static_cast<QKeyEvent*>(event)->matches(QKeySequence::Paste)) return false;
      return paste(QClipboard::Clipboard);
    case QEvent::MouseButtonRelease:
      // The middle button pastes the selection where it was pressed.
      if (static_cast<QMouseEvent*>(event)->button() != Qt::MiddleButton ||
          !clipboard->supportsSelection())
        return false;
      edit->deselect();
      return paste(QClipboard::Selection);
    case QEvent::ContextMenu: {
      // The field's own menu, with its Paste going the same way.
      std::unique_ptr<QMenu> menu(edit->createStandardContextMenu());
      for (QAction* item : menu->actions()) {
        if (item->objectName() != QLatin1String("edit-paste")) continue;
        item->disconnect();
        connect(item, &QAction::triggered, this, [paste] { paste(QClipboard::Clipboard); });
      }
      menu->exec(static_cast<QContextMenuEvent*>(event)->globalPos());
      return true;
    }
    case QEvent::Drop: {
      auto* drop = static_cast<QDropEvent*>(event);
      const qsizetype length = edit->text().size() + drop->mimeData()->text().size();
      if (length <= kMaxFormulaLength) return false;  // the validator makes it one line
      drop->ignore();
      // Told once the drag is over, not while its source waits.
      QMetaObject::invokeMethod(
          this, [length] { ReportError(TooLongMessage(length)); }, Qt::QueuedConnection);
      return true;
    }
    default:
      return false;
  }
}

bool TMainForm::HiddenExpression() const {
  const TSkinEdit* edit = FBound.ExpressionEdit;
  return edit && (edit->isHidden() || edit->focusPolicy() == Qt::NoFocus);
}

bool TMainForm::TypesFormula(QObject* receiver) const {
  if (!FBound.ExpressionEdit) return false;
  return receiver == FBound.ExpressionEdit || (receiver == this && HiddenExpression());
}

void TMainForm::keyPressEvent(QKeyEvent* event) {
  if (!HiddenExpression()) {
    QWidget::keyPressEvent(event);
    return;
  }
  // What the skin's keys insert, typed: digits, operators, brackets, the
  // decimal point and the letters of names and functions.
  static const QString kTyped = QStringLiteral("0123456789+-*/^!@&|~#<>()_");
  // With Ctrl, Alt or Meta held a key is a shortcut, not a character.
  const bool shortcut =
      event->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier);
  const QString text = shortcut ? QString() : event->text();
  RunGuarded([&] {
    if (event->key() == Qt::Key_Backspace) {
      BackCommand();
    } else if (event->matches(QKeySequence::Paste)) {
      PasteCommand();
    } else if (text == QStringLiteral(".") || text == QStringLiteral(",")) {
      InsertText(QString(QLatin1Char(FCalc.DecimalSeparator())));
    } else if (text.size() == 1 &&
               (kTyped.contains(text[0]) || (text[0].isLetter() && text[0].unicode() < 128))) {
      InsertText(text);
    } else {
      event->ignore();
    }
  });
}

void TMainForm::MinimizeCommand() {
  // The whole application goes to the task bar, not only this window.
  for (QWidget* w : QApplication::topLevelWidgets())
    if (w->isVisible() && w->isWindow() && w->windowType() != Qt::Popup) w->showMinimized();
}

void TMainForm::MemoryKey(int index, const QString& name) {
  const std::string insert = FCalc.MemoryKey(static_cast<std::size_t>(index));
  if (!insert.empty()) InsertText(QString::fromStdString(insert));
  if (FSkin)
    FSkin->SetButtonHint(name,
                         QString::fromStdString(FCalc.MemoryHint(static_cast<std::size_t>(index))));
}

void TMainForm::FunctionKey(const QString& name) {
  const std::string text = FCalc.FunctionKey(name.toStdString());
  if (!text.empty()) InsertText(QString::fromStdString(text));
}

void TMainForm::Reset2ndF() {
  FCalc.SetSecondF(false);
}

void TMainForm::ResetHyp() {
  FCalc.SetHyperbolic(false);
}

void TMainForm::MemModeMouseUp(QObject* sender) {
  auto* clicked = qobject_cast<TImgCheckBox*>(sender);
  if (!clicked) return;
  // The boxes follow the mode: only the clicked one can stay checked.
  FCalc.SetMemMode(clicked->Checked() ? static_cast<TMemMode>(clicked->Tag()) : mmNone);
}

void TMainForm::SecondFMouseUp(QObject* sender) {
  if (auto* box = qobject_cast<TImgCheckBox*>(sender)) FCalc.SetSecondF(box->Checked());
}

void TMainForm::HypMouseUp(QObject* sender) {
  if (auto* box = qobject_cast<TImgCheckBox*>(sender)) FCalc.SetHyperbolic(box->Checked());
}

void TMainForm::EngMouseUp(QObject* sender) {
  if (auto* box = qobject_cast<TImgCheckBox*>(sender)) FCalc.SetEngMode(box->Checked());
}

void TMainForm::VariableChange(TSkinEdit* field) {
  // Only what the user typed is written: the field's own text may be a
  // rounded form of the value (0.3 shows as 0x0 in hexadecimal). Text that is
  // no number leaves the variable as it was.
  if (!field || !field->isModified()) return;
  if (FCalc.AssignTyped(field->EditName().toStdString(), field->text().toStdString()))
    field->setModified(false);
}

void TMainForm::MMCopyResultClick() {
  if (!FBound.ResultLabel) return;
  QGuiApplication::clipboard()->setText(FBound.ResultLabel->text());
}

void TMainForm::UpdateDegsMenu() {
  const TCalcDeg degs = FCalc.Degs();
  FMenu.MMDegrees->setChecked(degs == cdDegreees);
  FMenu.MMRadians->setChecked(degs == cdRadians);
  FMenu.MMGradians->setChecked(degs == cdGradians);
}

void TMainForm::UpdateFormat() {
  for (QAction* item : {FMenu.MMDecimal, FMenu.MMHexadecimal, FMenu.MMOctal, FMenu.MMBinary})
    item->setChecked(item->data().toInt() == FCalc.NumberFormat());
  FMenu.MMEng->setChecked(FCalc.EngMode());
  if (FBound.EngBox) FBound.EngBox->SetChecked(FCalc.EngMode());
  if (FBound.ResultLabel) FBound.ResultLabel->setText(FormatNumber(FCalc.LastResult()));
}

bool TMainForm::IsSkinControl(QObject* object) const {
  auto* widget = qobject_cast<QWidget*>(object);
  if (!widget || widget->parent() != this || !FSkin) return false;
  return qobject_cast<TImgBtn*>(widget) || qobject_cast<TImgCheckBox*>(widget) ||
         qobject_cast<TSlideBar*>(widget);
}

bool TMainForm::IsVariableField(QObject* object) const {
  auto* edit = qobject_cast<TSkinEdit*>(object);
  // Controls of an earlier skin have already left the window.
  return edit && edit != FBound.ExpressionEdit && edit->parent() == this && FSkin;
}
