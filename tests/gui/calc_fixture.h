// The calculator program in a temporary program folder: a copy of the bundled
// skins, an optional settings file, the windows made by the program's own
// wiring (TProgram), and helpers that click skin keys and read the display.
// Errors the calculator reports are collected instead of shown in a message
// box. Used by the calculator's GUI tests.
#pragma once

#include <gtest/gtest.h>

#include <QAction>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMenu>
#include <QTemporaryDir>
#include <QTest>
#include <initializer_list>
#include <memory>
#include <ostream>

#include "calc/App.h"
#include "calc/KeyHook.h"
#include "calc/Program.h"
#include "calc/main.h"
#include "controls/ImgBox.h"
#include "platform/DataDirs.h"
#include "presets/Presets.h"
#include "skin/SkinElements.h"
#include "skin/skin.h"
#include "windows/about.h"
#include "windows/graf.h"
#include "windows/preset.h"
#include "windows/vars.h"

// Readable QString values in failure messages.
inline void PrintTo(const QString& text, std::ostream* os) { *os << '"' << text.toStdString() << '"'; }

class CalcFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(Dir.isValid());
    FormerDir = QDir::currentPath();
    // The program never uses the current folder: it is an empty one of its
    // own during each test, and must stay empty.
    ASSERT_TRUE(Elsewhere.isValid());
    QDir::setCurrent(Elsewhere.path());
    CopySkins(QStringLiteral(ZUMBREL_BIN_DIR "/Skins"), Dir.filePath(QStringLiteral("Skins")));
    ErrorReporter = [this](const QString& message) { Errors << message; };
  }

  void TearDown() override {
    Program.reset();  // the windows write their settings into the temporary folder
    Form = nullptr;
    Vars = nullptr;
    Graph = nullptr;
    Dialog = nullptr;
    About = nullptr;
    QDir::setCurrent(FormerDir);
    EXPECT_TRUE(QDir(Elsewhere.path()).isEmpty(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden))
        << "something was written into the current folder";
    ErrorReporter = nullptr;
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  }

  // The skin files are copied (tests add and break skins); their picture
  // folders are only read, so links to them do.
  static void CopySkins(const QString& from, const QString& to) {
    QDir().mkpath(to);
    for (const QFileInfo& entry : QDir(from).entryInfoList(QDir::AllEntries | QDir::NoDotAndDotDot)) {
      const QString target = to + QLatin1Char('/') + entry.fileName();
      if (entry.isDir())
        QFile::link(entry.absoluteFilePath(), target);
      else
        QFile::copy(entry.absoluteFilePath(), target);
    }
  }

  void WriteFile(const QString& name, const QByteArray& text) {
    QFile f(Dir.filePath(name));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(text);
  }

  QByteArray ReadFile(const QString& name) {
    QFile f(Dir.filePath(name));
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
  }

  // Makes the program as it starts, with every window; `settings` becomes
  // zumbrel.ini. The main window is shown.
  void Start(const QByteArray& settings = {}) { ASSERT_TRUE(Launch(settings)); }
  // The same, false when no skin loads.
  bool Launch(const QByteArray& settings = {}) {
    if (!settings.isEmpty()) WriteFile(QStringLiteral("zumbrel.ini"), settings);
    Program = std::make_unique<TProgram>(DataDirs(), Separator);
    Form = &Program->MainForm();
    const bool started = Program->Start();
    Vars = Program->VarsForm();
    Graph = Program->GraphForm();
    Dialog = Program->PresetForm();
    About = Program->AboutForm();
    return started;
  }

  // The folders as the program chooses them for the temporary folder: it
  // holds Skins/ and is writable, so the program is portable there.
  TDataDirs DataDirs() const {
    return ChooseDataDirs(Dir.path().toStdString(), "", ProcessEnvironment(), RealDataProbe());
  }

  TCalculator& Calc() const { return Form->Calculator(); }
  long double& Value(std::size_t slot) const { return Calc().Variables().Value(slot); }
  TSkin& Skin() const { return *Form->Skin(); }
  const TMainMenuItems& Menu() const { return Form->Menu(); }
  const TSkinElements& Elements() const { return Form->Elements(); }
  TSkinEdit* Edit() const { return Form->Elements().ExpressionEdit; }
  // The preset items of the Presets submenu.
  QList<QAction*> PresetItems() const { return Menu().MMPresets->actions().mid(kFixedPresetItems); }

  TImgBtn* Button(const QString& name) const {
    for (int i = 0; i < Skin().ButtonCount(); ++i)
      if (Skin().Buttons(i)->ButtonName() == name) return Skin().Buttons(i);
    return nullptr;
  }

  // Real left clicks on skin keys or boxes, by element name.
  void Click(std::initializer_list<const char*> names) {
    for (const char* name : names) {
      QWidget* target = Button(QString::fromLatin1(name));
      if (!target) target = Skin().FindCheckBox(QString::fromLatin1(name));
      ASSERT_NE(target, nullptr) << name;
      QTest::mouseClick(target, Qt::LeftButton);
    }
  }

  void Type(const QString& text) { QTest::keyClicks(Edit(), text); }
  // Typed as the user types: into the main window, wherever its keyboard is.
  void TypeIntoWindow(const QString& text) {
    for (const QChar c : text) QTest::keyClick(Form->windowHandle(), c.toLatin1());
  }
  QString Field() const { return Edit()->text(); }
  QString Display() const { return Form->Elements().ResultLabel->text(); }

  QAction* SkinItem(const QString& name) const {
    for (QAction* item : Menu().MMSkin->actions())
      if (item->data().toString() == name) return item;
    return nullptr;
  }

  QTemporaryDir Dir;
  QTemporaryDir Elsewhere;
  QString FormerDir;
  QStringList Errors;
  // The user's decimal separator, as the program is given it.
  char Separator = '.';
  std::unique_ptr<TProgram> Program;
  // The program's windows, while it lives.
  TMainForm* Form = nullptr;
  TVarsForm* Vars = nullptr;
  TGraphForm* Graph = nullptr;
  TPresetForm* Dialog = nullptr;
  TAboutForm* About = nullptr;
};
