// The variables window driven through its real grid: the rows it starts with,
// typing values and names and moving away, the radix items, the entry row,
// deleting blocks, Return's commit, hiding, and its settings keys.
#include "windows/vars.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <memory>
#include <string>
#include <vector>

#include "engine/CalcExpress.h"
#include "platform/IniFile.h"

// Readable failure messages for cell texts.
void PrintTo(const QString& text, std::ostream* os) {
  *os << '"' << text.toStdString() << '"';
}

namespace {

using Names = std::vector<std::string>;

class TFakeHost : public ICalcHost {
 public:
  TCalculator& Calculator() override { return FCalc; }
  bool HasExpressionField() const override { return false; }
  QString ExpressionText() const override { return {}; }
  void VariablesWindowHidden() override { ++HiddenCalls; }
  void GraphWindowHidden() override {}
  void ReportError(const QString& message) override { ADD_FAILURE() << message.toStdString(); }

  // Evaluates `formula` as the calculator would, with the store's values.
  long double Eval(const std::string& formula) {
    const TCalcResult result = FCalc.Evaluate(formula);
    EXPECT_EQ(result.Error, ceOK) << formula;
    return result.Value;
  }

  int HiddenCalls = 0;

 private:
  TCalculator FCalc;
};

class VarsTest : public ::testing::Test {
 protected:
  void SetUp() override { Reset(); }
  // A fresh calculator store and window.
  void Reset() {
    form.reset();
    hostPtr = std::make_unique<TFakeHost>();
    form = std::make_unique<TVarsForm>(*hostPtr);
    grid = form->Variables();
  }
  TFakeHost& Host() { return *hostPtr; }
  void Show() {
    form->move(50, 50);
    form->show();
    form->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    grid->setFocus();
  }
  TVariableStore& Store() { return Host().Calculator().Variables(); }
  const Names& VarNames() { return Store().Names(); }
  long double& Value(int position) { return Store().Value(position); }
  QString Cell(int row, int col) const {
    const QTableWidgetItem* item = grid->item(row, col);
    return item ? item->text() : QString();
  }
  QPoint CellCenter(int row, int col) const {
    const QModelIndex index = grid->model()->index(row, col);
    grid->scrollTo(index);
    return grid->visualRect(index).center();
  }
  void Click(int row, int col, Qt::KeyboardModifiers mods = Qt::NoModifier) {
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, mods, CellCenter(row, col));
  }
  // Keys go where the program's focus is: the grid, then its cell editor.
  void Type(const QString& text) {
    for (QChar ch : text) QTest::keyClick(QApplication::focusWidget(), ch.toLatin1());
  }
  void Key(Qt::Key key, Qt::KeyboardModifiers mods = Qt::NoModifier) {
    QTest::keyClick(QApplication::focusWidget(), key, mods);
  }
  void AddUserVariables(int n) {
    for (int i = 1; i <= n; ++i) {
      Store().Append("U" + std::to_string(i));
      Value(7 + i) = 10 * i;
    }
  }
  QAction* Item(const char* name) const { return form->Menu()->findChild<QAction*>(name); }

  std::unique_ptr<TFakeHost> hostPtr;
  std::unique_ptr<TVarsForm> form;
  QTableWidget* grid = nullptr;
};

TEST_F(VarsTest, ShowsTheFixedVariablesAndAnEntryRow) {
  Value(1) = 1.5L;
  Value(7) = -2;
  Show();
  EXPECT_EQ(form->windowTitle(), "Variables");
  EXPECT_TRUE(form->windowFlags() & Qt::Tool);
  EXPECT_EQ(form->size(), QSize(374, 290));
  ASSERT_EQ(grid->rowCount(), 8);
  ASSERT_EQ(grid->columnCount(), 2);
  const char* names[] = {"A", "B", "C", "D", "E", "F", "X", ""};
  const char* values[] = {"1.5", "0", "0", "0", "0", "0", "-2", ""};
  for (int r = 0; r < 8; ++r) {
    EXPECT_EQ(Cell(r, 0), names[r]) << r;
    EXPECT_EQ(Cell(r, 1), values[r]) << r;
  }
  QStringList menu;
  for (QAction* a : form->Menu()->actions()) menu << (a->isSeparator() ? "-" : a->text());
  EXPECT_EQ(menu.join(","), "Delete,-,Hexadecimal,Decimal,Octal,Binary,-,Close");
  EXPECT_TRUE(Item("Decimal")->isChecked());
  EXPECT_EQ(Item("Delete")->shortcut(), QKeySequence(Qt::Key_Delete));

  // Column widths follow the window; the window never gets below 100 x 50.
  const struct {
    QSize asked, got;
    int col0, col1;
  } sizes[] = {{{374, 290}, {374, 290}, 152, 187},
               {{501, 400}, {501, 400}, 215, 250},
               {{40, 10}, {100, 50}, 15, 50}};
  for (const auto& s : sizes) {
    form->resize(s.asked);
    EXPECT_EQ(form->size(), s.got);
    EXPECT_EQ(grid->columnWidth(0), s.col0);
    EXPECT_EQ(grid->columnWidth(1), s.col1);
  }
}

TEST_F(VarsTest, ValueCellIsCommittedWhenLeft) {
  const struct {
    const char* radix;
    const char* typed;
    Qt::Key leave;
    const char* shown;
    long double value;
  } rows[] = {
      {"Decimal", "0x1F", Qt::Key_Down, "31", 31},
      {"Decimal", "-3m", Qt::Key_Tab, "-0.003", -0.003L},
      {"Decimal", "abc", Qt::Key_Down, "abc", 7},  // not a number: kept, value unchanged
      {"Decimal", "", Qt::Key_Down, "", 7},        // emptied: nothing happens
      {"Hexadecimal", "0x1F", Qt::Key_Backtab, "0x1F", 31},
      {"Binary", "2.5", Qt::Key_Down, "0b10", 2.5L},
      {"Hexadecimal", "1e30", Qt::Key_Down, "1E30", 1e30L},  // beyond 64 bits: decimal
  };
  Show();
  for (const auto& r : rows) {
    Item(r.radix)->trigger();
    Value(1) = 7;
    form->RefreshGrid();
    Click(0, 1);
    Key(Qt::Key_F2);  // edit the cell, then replace its text
    Key(Qt::Key_A, Qt::ControlModifier);
    Key(Qt::Key_Backspace);
    Type(r.typed);
    Key(r.leave);
    EXPECT_EQ(Cell(0, 1), r.shown) << r.radix << " " << r.typed;
    EXPECT_EQ(Value(1), r.value) << r.radix << " " << r.typed;
  }
}

TEST_F(VarsTest, RadixSwitchRewritesCellsButNoValue) {
  const long double third = 1.0L / 3;
  const long double start[] = {255, -1, 1e30L, 2.5L, third};
  for (int p = 1; p <= 5; ++p) Value(p) = start[p - 1];
  Show();
  Item("Hexadecimal")->trigger();
  EXPECT_EQ(form->ValueFormat(), 1);
  EXPECT_TRUE(Item("Hexadecimal")->isChecked());
  EXPECT_FALSE(Item("Decimal")->isChecked());
  const char* hex[] = {"0xFF", "0xFFFFFFFFFFFFFFFF", "1E30", "0x2", "0x0"};
  for (int r = 0; r < 5; ++r) EXPECT_EQ(Cell(r, 1), hex[r]) << r;

  // Walking through the value cells without typing keeps every exact value.
  Click(0, 1);
  for (int r = 0; r < 7; ++r) Key(Qt::Key_Down);
  for (int p = 1; p <= 5; ++p) EXPECT_EQ(Value(p), start[p - 1]) << p;
  // So does opening a cell's editor and leaving it unchanged.
  for (const Qt::Key leave : {Qt::Key_Down, Qt::Key_Return}) {
    Click(4, 1);
    Key(Qt::Key_F2);
    Key(leave);
    EXPECT_EQ(Value(5), third);
  }

  Item("Octal")->trigger();
  EXPECT_EQ(Cell(0, 1), "0o377");
  Item("Binary")->trigger();
  EXPECT_EQ(Cell(0, 1), "0b11111111");
  Host().Calculator().SetEngMode(true);
  Item("Decimal")->trigger();
  EXPECT_EQ(Cell(0, 1), "255");
  EXPECT_EQ(Cell(3, 1), "2.5");
  EXPECT_EQ(Cell(4, 1), "333.333333333333333m");
  EXPECT_EQ(Value(5), third);
}

TEST_F(VarsTest, EntryRowAddsARowAtTheFirstKeystroke) {
  Show();
  Click(7, 1);  // a value typed before the name lands at the new variable
  Type("21");
  Click(7, 0);
  Type("Y");
  EXPECT_EQ(grid->rowCount(), 9);
  EXPECT_EQ(VarNames(), Names({"Pi", "A", "B", "C", "D", "E", "F", "X", ""}));
  Type("o");
  EXPECT_EQ(grid->rowCount(), 9);
  Key(Qt::Key_Down);
  EXPECT_EQ(VarNames().back(), "Yo");
  EXPECT_EQ(Host().Eval("Yo*2"), 42);
  EXPECT_EQ(Cell(8, 0), "");  // the new entry row
}

TEST_F(VarsTest, NoEntryIsAddedAt255Names) {
  for (int i = 8; i < TVarsForm::kMaxEntries; ++i) Store().Append("V" + std::to_string(i));
  Show();
  ASSERT_EQ(grid->rowCount(), 255);
  const Names before = VarNames();
  Click(254, 0);
  Type("Q");
  Key(Qt::Key_Up);
  EXPECT_EQ(grid->rowCount(), 255);
  EXPECT_EQ(VarNames(), before);
}

TEST_F(VarsTest, RenamingTakesEffectWhenTheCellIsLeft) {
  Value(2) = 4;
  Show();
  Click(1, 0);
  Type("xBeta");
  Key(Qt::Key_Home);
  Key(Qt::Key_Delete);            // in the editor Del deletes a character, not rows
  EXPECT_EQ(VarNames()[2], "B");  // still typing
  Key(Qt::Key_Tab);
  EXPECT_EQ(VarNames()[2], "Beta");
  EXPECT_EQ(Host().Eval("Beta+1"), 5);

  // A click on the current cell edits it at once; keys typed right after it
  // stay, whatever the double-click time.
  Click(6, 0);
  Click(6, 0);
  Type("2");
  QTest::qWait(QApplication::doubleClickInterval() + 100);
  Key(Qt::Key_Up);
  EXPECT_EQ(VarNames()[7], "2");  // the editor opens with its text selected
}

TEST_F(VarsTest, DeleteRemovesOnlyUserRows) {
  struct Row {
    int users, top, bottom;
    bool byKey;
    Names after;
    int rows;
  };
  const Row rows[] = {
      {4, 2, 9, true, {"Pi", "A", "B", "C", "D", "E", "F", "X", "U4"}, 9},
      {4, 0, 6, false, {"Pi", "A", "B", "C", "D", "E", "F", "X", "U1", "U2", "U3", "U4"}, 12},
      {4, 8, 9, true, {"Pi", "A", "B", "C", "D", "E", "F", "X", "U1", "U4"}, 10},
      {2, 8, 9, true, {"Pi", "A", "B", "C", "D", "E", "F", "X", "U1"}, 8},  // with the entry row
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.top);
    Reset();
    AddUserVariables(r.users);
    Show();
    Click(r.top, 0);
    Click(r.bottom, 1, Qt::ShiftModifier);
    // A right click opens the menu without touching the selection.
    QTest::mouseClick(grid->viewport(), Qt::RightButton, {}, CellCenter(0, 0));
    if (r.byKey) {
      Key(Qt::Key_Delete);
    } else {
      Item("Delete")->trigger();
    }
    EXPECT_FALSE(form->Deleting());
    EXPECT_EQ(VarNames(), r.after);
    ASSERT_EQ(grid->rowCount(), r.rows);
    for (int row = 0; row + 1 < static_cast<int>(r.after.size()); ++row) {
      EXPECT_EQ(Cell(row, 0).toStdString(), r.after[row + 1]);
    }
    // The values moved with their names, in the grid and in the store.
    for (std::size_t p = 8; p < r.after.size(); ++p) {
      const int value = 10 * std::stoi(r.after[p].substr(1));
      EXPECT_EQ(Cell(p - 1, 1), QString::number(value));
      EXPECT_EQ(Host().Eval(r.after[p]), value);
    }
  }
  // The last case left U1 on the last row, which now acts as the entry row.
  Click(7, 0);
  Type("W");
  EXPECT_EQ(grid->rowCount(), 9);
  EXPECT_EQ(VarNames().size(), 10u);
}

TEST_F(VarsTest, ReturnCommitsTheValueBeingEdited) {
  Show();
  Click(0, 1);
  Type("0x10");  // the editor is still open
  form->CommitValue();
  EXPECT_EQ(Value(1), 16);
  EXPECT_EQ(Cell(0, 1), "16");
  Click(1, 0);
  Type("7");
  form->CommitValue();  // a name cell: nothing is committed
  EXPECT_EQ(VarNames()[2], "B");
  EXPECT_EQ(Value(2), 0);
}

TEST_F(VarsTest, CloseHidesAndShowingRebuilds) {
  Show();
  Item("Close")->trigger();
  EXPECT_FALSE(form->isVisible());
  EXPECT_EQ(Host().HiddenCalls, 1);
  Value(3) = 12;  // changed elsewhere while hidden
  Show();
  EXPECT_EQ(Cell(2, 1), "12");
}

TEST_F(VarsTest, SettingsKeysKeepPositionAndSize) {
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  IniFile ini(dir.filePath("zumbrel.ini").toStdString());
  form->LoadSettings(ini);  // no file: the defaults
  EXPECT_EQ(form->pos(), QPoint(0, 0));
  EXPECT_EQ(form->size(), QSize(374, 290));

  ini.WriteString("Position", "VarsLeft", "30");
  ini.WriteString("Position", "VarsTop", "0x28");
  ini.WriteString("Position", "VarsWidth", "500");
  ini.WriteString("Position", "VarsHeight", "20");  // below the minimum
  form->LoadSettings(ini);
  EXPECT_EQ(form->pos(), QPoint(30, 40));
  EXPECT_EQ(form->size(), QSize(500, 50));

  form->move(70, 80);
  form->resize(410, 220);
  form->SaveSettings(ini);
  const struct {
    const char* key;
    int value;
  } keys[] = {{"VarsLeft", 70}, {"VarsTop", 80}, {"VarsWidth", 410}, {"VarsHeight", 220}};
  for (const auto& k : keys) EXPECT_EQ(ini.ReadInteger("Position", k.key, -1), k.value) << k.key;
}

}  // namespace
