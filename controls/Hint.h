// THintedWidget: the hint every skin control carries (the picture buttons and
// boxes, the slide bar), shown as its tooltip while ShowHint is on. Gui layer.
// Used by controls/ImgBtn.h and controls/SlideBar.h.
#pragma once

#include <QString>
#include <QWidget>

class THintedWidget : public QWidget {
 public:
  using QWidget::QWidget;

  const QString& Hint() const { return FHint; }
  void SetHint(const QString& value) {
    FHint = value;
    UpdateToolTip();
  }
  bool ShowHint() const { return FShowHint; }
  void SetShowHint(bool value) {
    FShowHint = value;
    UpdateToolTip();
  }

 private:
  void UpdateToolTip() { setToolTip(FShowHint ? FHint : QString()); }

  QString FHint;
  bool FShowHint = false;
};
