// Program entry of the calculator: the application object, the program's
// windows in their order (TProgram, with the decimal separator of the user's
// locale), the message loop, and the orderly end in which every window
// writes its settings, the main window first.
#include <QIcon>
#include <QLocale>
#include <QMessageBox>

#include "calc/App.h"
#include "calc/Program.h"
#include "calc/main.h"
#include "platform/DataDirs.h"

namespace {

// The engine reads one character; a separator that is not one plain
// character leaves the point.
char LocaleDecimalSeparator() {
  const QString point = QLocale::system().decimalPoint();
  if (point.size() == 1 && point[0].unicode() > 32 && point[0].unicode() < 127)
    return static_cast<char>(point[0].unicode());
  return '.';
}

// The calculator's icon in every size drawn for it.
QIcon AppIcon() {
  QIcon icon;
  for (const int size : {ZUMBREL_ICON_SIZES})
    icon.addFile(QStringLiteral(":/icons/%1x%1/apps/org.zumbrel.Zumbrel.png").arg(size), QSize(size, size));
  return icon;
}

void ShowCannotLoadSkin() {
  QMessageBox box(QMessageBox::Critical, QStringLiteral("Error"), QStringLiteral("Cannot load skin"),
                  QMessageBox::Ok);
  box.exec();
}

}  // namespace

int main(int argc, char** argv) {
  TApp app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Zumbrel"));
  // The desktop entry's name: docks and Wayland compositors find the entry
  // (its name and icon) for the window by it.
  QGuiApplication::setDesktopFileName(QStringLiteral("org.zumbrel.Zumbrel"));
  QApplication::setWindowIcon(AppIcon());
  // Closing the main window ends the program even while other windows show.
  QApplication::setQuitOnLastWindowClosed(false);

  // Where the files live is decided here, once: beside the program when it
  // runs portable (as from the build folder), else the user's folders.
  const TDataDirs dirs =
      ChooseDataDirs(QCoreApplication::applicationDirPath().toStdString(), ZUMBREL_OWN_DATA_DIR,
                     ProcessEnvironment(), RealDataProbe());
  TProgram program(dirs, LocaleDecimalSeparator());
  QObject::connect(&program.MainForm(), &TMainForm::Closed, &app, &QCoreApplication::quit);
  if (!program.Start()) {
    ShowCannotLoadSkin();
    return 0;
  }

  const int code = QApplication::exec();
  program.Finish();
  return code;
}
