// The graph window: plots the calculator's current expression as a function
// of X over a typed range, one sample per pixel column, on a black picture.
// Gui layer. Created by the program entry; the main window shows and hides
// it, and presets read and write its range fields and its AutoY box.
#pragma once

#include <QImage>
#include <QWidget>
#include <string>

#include "calc/Settings.h"
#include "windows/CalcHost.h"

class QAction;
class QCheckBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;

// The plot surface: shows its bitmap unscaled at the top left corner, black
// elsewhere, and pops up its menu on a right click.
class TGraphImage : public QWidget {
  Q_OBJECT
 public:
  explicit TGraphImage(QWidget* parent = nullptr);

  QImage& Bitmap() { return FBitmap; }
  const QImage& Bitmap() const { return FBitmap; }

  QMenu* PopupMenu() const { return FPopupMenu; }
  void SetPopupMenu(QMenu* menu) { FPopupMenu = menu; }

 protected:
  void paintEvent(QPaintEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;

 private:
  QImage FBitmap;
  QMenu* FPopupMenu = nullptr;
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
  // Draws the plot. Throws EConvertError for a range field that is not a
  // number (after the picture was cleared) and lets the engine's exceptions
  // through; the picture shows what was drawn until then.
  void DrawButClick();

  // The drawn picture.
  const QImage& Bitmap() const;

  TGraphImage* Image() const { return FImage; }
  QWidget* Panel1() const { return FPanel1; }
  QLineEdit* FromX() const { return FFromX; }
  QLineEdit* ToX() const { return FToX; }
  QLineEdit* FromY() const { return FFromY; }
  QLineEdit* ToY() const { return FToY; }
  QCheckBox* AutoX() const { return FAutoX; }
  QCheckBox* AutoY() const { return FAutoY; }
  QPushButton* DrawBut() const { return FDrawBut; }
  QMenu* GraphMenu() const { return FGraphMenu; }
  QAction* JoinPoints() const { return FJoinPoints; }
  QAction* DrawAxes() const { return FDrawAxes; }

  static constexpr int kPanelHeight = 36;
  // The picture keeps this distance from the window's sides and top, as a
  // framed window's client area does, so a window 659 wide plots 651 columns.
  static constexpr int kImageInset = 4;

 protected:
  void hideEvent(QHideEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void paintEvent(QPaintEvent* event) override;

 private:
  void CreateControls();
  void CreatePanel();
  void LayoutChildren();
  // Stores x as "X", evaluates, and tells whether the sample is good.
  bool Sample(long double x, long double& value);
  // A range field's number (EConvertError when it holds none), and a bound's
  // text, with the calculator's decimal separator.
  long double FieldNumber(const QLineEdit* field) const;
  QString NumberText(long double v) const;
  void DrawAxesLines(QPainter& painter, long double x1, long double x2, long double ymin,
                     long double ymax);
  void DrawCurve(QPainter& painter, long double x1, long double x2, long double ymin,
                 long double ymax);

  ICalcHost& FHost;
  std::string FSettingsPath;
  bool FDestroyed = false;  // FormDestroy ran: the settings are written, the host may be gone

  TGraphImage* FImage = nullptr;
  QWidget* FPanel1 = nullptr;
  QLineEdit* FFromX = nullptr;
  QLineEdit* FToX = nullptr;
  QLineEdit* FFromY = nullptr;
  QLineEdit* FToY = nullptr;
  QCheckBox* FAutoX = nullptr;
  QCheckBox* FAutoY = nullptr;
  QPushButton* FDrawBut = nullptr;
  QMenu* FGraphMenu = nullptr;
  QAction* FJoinPoints = nullptr;
  QAction* FDrawAxes = nullptr;
};
