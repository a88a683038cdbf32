// The slide bar as a widget: clicks beside the thumb, dragging, keys, the
// setter rules, orientation, the thumb pictures, and the pixels it paints.
#include "controls/SlideBar.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QTest>
#include <memory>
#include <set>

#include "controls/SystemColors.h"
#include "engine/Errors.h"

namespace {

constexpr QRgb kBackground = 0x405060;
constexpr QRgb kDark = 0x2C2C2C, kWhite = 0xFFFFFF, kSilver = 0xC0C0C0, kGrey = 0x808080,
               kBlack = 0x000000;

class SlideBarTest : public ::testing::Test {
 protected:
  void SetUp() override {
    host = std::make_unique<QWidget>();
    host->resize(300, 200);
    QPalette pal = host->palette();
    pal.setColor(QPalette::Window, QColor(kBackground));
    host->setPalette(pal);
    bar = new TSlideBar(host.get());
    bar->move(20, 20);
    bar->OnChange = [this](QObject* sender) {
      EXPECT_EQ(sender, bar);
      ++changes;
    };
  }
  void Show() {
    host->move(100, 100);
    QCursor::setPos(600, 500);
    host->show();
    host->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(host.get()));
  }
  QImage Grab() const { return bar->grab().toImage(); }
  static QRgb At(const QImage& img, int x, int y) { return img.pixel(x, y) & 0xFFFFFF; }

  std::unique_ptr<QWidget> host;
  TSlideBar* bar = nullptr;
  int changes = 0;
};

TEST_F(SlideBarTest, ConstructedAsTheDefaultVerticalBar) {
  EXPECT_EQ(bar->size(), QSize(15, 100));
  EXPECT_EQ(bar->Orientation(), orVertical);
  EXPECT_EQ(bar->Position(), 1);
  EXPECT_EQ(bar->ThumbStyle(), tsBar3);
  EXPECT_EQ(bar->ThumbPictureImage().size(), QSize(10, 5));
  EXPECT_EQ(bar->focusPolicy(), Qt::StrongFocus);
}

TEST_F(SlideBarTest, ClickBesideTheThumbStepsByOne) {
  struct Row {
    QSize size;
    QPoint click;
    int expected;
  };
  const Row rows[] = {
      {{15, 100}, {7, 80}, 49},    // below
      {{15, 100}, {7, 10}, 51},    // above
      {{150, 20}, {20, 10}, 49},   // left
      {{150, 20}, {130, 10}, 51},  // right
  };
  Show();
  for (const Row& r : rows) {
    bar->resize(r.size);
    bar->SetPosition(50);
    changes = 0;
    ASSERT_FALSE(bar->ThumbRect().contains(r.click));
    QTest::mouseClick(bar, Qt::LeftButton, Qt::NoModifier, r.click);
    EXPECT_EQ(bar->Position(), r.expected) << r.size.width() << "x" << r.size.height();
    EXPECT_EQ(changes, 1);
  }
  EXPECT_TRUE(bar->hasFocus());
  // A right click takes the focus but does not move the thumb.
  QTest::mouseClick(bar, Qt::RightButton, Qt::NoModifier, QPoint(130, 10));
  EXPECT_EQ(bar->Position(), 51);
}

TEST_F(SlideBarTest, DraggingTheThumbFollowsThePointer) {
  Show();
  bar->SetPosition(50);
  ASSERT_EQ(bar->ThumbRect(), QRect(2, 48, 10, 5));
  changes = 0;
  QTest::mousePress(bar, Qt::LeftButton, Qt::NoModifier, QPoint(7, 50));
  EXPECT_TRUE(bar->Dragging());
  QTest::mouseMove(bar, QPoint(7, 30));
  EXPECT_EQ(bar->Position(), 69);         // (98 - 30) / 98 of the range
  EXPECT_EQ(bar->ThumbRect().top(), 28);  // centred on the pointer
  QTest::mouseRelease(bar, Qt::LeftButton, Qt::NoModifier, QPoint(7, 30));
  EXPECT_FALSE(bar->Dragging());
  EXPECT_EQ(bar->Position(), 69);
  EXPECT_EQ(bar->ThumbRect().top(), 29);  // back where the position puts it
  EXPECT_EQ(changes, 2);
}

TEST_F(SlideBarTest, Keys) {
  struct Row {
    int start;
    Qt::Key key;
    int expected;
  };
  const Row rows[] = {
      {50, Qt::Key_Home, 0},    {50, Qt::Key_End, 100},   {95, Qt::Key_PageUp, 100},
      {50, Qt::Key_PageUp, 60}, {5, Qt::Key_PageDown, 0}, {50, Qt::Key_Up, 53},
      {50, Qt::Key_Right, 53},  {50, Qt::Key_Down, 47},   {50, Qt::Key_Left, 47},
      {99, Qt::Key_Up, 100},
  };
  bar->SetStepLine(3);
  for (const Row& r : rows) {
    bar->SetPosition(r.start);
    changes = 0;
    QTest::keyClick(bar, r.key);
    EXPECT_EQ(bar->Position(), r.expected) << "key " << r.key << " from " << r.start;
    EXPECT_EQ(changes, 1);
  }
  changes = 0;
  QTest::keyClick(bar, Qt::Key_A);
  QTest::keyClick(bar, Qt::Key_Space);
  EXPECT_EQ(changes, 0);
}

TEST_F(SlideBarTest, RangeAndStepRules) {
  bar->SetMax(50);
  EXPECT_EQ(bar->StepPage(), 5);
  bar->SetMax(5);
  EXPECT_EQ(bar->StepPage(), 1);
  EXPECT_EQ(bar->Position(), 1);
  bar->SetMax(100);
  EXPECT_EQ(bar->StepPage(), 10);
  bar->SetStepLine(20);  // raises the page step with it
  EXPECT_EQ(bar->StepLine(), 20);
  EXPECT_EQ(bar->StepPage(), 20);
  bar->SetStepPage(4);  // lowers the line step with it
  EXPECT_EQ(bar->StepPage(), 4);
  EXPECT_EQ(bar->StepLine(), 4);
  for (int bad : {0, -1, 101}) {
    bar->SetStepLine(bad);
    bar->SetStepPage(bad);
  }
  EXPECT_EQ(bar->StepLine(), 4);
  EXPECT_EQ(bar->StepPage(), 4);

  bar->SetMin(90);  // the position is not pulled into the new range
  EXPECT_EQ(bar->Position(), 1);
  changes = 0;
  bar->SetPosition(200);
  EXPECT_EQ(bar->Position(), 1);
  EXPECT_EQ(changes, 1);  // reported even when ignored
  bar->StepUp(0);
  EXPECT_EQ(changes, 1);
}

TEST_F(SlideBarTest, SettersIgnoreOrRejectBadValues) {
  for (int bad : {0, 13, -5}) bar->SetThickness(bad);
  EXPECT_EQ(bar->Thickness(), 2);
  bar->SetThickness(12);
  EXPECT_EQ(bar->Thickness(), 12);

  try {
    bar->SetThumbStyle(18);
    ADD_FAILURE() << "no error";
  } catch (const EZumbrelError& e) {
    EXPECT_STREQ(e.what(), "TSlideBar.SetThumbStyle: Bad value");
  }
  EXPECT_EQ(bar->ThumbStyle(), tsBar3);
  bar->SetThumbStyle(tsStdLeftRight);
  EXPECT_EQ(bar->ThumbPictureImage().size(), QSize(26, 12));
  EXPECT_EQ(bar->HalfW(), 13);
  EXPECT_EQ(bar->HalfH(), 6);

  bar->SetFlashColor(true);
  EXPECT_EQ(bar->FocusColor(), 0xF8FF00);
  bar->SetFocusColor(255);
  bar->SetFlashColor(true);  // unchanged: keeps the colour
  EXPECT_EQ(bar->FocusColor(), 255);
  bar->SetFlashColor(false);
  EXPECT_EQ(bar->FocusColor(), 0xC0C0C0);
}

TEST_F(SlideBarTest, OrientationFollowsShapeAndSwapsThumbsWhenSet) {
  bar->resize(150, 20);
  EXPECT_EQ(bar->Orientation(), orHorizontal);  // even before the bar is shown
  EXPECT_EQ(bar->ThumbStyle(), tsBar3);
  bar->resize(15, 100);
  EXPECT_EQ(bar->Orientation(), orVertical);

  bar->SetOrientation(orHorizontal);
  EXPECT_EQ(bar->size(), QSize(100, 15));
  EXPECT_EQ(bar->Orientation(), orHorizontal);
  EXPECT_EQ(bar->ThumbStyle(), tsBar1);
  bar->SetOrientation(orVertical);
  EXPECT_EQ(bar->size(), QSize(15, 100));
  EXPECT_EQ(bar->ThumbStyle(), tsBar3);

  bar->resize(40, 40);  // a square is horizontal; setting vertical swaps nothing
  EXPECT_EQ(bar->Orientation(), orHorizontal);
  bar->SetOrientation(orVertical);
  EXPECT_EQ(bar->Orientation(), orVertical);
  EXPECT_EQ(bar->size(), QSize(40, 40));
}

TEST(SlideBarPictures, EveryThumbSetIsAShadedShapeWithAMatchingMask) {
  const std::set<QRgb> colours{kWhite, kSilver, kGrey, kBlack};
  for (int s = 0; s < kThumbStyleCount; ++s) {
    const QImage& pic = slidebar::ThumbPicture(s);
    const QImage& mask = slidebar::ThumbMask(s);
    const slidebar::TThumbSize size = slidebar::ThumbSize(s);
    ASSERT_EQ(pic.size(), QSize(size.W, size.H)) << slidebar::ThumbName(s);
    ASSERT_EQ(mask.size(), pic.size()) << slidebar::ThumbName(s);
    int opaque = 0;
    QRgb first = 0xDEAD, lastOpaque = 0xDEAD;
    for (int y = 0; y < pic.height(); ++y) {
      for (int x = 0; x < pic.width(); ++x) {
        const QRgb m = mask.pixel(x, y) & 0xFFFFFF, p = pic.pixel(x, y) & 0xFFFFFF;
        ASSERT_TRUE(m == kWhite || m == kBlack) << slidebar::ThumbName(s);
        ASSERT_TRUE(colours.count(p)) << slidebar::ThumbName(s) << " " << x << "," << y;
        if (m == kWhite) {
          ASSERT_EQ(p, kBlack) << slidebar::ThumbName(s) << " " << x << "," << y;
          continue;
        }
        ++opaque;
        if (first == 0xDEAD) first = p;
        lastOpaque = p;
      }
    }
    EXPECT_GT(opaque, pic.width() * pic.height() / 3) << slidebar::ThumbName(s);
    EXPECT_EQ(first, kWhite) << slidebar::ThumbName(s) << ": lit from the top";
    EXPECT_EQ(lastOpaque, kBlack) << slidebar::ThumbName(s) << ": shadow at the bottom";
  }
  EXPECT_TRUE(slidebar::ThumbPicture(18).isNull());
}

TEST_F(SlideBarTest, PaintsTrackTicksAndThumb) {
  bar->SetMax(20);
  bar->SetFrequency(5);
  bar->SetPosition(10);  // 10 x 4.75 = 47.5, rounded to 48: thumb top 100 - 48 - 5
  ASSERT_EQ(bar->ThumbRect(), QRect(2, 47, 10, 5));
  const QImage img = Grab();
  // Track L 5, R 8, T 2, B 97: sunken, dark on top and left, white below and right.
  EXPECT_EQ(At(img, 5, 2), kDark);
  EXPECT_EQ(At(img, 7, 2), kDark);
  EXPECT_EQ(At(img, 5, 96), kDark);
  EXPECT_EQ(At(img, 8, 2), kWhite);
  EXPECT_EQ(At(img, 8, 90), kWhite);
  EXPECT_EQ(At(img, 5, 97), kWhite);
  EXPECT_EQ(At(img, 6, 90), kSilver);
  EXPECT_EQ(At(img, 7, 3), kSilver);
  EXPECT_EQ(At(img, 4, 90), kBackground);
  // Ticks at y 96, 73, 49, 25 and 2, four pixels long, three from the track.
  for (int y : {96, 73, 25, 2}) {
    for (int x : {2, 1, 0, 10, 11, 12, 13}) EXPECT_EQ(At(img, x, y), kGrey) << x << "," << y;
    EXPECT_EQ(At(img, 14, y), kBackground) << y;
    EXPECT_EQ(At(img, 3, y), kBackground) << y;
  }
  EXPECT_EQ(At(img, 0, 74), kBackground);
  EXPECT_EQ(At(img, 13, 72), kBackground);
  // The thumb over the track: lit corner, face, shadow corner.
  EXPECT_EQ(At(img, 2, 47), kWhite);
  EXPECT_EQ(At(img, 6, 49), kSilver);
  EXPECT_EQ(At(img, 11, 51), kBlack);
  EXPECT_EQ(At(img, 7, 46), kSilver);  // the track just above it

  bar->SetStyle(bsRaised);
  const QImage raised = Grab();
  EXPECT_EQ(At(raised, 5, 20), kWhite);
  EXPECT_EQ(At(raised, 8, 20), kDark);
}

TEST_F(SlideBarTest, BackgroundShowsThroughTheMask) {
  bar->SetThumbStyle(tsCircle1);
  bar->SetFrequency(1);
  bar->SetPosition(50);
  const QRect r = bar->ThumbRect();
  const QImage with = Grab();
  bar->SetPosition(0);
  const QImage without = Grab();
  ASSERT_FALSE(bar->ThumbRect().intersects(r));
  // The circle's corners are clear; its middle is the face, not the track.
  for (QPoint corner : {r.topLeft(), r.topRight(), r.bottomLeft(), r.bottomRight()})
    EXPECT_EQ(At(with, corner.x(), corner.y()), At(without, corner.x(), corner.y()));
  EXPECT_EQ(At(with, r.center().x(), r.center().y()), kSilver);
  EXPECT_NE(At(without, r.left(), r.center().y()), At(with, r.left(), r.center().y()));
}

TEST_F(SlideBarTest, EmptyRangeAndZeroFrequencyStillPaint) {
  bar->SetMin(30);
  bar->SetMax(30);
  bar->SetFrequency(0);
  bar->SetPosition(30);
  const QImage img = Grab();
  EXPECT_EQ(bar->ThumbRect().top(), 95);  // at the Min end
  for (int y = 0; y < 100; ++y) EXPECT_EQ(At(img, 1, y), kBackground) << y;
  bar->resize(150, 20);
  bar->SetFrequency(3);
  EXPECT_EQ(bar->ThumbRect().left(), 0);
  EXPECT_FALSE(Grab().isNull());
}

TEST_F(SlideBarTest, TrackColourFollowsThePosition) {
  struct Row {
    int position;
    QRgb rgb;
  };
  const Row rows[] = {
      {0, 0x00FFFF}, {256, 0x00FF00}, {512, 0xFFFF00}, {767, 0xFF0000}, {41, 0x00FFD6},
  };
  bar->SetMax(767);
  bar->SetFlashColor(true);
  bar->SetPosition(40);
  for (const Row& r : rows) {
    bar->SetPosition(r.position);
    const int y = bar->ThumbRect().top() > 50 ? 10 : 90;
    EXPECT_EQ(At(Grab(), 6, y), r.rgb) << "position " << r.position;
    EXPECT_EQ(bar->FocusColor(), slidebar::PositionColour(0, 767, r.position));
  }
}

// System colours map through the one table the labels use too (index 12, the
// application workspace, is the palette's Mid); an index without a colour
// gives the window's.
TEST_F(SlideBarTest, SystemColoursComeFromThePalette) {
  const struct {
    std::uint32_t colour;
    QPalette::ColorRole role;
  } rows[] = {
      {0x8000000F, QPalette::Button},     // button face
      {0x8000000D, QPalette::Highlight},  // selection
      {0x8000000C, QPalette::Mid},        // application workspace
      {0x80000004, QPalette::Window},     // menu
      {0x80000019, QPalette::Window},     // no colour
      {0x800000FF, QPalette::Window},     // past the table
  };
  QPalette pal = bar->palette();
  QRgb value = 0x101010;
  for (const QPalette::ColorRole role :
       {QPalette::Button, QPalette::Highlight, QPalette::Mid, QPalette::Window})
    pal.setColor(role, QColor(value += 0x102030));
  bar->setPalette(pal);
  for (const auto& r : rows) {
    bar->SetFocusColor(static_cast<std::int32_t>(r.colour));
    const QRgb want = pal.color(r.role).rgb() & 0xFFFFFF;
    EXPECT_EQ(At(Grab(), 6, 20), want) << std::hex << r.colour;
    EXPECT_EQ(SkinColor(static_cast<std::int32_t>(r.colour), pal)
                      .value_or(pal.color(QPalette::Window))
                      .rgb() &
                  0xFFFFFF,
              want)
        << std::hex << r.colour;
  }
}

// A bar far larger than its window paints only what shows: the middle of a
// 32767 by 32767 bar seen through the window has its track and its thumb
// where they fall, and the background elsewhere.
TEST_F(SlideBarTest, AHugeBarPaintsWhatShows) {
  bar->move(-16300, -16300);
  bar->resize(32767, 32767);
  bar->SetPosition(50);
  const QImage window = host->grab().toImage();
  ASSERT_EQ(window.size(), QSize(300, 200));
  const QRect thumb = bar->ThumbRect().translated(bar->pos());
  ASSERT_TRUE(QRect(0, 0, 300, 200).contains(thumb)) << thumb.x() << "," << thumb.y();
  const int trackTop = 32767 / 2 - bar->Thickness() / 2 - 1 + bar->y();
  EXPECT_EQ(At(window, 250, trackTop), kDark);
  EXPECT_EQ(At(window, 250, trackTop + bar->Thickness() + 1), kWhite);
  EXPECT_EQ(At(window, 250, 10), kBackground);
  // Where the thumb's mask is black its picture shows.
  int opaque = 0;
  for (int y = 0; y < thumb.height(); ++y)
    for (int x = 0; x < thumb.width(); ++x)
      if (At(bar->ThumbMaskImage(), x, y) == kBlack) {
        EXPECT_EQ(At(window, thumb.left() + x, thumb.top() + y),
                  At(bar->ThumbPictureImage(), x, y));
        ++opaque;
      }
  EXPECT_GT(opaque, 20);
}

TEST_F(SlideBarTest, HandCursorAndName) {
  bar->SetHandCursor(true);
  EXPECT_EQ(bar->cursor().shape(), Qt::BitmapCursor);
  EXPECT_FALSE(bar->cursor().pixmap().isNull());
  bar->SetHandCursor(false);
  EXPECT_FALSE(bar->testAttribute(Qt::WA_SetCursor));
  bar->SetSlideBarName("Volume");
  EXPECT_EQ(bar->accessibleName(), "Volume");
}

}  // namespace
