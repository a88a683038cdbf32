// TKeyHook: the calculator's keyboard map for the whole program. The main
// window's FormCreate installs it on the application object as an event
// filter, so it sees the keys of every window (main window, variables and
// graph windows, about box, name dialog) before any control does. The
// F-keys, Ctrl+Insert and Ctrl+S trigger the main menu's items, so a key does
// exactly what its item does; Return, Esc and Shift+Insert run the commands
// that have no item, and so does "=" typed into a formula. Gui layer; made
// by TProgram.
#pragma once

#include <QObject>
#include <QTimer>
#include <functional>

class QAction;
class QKeyEvent;

// What the keys reach.
struct TKeyTargets {
  // The menu items of F1 to F12 (acting on release).
  QAction* Help = nullptr;
  QAction* Degrees = nullptr;
  QAction* Radians = nullptr;
  QAction* Gradians = nullptr;
  QAction* Hexadecimal = nullptr;
  QAction* Decimal = nullptr;
  QAction* Octal = nullptr;
  QAction* Binary = nullptr;
  QAction* Eng = nullptr;
  QAction* Variables = nullptr;
  QAction* Graph = nullptr;
  QAction* History = nullptr;  // F10
  QAction* CopyResult = nullptr;  // Ctrl+Insert
  QAction* PresetSave = nullptr;  // Ctrl+S
  std::function<void()> Paste;    // Shift+Insert
  std::function<void()> Return;
  std::function<void()> Escape;
  // Whether keys going to `receiver` type a formula ("=" then evaluates,
  // like Return).
  std::function<bool(QObject* receiver)> TypesFormula;
  // While the preset-name dialog shows, Ctrl+S is its own.
  std::function<bool()> NameDialogShown;
};

class TKeyHook : public QObject {
  Q_OBJECT

 public:
  explicit TKeyHook(TKeyTargets targets, QObject* parent = nullptr);

  // Maps one key message for `receiver` (the widget it goes to). Setting
  // `handled` stops the message: no window of the program receives it.
  void AppMessage(QKeyEvent* msg, bool& handled, QObject* receiver = nullptr);

  // The Shift and Ctrl keys as the key messages that reached the program
  // left them.
  bool ShiftDown() const { return FShiftDown; }
  bool CtrlDown() const { return FCtrlDown; }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void KeyDown(QKeyEvent* msg, bool& handled, QObject* receiver);
  void KeyUp(QKeyEvent* msg, bool& handled);
  // The keys that type a character: Return, Esc, Ctrl+S.
  void Character(QKeyEvent* msg, bool& handled, QObject* receiver);
  // The F-keys act when they are released.
  void FunctionKeyDown(QKeyEvent* msg);
  void FunctionKeyUp(QKeyEvent* msg);
  // The release waiting to be told from the first half of a repeat acts now.
  void ActPending();
  void FunctionKey(int key);
  void InsertKey();
  void SavePresetKey();

  TKeyTargets FTargets;
  bool FShiftDown = false;
  bool FCtrlDown = false;
  // The F-key held now and the time of the press that began holding it.
  int FHeldKey = 0;
  quint64 FHeldSince = 0;
  // A release that may be the first half of a repeat, until a press of the
  // same time shows it is (or the wait ends).
  int FPendingKey = 0;
  quint64 FPendingTime = 0;
  QTimer FPendingWait;
};
