// The graph window: plots the calculator's current expression as a function
// of X over a typed range, one sample per pixel column, on a black picture.
// The pointer reads x and f(x) in the bottom panel; the wheel zooms and a drag
// pans; the picture may carry a grid with labels and be saved as a PNG file.
// A drawing samples on a thread of its own with a copy of the calculator's
// state; one that takes long shows its progress and can be cancelled. Gui
// layer. Created by the program entry; the main window shows and hides it,
// and presets read and write its range fields and its AutoY box.
#pragma once

#include <QImage>
#include <QWidget>
#include <memory>
#include <string>
#include <vector>

#include "calc/Settings.h"
#include "windows/CalcHost.h"
#include "windows/GraphMath.h"
#include "windows/GraphPicture.h"

class QAction;
class QCheckBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;

// The plot surface: shows its bitmap unscaled at the top left corner (moved
// along while it is dragged), black elsewhere; pops up its menu on a right
// click and tells the window where the pointer is, what the wheel does and
// how far the picture was dragged.
class TGraphImage : public QWidget {
  Q_OBJECT
 public:
  explicit TGraphImage(QWidget* parent = nullptr);

  QImage& Bitmap() { return FBitmap; }
  const QImage& Bitmap() const { return FBitmap; }

  QMenu* PopupMenu() const { return FPopupMenu; }
  void SetPopupMenu(QMenu* menu) { FPopupMenu = menu; }
  // Vertical dragging moves the picture too (with automatic Y it does not).
  void SetDragsVertically(bool on) { FDragsVertically = on; }

 signals:
  void PointerMoved(QPoint at);
  void PointerLeft();
  void WheelTurned(QPoint at, int angle);  // eighths of a degree, away from the user positive
  void Dragged(QPoint by);                 // the left button went up after moving the picture

 protected:
  void paintEvent(QPaintEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;
  void leaveEvent(QEvent* event) override;

 private:
  QImage FBitmap;
  QMenu* FPopupMenu = nullptr;
  bool FDragsVertically = true;
  bool FDragging = false;
  QPoint FDragStart;
  QPoint FDragOffset;
};

class TGraphForm : public QWidget, public ISettingsOwner {
  Q_OBJECT
 public:
  // Reads its settings from the settings file `settingsPath`.
  TGraphForm(ICalcHost& host, std::string settingsPath, QWidget* parent = nullptr);
  // Writes the settings unless FormDestroy already did; a write error cannot
  // be reported from here, so the program calls FormDestroy itself first.
  ~TGraphForm() override;

  // Creation and destruction handlers: read and write the window's keys.
  // FormDestroy throws EWriteError when a key cannot be written.
  void FormCreate();
  void FormDestroy();

  void LoadSettings(const IniFile& ini) override;
  void SaveSettings(IniFile& ini) override;

  void AutoXClick();
  void AutoYClick();
  void JoinPointsClick();
  void DrawAxesClick();
  void GridLabelsClick();
  // Draws the plot. Throws EConvertError for a range field that is not a
  // number (after the picture was cleared) and lets the engine's exceptions
  // through; the picture shows what was drawn until then. A drawing that
  // runs longer than ProgressDelay shows its progress in a window whose
  // Cancel (or Esc) stops it: the picture then shows the columns sampled so
  // far. The Draw button's click reports the errors through the host.
  void DrawButClick();
  // "Save picture…": asks for a file name, then SavePicture.
  void SavePictureClick();
  // Writes the picture as a PNG file (atomically); ".png" is added to a name
  // without an extension. Throws EWriteError "Unable to write to <path>".
  void SavePicture(const QString& path) const;

  // The pointer at `at` on the plot: the readout shows the x of its column
  // and f(x) there, from the last drawing; outside the drawn picture it is
  // empty.
  void PointerAt(QPoint at);
  // The wheel turned by `angle` eighths of a degree at `at`: the X range (and
  // the Y range when AutoY is off) is scaled around the value under the
  // pointer, by 0.8 per notch away from the user; the fields are rewritten
  // and the plot drawn again.
  void WheelAt(QPoint at, int angle);
  // The picture dragged by `by` pixels: the ranges move with it (Y only when
  // AutoY is off), then the plot is drawn again.
  void PanBy(QPoint by);

  // How long a drawing runs before its progress shows (half a second).
  int ProgressDelay() const { return FProgressDelay; }
  void SetProgressDelay(int milliseconds) { FProgressDelay = milliseconds; }
  bool Drawing() const { return FDrawing; }

  // The drawn picture.
  const QImage& Bitmap() const;
  QString ReadoutText() const;

  TGraphImage* Image() const { return FImage; }
  QWidget* Panel1() const { return FPanel1; }
  QLineEdit* FromX() const { return FFromX; }
  QLineEdit* ToX() const { return FToX; }
  QLineEdit* FromY() const { return FFromY; }
  QLineEdit* ToY() const { return FToY; }
  QCheckBox* AutoX() const { return FAutoX; }
  QCheckBox* AutoY() const { return FAutoY; }
  QPushButton* DrawBut() const { return FDrawBut; }
  QLabel* Readout() const { return FReadout; }
  QMenu* GraphMenu() const { return FGraphMenu; }
  QAction* JoinPoints() const { return FJoinPoints; }
  QAction* DrawAxes() const { return FDrawAxes; }
  QAction* GridLabels() const { return FGridLabels; }
  QAction* SavePictureItem() const { return FSavePicture; }

  // One row of the bottom panel's height; a narrow window stacks its
  // controls in two or three such rows.
  static constexpr int kPanelHeight = 36;
  // The picture keeps this distance from the window's sides and top, as a
  // framed window's client area does, so a window 659 wide plots 651 columns.
  static constexpr int kImageInset = 4;

 protected:
  void hideEvent(QHideEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void paintEvent(QPaintEvent* event) override;

 private:
  struct TLastPlot;
  struct TSampled;

  void CreateControls();
  void CreateMenu();
  // The bottom panel (GraphPanel.cpp): its controls, and their places for
  // the window's width, in as many rows as that width needs.
  void CreatePanel();
  int LayoutPanel(int width);
  int MinimumPanelWidth() const;
  void LayoutChildren();
  void SetReadout(const QString& x, const QString& y);
  // A range field's number (EConvertError when it holds none), and a bound's
  // text, with the calculator's decimal separator.
  long double FieldNumber(const QLineEdit* field) const;
  QString NumberText(long double v) const;
  // Samples every column on a thread of its own, showing the progress after
  // ProgressDelay.
  TSampled SampleColumns(graph::TSampler& sampler, long double x1, long double x2, int w);
  // Puts new ranges into the fields and draws them.
  void Redraw(graph::TRange x, const graph::TRange* y);

  ICalcHost& FHost;
  std::string FSettingsPath;
  bool FDestroyed = false;  // FormDestroy ran: the settings are written, the host may be gone
  bool FDrawing = false;
  int FProgressDelay = 500;
  std::unique_ptr<TLastPlot> FLast;  // what the last drawing showed, for the pointer

  TGraphImage* FImage = nullptr;
  QWidget* FPanel1 = nullptr;
  QLineEdit* FFromX = nullptr;
  QLineEdit* FToX = nullptr;
  QLineEdit* FFromY = nullptr;
  QLineEdit* FToY = nullptr;
  QCheckBox* FAutoX = nullptr;
  QCheckBox* FAutoY = nullptr;
  QPushButton* FDrawBut = nullptr;
  QLabel* FReadout = nullptr;
  QLabel* FLabels[4] = {};  // "X:", "-", "Y:", "-"
  QString FReadoutX, FReadoutY;
  QMenu* FGraphMenu = nullptr;
  QAction* FJoinPoints = nullptr;
  QAction* FDrawAxes = nullptr;
  QAction* FGridLabels = nullptr;
  QAction* FSavePicture = nullptr;
};
