// A calculator in a temporary program folder: a copy of the bundled skins, an
// optional settings file, and helpers that click skin keys and read the
// display. Errors the calculator reports are collected instead of shown in a
// message box. Used by the calculator's GUI tests.
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
#include "calc/main.h"
#include "controls/ImgBox.h"
#include "skin/SkinElements.h"
#include "skin/skin.h"

// Readable QString values in failure messages.
inline void PrintTo(const QString& text, std::ostream* os) { *os << '"' << text.toStdString() << '"'; }

class CalcFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    SetDecimalSeparator('.');
    ASSERT_TRUE(Dir.isValid());
    FormerDir = QDir::currentPath();
    CopySkins(QStringLiteral(ZUMBREL_BIN_DIR "/Skins"), Dir.filePath(QStringLiteral("Skins")));
    ErrorReporter = [this](const QString& message) { Errors << message; };
  }

  void TearDown() override {
    Form.reset();  // writes its settings into the temporary folder
    QDir::setCurrent(FormerDir);
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

  // Creates and shows the calculator; `settings` becomes zumbrel.ini.
  void Start(const QByteArray& settings = {}) {
    if (!settings.isEmpty()) WriteFile(QStringLiteral("zumbrel.ini"), settings);
    Form = std::make_unique<TMainForm>(Dir.path());
    ASSERT_TRUE(Form->FormCreate());
    Form->show();
  }

  TImgBtn* Button(const QString& name) const {
    for (int i = 0; i < Form->Skin->ButtonCount(); ++i)
      if (Form->Skin->Buttons(i)->ButtonName() == name) return Form->Skin->Buttons(i);
    return nullptr;
  }

  // Real left clicks on skin keys or boxes, by element name.
  void Click(std::initializer_list<const char*> names) {
    for (const char* name : names) {
      QWidget* target = Button(QString::fromLatin1(name));
      if (!target) target = Form->Skin->FindCheckBox(QString::fromLatin1(name));
      ASSERT_NE(target, nullptr) << name;
      QTest::mouseClick(target, Qt::LeftButton);
    }
  }

  void Type(const QString& text) { QTest::keyClicks(Form->ExpressionEdit, text); }
  QString Field() const { return Form->ExpressionEdit->text(); }
  QString Display() const { return Form->ResultLabel->text(); }

  QAction* SkinItem(const QString& name) const {
    for (QAction* item : Form->MMSkin->actions())
      if (item->data().toString() == name) return item;
    return nullptr;
  }

  QTemporaryDir Dir;
  QString FormerDir;
  QStringList Errors;
  std::unique_ptr<TMainForm> Form;
};
