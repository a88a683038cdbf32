// TCoolForm on real widgets: frame and geometry, outlines from files and from
// the stored "Mask2" bytes, the picture rules, dragging with snap, and the
// right-click menu.
#include "controls/CoolForm.h"

#include <QApplication>
#include <QBuffer>
#include <QCursor>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

#include <memory>

namespace {

// Two bands: a 100 x 20 strip over a narrower 60 x 40 block (banded order).
const std::vector<TRect> kShape = {{0, 0, 100, 20}, {20, 20, 80, 60}};

QByteArray Stored(const std::optional<std::vector<TRect>>& rects) {
  const std::vector<uint8_t> b = WriteRegionBlock(rects);
  return QByteArray(reinterpret_cast<const char*>(b.data()), qsizetype(b.size()));
}

class CoolFormTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(dir.isValid());
    window = std::make_unique<QWidget>();
    window->resize(200, 120);
    form = new TCoolForm(window.get());
  }

  QString WriteFile(const QString& name, const QByteArray& bytes) {
    const QString path = dir.filePath(name);
    QFile f(path);
    EXPECT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
    return path;
  }

  QTemporaryDir dir;
  std::unique_ptr<QWidget> window;
  TCoolForm* form = nullptr;
};

TEST_F(CoolFormTest, MakesItsWindowFramelessAndFillsIt) {
  EXPECT_TRUE(window->windowFlags() & Qt::FramelessWindowHint);
  EXPECT_EQ(form->geometry(), QRect(0, 0, 200, 120));
  window->resize(310, 90);  // a hidden window gets its resize when shown
  window->show();
  EXPECT_EQ(form->geometry(), QRect(0, 0, 310, 90));
  window->resize(150, 100);
  EXPECT_EQ(form->geometry(), QRect(0, 0, 150, 100));
  EXPECT_TRUE(form->Draggable());
  EXPECT_FALSE(form->KeepOnScreen());
  EXPECT_FALSE(form->Mask()->Region());
  EXPECT_EQ(form->Mask()->Control(), form);

  // Moving it to another window makes that one frameless too.
  QWidget other;
  other.resize(50, 40);
  form->setParent(&other);
  EXPECT_TRUE(other.windowFlags() & Qt::FramelessWindowHint);
  EXPECT_EQ(form->geometry(), QRect(0, 0, 50, 40));
  form->setParent(window.get());
}

TEST_F(CoolFormTest, LoadMaskShapesTheWindowAndApplyMaskFollowsTheData) {
  const QString shape = WriteFile("shape.rgn", Stored(kShape));
  ASSERT_TRUE(form->LoadMask(shape));
  EXPECT_EQ(window->mask(), RegionFromRects(kShape));
  EXPECT_EQ(form->MaskSize(), 32u + 2 * 16);
  ASSERT_TRUE(form->Mask()->Region());

  struct Row {
    const char* what;
    QByteArray bytes;
    bool loaded;          // LoadMask's result
    bool shapeKept;       // the window keeps the previous outline after LoadMask
    bool rectangular;     // ApplyMask afterwards leaves a rectangular window
  };
  QByteArray cut = Stored(kShape);
  cut.chop(10);
  QByteArray badType = Stored(kShape);
  badType[4 + 4] = 2;
  const Row rows[] = {
      {"N = 0", Stored(std::nullopt), true, true, true},
      {"cut short", cut, true, true, true},
      {"type the platform rejects", badType, true, true, true},
      {"empty region", Stored(std::vector<TRect>{}), true, false, true},
      {"only two bytes", QByteArray("\x01\x00", 2), false, true, false},
  };
  for (const Row& row : rows) {
    ASSERT_TRUE(form->LoadMask(shape));
    EXPECT_EQ(form->LoadMask(WriteFile("case.rgn", row.bytes)), row.loaded) << row.what;
    if (row.shapeKept) EXPECT_EQ(window->mask(), RegionFromRects(kShape)) << row.what;
    else EXPECT_TRUE(window->mask().isEmpty()) << row.what;
    form->ApplyMask();
    EXPECT_EQ(window->mask().isEmpty(), row.rectangular) << row.what;
  }
  EXPECT_FALSE(form->LoadMask(dir.filePath("missing.rgn")));
}

TEST_F(CoolFormTest, StoredMaskReadsAppliesAndWritesBack) {
  form->ReadMask(Stored(kShape));
  EXPECT_EQ(window->mask(), RegionFromRects(kShape));
  EXPECT_EQ(form->WriteMask(), Stored(kShape));

  // Overlapping rectangles come back in the platform's banded form.
  form->ReadMask(Stored(std::vector<TRect>{{0, 0, 10, 10}, {5, 5, 15, 15}}));
  EXPECT_EQ(form->WriteMask(),
            Stored(std::vector<TRect>{{0, 0, 10, 5}, {0, 5, 15, 10}, {5, 10, 15, 15}}));

  // N = 0 applies no outline (the window keeps its shape) and writes a 0.
  form->ReadMask(Stored(std::nullopt));
  EXPECT_EQ(window->mask(), RegionFromRects({{0, 0, 10, 10}, {5, 5, 15, 15}}));
  EXPECT_FALSE(form->Mask()->Region());
  EXPECT_EQ(form->WriteMask(), Stored(std::nullopt));

  // Fewer than 4 bytes, or a length beyond the stream: no region, no crash.
  form->ReadMask(QByteArray("\x05", 1));
  EXPECT_EQ(form->WriteMask(), Stored(std::nullopt));
  form->ReadMask(QByteArray("\xFF\xFF\xFF\x7F\x20\x00", 6));
  EXPECT_FALSE(form->Mask()->Region());
}

TEST_F(CoolFormTest, PictureIsABitmapOrNothingAndForgetsTheRegion) {
  form->ReadMask(Stored(kShape));
  QPixmap pic(30, 20);
  pic.fill(Qt::red);
  form->SetPicture(pic);
  EXPECT_EQ(form->Picture().size(), QSize(30, 20));
  EXPECT_FALSE(form->Mask()->Region());
  EXPECT_EQ(window->mask(), RegionFromRects(kShape));  // the outline stays

  form->SetPicture(pic, false);  // an icon or a metafile
  EXPECT_TRUE(form->Picture().isNull());

  // The picture is drawn unscaled at the top-left corner.
  form->SetPicture(pic);
  const QImage shot = window->grab().toImage();
  EXPECT_EQ(shot.pixelColor(0, 0), QColor(Qt::red));
  EXPECT_EQ(shot.pixelColor(29, 19), QColor(Qt::red));
  EXPECT_NE(shot.pixelColor(31, 21), QColor(Qt::red));

  // Another holder's region is copied; a null holder changes nothing.
  TRegionType other;
  other.SetRegion(RegionFromRects(kShape));
  form->SetMask(&other);
  ASSERT_TRUE(form->Mask()->Region());
  form->SetMask(nullptr);
  EXPECT_EQ(*form->Mask()->Region(), RegionFromRects(kShape));
  EXPECT_EQ(form->Mask()->Control(), form);
}

TEST(RegionFromRects, BuildsThePlatformsBandedForm) {
  // The outline tool's rectangles are exactly what the platform region holds.
  const auto rects = RectsFromMask(30, 30, [](int32_t x, int32_t y) {
    return (x - 15) * (x - 15) + (y - 15) * (y - 15) < 150 && !(x > 12 && x < 18);
  });
  const QRegion region = RegionFromRects(rects);
  EXPECT_EQ(RectsFromRegion(region), rects);
  // Empty, inverted and absurd rectangles never break it.
  const QRegion odd = RegionFromRects(
      {{5, 5, 5, 9}, {9, 9, 1, 1}, {-2147483647 - 1, -5, 2147483647, 5}, {0, 0, 3, 3}});
  EXPECT_TRUE(odd.contains(QPoint(1, 1)));
  EXPECT_TRUE(odd.contains(QPoint(1000000, 0)));
  EXPECT_FALSE(odd.contains(QPoint(0, 6)));
}

class CoolFormDragTest : public CoolFormTest {
 protected:
  void SetUp() override {
    CoolFormTest::SetUp();
    screen = QGuiApplication::primaryScreen()->geometry();
    window->move(300, 200);
    window->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
  }

  // Press at `press` (surface coordinates), move the pointer to `to` (screen).
  void Drag(QPoint press, QPoint to) {
    QCursor::setPos(window->mapToGlobal(press));
    QTest::mousePress(form, Qt::LeftButton, {}, press);
    QCursor::setPos(to);
    QTest::mouseMove(form, form->mapFromGlobal(to));
  }

  QRect screen;
};

TEST_F(CoolFormDragTest, FollowsThePointerAndSnapsToTheEdges) {
  struct Row {
    const char* what;
    bool keep;
    QPoint proposed;  // top-left the pointer asks for
    QPoint expected;
  };
  const int right = screen.width() - 200, bottom = screen.height() - 120;
  const Row rows[] = {
      {"free", false, {100, 150}, {100, 150}},
      {"left 10 snaps", false, {10, 150}, {0, 150}},
      {"left 20 stays", false, {20, 150}, {20, 150}},
      {"off the left edge", false, {-50, 150}, {-50, 150}},
      {"kept on screen", true, {-50, 150}, {0, 150}},
      {"right and bottom snap", false, {right - 7, bottom + 12}, {right, bottom}},
  };
  for (const Row& row : rows) {
    form->SetKeepOnScreen(row.keep);
    window->move(300, 200);
    const QPoint press(40, 30);
    Drag(press, row.proposed + press);
    EXPECT_TRUE(form->Dragging()) << row.what;
    EXPECT_EQ(window->pos(), row.expected) << row.what;
    QTest::mouseRelease(form, Qt::LeftButton, {}, form->mapFromGlobal(QCursor::pos()));
    EXPECT_FALSE(form->Dragging()) << row.what;
  }
}

TEST_F(CoolFormDragTest, OtherButtonsAndNoDragGoToTheEvents) {
  int downs = 0, moves = 0;
  form->OnMouseDown = [&](Qt::MouseButton, Qt::KeyboardModifiers, int, int) { ++downs; };
  form->OnMouseMove = [&](Qt::MouseButton, Qt::KeyboardModifiers, int, int) { ++moves; };

  // A left press starts a drag and fires nothing; switching dragging off ends it.
  QTest::mousePress(form, Qt::LeftButton, {}, QPoint(5, 5));
  EXPECT_TRUE(form->Dragging());
  EXPECT_EQ(downs, 0);
  form->SetDraggable(false);
  EXPECT_FALSE(form->Dragging());
  QTest::mouseMove(form, QPoint(50, 50));
  EXPECT_EQ(window->pos(), QPoint(300, 200));
  EXPECT_EQ(moves, 1);
  QTest::mouseRelease(form, Qt::LeftButton, {}, QPoint(50, 50));
  QTest::mousePress(form, Qt::LeftButton, {}, QPoint(5, 5));
  EXPECT_EQ(downs, 1);
  EXPECT_FALSE(form->Dragging());
  QTest::mouseRelease(form, Qt::LeftButton, {}, QPoint(5, 5));
}

TEST_F(CoolFormDragTest, RightPressOpensTheMenuAtThePointer) {
  QMenu menu;
  menu.addAction("Always On Top");
  form->SetPopupMenu(&menu);
  QTest::mousePress(form, Qt::RightButton, {}, QPoint(30, 20));
  EXPECT_FALSE(form->Dragging());
  EXPECT_TRUE(menu.isVisible());
  EXPECT_EQ(menu.pos(), window->mapToGlobal(QPoint(30, 20)));
  menu.hide();
  // A menu that is gone leaves nothing dangling.
  {
    QMenu gone;
    form->SetPopupMenu(&gone);
  }
  EXPECT_EQ(form->PopupMenu(), nullptr);
  QTest::mousePress(form, Qt::RightButton, {}, QPoint(30, 20));
}

}  // namespace
