// TKeyHook: the calculator's keyboard map for the whole program. The main
// window's FormCreate installs it on the application object as an event
// filter, so it sees the keys of every window (main window, variables and
// graph windows, about box, name dialog) before any control does, and maps
// Return, Esc, Ctrl+S, F1-F9, F11, F12 and Ctrl/Shift+Insert to calculator
// operations. Gui layer; created by the program entry (and tests) and handed
// to the main window as its KeyHook.
#pragma once

#include <QObject>

class QKeyEvent;
class TMainForm;

class TKeyHook : public QObject {
  Q_OBJECT

 public:
  explicit TKeyHook(TMainForm& form, QObject* parent = nullptr);

  // Maps one key message. Setting `handled` stops the message: no window of
  // the program receives it.
  void AppMessage(QKeyEvent* msg, bool& handled);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void KeyDown(QKeyEvent* msg, bool& handled);
  void KeyUp(QKeyEvent* msg, bool& handled);
  // The keys that type a character: Return, Esc, Ctrl+S.
  void Character(QKeyEvent* msg, bool& handled);
  // The F-keys act when they are released.
  void FunctionKey(int key);
  void InsertKey();
  void ReturnKey();
  void EscapeKey();
  void SavePresetKey();

  TMainForm& FForm;
};
