#include "calc/KeyHook.h"

#include <QApplication>
#include <QDialog>
#include <QKeyEvent>
#include <utility>

#include "calc/App.h"
#include "calc/main.h"
#include "skin/SkinElements.h"
#include "windows/vars.h"

namespace {

// The angle unit and the number format each key selects.
constexpr std::pair<int, TCalcDeg> kDegsKeys[] = {
    {Qt::Key_F2, cdDegreees}, {Qt::Key_F3, cdRadians}, {Qt::Key_F4, cdGradians}};
constexpr std::pair<int, int> kFormatKeys[] = {
    {Qt::Key_F5, 1}, {Qt::Key_F6, 0}, {Qt::Key_F7, 2}, {Qt::Key_F8, 3}};

bool IsFunctionKey(int key) {
  // F10 belongs to the system (it opens a window's menu) and is left alone.
  return (key >= Qt::Key_F1 && key <= Qt::Key_F9) || key == Qt::Key_F11 || key == Qt::Key_F12;
}

// While a popup menu is open the keys are its own: Esc closes it, Return
// picks an item, the arrows move.
bool PopupOpen() {
  return QApplication::activePopupWidget() != nullptr;
}

// A modal dialog (the preset name, the about box, a message box) answers
// Return and Esc itself: OK and Cancel must stay reachable from the keyboard.
bool ModalDialogOpen() {
  return QApplication::activeModalWidget() != nullptr;
}

}  // namespace

TKeyHook::TKeyHook(TMainForm& form, QObject* parent) : QObject(parent), FForm(form) {
  setObjectName(QStringLiteral("KeyHook"));
}

bool TKeyHook::eventFilter(QObject* watched, QEvent* event) {
  const QEvent::Type type = event->type();
  // A key reaches the platform window first and then its focus widget (tests
  // send straight to the widget). A key this map handles is stopped at the
  // first of them, so it acts once; the keys it lets pass only update the
  // Shift and Ctrl state, which may safely be seen twice.
  if ((type == QEvent::KeyPress || type == QEvent::KeyRelease) &&
      (watched->isWidgetType() || watched->isWindowType())) {
    bool handled = false;
    AppMessage(static_cast<QKeyEvent*>(event), handled);
    return handled;
  }
  return QObject::eventFilter(watched, event);
}

void TKeyHook::AppMessage(QKeyEvent* msg, bool& handled) {
  handled = false;
  if (msg->type() == QEvent::KeyPress)
    KeyDown(msg, handled);
  else if (msg->type() == QEvent::KeyRelease)
    KeyUp(msg, handled);
}

void TKeyHook::KeyDown(QKeyEvent* msg, bool& handled) {
  const int key = msg->key();
  if (key == Qt::Key_Shift) {
    FForm.ShiftDown = true;
    return;
  }
  if (key == Qt::Key_Control) {
    FForm.CtrlDown = true;
    return;
  }
  if (PopupOpen()) return;
  if (key == Qt::Key_Insert) {
    // Insert never reaches a control: with Ctrl or Shift it means copy the
    // result and paste into the expression everywhere in the program.
    handled = true;
    RunGuarded([this] { InsertKey(); });
    return;
  }
  if (IsFunctionKey(key)) {
    // The action comes with the release, so a held key (whose repeated
    // presses end here too) acts once.
    handled = true;
    return;
  }
  Character(msg, handled);
}

void TKeyHook::KeyUp(QKeyEvent* msg, bool& handled) {
  const int key = msg->key();
  if (key == Qt::Key_Shift) {
    FForm.ShiftDown = false;
    return;
  }
  if (key == Qt::Key_Control) {
    FForm.CtrlDown = false;
    return;
  }
  if (PopupOpen()) return;
  if (key == Qt::Key_Insert) {
    handled = true;
    return;
  }
  if (IsFunctionKey(key)) {
    handled = true;
    // Releases that belong to the repeats of a held key do not count.
    if (!msg->isAutoRepeat()) RunGuarded([this, key] { FunctionKey(key); });
  }
}

void TKeyHook::Character(QKeyEvent* msg, bool& handled) {
  const int key = msg->key();
  const Qt::KeyboardModifiers mods = msg->modifiers();
  const bool ctrl = mods.testFlag(Qt::ControlModifier);
  const bool alt = mods.testFlag(Qt::AltModifier);
  // Ctrl+Return types a line feed and Alt turns keys into system keys: only
  // the plain character keys count.
  if ((key == Qt::Key_Return || key == Qt::Key_Enter) && !ctrl && !alt) {
    if (ModalDialogOpen()) return;
    handled = true;
    RunGuarded([this] { ReturnKey(); });
    return;
  }
  if (key == Qt::Key_Escape && !alt) {
    if (ModalDialogOpen()) return;
    handled = true;
    RunGuarded([this] { EscapeKey(); });
    return;
  }
  // Ctrl+S types the character 19; events made by hand may carry only one
  // of the two.
  if ((key == Qt::Key_S && ctrl && !alt) || msg->text() == QStringLiteral("\x13")) {
    handled = true;
    RunGuarded([this] { SavePresetKey(); });
  }
}

void TKeyHook::FunctionKey(int key) {
  TMainForm& f = FForm;
  for (const auto& [k, degs] : kDegsKeys) {
    if (k != key || !f.Express) continue;
    f.Express->SetDegs(degs);
    f.UpdateDegsMenu();
    return;
  }
  for (const auto& [k, format] : kFormatKeys) {
    if (k != key) continue;
    f.NumberFormat = format;
    f.UpdateFormat();
    return;
  }
  switch (key) {
    case Qt::Key_F1:
      f.MMHelpClick(f.MMHelp);
      break;
    case Qt::Key_F9:
      f.EngMode = !f.EngMode;
      f.UpdateFormat();
      break;
    case Qt::Key_F11:
      f.MMVariablesClick(f.MMVariables);
      break;
    case Qt::Key_F12:
      f.MMGraphClick(f.MMGraph);
      break;
    default:
      break;
  }
}

void TKeyHook::InsertKey() {
  if (FForm.CtrlDown)
    FForm.MMCopyResultClick();
  else if (FForm.ShiftDown && FForm.ExpressionEdit)
    FForm.ExpressionEdit->paste();
}

void TKeyHook::ReturnKey() {
  // A value being typed in the variables window counts in this evaluation.
  if (auto* vars = qobject_cast<TVarsForm*>(FForm.VarsForm)) vars->CommitValue();
  FForm.Evaluate();
}

void TKeyHook::EscapeKey() {
  // A hidden field (a skin that builds the expression out of sight) keeps
  // its text; the history and the display are reset all the same.
  TSkinEdit* edit = FForm.ExpressionEdit;
  if (edit && (edit->focusPolicy() & Qt::TabFocus) && !edit->isHidden()) {
    edit->clear();
    edit->setFocus();
  }
  FForm.Undo.Reset();
  if (FForm.ResultLabel) FForm.ResultLabel->setText(FForm.FormatNumber(0));
}

void TKeyHook::SavePresetKey() {
  // Ctrl+S inside the name dialog would ask for a name on top of itself.
  if (FForm.PresetForm && FForm.PresetForm->isVisible()) return;
  FForm.MMPresetSaveClick(FForm.MMPresetSave);
}
