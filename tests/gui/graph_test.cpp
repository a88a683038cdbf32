// The graph window with a real engine behind it: controls and settings, the
// automatic Y bounds, axes and curve pixels, broken pieces, field errors and
// the engine's exceptions.
#include "windows/graf.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QCheckBox>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <fstream>
#include <memory>
#include <set>

namespace {

constexpr QRgb kBlack = 0x000000, kGrey = 0x808080, kYellow = 0xFFFF00;

class TFakeHost : public ICalcHost {
 public:
  TCalculator& Calculator() override { return FCalc; }
  bool HasExpressionField() const override { return HasField; }
  QString ExpressionText() const override { return Text; }
  void VariablesWindowHidden() override {}
  void GraphWindowHidden() override { ++GraphHidden; }

  bool HasField = true;
  QString Text;
  int GraphHidden = 0;

 private:
  TCalculator FCalc;
};

class GraphTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(dir.isValid());
    iniPath = dir.filePath("zumbrel.ini").toStdString();
  }
  TGraphForm& Form() {
    if (!form) form = std::make_unique<TGraphForm>(host, iniPath);
    return *form;
  }
  // Draws `expression` over X from..to; Y from the fields unless automatic.
  void Draw(const char* expression, bool autoY, const char* from = "-5", const char* to = "5") {
    host.Text = QString::fromLatin1(expression);
    Form().FromX()->setText(QString::fromLatin1(from));
    Form().ToX()->setText(QString::fromLatin1(to));
    Form().AutoY()->setChecked(autoY);
    Form().DrawButClick();
  }
  QRgb At(int x, int y) const { return form->Bitmap().pixel(x, y) & 0xFFFFFF; }
  std::set<int> Rows(int column, QRgb colour) const {
    std::set<int> rows;
    for (int y = 0; y < form->Bitmap().height(); ++y)
      if (At(column, y) == colour) rows.insert(y);
    return rows;
  }
  int Count(QRgb colour) const {
    int n = 0;
    for (int x = 0; x < form->Bitmap().width(); ++x) n += int(Rows(x, colour).size());
    return n;
  }
  QString YFields() const { return form->FromY()->text() + ".." + form->ToY()->text(); }

  QTemporaryDir dir;
  std::string iniPath;
  TFakeHost host;
  std::unique_ptr<TGraphForm> form;
};

TEST_F(GraphTest, StartsWithItsControlsAndDefaultSettings) {
  TGraphForm& f = Form();
  f.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&f));
  EXPECT_EQ(f.windowTitle(), "Graph");
  EXPECT_EQ(f.size(), QSize(659, 450));
  EXPECT_EQ(f.Image()->width(), 651);
  EXPECT_EQ(f.Panel1()->geometry(), QRect(0, 450 - 36, 659, 36));
  // Left to right, with their texts, found by name.
  const char* order[] = {"FromX", "ToX", "AutoX", "FromY", "ToY", "AutoY", "DrawBut"};
  const char* texts[] = {"-5", "5", "Auto", "-2", "2", "Auto", "Draw"};
  int left = -1;
  for (int i = 0; i < 7; ++i) {
    auto* w = f.findChild<QWidget*>(order[i]);
    ASSERT_NE(w, nullptr) << order[i];
    EXPECT_EQ(w->accessibleName(), order[i]);
    EXPECT_GT(w->x(), left) << order[i];
    left = w->x();
    const auto* e = qobject_cast<QLineEdit*>(w);
    const auto* b = qobject_cast<QAbstractButton*>(w);
    EXPECT_EQ(e ? e->text() : b->text(), texts[i]);
  }
  // The defaults: AutoY checked (so the Y fields are disabled), AutoX not.
  EXPECT_FALSE(f.AutoX()->isChecked());
  EXPECT_FALSE(f.AutoX()->isEnabled());
  EXPECT_TRUE(f.FromX()->isEnabled() && f.ToX()->isEnabled());
  EXPECT_TRUE(f.AutoY()->isChecked());
  EXPECT_FALSE(f.FromY()->isEnabled() || f.ToY()->isEnabled());
  EXPECT_FALSE(f.JoinPoints()->isChecked());
  EXPECT_TRUE(f.DrawAxes()->isChecked());
  EXPECT_EQ(f.JoinPoints()->text(), "Join points");
  EXPECT_EQ(f.DrawAxes()->text(), "Draw axes");
  // Hidden by its own means: the main menu's check follows.
  f.hide();
  EXPECT_EQ(host.GraphHidden, 1);
}

TEST_F(GraphTest, ReadsAndWritesItsSettingsKeys) {
  std::ofstream(iniPath) << "[Position]\nGraphLeft=120\nGraphTop=80\nGraphWidth=500\n"
                            "GraphHeight=300\n[Graph]\nAutoX=1\nAutoY=0\nJoinPoints=1\nDrawAxes=0\n";
  TGraphForm& f = Form();
  EXPECT_EQ(f.pos(), QPoint(120, 80));
  EXPECT_EQ(f.size(), QSize(500, 300));
  EXPECT_TRUE(f.AutoX()->isChecked());
  EXPECT_FALSE(f.FromX()->isEnabled() || f.ToX()->isEnabled());
  EXPECT_TRUE(f.FromY()->isEnabled() && f.ToY()->isEnabled());
  EXPECT_TRUE(f.JoinPoints()->isChecked());
  EXPECT_FALSE(f.DrawAxes()->isChecked());

  f.JoinPointsClick();
  f.DrawAxesClick();
  f.AutoY()->setChecked(true);
  f.resize(640, 420);
  form.reset();  // destroying the window writes its keys
  TGraphSettings s;
  Load(IniFile(iniPath), s);
  EXPECT_EQ(s, (TGraphSettings{120, 80, 640, 420, true, true, false, true}));

  // A folder that cannot hold the file: the error is reported by FormDestroy.
  TGraphForm lost(host, dir.filePath("missing/zumbrel.ini").toStdString());
  EXPECT_THROW(lost.FormDestroy(), EWriteError);
}

TEST_F(GraphTest, AutomaticBoundsAreRoundedOutward) {
  struct Row {
    const char* expression;
    TCalcDeg degs;
    const char* bounds;
  };
  const Row rows[] = {
      {"sin(X)", cdRadians, "-1..1"},
      {"sin(X)", cdDegreees, "-0.09..0.09"},
      {"X*X", cdRadians, "5E-5..26"},
      {"sqrt(X)", cdRadians, "0..2.3"},  // the failed seed sqrt(-5) counts as 0
      {"3", cdRadians, "2..4"},          // a constant is widened around its value
  };
  for (const Row& r : rows) {
    host.Calculator().SetDegs(r.degs);
    Draw(r.expression, true);
    EXPECT_EQ(YFields(), r.bounds) << r.expression;
  }
  // The constant is a flat line through the middle.
  const int h = form->Bitmap().height();
  for (int x = 0; x < 651; ++x) ASSERT_EQ(Rows(x, kYellow), std::set<int>{h - h / 2}) << x;
  // X keeps the last sample; the formula stays set.
  EXPECT_EQ(host.Calculator().Variables().Value(kXSlot), -5 + 650 * 10.0L / 651);
  EXPECT_EQ(host.Calculator().Formula(), "3");

  // Unchecking AutoY keeps the rounded bounds for the next draw.
  Draw("sin(X)", true);
  Form().AutoY()->setChecked(false);
  EXPECT_TRUE(form->FromY()->isEnabled());
  Draw("2*sin(X)", false);
  EXPECT_EQ(YFields(), "-1..1");
  EXPECT_FALSE(Rows(330, kYellow).empty());  // x = 0.07: inside -1..1
  EXPECT_TRUE(Rows(488, kYellow).empty());   // x = 2.5: 2 sin x is above the top
}

TEST_F(GraphTest, AxesAtTheMiddleOfMinusFiveToFive) {
  Draw("9", false);  // a curve above the range draws nothing
  const int w = form->Bitmap().width(), h = form->Bitmap().height();
  ASSERT_EQ(w, 651);
  const int row = h - h / 2;  // h is even: no half to round
  EXPECT_EQ(Rows(326, kGrey).size(), std::size_t(h));
  EXPECT_EQ(Count(kGrey), w + h - 1);
  for (int x = 0; x < w; ++x) ASSERT_EQ(At(x, row), kGrey) << x;
  EXPECT_EQ(Count(kYellow), 0);
  EXPECT_EQ(Count(kBlack), w * h - (w + h - 1));

  // A range without 0 has no axis; a parse error draws only the axes.
  Draw("X", false, "1", "5");
  EXPECT_TRUE(Rows(0, kGrey).count(row));
  EXPECT_EQ(Rows(326, kGrey).size(), 1u);
  Draw("sin X", false);
  EXPECT_EQ(Count(kGrey), w + h - 1);
  EXPECT_EQ(Count(kYellow), 0);
}

TEST_F(GraphTest, ReversedRangeMirrorsTheCurveWithoutVerticalAxis) {
  Form().DrawAxesClick();
  Draw("-X", false);
  const QImage normal = form->Bitmap();
  Draw("X", false, "5", "-5");
  EXPECT_EQ(form->Bitmap(), normal);
  EXPECT_GT(Count(kYellow), 0);
  // With axes: the horizontal one only, no column holds more than one grey pixel.
  Form().DrawAxesClick();
  Draw("X", false, "5", "-5");
  EXPECT_GE(Count(kGrey), form->Bitmap().width() - 1);
  for (int x = 0; x < form->Bitmap().width(); ++x) ASSERT_LE(Rows(x, kGrey).size(), 1u) << x;
}

TEST_F(GraphTest, JoinedPiecesBreakAtFailedSamples) {
  Form().JoinPointsClick();
  const int w = 651;
  Draw("sqrt(X)", true);  // x(325) < 0 < x(326)
  for (int x = 0; x < 326; ++x) ASSERT_TRUE(Rows(x, kYellow).empty()) << x;
  // One connected line from the first valid column on.
  for (int x = 326; x < w - 1; ++x) {
    const std::set<int> a = Rows(x, kYellow), b = Rows(x + 1, kYellow);
    ASSERT_FALSE(a.empty()) << x;
    if (x + 1 == w - 1) break;  // the line's last pixel may be left out
    ASSERT_FALSE(b.empty()) << x + 1;
    EXPECT_TRUE(*b.rbegin() >= *a.begin() - 1 && *b.begin() <= *a.rbegin() + 1) << x;
  }
  // The gap of sqrt(X*X-1) around 0 is not bridged.
  Draw("sqrt(X*X-1)", true);
  for (int x = 326 - 60; x < 326 + 60; ++x) ASSERT_TRUE(Rows(x, kYellow).empty()) << x;
  EXPECT_FALSE(Rows(200, kYellow).empty());
  // Without joining, one pixel per column.
  Form().JoinPointsClick();
  form->FromY()->setText("-2");
  form->ToY()->setText("2");
  Draw("X/5", false);
  for (int x = 0; x < w; ++x) ASSERT_EQ(Rows(x, kYellow).size(), 1u) << x;
}

TEST_F(GraphTest, FarValuesAndHugeRangesDrawWithoutFault) {
  Form().JoinPointsClick();
  Draw("1/X", false, "-5", "5");  // steep lines from far outside, clipped
  EXPECT_GT(Count(kYellow), 0);
  Draw("X", true, "-1e4932", "1e4932");
  EXPECT_EQ(YFields(), "-1E4932..1E4932");
  Draw("X*X", true, "-1e4000", "1e4000");  // every sample overflows
  EXPECT_EQ(YFields(), "-1..1");
  EXPECT_EQ(Count(kYellow), 0);
}

TEST_F(GraphTest, ErrorsStopTheDrawingAfterTheClear) {
  Draw("X", true);
  ASSERT_GT(Count(kYellow), 0);
  Form().FromX()->setText("five");
  try {
    Form().DrawButClick();
    FAIL() << "no error";
  } catch (const EConvertError& e) {
    EXPECT_STREQ(e.what(), "'five' is not a valid floating point value");
  }
  EXPECT_EQ(Count(kBlack), form->Bitmap().width() * form->Bitmap().height());
  EXPECT_EQ(YFields(), "-5..5");
  EXPECT_THROW(Draw("2", false, "-5", "5,5"), EConvertError);
  EXPECT_THROW(Draw("X#0", true), EDivByZero);

  // An empty expression or none at all: black, Y fields untouched.
  Draw("", true);
  EXPECT_EQ(Count(kBlack), form->Bitmap().width() * form->Bitmap().height());
  host.HasField = false;
  Draw("X", true);
  EXPECT_EQ(Count(kYellow), 0);
  EXPECT_EQ(YFields(), "-5..5");
}

TEST_F(GraphTest, UserDrawsFromThePanelAndTogglesTheMenu) {
  TGraphForm& f = Form();
  f.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&f));
  host.Calculator().SetDecimalSeparator(',');
  host.Calculator().SetDegs(cdDegreees);
  host.Text = "sin(X)";
  QTest::mouseClick(f.DrawBut(), Qt::LeftButton);
  EXPECT_EQ(YFields(), "-0,09..0,09");
  EXPECT_GT(Count(kYellow), 0);

  // The menu pops up on the picture; toggling it does not redraw.
  const QImage before = f.Bitmap();
  QContextMenuEvent click(QContextMenuEvent::Mouse, QPoint(10, 10), f.Image()->mapToGlobal(QPoint(10, 10)));
  QApplication::sendEvent(f.Image(), &click);
  EXPECT_TRUE(f.GraphMenu()->isVisible());
  f.JoinPoints()->trigger();
  f.GraphMenu()->hide();
  EXPECT_TRUE(f.JoinPoints()->isChecked());
  EXPECT_EQ(f.Bitmap(), before);

  // A resized window shows the old picture until the next draw.
  f.resize(800, 500);
  EXPECT_EQ(f.Image()->size(), QSize(792, 460));
  EXPECT_EQ(f.Bitmap().size(), before.size());
  f.DrawButClick();
  EXPECT_EQ(f.Bitmap().size(), QSize(792, 460));
}

}  // namespace
