// The history tape in the running program: each Enter adds an entry that the
// History window lists; Up and Down recall expressions into the field (and
// Back undoes that); the window's commands; the file beside the settings,
// kept across starts, held to 1,000 entries, left alone when it is not ours
// and reported once when it cannot be written.
#include "calc/History.h"

#include <QAbstractItemModel>
#include <QClipboard>
#include <QGuiApplication>
#include <QListView>
#include <QScrollBar>
#include <QTableWidget>

#include "tests/gui/calc_fixture.h"
#include "windows/history.h"

namespace {

class HistoryTest : public CalcFixture {
 protected:
  THistoryForm* Window() const { return Program->HistoryForm(); }
  QAbstractItemModel* Model() const { return Window()->Entries()->model(); }
  // What the window lists, row by row: "expression | result".
  QStringList Tape() const {
    QStringList rows;
    for (int r = 0; r < Model()->rowCount(); ++r) {
      const QModelIndex i = Model()->index(r, 0);
      rows << i.data().toString() + " | " + i.data(Qt::UserRole).toString();
    }
    return rows;
  }
  void Evaluate(const QString& text) {
    QTest::keyClick(Edit(), Qt::Key_A, Qt::ControlModifier);
    Type(text);
    QTest::keyClick(Edit(), Qt::Key_Return);
  }
  void Key(Qt::Key key) { QTest::keyClick(Edit(), key); }
  void Select(int row) { Window()->Entries()->setCurrentIndex(Model()->index(row, 0)); }
  QString HistoryFile() const { return Dir.filePath(QString::fromLatin1(kHistoryFileName)); }
  void Restart() {
    Program->Finish();
    Program.reset();
    Start();
  }
};

TEST_F(HistoryTest, EveryEnterAddsAnEntryTheWindowListsNewestLast) {
  Start();
  Evaluate("2+3");
  Evaluate("1/0");
  Click({"Clear", "7", "Multiply", "6", "Enter"});
  QTest::keyClick(Edit(), Qt::Key_F5);  // the tape keeps the result as it was shown
  Evaluate("255");
  Click({"Clear", "Enter"});  // nothing to evaluate: no entry
  EXPECT_EQ(Calc().History().Count(), 4u);

  EXPECT_FALSE(Menu().MMHistory->isChecked());
  QTest::keyClick(Edit(), Qt::Key_F10);
  ASSERT_TRUE(QTest::qWaitForWindowExposed(Window()));
  EXPECT_TRUE(Menu().MMHistory->isChecked());
  EXPECT_EQ(Window()->windowTitle(), "History");
  EXPECT_EQ(Tape(), (QStringList{"2+3 | 5", "1/0 | Division by zero", "7*6 | 42", "255 | 0xFF"}));
  EXPECT_EQ(Window()->CurrentEntry(), &Calc().History().Entry(3));

  // New entries show at the end, scrolled into view.
  Form->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(Form));
  for (int i = 0; i < 40; ++i) Evaluate(QString::number(i) + "*2");
  EXPECT_EQ(Tape().back(), "39*2 | 0x4E");
  const QScrollBar* bar = Window()->Entries()->verticalScrollBar();
  EXPECT_GT(bar->maximum(), 0);
  EXPECT_EQ(bar->value(), bar->maximum());

  // Hidden by its own means, the menu's check follows; the item shows it again.
  Window()->close();
  EXPECT_FALSE(Menu().MMHistory->isChecked());
  Menu().MMHistory->trigger();
  EXPECT_TRUE(Window()->isVisible());
  EXPECT_TRUE(Menu().MMHistory->isChecked());
  EXPECT_TRUE(Errors.isEmpty());
}

TEST_F(HistoryTest, UpAndDownStepThroughEarlierExpressionsAndBackUndoesThem) {
  Start();
  for (const char* e : {"1+1", "2*3", "2*3", "sin(0)"}) Evaluate(e);
  Click({"Clear"});
  Type("4/");
  struct Row {
    Qt::Key Key;
    const char* Field;
  };
  const Row rows[] = {
      {Qt::Key_Up, "sin(0)"}, {Qt::Key_Up, "2*3"},   {Qt::Key_Up, "1+1"},
      {Qt::Key_Up, "1+1"},    {Qt::Key_Down, "2*3"}, {Qt::Key_Down, "sin(0)"},
      {Qt::Key_Down, "4/"},   {Qt::Key_Down, "4/"},  {Qt::Key_Up, "sin(0)"},
  };
  for (const Row& r : rows) {
    Key(r.Key);
    EXPECT_EQ(Field(), r.Field) << (r.Key == Qt::Key_Up ? "Up" : "Down");
    EXPECT_EQ(Edit()->cursorPosition(), Field().size());
  }
  // Each recall was one step of the field's text: Back goes the way back.
  for (const char* before : {"4/", "sin(0)", "2*3", "1+1", "2*3", "sin(0)", "4/", "4", ""}) {
    Click({"Back"});
    EXPECT_EQ(Field(), before);
  }
  // A recalled and edited text is the new one being typed.
  Key(Qt::Key_Up);
  Type("+1");
  Key(Qt::Key_Return);
  EXPECT_EQ(Display(), "1");
  Key(Qt::Key_Up);
  EXPECT_EQ(Field(), "sin(0)");  // the one just evaluated is stepped over
  // Up elsewhere is the control's own: the variables grid moves its row.
  Form->MMVariablesClick(nullptr);
  Vars->Variables()->setCurrentCell(3, 0);
  QTest::keyClick(Vars->Variables(), Qt::Key_Up);
  EXPECT_EQ(Vars->Variables()->currentRow(), 2);
  EXPECT_EQ(Field(), "sin(0)");
}

TEST_F(HistoryTest, EntriesGoBackIntoTheExpressionFromTheWindow) {
  Start();
  Evaluate("-2.5e-7*2");
  Evaluate("1/0");
  Evaluate("0.1");
  Form->MMHistoryClick(nullptr);
  ASSERT_TRUE(QTest::qWaitForWindowExposed(Window()));

  // Double-click on an entry (the platform's press, release and double
  // click): its expression replaces the field's text.
  Type("junk");
  const QRect first = Window()->Entries()->visualRect(Model()->index(0, 0));
  QTest::mouseClick(Window()->Entries()->viewport(), Qt::LeftButton, {}, first.center());
  QTest::mouseDClick(Window()->Entries()->viewport(), Qt::LeftButton, {}, first.center());
  EXPECT_EQ(Field(), "-2.5e-7*2");
  Click({"Back"});
  EXPECT_EQ(Field(), "0.1junk");

  // Insert result at the caret: a text the formula reads back as the value.
  Edit()->setCursorPosition(3);
  Select(0);
  Window()->InsertResultClick();
  EXPECT_EQ(Field(), "0.1(-5e-7)junk");
  Edit()->setText("3*");
  Window()->InsertResultClick();
  // The keyboard goes back to the field, so Return evaluates there.
  ASSERT_TRUE(QTest::qWaitForWindowActive(Form));
  EXPECT_EQ(QApplication::focusWidget(), Edit());
  Key(Qt::Key_Return);
  EXPECT_EQ(Display(), "-1.5E-6");
  Select(1);
  Window()->UpdateMenu();
  EXPECT_FALSE(Window()->InsertResultItem()->isEnabled());  // an error has no value
  EXPECT_TRUE(Window()->UseExpressionItem()->isEnabled());

  // Return in the list uses the current entry and evaluates nothing.
  Window()->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(Window()));
  Window()->Entries()->setFocus();
  Select(2);
  const QString shown = Display();
  QTest::keyClick(Window()->Entries(), Qt::Key_Return);
  EXPECT_EQ(Field(), "0.1");
  EXPECT_EQ(Display(), shown);

  // Copy, Delete and Clear history act on the selection and the list.
  Window()->Entries()->selectionModel()->select(Model()->index(0, 0), QItemSelectionModel::Select);
  Window()->CopyClick();
  EXPECT_EQ(QGuiApplication::clipboard()->text(), "-2.5e-7*2 = -5E-7\n0.1 = 0.1");
  QTest::keyClick(Window()->Entries(), Qt::Key_Delete);
  EXPECT_EQ(Tape(), (QStringList{"1/0 | Division by zero", "3*(-5e-7) | -1.5E-6"}));
  EXPECT_EQ(Calc().History().Count(), 2u);
  Window()->ClearClick();
  EXPECT_EQ(Model()->rowCount(), 0);
  Window()->UpdateMenu();
  EXPECT_FALSE(Window()->ClearItem()->isEnabled() || Window()->UseExpressionItem()->isEnabled());
  EXPECT_TRUE(Errors.isEmpty());
}

TEST_F(HistoryTest, TheTapeIsKeptBesideTheSettingsAcrossStarts) {
  Start("[Position]\nHistoryLeft=30\nHistoryTop=40\nHistoryWidth=250\nHistoryHeight=120\n");
  EXPECT_EQ(Window()->pos(), QPoint(30, 40));
  EXPECT_EQ(Window()->size(), QSize(250, 120));
  Evaluate("6*7");
  Evaluate("a\\b");  // written escaped, read back as typed
  EXPECT_EQ(ReadFile(QString::fromLatin1(kHistoryFileName)),
            ";Zumbrel history\n6*7\t42\t42\na\\\\b\tSyntax error\t\n");
  Window()->resize(300, 200);
  Restart();
  EXPECT_EQ(Tape(), (QStringList{"6*7 | 42", "a\\b | Syntax error"}));
  EXPECT_EQ(Window()->size(), QSize(300, 200));
  Key(Qt::Key_Up);
  EXPECT_EQ(Field(), "a\\b");
  Key(Qt::Key_Up);
  EXPECT_EQ(Field(), "6*7");
  Program->Finish();
  EXPECT_EQ(
      IniFile(Dir.filePath("zumbrel.ini").toStdString()).ReadInteger("Position", "HistoryWidth", 0),
      300);
}

TEST_F(HistoryTest, AtMostAThousandEntriesAreKept) {
  QByteArray text = ";Zumbrel history\n";
  for (int i = 0; i < 1000; ++i)
    text +=
        QByteArray::number(i) + "\t" + QByteArray::number(i) + "\t" + QByteArray::number(i) + "\n";
  WriteFile(QString::fromLatin1(kHistoryFileName), text);
  Start();
  ASSERT_EQ(Calc().History().Count(), 1000u);
  Evaluate("1000+1");
  EXPECT_EQ(Calc().History().Count(), 1000u);
  EXPECT_EQ(Calc().History().Entry(0).Expression, "1");
  const QByteArray written = ReadFile(QString::fromLatin1(kHistoryFileName));
  EXPECT_EQ(written.count('\n'), 1001);
  EXPECT_TRUE(written.startsWith(";Zumbrel history\n1\t1\t1\n2\t"));
  EXPECT_TRUE(written.endsWith("999\t999\t999\n1000+1\t1001\t1001\n"));
  Form->MMHistoryClick(nullptr);
  EXPECT_EQ(Model()->rowCount(), 1000);
}

TEST_F(HistoryTest, AFileThatIsNotAHistoryIsLeftAloneAndOneThatCannotBeWrittenIsReportedOnce) {
  const QByteArray notes = "my own notes\n2+2\t4\t4\n";
  WriteFile(QString::fromLatin1(kHistoryFileName), notes);
  Start();
  EXPECT_FALSE(Program->HistoryFile()->Writable());
  Evaluate("3*3");
  EXPECT_EQ(Tape(), QStringList{"3*3 | 9"});  // kept for this run
  EXPECT_EQ(ReadFile(QString::fromLatin1(kHistoryFileName)), notes);
  Program->Finish();
  Program.reset();

  QFile::remove(HistoryFile());
  WriteFile(QString::fromLatin1(kHistoryFileName), ";Zumbrel history\n");
  QFile::setPermissions(HistoryFile(), QFileDevice::ReadOwner);
  Start();
  Evaluate("1+1");
  Evaluate("2+2");
  QCoreApplication::processEvents();
  EXPECT_EQ(Errors, QStringList{"Unable to write to " + HistoryFile()});
  EXPECT_EQ(Display(), "4");
  EXPECT_EQ(ReadFile(QString::fromLatin1(kHistoryFileName)), ";Zumbrel history\n");
  QFile::setPermissions(HistoryFile(), QFileDevice::ReadOwner | QFileDevice::WriteOwner);
}

}  // namespace
