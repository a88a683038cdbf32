// Picture buttons and picture check boxes driven by real mouse events: hover,
// press, release inside and outside, double clicks, unsupported controls, and
// what the check boxes do with and without MouseCheck.
#include "controls/ImgBtn.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QPainter>
#include <QTest>
#include <memory>
#include <string>
#include <vector>

#include "controls/ImgBox.h"

namespace {

constexpr QRgb kRed = 0xFF0000, kGreen = 0x00FF00, kBlue = 0x0000FF, kYellow = 0xFFFF00;
constexpr QRgb kHostColour = 0x405060;

QPixmap Solid(QRgb rgb, int w = 30, int h = 20) {
  QPixmap pm(w, h);
  pm.fill(QColor(rgb));
  return pm;
}

QRgb Shown(const TPictureControl& c) {
  if (c.Picture().height() == 0) return 0xDEAD;
  return c.Picture().toImage().pixel(0, 0) & 0xFFFFFF;
}

std::string Code(int msg) {
  switch (msg) {
    case mmLButtonDown:
      return "down";
    case mmLButtonUp:
      return "up";
    case mmLButtonDblClk:
      return "dbl";
    case mmRButtonDown:
      return "rdown";
    case mmRButtonUp:
      return "rup";
    case mmMouseEnter:
      return "enter";
    case mmMouseLeave:
      return "leave";
    default:
      return std::to_string(msg);
  }
}

// A shown window holding the control under test, with a log of its events.
class PictureControlTest : public ::testing::Test {
 protected:
  void SetUp() override {
    host = std::make_unique<QWidget>();
    host->resize(200, 100);
    QPalette pal = host->palette();
    pal.setColor(QPalette::Window, QColor(kHostColour));
    host->setPalette(pal);
    host->setAutoFillBackground(true);
  }
  void Show() {
    // The pointer may still be where an earlier test left it: the window must
    // not appear under it.
    host->move(100, 100);
    QCursor::setPos(600, 500);
    host->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(host.get()));
    ASSERT_TRUE(log.empty());
  }
  // What the platform delivers for a double click: press, release, a double
  // click in place of the second press, release.
  static void DoubleClick(QWidget* w, QPoint p) {
    QTest::mouseClick(w, Qt::LeftButton, Qt::NoModifier, p);
    QTest::mouseDClick(w, Qt::LeftButton, Qt::NoModifier, p);
    QTest::mouseRelease(w, Qt::LeftButton, Qt::NoModifier, p);
  }
  TOnMouseEvent Logger(const char* name) {
    return [this, name](QObject*, const TMouseMessage& m) {
      log.push_back(std::string(name) + ":" + Code(m.Msg));
      last = m;
    };
  }
  TNotifyEvent Notifier(const char* name) {
    return [this, name](QObject*) { log.push_back(name); };
  }
  std::vector<std::string> Take() { return std::exchange(log, {}); }

  std::unique_ptr<QWidget> host;
  std::vector<std::string> log;
  TMouseMessage last;
};

class ImgBtnTest : public PictureControlTest {
 protected:
  void SetUp() override {
    PictureControlTest::SetUp();
    btn = new TImgBtn(host.get());
    btn->setGeometry(10, 10, 40, 30);
    btn->SetPicUp(Solid(kGreen));
    btn->SetPicDown(Solid(kBlue));
    btn->SetPic(Solid(kRed));
    btn->OnMouseDown = Logger("OnMouseDown");
    btn->OnMouseUp = Logger("OnMouseUp");
    btn->OnMouseEnter = Logger("OnMouseEnter");
    btn->OnMouseLeave = Logger("OnMouseLeave");
    btn->OnButtonEnter = Notifier("OnButtonEnter");
    btn->OnClick = Notifier("OnClick");
    btn->OnDblClick = Notifier("OnDblClick");
    Show();
  }
  TImgBtn* btn = nullptr;
  const QPoint in{5, 6};
  const QPoint out{100, 6};  // on the host, right of the button
};

using Log = std::vector<std::string>;

TEST_F(ImgBtnTest, ClickShowsTheThreePicturesAndFiresMouseUpOnce) {
  EXPECT_EQ(Shown(*btn), kRed);
  QTest::mouseMove(btn, in);
  EXPECT_TRUE(btn->Hover());
  EXPECT_EQ(Shown(*btn), kGreen);
  EXPECT_EQ(Take(), (Log{"OnMouseEnter:enter", "OnButtonEnter"}));

  QTest::mousePress(btn, Qt::LeftButton, Qt::NoModifier, in);
  EXPECT_TRUE(btn->Pressed());
  EXPECT_EQ(Shown(*btn), kBlue);
  EXPECT_EQ(Take(), (Log{"OnMouseDown:down"}));
  EXPECT_EQ(last.X, in.x());
  EXPECT_EQ(last.Y, in.y());
  EXPECT_TRUE(last.Keys & mkLButton);

  QTest::mouseRelease(btn, Qt::LeftButton, Qt::ShiftModifier, in);
  EXPECT_FALSE(btn->Pressed());
  EXPECT_EQ(Shown(*btn), kGreen);
  EXPECT_EQ(Take(), (Log{"OnClick", "OnMouseUp:up"}));
  EXPECT_EQ(last.Keys & (mkLButton | mkShift), mkShift);

  QTest::mouseMove(host.get(), out);
  EXPECT_FALSE(btn->Hover());
  EXPECT_EQ(Shown(*btn), kRed);
  EXPECT_EQ(Take(), (Log{"OnMouseLeave:leave"}));
}

TEST_F(ImgBtnTest, PressMoveOffReleaseCancels) {
  QTest::mouseMove(btn, in);
  QTest::mousePress(btn, Qt::LeftButton, Qt::NoModifier, in);
  Take();
  QTest::mouseMove(btn, out - btn->pos());
  EXPECT_FALSE(btn->Hover());
  EXPECT_EQ(Shown(*btn), kRed);
  QTest::mouseRelease(btn, Qt::LeftButton, Qt::NoModifier, out - btn->pos());
  EXPECT_FALSE(btn->Pressed());
  EXPECT_EQ(Shown(*btn), kRed);
  EXPECT_EQ(Take(), (Log{"OnMouseLeave:leave"}));
}

TEST_F(ImgBtnTest, PressMoveOffAndBackReleaseFiresOnce) {
  QTest::mouseMove(btn, in);
  QTest::mousePress(btn, Qt::LeftButton, Qt::NoModifier, in);
  QTest::mouseMove(btn, out - btn->pos());
  Take();
  QTest::mouseMove(btn, in);
  EXPECT_TRUE(btn->Hover());
  EXPECT_EQ(Shown(*btn), kBlue);
  QTest::mouseRelease(btn, Qt::LeftButton, Qt::NoModifier, in);
  EXPECT_EQ(Shown(*btn), kGreen);
  EXPECT_EQ(Take(), (Log{"OnMouseEnter:enter", "OnButtonEnter", "OnClick", "OnMouseUp:up"}));
}

TEST_F(ImgBtnTest, DoubleClickEntersTheKeyTwice) {
  QTest::mouseMove(btn, in);
  Take();
  DoubleClick(btn, in);
  EXPECT_EQ(Take(), (Log{"OnMouseDown:down", "OnClick", "OnMouseUp:up", "OnDblClick",
                         "OnMouseDown:dbl", "OnMouseUp:up"}));
}

TEST_F(ImgBtnTest, UnsupportedButtonKeepsItsPictureAndOnlyClicks) {
  btn->SetSupported(false);
  QTest::mouseMove(btn, in);
  EXPECT_FALSE(btn->Hover());
  QTest::mousePress(btn, Qt::LeftButton, Qt::NoModifier, in);
  EXPECT_FALSE(btn->Pressed());
  EXPECT_EQ(Shown(*btn), kRed);
  QTest::mouseRelease(btn, Qt::LeftButton, Qt::NoModifier, in);
  QTest::mouseMove(host.get(), out);
  EXPECT_EQ(Shown(*btn), kRed);
  EXPECT_EQ(Take(), (Log{"OnClick"}));
}

TEST_F(ImgBtnTest, MissingStatePicturesFallBackToTheNormalOne) {
  btn->SetPicUp(QPixmap());
  btn->SetPicDown(QPixmap());
  QTest::mouseMove(btn, in);
  EXPECT_EQ(Shown(*btn), kRed);
  QTest::mousePress(btn, Qt::LeftButton, Qt::NoModifier, in);
  EXPECT_EQ(Shown(*btn), kRed);
  QTest::mouseRelease(btn, Qt::LeftButton, Qt::NoModifier, in);
  EXPECT_EQ(Shown(*btn), kRed);
  EXPECT_EQ(Take(), (Log{"OnMouseEnter:enter", "OnButtonEnter", "OnMouseDown:down", "OnClick",
                         "OnMouseUp:up"}));
}

TEST_F(ImgBtnTest, OtherButtonsAreNotTheButtonsBusiness) {
  QTest::mouseMove(btn, in);
  Take();
  QTest::mouseClick(btn, Qt::RightButton, Qt::NoModifier, in);
  EXPECT_FALSE(btn->Pressed());
  EXPECT_TRUE(Take().empty());
}

TEST_F(ImgBtnTest, AssigningPictures) {
  btn->SetPicUp(Solid(kYellow));
  btn->SetPicDown(Solid(kYellow));
  EXPECT_EQ(Shown(*btn), kRed);  // only Pic is shown when assigned
  btn->SetPic(Solid(kBlue));
  EXPECT_EQ(Shown(*btn), kBlue);
  QPixmap mine = Solid(kGreen);
  btn->SetPic(mine);
  mine.fill(Qt::black);  // the button keeps its own copy
  EXPECT_EQ(Shown(*btn), kGreen);
}

TEST_F(ImgBtnTest, PaintsItsPictureUnscaledAndLeavesTheRestAlone) {
  btn->SetPic(Solid(kYellow, 30, 20));
  const QImage img = host->grab(btn->geometry()).toImage();
  EXPECT_EQ(img.pixel(0, 0) & 0xFFFFFF, kYellow);
  EXPECT_EQ(img.pixel(29, 19) & 0xFFFFFF, kYellow);
  EXPECT_EQ(img.pixel(30, 5) & 0xFFFFFF, kHostColour);
  EXPECT_EQ(img.pixel(5, 20) & 0xFFFFFF, kHostColour);
}

TEST_F(ImgBtnTest, NameAndHint) {
  btn->SetButtonName("Sin");
  EXPECT_EQ(btn->accessibleName(), "Sin");
  btn->SetHint("Sine");
  EXPECT_TRUE(btn->toolTip().isEmpty());
  btn->SetShowHint(true);
  EXPECT_EQ(btn->toolTip(), "Sine");
  EXPECT_EQ(btn->focusPolicy(), Qt::NoFocus);
}

class ImgCheckBoxTest : public PictureControlTest {
 protected:
  void SetUp() override {
    PictureControlTest::SetUp();
    box = new TImgCheckBox(host.get());
    box->setGeometry(10, 10, 40, 30);
    box->SetPicUnchecked(Solid(kRed));
    box->SetPicChecked(Solid(kGreen));
    box->OnMouseDown = Logger("OnMouseDown");
    box->OnClick = Notifier("OnClick");
    box->OnDblClick = Notifier("OnDblClick");
    box->OnMouseUp = [this](QObject*, const TMouseMessage& m) {
      log.push_back("OnMouseUp:" + Code(m.Msg) + (box->Checked() ? ":checked" : ":unchecked"));
    };
    Show();
    QTest::mouseMove(box, in);
  }
  TImgCheckBox* box = nullptr;
  const QPoint in{5, 6};
  const QPoint out{100, 6};
};

TEST_F(ImgCheckBoxTest, ClicksToggleAndHandlersSeeTheNewState) {
  QTest::mousePress(box, Qt::LeftButton, Qt::NoModifier, in);
  EXPECT_TRUE(box->Checked());  // checked at the press already
  EXPECT_TRUE(box->Pressed());
  EXPECT_FALSE(box->MayUncheck());
  EXPECT_EQ(Shown(*box), kGreen);
  QTest::mouseRelease(box, Qt::LeftButton, Qt::NoModifier, in);
  EXPECT_TRUE(box->Checked());
  QTest::mouseClick(box, Qt::LeftButton, Qt::NoModifier, in);
  EXPECT_FALSE(box->Checked());
  EXPECT_EQ(Shown(*box), kRed);
  EXPECT_EQ(Take(), (Log{"OnMouseDown:down", "OnClick", "OnMouseUp:up:checked", "OnMouseDown:down",
                         "OnClick", "OnMouseUp:up:unchecked"}));
}

TEST_F(ImgCheckBoxTest, WithoutMouseCheckOnlyTheProgramChangesIt) {
  box->SetMouseCheck(false);
  box->OnMouseUp = [this](QObject*, const TMouseMessage&) { box->SetChecked(!box->Checked()); };
  QTest::mousePress(box, Qt::LeftButton, Qt::NoModifier, in);
  EXPECT_FALSE(box->Checked());
  QTest::mouseRelease(box, Qt::LeftButton, Qt::NoModifier, in);
  EXPECT_TRUE(box->Checked());
  EXPECT_EQ(Shown(*box), kGreen);
}

TEST_F(ImgCheckBoxTest, DoubleClickChecksAndUnchecks) {
  QTest::mouseClick(box, Qt::LeftButton, Qt::NoModifier, in);
  QTest::mouseDClick(box, Qt::LeftButton, Qt::NoModifier, in);
  EXPECT_TRUE(box->Checked());  // the double click's press is no press
  QTest::mouseRelease(box, Qt::LeftButton, Qt::NoModifier, in);
  EXPECT_FALSE(box->Checked());
  EXPECT_EQ(Take(), (Log{"OnMouseDown:down", "OnClick", "OnMouseUp:up:checked", "OnDblClick",
                         "OnMouseDown:dbl", "OnMouseUp:up:unchecked"}));
}

TEST_F(ImgCheckBoxTest, ReleaseOutsideDoesNotUncheck) {
  box->SetChecked(true);
  QTest::mousePress(box, Qt::LeftButton, Qt::NoModifier, in);
  QTest::mouseMove(box, out - box->pos());
  EXPECT_FALSE(box->Hover());
  QTest::mouseRelease(box, Qt::LeftButton, Qt::NoModifier, out - box->pos());
  EXPECT_TRUE(box->Checked());
  EXPECT_EQ(Take(), (Log{"OnMouseDown:down", "OnMouseUp:up:checked"}));  // no OnClick outside
}

TEST_F(ImgCheckBoxTest, UnsupportedBoxIgnoresTheMouse) {
  box->SetSupported(false);
  DoubleClick(box, in);
  EXPECT_FALSE(box->Checked());
  EXPECT_FALSE(box->Pressed());
  EXPECT_TRUE(Take().empty());
}

TEST_F(ImgCheckBoxTest, RightButtonReportsButChangesNothing) {
  QTest::mouseClick(box, Qt::RightButton, Qt::NoModifier, in);
  EXPECT_FALSE(box->Checked());
  EXPECT_EQ(Take(), (Log{"OnMouseDown:rdown", "OnMouseUp:rup:unchecked"}));
}

TEST_F(ImgCheckBoxTest, PicturesOfTheOtherStateWaitTheirTurn) {
  box->SetPicChecked(Solid(kBlue));
  EXPECT_EQ(Shown(*box), kRed);
  box->SetPicUnchecked(Solid(kYellow));
  EXPECT_EQ(Shown(*box), kYellow);
  box->SetChecked(true);
  EXPECT_EQ(Shown(*box), kBlue);
  box->SetCheckBoxName("2ndF");
  EXPECT_EQ(box->accessibleName(), "2ndF");
}

}  // namespace
