// The calculator's commands driven through the bundled "Windows" skin: real
// clicks on its keys and boxes, typing into its expression field.
#include <QClipboard>
#include <QFontInfo>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QHelpEvent>
#include <QSignalBlocker>
#include <QToolTip>
#include <array>
#include <string_view>

#include "calc/ResultFit.h"
#include "engine/Errors.h"
#include "tests/gui/calc_fixture.h"

namespace {

using CalculatorTest = CalcFixture;

TEST_F(CalculatorTest, KeysBuildTheExpressionAndEnterShowsTheResult) {
  struct Row {
    std::initializer_list<const char*> keys;
    const char *field, *display;
  };
  const Row rows[] = {
      {{"1", "2", "Plus", "3"}, "12+3", "15"},
      {{"BracketL", "2", "Minus", "5", "BracketR", "Multiply", "4"}, "(2-5)*4", "-12"},
      {{"9", "Divide", "0"}, "9/0", "Division by zero"},
      {{"1", "Point", "5", "Power2"}, "1.5^2", "2.25"},
      {{"2", "Power3", "Power", "2"}, "2^3^2", "64"},
      {{"Inv", "8"}, "1/8", "0.125"},
      {{"6", "And", "3", "Or", "8"}, "6&3|8", "10"},
      {{"6", "Xor", "3"}, "6~3", "5"},
      {{"7", "Mod", "4"}, "7#4", "3"},
      {{"4", "Fact"}, "4!", "24"},
      {{"2", "Exp", "3"}, "2e3", "2000"},
      {{"Pi"}, "Pi", "3.14159265358979324"},
      {{"BracketL", "2"}, "(2", "Missing bracket"},
  };
  Start();
  for (const Row& row : rows) {
    Click({"Clear"});
    Click(row.keys);
    Click({"Enter"});
    EXPECT_EQ(Field(), row.field);
    EXPECT_EQ(Display(), row.display) << row.field;
  }
}

TEST_F(CalculatorTest, KeysAndTypingShareTheFieldAndAnEmptyFieldChangesNothing) {
  Start();
  Type("12");
  Edit()->setCursorPosition(1);
  Click({"Plus"});
  EXPECT_EQ(Field(), "1+2");
  EXPECT_EQ(Edit()->cursorPosition(), 2);
  Edit()->setSelection(0, 2);  // "1+"
  Click({"Pi", "Multiply"});
  EXPECT_EQ(Field(), "Pi*2");
  EXPECT_EQ(Edit()->cursorPosition(), 3);
  QTest::keyClick(Edit(), Qt::Key_End);
  Type("/0");
  Click({"Enter"});
  EXPECT_EQ(Display(), "Division by zero");
  Edit()->selectAll();
  QTest::keyClick(Edit(), Qt::Key_Delete);
  Click({"Enter"});
  EXPECT_EQ(Display(), "Division by zero");
  // "=" typed evaluates like Return; a pasted line break or tab is a blank.
  Type("2*3=");
  EXPECT_EQ(Field(), "2*3");
  EXPECT_EQ(Display(), "6");
  QGuiApplication::clipboard()->setText("+4\n+5\t");
  QTest::keyClick(Edit(), Qt::Key_V, Qt::ControlModifier);
  EXPECT_EQ(Field(), "2*3+4 +5 ");
  QTest::keyClick(Edit(), Qt::Key_Return);
  EXPECT_EQ(Display(), "15");
}

TEST_F(CalculatorTest, AnExceptionFromTheEngineIsReportedAndChangesNothing) {
  Start();
  Click({"5", "Enter", "Mod", "0", "Enter"});
  EXPECT_EQ(Errors, QStringList{"Division by zero"});
  EXPECT_EQ(Display(), "5");
  EXPECT_EQ(Calc().LastResult(), 5);
}

// A receiver whose event handler fails, as a command may, with an error that
// nothing on the way catches.
class TFailing : public QObject {
 public:
  bool event(QEvent* e) override {
    if (e->type() == QEvent::User) throw EZumbrelError("Broken handler");
    return QObject::event(e);
  }
};

TEST_F(CalculatorTest, AnErrorEscapingAnEventHandlerIsReportedAndTheProgramGoesOn) {
  Start();
  TFailing failing;
  QEvent event(QEvent::User);
  QCoreApplication::sendEvent(&failing, &event);
  EXPECT_EQ(Errors, QStringList{"Broken handler"});
  Click({"2", "Plus", "2", "Enter"});
  EXPECT_EQ(Display(), "4");
}

TEST_F(CalculatorTest, CopyResultPutsTheDisplayOnTheClipboard) {
  Start();
  Click({"1", "Divide", "4", "Enter"});
  Menu().MMCopyResult->trigger();
  EXPECT_EQ(QGuiApplication::clipboard()->text(), "0.25");
  Click({"Divide", "0", "Enter"});
  Menu().MMCopyResult->trigger();
  EXPECT_EQ(QGuiApplication::clipboard()->text(), "Division by zero");
}

// A result wider than the display shows whole in a smaller font; past the
// smallest one, digits go from the middle but the sign, the prefix and the
// exponent stay, and the full text is the tooltip and what Copy result copies.
TEST_F(CalculatorTest, ALongResultShowsWholeAndIsCopiedWhole) {
  const struct {
    const char* formula;
    TNumberFormat format;
    QString shown, head, tail;  // what the display holds; what stays in sight
    bool elided;
  } rows[] = {
      {"-2/3/1000", nfDecimal, "-0.000666666666666666667", "-0.000", "667", false},
      {"-1/7e300", nfDecimal, "-1.42857142857142857E-301", "-1.4", "E-301", false},
      {"0-1", nfBinary, "0b" + QString(64, QLatin1Char('1')), "0b1", "1", true},
  };
  Start();
  TSkinLabel* label = Elements().ResultLabel;
  const int width = label->contentsRect().width();
  const int own = QFontInfo(label->font()).pixelSize();
  for (const auto& r : rows) {
    SCOPED_TRACE(r.formula);
    Calc().SetNumberFormat(r.format);
    Edit()->setText(QString::fromLatin1(r.formula));
    Click({"Enter"});
    ASSERT_EQ(Display(), r.shown);
    const TFittedText fitted = TResultFit::Fit(Display(), label->font(), width, '.');
    EXPECT_LE(QFontMetricsF(fitted.Font).horizontalAdvance(fitted.Text), width);
    EXPECT_LT(QFontInfo(fitted.Font).pixelSize(), own);
    EXPECT_GE(QFontInfo(fitted.Font).pixelSize(), TResultFit::kMinPixelSize);
    EXPECT_EQ(fitted.Elided, r.elided);
    EXPECT_TRUE(fitted.Text.startsWith(r.head)) << fitted.Text.toStdString();
    EXPECT_TRUE(fitted.Text.endsWith(r.tail)) << fitted.Text.toStdString();
    EXPECT_EQ(fitted.Text.contains(QChar(0x2026)), r.elided);
    Menu().MMCopyResult->trigger();
    EXPECT_EQ(QGuiApplication::clipboard()->text(), r.shown);
    QHelpEvent tip(QEvent::ToolTip, label->rect().center(),
                   label->mapToGlobal(label->rect().center()));
    QApplication::sendEvent(label, &tip);
    EXPECT_EQ(QToolTip::text(), r.elided ? r.shown : QString());
    QToolTip::hideText();
  }
}

TEST_F(CalculatorTest, FunctionKeysFollow2ndFAndHyp) {
  // Each key with no modifier, 2ndF, Hyp and both; Log and Ln keep Hyp.
  const std::pair<const char*, std::array<const char*, 4>> keys[] = {
      {"Sin", {"sin", "arcsin", "sinh", "arcsinh"}}, {"Cos", {"cos", "arccos", "cosh", "arccosh"}},
      {"Tan", {"tan", "arctan", "tanh", "arctanh"}}, {"Log", {"log", "10^", "log", "10^"}},
      {"Ln", {"ln", "exp", "ln", "exp"}}};
  Start();
  for (const auto& [key, texts] : keys) {
    const bool keepsHyp = std::string_view(texts[2]) == texts[0];
    for (int mode = 0; mode < 4; ++mode) {
      const bool second = mode & 1, hyp = mode & 2;
      Click({"Clear"});
      if (second) Click({"2ndF"});
      if (hyp) Click({"Hyp"});
      ASSERT_EQ(Calc().SecondF(), second);
      ASSERT_EQ(Calc().Hyperbolic(), hyp);
      Click({key});
      EXPECT_EQ(Field(), texts[mode]) << key << mode;
      EXPECT_FALSE(Calc().SecondF() || Elements().SecondFBox->Checked()) << key << mode;
      EXPECT_EQ(Calc().Hyperbolic(), hyp && keepsHyp) << key << mode;
      EXPECT_EQ(Elements().HypBox->Checked(), hyp && keepsHyp) << key << mode;
      if (Calc().Hyperbolic()) Click({"Hyp"});
    }
  }
}

TEST_F(CalculatorTest, MemoryKeysInEachModeWithTheirHints) {
  Start();
  Click({"2", "Plus", "3", "Enter"});  // last result 5
  Menu().MMHexadecimal->trigger();     // memories and hints stay decimal
  struct Row {
    const char *box, *key;  // box nullptr: no mode armed
    long double value;      // of the memory afterwards
    const char *hint, *field;
  };
  const Row rows[] = {
      {"MemSet", "A", 5, "A=5", "2+3"},     {"MemPlus", "A", 10, "A=10", "2+3"},
      {"MemMinus", "B", -5, "B=-5", "2+3"}, {"MemOut", "A", 10, "A=10", "2+310"},
      {nullptr, "B", -5, "B=-5", "2+310B"}, {"MemClear", "A", 0, "", "2+310B"},
  };
  for (const Row& row : rows) {
    if (row.box) Click({row.box});
    Click({row.key});
    EXPECT_EQ(Value(row.key[0] - 'A' + 1), row.value) << row.box << row.key;
    EXPECT_EQ(Button(row.key)->Hint(), row.hint) << row.box << row.key;
    EXPECT_EQ(Field(), row.field) << row.box << row.key;
    EXPECT_EQ(Calc().MemMode(), mmNone);
    for (const char* box : {"MemSet", "MemClear", "MemOut", "MemPlus", "MemMinus"})
      EXPECT_FALSE(Skin().FindCheckBox(box)->Checked()) << box;
  }
  EXPECT_EQ(Display(), "0x5");

  // What MemOut inserts reads back, after an operator, as the memory's value.
  Menu().MMDecimal->trigger();
  for (const auto& [memory, field, shown] :
       {std::tuple{1e-5L, "3*1e-5", "3E-5"}, std::tuple{-2.0L, "3*(-2)", "-6"}}) {
    Value(2) = memory;
    Click({"Clear", "3", "Multiply", "MemOut", "B", "Enter"});
    EXPECT_EQ(Field(), field);
    EXPECT_EQ(Display(), shown);
  }
}

TEST_F(CalculatorTest, OneMemoryBoxAtATimeAndNoOverflowIntoTheMemory) {
  Start();
  Click({"MemMinus", "MemSet"});
  EXPECT_EQ(Calc().MemMode(), mmSet);
  EXPECT_FALSE(Elements().MemMinusBox->Checked());
  Click({"MemSet"});
  EXPECT_EQ(Calc().MemMode(), mmNone);
  Click({"Clear"});
  Type("1e4932");
  Click({"Enter"});  // the last result
  Value(4) = Calc().LastResult();
  Click({"MemPlus", "D"});
  EXPECT_EQ(Errors, QStringList{"Floating point overflow"});
  EXPECT_EQ(Value(4), 1e4932L);
}

TEST_F(CalculatorTest, BackStepsThroughTheHistoryAndClearResetsIt) {
  Start();
  Type("12");
  Click({"Back"});
  EXPECT_EQ(Field(), "1");
  EXPECT_EQ(Edit()->cursorPosition(), 1);
  Click({"Back"});
  EXPECT_EQ(Field(), "");
  {
    const QSignalBlocker unseen(Edit());  // text the history never saw
    Edit()->setText("9");
  }
  Click({"Back"});
  EXPECT_EQ(Field(), "9");
  Click({"Clear", "1", "2", "Plus", "Back", "3"});
  EXPECT_EQ(Field(), "123");
  EXPECT_EQ(Form->Undo().Count(), 4);
  Click({"Enter", "Clear"});
  EXPECT_EQ(Field(), "");
  EXPECT_EQ(Display(), "0");
  EXPECT_EQ(Form->Undo().Count(), 1);
  Menu().MMHexadecimal->trigger();  // the last result comes back
  EXPECT_EQ(Display(), "0x7B");
}

TEST_F(CalculatorTest, FormatAndEngChangesShowTheLastResultAgain) {
  Start();
  Click({"2", "5", "0", "0", "Enter", "Divide", "0", "Enter"});
  ASSERT_EQ(Display(), "Division by zero");
  Menu().MMBinary->trigger();
  EXPECT_EQ(Display(), "0b100111000100");
  Click({"Eng"});
  EXPECT_TRUE(Calc().EngMode());
  EXPECT_TRUE(Menu().MMEng->isChecked());
  Menu().MMDecimal->trigger();
  EXPECT_EQ(Display(), "2.5k");
  Menu().MMEng->trigger();
  EXPECT_FALSE(Elements().EngBox->Checked());
  EXPECT_EQ(Display(), "2500");
  Click({"Clear"});
  Type("2.5e33");
  Click({"Enter"});
  Menu().MMHexadecimal->trigger();  // too large: reported, display kept
  EXPECT_EQ(Errors.size(), 1);
  EXPECT_EQ(Display(), "2.5E33");
}

TEST_F(CalculatorTest, PointKeyInsertsTheLocaleSeparator) {
  Separator = ',';
  Start();
  Click({"1", "Point", "5", "Multiply", "3", "Enter"});
  EXPECT_EQ(Field(), "1,5*3");
  EXPECT_EQ(Display(), "4,5");
}

}  // namespace
