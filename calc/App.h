// The calculator's application object and its one error report: an error
// that a command or handler raises and does not handle itself is shown in a
// message box with its message, and the program goes on. Gui layer. Used by
// the program entry, the main window (which runs its handlers guarded) and
// the tests (which replace the message box by ErrorReporter).
#pragma once

#include <QApplication>
#include <QString>
#include <functional>

// Shows `message` as the program's error report: a critical message box
// titled "Zumbrel", unless ErrorReporter is set, which then gets the message.
void ReportError(const QString& message);
extern std::function<void(const QString&)> ErrorReporter;

// Runs `fn`; an exception it throws is reported and goes no further.
void RunGuarded(const std::function<void()>& fn);

// Catches what escapes any event handler, so no exception unwinds through the
// toolkit's event loop.
class TApp : public QApplication {
 public:
  TApp(int& argc, char** argv);
  bool notify(QObject* receiver, QEvent* event) override;
};
