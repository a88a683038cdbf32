// The about box: its frame and texts, and a click anywhere closing it (texts
// included).
#include "windows/about.h"

#include <QFontMetrics>
#include <QLabel>
#include <QScreen>
#include <QTest>

#include "tests/gui/while_modal.h"

namespace {

TEST(AboutForm, ShowsItsTextsInAFixedFrame) {
  TAboutForm about;
  EXPECT_EQ(about.windowTitle(), "About");
  EXPECT_EQ(about.size(), QSize(273, 175));
  EXPECT_EQ(about.minimumSize(), about.maximumSize());
  EXPECT_TRUE(about.windowFlags() & Qt::WindowTitleHint);
  EXPECT_FALSE(about.windowFlags() & (Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint |
                                      Qt::WindowMinMaxButtonsHint));
  EXPECT_TRUE(about.Terms()->wordWrap());

  // Top to bottom: the text (or any of our own), its pixel size (0: the
  // box's), red and bold or not.
  const std::tuple<QLabel*, QString, int, bool> rows[] = {
      {about.ProductName(), "Zumbrel", 24, true},
      {about.Version(), "version 1.25", 13, true},
      {about.Terms(), {}, 0, false},
      {about.Notice(), {}, 0, false},
      {about.Address(), {}, 0, false}};
  int below = 0;
  for (const auto& [label, text, pixels, redBold] : rows) {
    SCOPED_TRACE(label->objectName().toStdString());
    EXPECT_TRUE(text.isEmpty() ? !label->text().isEmpty() : label->text() == text);
    EXPECT_TRUE(pixels == 0 || label->font().pixelSize() == pixels);
    EXPECT_EQ(label->font().bold(), redBold);
    EXPECT_EQ(label->palette().color(QPalette::WindowText) == QColor(Qt::red), redBold);
    EXPECT_TRUE(label->alignment() & Qt::AlignHCenter);
    // In order, inside the box, every word visible.
    EXPECT_GE(label->y(), below);
    below = label->geometry().bottom() + 1;
    EXPECT_TRUE(about.rect().contains(label->geometry()));
    const QFontMetrics metrics = label->fontMetrics();
    if (label->wordWrap()) {
      EXPECT_LE(label->heightForWidth(label->width()), label->height());
    } else {
      EXPECT_LE(metrics.horizontalAdvance(label->text()), label->width());
      EXPECT_LE(metrics.height(), label->height());
    }
  }
}

TEST(AboutForm, ALeftClickAnywhereClosesIt) {
  TAboutForm about;
  // Each text, and the bare box in its corner.
  const std::pair<QWidget*, QPoint> targets[] = {{about.ProductName(), {}}, {about.Version(), {}},
                                                 {about.Terms(), {}},       {about.Notice(), {}},
                                                 {about.Address(), {}},     {&about, QPoint(2, 2)}};
  for (const auto& [target, at] : targets) {
    SCOPED_TRACE(target->objectName().toStdString());
    int result = -1;
    // Copies of the bindings: clang 14 cannot capture a structured binding.
    WhileModal([&] { result = about.exec(); },
               [&, target = target, at = at](QWidget* modal) {
                 ASSERT_EQ(modal, &about);
                 const QPoint off =
                     about.geometry().center() - about.screen()->availableGeometry().center();
                 EXPECT_LE(off.manhattanLength(), 40) << "not centred on the screen";
                 QTest::mouseClick(about.ProductName(), Qt::RightButton);
                 EXPECT_TRUE(about.isVisible());
                 QTest::mouseClick(target, Qt::LeftButton, Qt::NoModifier, at);
               });
    EXPECT_EQ(result, QDialog::Accepted);
    EXPECT_FALSE(about.isVisible());
  }
}

}  // namespace
