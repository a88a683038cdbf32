#include "calc/App.h"

#include <QMessageBox>
#include <exception>

std::function<void(const QString&)> ErrorReporter;

void ReportError(const QString& message) {
  if (ErrorReporter) {
    ErrorReporter(message);
    return;
  }
  QMessageBox::critical(QApplication::activeWindow(), QStringLiteral("Zumbrel"), message);
}

void RunGuarded(const std::function<void()>& fn) {
  try {
    fn();
  } catch (const std::exception& e) {
    ReportError(QString::fromUtf8(e.what()));
  } catch (...) {
    ReportError(QStringLiteral("Unknown error"));
  }
}

TApp::TApp(int& argc, char** argv) : QApplication(argc, argv) {}

bool TApp::notify(QObject* receiver, QEvent* event) {
  // Every event passes here: a plain try block, no function object.
  try {
    return QApplication::notify(receiver, event);
  } catch (const std::exception& e) {
    ReportError(QString::fromUtf8(e.what()));
  } catch (...) {
    ReportError(QStringLiteral("Unknown error"));
  }
  return false;
}
