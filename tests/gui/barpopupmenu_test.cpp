// TBarPopupMenu drawn for real: the band's gradient rows, its width and gap,
// the upward text, the picture, and the items that are not counted or painted.
#include "controls/BarPopupMenu.h"

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QTest>
#include <gtest/gtest.h>

#include <memory>

namespace {

// The main window's menu: 24-pixel band, black at the top, blue at the bottom.
std::unique_ptr<TBarPopupMenu> MainMenuLike() {
  auto m = std::make_unique<TBarPopupMenu>();
  m->SetBarWidth(24);
  m->SetGradientStart(QColor(0, 0, 0));
  m->SetGradientEnd(QColor(0, 0, 255));
  QFont f(QStringLiteral("Tahoma"));
  f.setPixelSize(19);
  f.setBold(true);
  f.setItalic(true);
  m->SetVerticalFont(f);
  m->SetVerticalText(QStringLiteral("Zumbrel"));
  for (const char* caption : {"Always On Top", "Copy result", "Skin"}) m->addAction(caption);
  m->addSeparator();
  for (const char* caption : {"Degrees", "Radians", "Gradians"}) m->addAction(caption);
  return m;
}

QImage Shot(TBarPopupMenu& m) {
  m.popup(QPoint(50, 50));
  QApplication::processEvents();
  return m.grab().toImage().convertToFormat(QImage::Format_RGB32);
}

// Top of the first item and the band's left edge, as the menu laid them out.
int ItemsTop(const QMenu& m) { return m.actionGeometry(m.actions().first()).top(); }
int ItemsLeft(const QMenu& m) { return m.actionGeometry(m.actions().first()).left(); }

bool IsWhitish(QColor c) { return c.red() > 200 && c.green() > 200 && c.blue() > 200; }

int WhiteIn(const QImage& img, QRect area) {
  int n = 0;
  for (int y = area.top(); y <= area.bottom(); ++y)
    for (int x = area.left(); x <= area.right(); ++x) n += IsWhitish(img.pixelColor(x, y));
  return n;
}

TEST(BarPopupMenu, MainMenuBandRunsFromBlackToBlueWithAGap) {
  auto m = MainMenuLike();
  const QImage img = Shot(*m);
  const int total = m->TotalHeight(), top = ItemsTop(*m), band = ItemsLeft(*m) - 24;
  ASSERT_GT(total, 100);
  EXPECT_EQ(band, 0);
  // Every item, the separator included, counts.
  int sum = 0;
  for (QAction* a : m->actions()) sum += m->actionGeometry(a).height();
  EXPECT_EQ(total, sum);

  // Column 0 (never under the text): blue = 255 * row / total, truncated.
  for (int row : {0, 1, total / 3, total / 2, total - 1}) {
    EXPECT_EQ(img.pixelColor(0, top + row), QColor(0, 0, 255 * row / total)) << "row " << row;
  }
  // 22 pixels of band, then the 2-pixel gap shows the menu's background.
  const QColor bg = img.pixelColor(img.width() - 3, top + total / 2);
  const int row = total - 2;
  EXPECT_EQ(img.pixelColor(21, top + row), QColor(0, 0, 255 * row / total));
  EXPECT_EQ(img.pixelColor(22, top + row), bg);
  EXPECT_EQ(img.pixelColor(23, top + row), bg);
  // Items start right of the band: the menu is 24 pixels wider than a plain one.
  QMenu plain;
  for (QAction* a : m->actions()) plain.addAction(a);
  plain.popup(QPoint(50, 50));
  QApplication::processEvents();
  EXPECT_EQ(m->width(), plain.width() + 24);

  // "Zumbrel" is written upward: white pixels in the band, none in the bottom
  // 6 rows where the text starts.
  EXPECT_GT(WhiteIn(img, QRect(0, top, 22, total - 6)), 40);
  EXPECT_EQ(WhiteIn(img, QRect(0, top + total - 5, 22, 5)), 0);
  // The text is taller than wide: it spans far more rows than columns.
  int firstRow = -1, lastRow = -1, firstCol = 99, lastCol = -1;
  for (int y = top; y < top + total; ++y)
    for (int x = 0; x < 22; ++x)
      if (IsWhitish(img.pixelColor(x, y))) {
        if (firstRow < 0) firstRow = y;
        lastRow = y;
        firstCol = std::min(firstCol, x);
        lastCol = std::max(lastCol, x);
      }
  EXPECT_GT(lastRow - firstRow, 3 * (lastCol - firstCol));
  EXPECT_GT(lastRow, top + total - 20);  // it starts near the bottom
}

TEST(BarPopupMenu, BarVisibleOffIsAPlainMenu) {
  auto m = MainMenuLike();
  m->SetBarVisible(false);
  const QImage img = Shot(*m);
  QMenu plain;
  for (QAction* a : m->actions()) plain.addAction(a);
  plain.popup(QPoint(50, 50));
  QApplication::processEvents();
  EXPECT_EQ(m->size(), plain.size());
  EXPECT_EQ(m->actionGeometry(m->actions().first()), plain.actionGeometry(plain.actions().first()));
  EXPECT_EQ(img, plain.grab().toImage().convertToFormat(QImage::Format_RGB32));
}

TEST(BarPopupMenu, EqualColoursMakeASolidBand) {
  auto m = MainMenuLike();
  m->SetGradientStart(QColor(200, 30, 40));
  m->SetGradientEnd(QColor(200, 30, 40));
  m->SetVerticalText(QString());
  const QImage img = Shot(*m);
  const int top = ItemsTop(*m);
  for (int y = top; y < top + m->TotalHeight(); y += 3)
    for (int x = 0; x < 22; x += 7) ASSERT_EQ(img.pixelColor(x, y), QColor(200, 30, 40)) << x << "," << y;
}

TEST(BarPopupMenu, InvisibleAndPlaceholderItemsAreNotCounted) {
  auto m = MainMenuLike();
  const int before = MainMenuLike()->TotalHeight();
  QAction* hidden = m->addAction("Hidden");
  hidden->setVisible(false);
  QAction* hash = m->addAction("#");
  m->SetVerticalText(QString());
  const QImage img = Shot(*m);
  const QRect hashRect = m->actionGeometry(hash);
  ASSERT_TRUE(hashRect.isValid());
  EXPECT_EQ(m->TotalHeight(), before);
  EXPECT_EQ(m->TotalHeight(), hashRect.top() - ItemsTop(*m));

  // The band ends blue at the last counted row; the placeholder's rows are not
  // part of it and its caption is not drawn.
  const int total = m->TotalHeight(), top = ItemsTop(*m);
  EXPECT_EQ(img.pixelColor(0, top + total - 1), QColor(0, 0, 255 * (total - 1) / total));
  const QColor bg = img.pixelColor(img.width() - 3, hashRect.center().y());
  int notBackground = 0;
  // (inside the menu's frame line)
  for (int y = hashRect.top(); y <= std::min(hashRect.bottom(), img.height() - 2); ++y)
    for (int x = 1; x < img.width() - 1; ++x) notBackground += img.pixelColor(x, y) != bg;
  EXPECT_EQ(notBackground, 0);
}

TEST(BarPopupMenu, NothingToSpanPaintsNoBandAndDividesByNothing) {
  TBarPopupMenu m;
  m.addAction("#");
  m.addAction("Gone")->setVisible(false);
  const QImage img = Shot(m);
  EXPECT_EQ(m.TotalHeight(), 0);
  EXPECT_NE(img.pixelColor(1, ItemsTop(m) + 1), QColor(0, 0, 255));

  TBarPopupMenu empty;  // no items at all
  Shot(empty);
  EXPECT_EQ(empty.TotalHeight(), 0);
}

TEST(BarPopupMenu, PictureSitsWhereItsAlignmentSays) {
  // 6 x 4, red, with a green bottom-left pixel: the see-through colour.
  QImage pic(6, 4, QImage::Format_RGB32);
  pic.fill(QColor(255, 0, 0));
  pic.setPixelColor(0, 3, QColor(0, 255, 0));
  pic.setPixelColor(5, 0, QColor(0, 255, 0));

  struct Row {
    TBitmapVertAlignment v;
    TBitmapHorzAlignment h;
    int dx, dy;
  };
  const Row rows[] = {{bvaTop, bhaLeft, 0, 0},   {bvaTop, bhaRight, 0, 0},
                      {bvaMiddle, bhaCenter, 1, -2}, {bvaBottom, bhaLeft, 3, 0},
                      {bvaBottom, bhaRight, -1, -1}};
  for (const Row& row : rows) {
    auto m = MainMenuLike();
    m->SetVerticalText(QString());
    m->SetGradientStart(QColor(0, 0, 255));  // solid blue, so red stands out
    m->SetBitmap(QPixmap::fromImage(pic));
    EXPECT_TRUE(m->Transparent());
    m->SetBitmapVertAlignment(row.v);
    m->SetBitmapHorzAlignment(row.h);
    m->SetBitmapOffsetX(row.dx);
    m->SetBitmapOffsetY(row.dy);
    const QImage img = Shot(*m);
    const int total = m->TotalHeight(), top = ItemsTop(*m);
    const int y = top + row.dy + (row.v == bvaTop ? 0 : row.v == bvaBottom ? total - 4 : (total - 4) / 2);
    const int x = row.dx + (row.h == bhaLeft ? 0 : row.h == bhaRight ? 22 - 6 : (22 - 6) / 2);
    EXPECT_EQ(img.pixelColor(x + 1, y), QColor(255, 0, 0)) << row.v << row.h;
    EXPECT_EQ(img.pixelColor(x + 5, y + 3), QColor(255, 0, 0)) << row.v << row.h;
    EXPECT_EQ(img.pixelColor(x, y + 3), QColor(0, 0, 255)) << "see-through " << row.v << row.h;
    EXPECT_EQ(img.pixelColor(x + 5, y), QColor(0, 0, 255)) << "see-through " << row.v << row.h;
  }

  // Opaque picture: the key colour shows.
  auto m = MainMenuLike();
  m->SetBitmap(QPixmap::fromImage(pic));
  m->SetTransparent(false);
  EXPECT_FALSE(m->Transparent());
  m->SetBitmapVertAlignment(bvaTop);
  const QImage img = Shot(*m);
  EXPECT_EQ(img.pixelColor(0, ItemsTop(*m) + 3), QColor(0, 255, 0));

  // Without a picture Transparent reads false and ignores writes.
  TBarPopupMenu none;
  none.SetTransparent(true);
  EXPECT_FALSE(none.Transparent());
  none.SetBarWidth(-3);  // ignored
  EXPECT_EQ(none.BarWidth(), 31);
}

}  // namespace
