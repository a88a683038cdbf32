#include "calc/KeyHook.h"

#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QWindow>
#include <utility>

#include "calc/App.h"

namespace {

// The menu item each F-key triggers.
constexpr std::pair<int, QAction * TKeyTargets::*> kFunctionKeys[] = {
    {Qt::Key_F1, &TKeyTargets::Help},        {Qt::Key_F2, &TKeyTargets::Degrees},
    {Qt::Key_F3, &TKeyTargets::Radians},     {Qt::Key_F4, &TKeyTargets::Gradians},
    {Qt::Key_F5, &TKeyTargets::Hexadecimal}, {Qt::Key_F6, &TKeyTargets::Decimal},
    {Qt::Key_F7, &TKeyTargets::Octal},       {Qt::Key_F8, &TKeyTargets::Binary},
    {Qt::Key_F9, &TKeyTargets::Eng},         {Qt::Key_F10, &TKeyTargets::History},
    {Qt::Key_F11, &TKeyTargets::Variables},  {Qt::Key_F12, &TKeyTargets::Graph},
};

// The item triggered as the menu triggers it; a missing item does nothing.
void Trigger(QAction* item) {
  if (item) item->trigger();
}

void Run(const std::function<void()>& command) {
  if (command) command();
}

bool IsFunctionKey(int key) {
  return key >= Qt::Key_F1 && key <= Qt::Key_F12;
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

// A key repeats only after it has been held a while: a release sooner than
// this after its press is a real one and acts at once.
constexpr quint64 kShortestRepeatDelay = 50;
// How long a later release waits for the press that would make it half of a
// repeat; the two are sent together.
constexpr int kRepeatPairWait = 50;

TKeyHook::TKeyHook(TKeyTargets targets, QObject* parent)
    : QObject(parent), FTargets(std::move(targets)) {
  setObjectName(QStringLiteral("KeyHook"));
  FPendingWait.setSingleShot(true);
  FPendingWait.setInterval(kRepeatPairWait);
  connect(&FPendingWait, &QTimer::timeout, this, [this] { ActPending(); });
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
    // The platform window hands its keys to its focus widget.
    QObject* receiver = watched;
    if (auto* window = qobject_cast<QWindow*>(watched); window && window->focusObject())
      receiver = window->focusObject();
    AppMessage(static_cast<QKeyEvent*>(event), handled, receiver);
    return handled;
  }
  return QObject::eventFilter(watched, event);
}

void TKeyHook::AppMessage(QKeyEvent* msg, bool& handled, QObject* receiver) {
  handled = false;
  if (msg->type() == QEvent::KeyPress)
    KeyDown(msg, handled, receiver);
  else if (msg->type() == QEvent::KeyRelease)
    KeyUp(msg, handled);
}

void TKeyHook::KeyDown(QKeyEvent* msg, bool& handled, QObject* receiver) {
  const int key = msg->key();
  // Any other press comes after the release that waits: it was a real one.
  if (FPendingKey != 0 && !(key == FPendingKey && msg->timestamp() == FPendingTime)) ActPending();
  if (key == Qt::Key_Shift) {
    FShiftDown = true;
    return;
  }
  if (key == Qt::Key_Control) {
    FCtrlDown = true;
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
    FunctionKeyDown(msg);
    return;
  }
  Character(msg, handled, receiver);
}

void TKeyHook::KeyUp(QKeyEvent* msg, bool& handled) {
  const int key = msg->key();
  if (key == Qt::Key_Shift) {
    FShiftDown = false;
    return;
  }
  if (key == Qt::Key_Control) {
    FCtrlDown = false;
    return;
  }
  if (PopupOpen()) return;
  if (key == Qt::Key_Insert) {
    handled = true;
    return;
  }
  if (IsFunctionKey(key)) {
    handled = true;
    FunctionKeyUp(msg);
  }
}

// A held key repeats as a release and a press of the same time. Qt marks the
// two as repeats only when it sees the press already waiting behind the
// release, which under X11 it often does not; so a release after a hold
// waits a moment for that press before it counts.
void TKeyHook::FunctionKeyDown(QKeyEvent* msg) {
  if (msg->isAutoRepeat()) return;
  if (msg->key() == FPendingKey && msg->timestamp() == FPendingTime && FPendingTime != 0) {
    // The release before was half of a repeat: the key is still held.
    FPendingKey = 0;
    FPendingWait.stop();
    return;
  }
  FHeldKey = msg->key();
  FHeldSince = msg->timestamp();
}

void TKeyHook::FunctionKeyUp(QKeyEvent* msg) {
  // Releases marked as repeats do not count.
  if (msg->isAutoRepeat()) return;
  const int key = msg->key();
  ActPending();
  const bool held = key == FHeldKey && msg->timestamp() >= FHeldSince + kShortestRepeatDelay;
  FHeldKey = 0;
  if (!held) {
    RunGuarded([this, key] { FunctionKey(key); });
    return;
  }
  FPendingKey = key;
  FPendingTime = msg->timestamp();
  FHeldKey = key;  // held still, should the press of a repeat follow
  FPendingWait.start();
}

void TKeyHook::ActPending() {
  if (FPendingKey == 0) return;
  const int key = FPendingKey;
  FPendingKey = 0;
  FPendingWait.stop();
  FHeldKey = 0;
  RunGuarded([this, key] { FunctionKey(key); });
}

void TKeyHook::Character(QKeyEvent* msg, bool& handled, QObject* receiver) {
  const int key = msg->key();
  const Qt::KeyboardModifiers mods = msg->modifiers();
  const bool ctrl = mods.testFlag(Qt::ControlModifier);
  const bool alt = mods.testFlag(Qt::AltModifier);
  // Ctrl+Return types a line feed and Alt turns keys into system keys: only
  // the plain character keys count.
  if ((key == Qt::Key_Return || key == Qt::Key_Enter) && !ctrl && !alt) {
    if (ModalDialogOpen()) return;
    handled = true;
    RunGuarded([this] { Run(FTargets.Return); });
    return;
  }
  // No formula holds "=": typed into one, it evaluates.
  if (msg->text() == QStringLiteral("=") && !ctrl && !alt && FTargets.TypesFormula &&
      FTargets.TypesFormula(receiver)) {
    handled = true;
    RunGuarded([this] { Run(FTargets.Return); });
    return;
  }
  if (key == Qt::Key_Escape && !alt) {
    if (ModalDialogOpen()) return;
    handled = true;
    RunGuarded([this] { Run(FTargets.Escape); });
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
  for (const auto& [k, item] : kFunctionKeys)
    if (k == key) Trigger(FTargets.*item);
}

void TKeyHook::InsertKey() {
  if (FCtrlDown)
    Trigger(FTargets.CopyResult);
  else if (FShiftDown)
    Run(FTargets.Paste);
}

void TKeyHook::SavePresetKey() {
  // Ctrl+S inside the name dialog would ask for a name on top of itself.
  if (FTargets.NameDialogShown && FTargets.NameDialogShown()) return;
  Trigger(FTargets.PresetSave);
}
