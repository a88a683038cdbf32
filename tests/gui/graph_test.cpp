// The graph window with a real engine behind it: controls and settings, the
// automatic Y bounds, axes and curve pixels, broken pieces, field errors and
// the engine's exceptions; the pointer's readout, wheel zoom and drag pan,
// the grid with its labels, the saved picture, the panel at every width, and
// a long drawing's progress and cancel.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QProgressBar>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <fstream>
#include <memory>
#include <set>

#include "tests/gui/calc_fixture.h"
#include "tests/gui/while_modal.h"
#include "windows/graf.h"

namespace {

constexpr QRgb kBlack = 0x000000, kGrey = 0x808080, kYellow = 0xFFFF00;

class TFakeHost : public ICalcHost {
 public:
  TCalculator& Calculator() override { return FCalc; }
  bool HasExpressionField() const override { return HasField; }
  QString ExpressionText() const override { return Text; }
  void VariablesWindowHidden() override {}
  void GraphWindowHidden() override { ++GraphHidden; }
  void ReportError(const QString& message) override { Errors << message; }

  bool HasField = true;
  QString Text;
  int GraphHidden = 0;
  QStringList Errors;

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
                            "GraphHeight=300\n[Graph]\nAutoX=1\nAutoY=0\nJoinPoints=1\nDrawAxes=0\n"
                            "GridLabels=1\n";
  TGraphForm& f = Form();
  EXPECT_EQ(f.pos(), QPoint(120, 80));
  EXPECT_EQ(f.size(), QSize(500, 300));
  EXPECT_TRUE(f.AutoX()->isChecked());
  EXPECT_FALSE(f.FromX()->isEnabled() || f.ToX()->isEnabled());
  EXPECT_TRUE(f.FromY()->isEnabled() && f.ToY()->isEnabled());
  EXPECT_TRUE(f.JoinPoints()->isChecked());
  EXPECT_FALSE(f.DrawAxes()->isChecked());
  EXPECT_TRUE(f.GridLabels()->isChecked());
  EXPECT_EQ(f.GridLabels()->text(), "Grid and labels");

  f.JoinPointsClick();
  f.DrawAxesClick();
  f.AutoY()->setChecked(true);
  f.resize(640, 420);
  form.reset();  // destroying the window writes its keys
  TGraphSettings s;
  Load(IniFile(iniPath), s);
  EXPECT_EQ(s, (TGraphSettings{120, 80, 640, 420, true, true, false, true, true}));

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
  QContextMenuEvent click(QContextMenuEvent::Mouse, QPoint(10, 10),
                          f.Image()->mapToGlobal(QPoint(10, 10)));
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

TEST_F(GraphTest, ThePointerReadsTheDrawnColumnAndTheWheelAndADragMoveTheRanges) {
  TGraphForm& f = Form();
  f.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&f));
  EXPECT_EQ(f.ReadoutText(), "");  // nothing drawn, nothing to read
  f.FromY()->setText("-2");
  f.ToY()->setText("2");
  Draw("sin(X)", false);
  // Real pointer moves over the picture: the column's x and f(x) there.
  struct Row {
    QPoint at;
    const char* readout;
  };
  const Row rows[] = {
      {{326, 200}, "x = 0.00768\nf(x) = 0.007680416"},
      {{0, 5}, "x = -5\nf(x) = 0.9589243"},
      {{651, 5}, ""},  // beside the drawn picture
  };
  for (const Row& r : rows) {
    QTest::mouseMove(f.Image(), r.at);
    EXPECT_EQ(f.ReadoutText(), r.readout) << r.at.x();
  }
  QTest::mouseMove(f.Image(), {326, 200});
  EXPECT_TRUE(f.Readout()->text().startsWith("x = 0.00768\n")) << f.Readout()->text().toStdString();
  Draw("sqrt(X)", false);
  f.PointerAt({0, 0});
  EXPECT_EQ(f.ReadoutText(), "x = -5\nf(x) = Math error");

  // A notch of the wheel away from the user at x = 0.00768, y = -0.2439:
  // both ranges shrink to 0.8 around them and are written with few digits.
  Draw("sin(X)", false);
  const QPoint at(326, 230);
  QWheelEvent wheel(at, f.Image()->mapToGlobal(at), {}, {0, 120}, Qt::NoButton, Qt::NoModifier,
                    Qt::NoScrollPhase, false);
  QApplication::sendEvent(f.Image(), &wheel);
  EXPECT_EQ(form->FromX()->text() + ".." + form->ToX()->text(), "-3.9985..4.0015");
  EXPECT_EQ(YFields(), "-1.6488..1.5512");
  EXPECT_EQ(Rows(0, kYellow).size(), 1u);  // drawn again

  // A drag by (65, -20): the picture's content moves with the pointer.
  form->FromX()->setText("-5");
  form->ToX()->setText("5");
  form->FromY()->setText("-2");
  form->ToY()->setText("2");
  form->DrawButClick();
  QTest::mousePress(f.Image(), Qt::LeftButton, {}, {100, 100});
  QTest::mouseMove(f.Image(), {165, 80});
  QTest::mouseRelease(f.Image(), Qt::LeftButton, {}, {165, 80});
  EXPECT_EQ(form->FromX()->text() + ".." + form->ToX()->text(), "-5.998..4.002");
  EXPECT_EQ(YFields(), "-2.1951..1.8049");
  // With automatic Y only the X range moves (and the wheel zooms only X).
  Draw("sin(X)", true);
  QTest::mousePress(f.Image(), Qt::LeftButton, {}, {100, 100});
  QTest::mouseRelease(f.Image(), Qt::LeftButton, {}, {35, 140});
  EXPECT_EQ(form->FromX()->text() + ".." + form->ToX()->text(), "-4.002..5.998");
  EXPECT_EQ(YFields(), "-1..1");
  EXPECT_TRUE(host.Errors.isEmpty());
}

TEST_F(GraphTest, GridAndLabelsMarkRoundValuesFaintly) {
  constexpr QRgb kGrid = kGraphGrid;
  Draw("X/5", false);
  EXPECT_EQ(Count(kGrid), 0);  // off by default: the plain picture
  Form().GridLabelsClick();
  form->FromY()->setText("-2");
  form->ToY()->setText("2");
  Draw("X/5", false);
  const int h = form->Bitmap().height();
  ASSERT_EQ(h, 410);
  // Lines at every whole x (column of x = 1: 0.6 * 651 rounded) and every
  // half y (row of y = 0.5: 410 - 0.625 * 410 rounded), under the axes.
  EXPECT_GE(Rows(391, kGrid).size(), std::size_t(h - 30));
  EXPECT_EQ(At(100, 154), kGrid);
  EXPECT_EQ(At(326, 100), kGrey);
  EXPECT_EQ(At(100, 205), kGrey);
  EXPECT_EQ(At(391, 100), kGrid);
  EXPECT_EQ(At(390, 100), kBlack);
  EXPECT_EQ(At(392, 100), kBlack);
  // The label "1" right of its line, under the X axis, in light grey.
  int bright = 0;
  for (int x = 394; x < 406; ++x)
    for (int y = 208; y < 222; ++y) bright += qGray(At(x, y)) > 0x80 && At(x, y) != kYellow;
  EXPECT_GT(bright, 3);
  // The curve is drawn over the grid.
  EXPECT_EQ(Rows(391, kYellow).size(), 1u);
}

TEST_F(GraphTest, SavePictureWritesThePlotAsAPngFile) {
  TGraphForm& f = Form();
  f.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&f));
  f.GraphMenu()->popup({10, 10});
  EXPECT_FALSE(f.SavePictureItem()->isEnabled());  // nothing drawn yet
  f.GraphMenu()->hide();
  Draw("sin(X)", true);
  const QString path = dir.filePath("plot");
  f.SavePicture(path);  // ".png" is added
  const QImage saved(path + ".png", "PNG");
  EXPECT_EQ(saved.size(), QSize(651, 410));
  EXPECT_EQ(saved.convertToFormat(QImage::Format_RGB32), f.Bitmap());
  EXPECT_EQ(saved.pixel(326, 0) & 0xFFFFFF, kGrey);
  try {
    f.SavePicture(dir.filePath("missing/plot.png"));
    FAIL() << "no error";
  } catch (const EWriteError& e) {
    EXPECT_EQ(e.what(), "Unable to write to " + dir.filePath("missing/plot.png").toStdString());
  }
  // From the menu, through the file dialog.
  f.GraphMenu()->popup({10, 10});
  ASSERT_TRUE(f.SavePictureItem()->isEnabled());
  f.GraphMenu()->hide();
  WhileModal([&] { f.SavePictureItem()->trigger(); },
             [&](QWidget* modal) {
               auto* dialog = qobject_cast<QFileDialog*>(modal);
               ASSERT_NE(dialog, nullptr);
               // As the user types a name into the dialog's field.
               dialog->setDirectory(dir.path());
               auto* name = dialog->findChild<QLineEdit*>("fileNameEdit");
               ASSERT_NE(name, nullptr);
               name->clear();
               QTest::keyClicks(name, "from menu");
               QMetaObject::invokeMethod(dialog, "accept");
             });
  EXPECT_EQ(QImage(dir.filePath("from menu.png")).size(), QSize(651, 410));  // ".png" added
  EXPECT_TRUE(host.Errors.isEmpty());
}

TEST_F(GraphTest, ThePanelNeverOverlapsDownToTheSmallestWindow) {
  TGraphForm& f = Form();
  f.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&f));
  const int smallest = f.minimumWidth();
  EXPECT_LE(smallest, 300);
  const char* names[] = {"Label1", "FromX",  "Label2", "ToX",   "AutoX",   "Label3",
                         "FromY",  "Label4", "ToY",    "AutoY", "DrawBut", "Readout"};
  for (int w = smallest; w <= 1000; ++w) {
    f.resize(w, 450);
    ASSERT_EQ(f.width(), w);
    const QRect panel = f.Panel1()->geometry();
    ASSERT_EQ(panel.bottom(), 449) << w;
    ASSERT_EQ(panel.height(), w >= 659 ? 36 : panel.height()) << w;
    ASSERT_EQ(panel.height() % 36, 0) << w;
    ASSERT_EQ(f.Image()->geometry().bottom() + 1, panel.top()) << w;
    std::vector<QRect> placed;
    for (const char* name : names) {
      const QRect r = f.Panel1()->findChild<QWidget*>(name)->geometry();
      ASSERT_TRUE(QRect(QPoint(), panel.size()).contains(r)) << name << " at width " << w;
      ASSERT_GT(r.width(), 0) << name << " at width " << w;
      for (const QRect& other : placed) ASSERT_FALSE(r.intersects(other)) << name << " at " << w;
      placed.push_back(r);
    }
  }
  f.resize(smallest, 450);
  EXPECT_EQ(f.Panel1()->height(), 3 * 36);
  f.resize(1, 1);
  EXPECT_EQ(f.size(), f.minimumSize());  // no smaller than that
}

// Counts the progress windows that show.
class TProgressSpy : public QObject {
 public:
  bool eventFilter(QObject* o, QEvent* e) override {
    if (e->type() == QEvent::Show && o->objectName() == "DrawProgress") ++Shown;
    return false;
  }
  int Shown = 0;
};

TEST_F(GraphTest, ALongDrawingShowsItsProgressAndCanBeCancelled) {
  TProgressSpy spy;
  qApp->installEventFilter(&spy);
  Draw("sin(X)", true);  // quick: no progress window
  EXPECT_EQ(spy.Shown, 0);
  EXPECT_EQ(Form().ProgressDelay(), 500);

  // Each sample of this formula takes a few milliseconds.
  QString slow = "sin(X)";
  for (int i = 0; i < 60000; ++i) slow += "+sin(X)";
  form->SetProgressDelay(0);
  const std::function<void(QWidget*)> cancels[] = {
      [](QWidget* d) { QTest::keyClick(d, Qt::Key_Escape); },
      [](QWidget* d) { QTest::mouseClick(d->findChild<QWidget*>("Cancel"), Qt::LeftButton); },
  };
  for (const auto& cancel : cancels) {
    host.Calculator().Variables().Value(kXSlot) = 99;
    WhileModal([&] { Draw(slow.toLatin1().constData(), true); },
               [&](QWidget* modal) {
                 ASSERT_EQ(modal->objectName(), "DrawProgress");
                 auto* bar = modal->findChild<QProgressBar*>("Progress");
                 for (int i = 0; i < 500 && bar->value() < 3; ++i) QTest::qWait(10);
                 cancel(modal);
               });
    EXPECT_FALSE(form->Drawing());
    // What was sampled is drawn: the first k columns, one point each.
    int k = 0;
    while (k < 651 && Rows(k, kYellow).size() == 1) ++k;
    EXPECT_GE(k, 3);
    EXPECT_LT(k, 651);
    for (int x = k; x < 651; ++x) ASSERT_TRUE(Rows(x, kYellow).empty()) << x;
    EXPECT_EQ(host.Calculator().Variables().Value(kXSlot), -5 + (k - 1) * 10.0L / 651);
    EXPECT_NE(YFields(), "-2..2");  // the bounds of what was sampled, which all show
    // The pointer still reads columns beyond: they are evaluated when asked.
    form->PointerAt({k + 10, 0});
    EXPECT_TRUE(form->ReadoutText().startsWith("x = ")) << form->ReadoutText().toStdString();
  }
  EXPECT_EQ(spy.Shown, 2);
  qApp->removeEventFilter(&spy);
}

TEST_F(GraphTest, TheDrawButtonReportsAFieldThatIsNoNumber) {
  TGraphForm& f = Form();
  f.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&f));
  host.Text = "X";
  f.FromX()->setText("five");
  QTest::mouseClick(f.DrawBut(), Qt::LeftButton);
  EXPECT_EQ(host.Errors, QStringList{"'five' is not a valid floating point value"});
  EXPECT_EQ(Count(kBlack), f.Bitmap().width() * f.Bitmap().height());
}

using GraphInTheProgram = CalcFixture;

TEST_F(GraphInTheProgram, TheDrawButtonsErrorGoesToTheProgramsReport) {
  Start();
  Menu().MMGraph->trigger();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(Graph));
  Type("X");
  Graph->FromX()->setText("five");
  QTest::mouseClick(Graph->DrawBut(), Qt::LeftButton);
  EXPECT_EQ(Errors, QStringList{"'five' is not a valid floating point value"});
  Click({"Clear", "2", "Plus", "2", "Enter"});
  EXPECT_EQ(Display(), "4");
}

}  // namespace
