// The graph window: its picture, its menu, its settings keys, the drawing
// and what the pointer does on the plot. The bottom panel is in
// GraphPanel.cpp.
#include "windows/graf.h"

#include <QAction>
#include <QCheckBox>
#include <QContextMenuEvent>
#include <QCursor>
#include <QDialog>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QHideEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QProgressBar>
#include <QPushButton>
#include <QSaveFile>
#include <QScopedValueRollback>
#include <QTimer>
#include <QVBoxLayout>
#include <QWheelEvent>
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <condition_variable>
#include <exception>
#include <mutex>
#include <thread>
#include <utility>

#include "calc/Format.h"
#include "controls/WindowSystem.h"
#include "engine/Errors.h"
#include "windows/GraphMath.h"

namespace {

constexpr int kDefaultWidth = 659;
constexpr int kDefaultHeight = 450;
// A drawing this many plot heights tall would be no picture at all.
constexpr int kMinPlotHeight = 60;

void Name(QObject* object, const char* name) {
  object->setObjectName(QString::fromLatin1(name));
  if (auto* widget = qobject_cast<QWidget*>(object))
    widget->setAccessibleName(QString::fromLatin1(name));
}

// Shows whatever the drawing got to, also when it stops with an exception.
class TRepaintOnExit {
 public:
  explicit TRepaintOnExit(QWidget* widget) : FWidget(widget) {}
  ~TRepaintOnExit() { FWidget->update(); }
  TRepaintOnExit(const TRepaintOnExit&) = delete;
  TRepaintOnExit& operator=(const TRepaintOnExit&) = delete;

 private:
  QWidget* FWidget;
};

// The progress of a drawing that takes long: how many columns are done, and
// Cancel (Esc does the same) to stop it. Closes itself when the sampling ends.
class TDrawProgress : public QDialog {
 public:
  TDrawProgress(QWidget* parent, int columns, graph::TSamplingProgress& progress,
                const std::atomic<bool>& finished)
      : QDialog(parent), FProgress(progress), FFinished(finished) {
    Name(this, "DrawProgress");
    setWindowTitle(QStringLiteral("Graph"));
    setWindowModality(Qt::ApplicationModal);
    auto* layout = new QVBoxLayout(this);
    auto* label = new QLabel(QStringLiteral("Drawing the graph…"), this);
    Name(label, "Label");
    FBar = new QProgressBar(this);
    Name(FBar, "Progress");
    FBar->setRange(0, std::max(columns, 1));
    auto* cancel = new QPushButton(QStringLiteral("Cancel"), this);
    Name(cancel, "Cancel");
    layout->addWidget(label);
    layout->addWidget(FBar);
    layout->addWidget(cancel, 0, Qt::AlignRight);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    // Esc, the Cancel button and the window's close button all end here.
    connect(this, &QDialog::rejected, this, [this] { FProgress.Cancel = true; });
    connect(&FPoll, &QTimer::timeout, this, [this] { Poll(); });
    FPoll.start(40);
    resize(320, sizeHint().height());
  }

 private:
  void Poll() {
    FBar->setValue(FProgress.Done.load());
    if (FFinished.load()) accept();
  }

  graph::TSamplingProgress& FProgress;
  const std::atomic<bool>& FFinished;
  QProgressBar* FBar = nullptr;
  QTimer FPoll;
};

}  // namespace

// What the last drawing showed: the pointer reads its columns.
struct TGraphForm::TLastPlot {
  TPlotView View;
  int Width = 0, Height = 0;
  std::vector<graph::TSample> Samples;
  int Count = 0;                             // the columns drawn
  std::unique_ptr<graph::TSampler> Sampler;  // for the columns a cancel left out
};

struct TGraphForm::TSampled {
  std::vector<graph::TSample> Samples;
  int Count = 0;  // the good columns: before an exception or a cancel
  std::exception_ptr Error;
};

TGraphImage::TGraphImage(QWidget* parent) : QWidget(parent) {
  setAttribute(Qt::WA_OpaquePaintEvent);
  setMouseTracking(true);
  setCursor(Qt::CrossCursor);
}

void TGraphImage::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.fillRect(rect(), QColor::fromRgb(kGraphBackground));
  if (!FBitmap.isNull()) painter.drawImage(FDragOffset, FBitmap);
}

void TGraphImage::contextMenuEvent(QContextMenuEvent* event) {
  if (!FPopupMenu) return;
  FPopupMenu->popup(event->globalPos());
  event->accept();
}

void TGraphImage::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return QWidget::mousePressEvent(event);
  FDragging = true;
  FDragStart = event->position().toPoint();
  FDragOffset = {};
  setCursor(Qt::ClosedHandCursor);
}

void TGraphImage::mouseMoveEvent(QMouseEvent* event) {
  const QPoint at = event->position().toPoint();
  if (!FDragging) {
    emit PointerMoved(at);
    return;
  }
  // The picture follows the pointer; it is drawn anew when the button goes up.
  FDragOffset = at - FDragStart;
  if (!FDragsVertically) FDragOffset.setY(0);
  update();
}

void TGraphImage::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton || !FDragging) return QWidget::mouseReleaseEvent(event);
  FDragging = false;
  setCursor(Qt::CrossCursor);
  QPoint by = event->position().toPoint() - FDragStart;
  if (!FDragsVertically) by.setY(0);
  FDragOffset = {};
  update();
  if (!by.isNull()) emit Dragged(by);
}

void TGraphImage::wheelEvent(QWheelEvent* event) {
  event->accept();
  if (event->angleDelta().y() != 0)
    emit WheelTurned(event->position().toPoint(), event->angleDelta().y());
}

void TGraphImage::leaveEvent(QEvent* event) {
  QWidget::leaveEvent(event);
  emit PointerLeft();
}

TGraphForm::TGraphForm(ICalcHost& host, std::string settingsPath, QWidget* parent)
    : QWidget(parent, Qt::Window), FHost(host), FSettingsPath(std::move(settingsPath)) {
  CreateControls();
  FormCreate();
}

TGraphForm::~TGraphForm() {
  if (FDestroyed) return;
  try {
    FormDestroy();
  } catch (const std::exception&) {
    // Nobody is left to tell; the program calls FormDestroy itself to report it.
  }
}

void TGraphForm::CreateControls() {
  Name(this, "GraphForm");
  setWindowTitle(QStringLiteral("Graph"));
  resize(kDefaultWidth, kDefaultHeight);

  FImage = new TGraphImage(this);
  Name(FImage, "Image");
  CreateMenu();
  FImage->SetPopupMenu(FGraphMenu);
  connect(FImage, &TGraphImage::PointerMoved, this,
          [this](QPoint at) { RunHandler(FHost, [&] { PointerAt(at); }); });
  connect(FImage, &TGraphImage::PointerLeft, this, [this] { SetReadout({}, {}); });
  connect(FImage, &TGraphImage::WheelTurned, this,
          [this](QPoint at, int angle) { RunHandler(FHost, [&] { WheelAt(at, angle); }); });
  connect(FImage, &TGraphImage::Dragged, this,
          [this](QPoint by) { RunHandler(FHost, [&] { PanBy(by); }); });

  CreatePanel();
  setMinimumSize(MinimumPanelWidth(), 3 * kPanelHeight + kImageInset + kMinPlotHeight);
  LayoutChildren();
}

void TGraphForm::CreateMenu() {
  FGraphMenu = new QMenu(this);
  Name(FGraphMenu, "GraphMenu");
  const auto check = [this](const char* name, const char* caption) {
    QAction* item = FGraphMenu->addAction(QString::fromUtf8(caption));
    item->setObjectName(QString::fromLatin1(name));
    item->setCheckable(true);
    return item;
  };
  FJoinPoints = check("JoinPoints", "Join points");
  FDrawAxes = check("DrawAxes", "Draw axes");
  FGridLabels = check("GridLabels", "Grid and labels");
  FGraphMenu->addSeparator();
  FSavePicture = FGraphMenu->addAction(QStringLiteral("Save picture…"));
  FSavePicture->setObjectName(QStringLiteral("SavePicture"));
  connect(FSavePicture, &QAction::triggered, this,
          [this] { RunHandler(FHost, [this] { SavePictureClick(); }); });
  // Only a drawn picture can be saved.
  connect(FGraphMenu, &QMenu::aboutToShow, this,
          [this] { FSavePicture->setEnabled(!Bitmap().isNull()); });
}

void TGraphForm::FormCreate() {
  const IniFile ini(FSettingsPath);
  LoadSettings(ini);
}

void TGraphForm::FormDestroy() {
  // Marked first: a key that cannot be written is reported once, and the keys
  // written before it stay as they are.
  FDestroyed = true;
  IniFile ini(FSettingsPath);
  SaveSettings(ini);
}

void TGraphForm::LoadSettings(const IniFile& ini) {
  TGraphSettings s;
  Load(ini, s);
  // A size that is no size at all would leave a window nobody can find, one
  // larger than the screens would take memory in proportion.
  const TGraphSettings d;
  PlaceStoredWindow(this, s.Left, s.Top, s.Width > 0 ? s.Width : d.Width,
                    s.Height > 0 ? s.Height : d.Height);
  FAutoX->setChecked(s.AutoX);
  FAutoY->setChecked(s.AutoY);
  FJoinPoints->setChecked(s.JoinPoints);
  FDrawAxes->setChecked(s.DrawAxes);
  FGridLabels->setChecked(s.GridLabels);
}

void TGraphForm::SaveSettings(IniFile& ini) {
  TGraphSettings s;
  s.Left = x();
  s.Top = y();
  s.Width = width();
  s.Height = height();
  s.AutoX = FAutoX->isChecked();
  s.AutoY = FAutoY->isChecked();
  s.JoinPoints = FJoinPoints->isChecked();
  s.DrawAxes = FDrawAxes->isChecked();
  s.GridLabels = FGridLabels->isChecked();
  Save(ini, s, TWindowSystem::Current().PlacesWindows);
}

void TGraphForm::AutoXClick() {
  const bool typed = !FAutoX->isChecked();
  FFromX->setEnabled(typed);
  FToX->setEnabled(typed);
}

void TGraphForm::AutoYClick() {
  const bool typed = !FAutoY->isChecked();
  FFromY->setEnabled(typed);
  FToY->setEnabled(typed);
  FImage->SetDragsVertically(typed);
}

void TGraphForm::JoinPointsClick() {
  FJoinPoints->setChecked(!FJoinPoints->isChecked());
}

void TGraphForm::DrawAxesClick() {
  FDrawAxes->setChecked(!FDrawAxes->isChecked());
}

void TGraphForm::GridLabelsClick() {
  FGridLabels->setChecked(!FGridLabels->isChecked());
}

const QImage& TGraphForm::Bitmap() const {
  return FImage->Bitmap();
}

long double TGraphForm::FieldNumber(const QLineEdit* field) const {
  return FHost.Calculator().ReadNumber(field->text().toStdString());
}

QString TGraphForm::NumberText(long double v) const {
  return QString::fromStdString(FHost.Calculator().PlainText(v));
}

TGraphForm::TSampled TGraphForm::SampleColumns(graph::TSampler& sampler, long double x1,
                                               long double x2, int w) {
  TSampled out;
  graph::TSamplingProgress progress;
  std::atomic<bool> finished{false};
  std::mutex mutex;
  std::condition_variable ended;
  std::thread worker([&] {
    try {
      out.Count = graph::SampleColumns(sampler, x1, x2, w, out.Samples, progress);
    } catch (...) {
      out.Error = std::current_exception();
      out.Count = progress.Done.load();
    }
    const std::lock_guard<std::mutex> lock(mutex);
    finished = true;
    ended.notify_all();
  });
  // The worker is joined on every way out, stopped first if need be.
  struct TJoin {
    std::thread& Worker;
    graph::TSamplingProgress& Progress;
    ~TJoin() {
      if (!Worker.joinable()) return;
      Progress.Cancel = true;
      Worker.join();
    }
  } join{worker, progress};
  {
    std::unique_lock<std::mutex> lock(mutex);
    ended.wait_for(lock, std::chrono::milliseconds(std::max(FProgressDelay, 0)),
                   [&] { return finished.load(); });
  }
  if (!finished) {
    TDrawProgress dialog(this, w, progress, finished);
    dialog.exec();
  }
  worker.join();
  return out;
}

void TGraphForm::DrawButClick() {
  // A drawing under way has its progress window; nothing starts another.
  if (FDrawing) return;
  const QScopedValueRollback<bool> drawing(FDrawing, true);
  const TRepaintOnExit repaint(FImage);
  FLast.reset();
  SetReadout({}, {});
  QImage& bitmap = FImage->Bitmap();
  if (bitmap.size() != FImage->size()) bitmap = QImage(FImage->size(), QImage::Format_RGB32);
  if (bitmap.isNull()) return;  // nothing to show (an empty or impossibly large picture)
  bitmap.fill(QColor::fromRgb(kGraphBackground));

  if (!FHost.HasExpressionField()) return;
  const QString text = FHost.ExpressionText();
  if (text.isEmpty()) return;
  TCalculator& calc = FHost.Calculator();
  // The calculator holds the formula drawn, as it always did after a drawing.
  calc.SetFormula(text.toStdString());

  const long double x1 = FieldNumber(FFromX);
  const long double x2 = FieldNumber(FToX);
  const bool autoY = FAutoY->isChecked();
  graph::TYRange y;
  if (!autoY) {
    y.Min = FieldNumber(FFromY);
    y.Max = FieldNumber(FToY);
    y = graph::WidenEmpty(y);  // equal typed bounds: drawn widened, the fields stay
  }
  const int w = bitmap.width();
  auto sampler = std::make_unique<graph::TSampler>(calc, text.toStdString());
  TSampled run = SampleColumns(*sampler, x1, x2, w);
  // X keeps the last x sampled, which the other windows show.
  const int attempted = run.Count + (run.Error ? 1 : 0);
  if (attempted > 0) calc.Variables().Value(kXSlot) = graph::SampleX(x1, x2, attempted - 1, w);

  if (autoY) {
    // The range comes before anything is drawn: an error of the engine stops
    // the drawing with the picture still black, and so does a cancel before
    // the first column.
    if (run.Error) std::rethrow_exception(run.Error);
    if (run.Count == 0) return;
    graph::TAutoRange range(run.Samples[0].Value);  // the seed counts whether or not it failed
    for (int i = 0; i < run.Count; ++i)
      if (run.Samples[std::size_t(i)].Good()) range.Add(run.Samples[std::size_t(i)].Value);
    y = range.Rounded();
    FFromY->setText(NumberText(y.Min));
    FToY->setText(NumberText(y.Max));
  }

  const TPlotView view{x1, x2, y.Min, y.Max};
  PaintPlot(bitmap, view, run.Samples.data(), run.Count,
            {FDrawAxes->isChecked(), FJoinPoints->isChecked(), FGridLabels->isChecked(),
             calc.DecimalSeparator()});
  FLast = std::make_unique<TLastPlot>();
  FLast->View = view;
  FLast->Width = w;
  FLast->Height = bitmap.height();
  FLast->Samples = std::move(run.Samples);
  FLast->Count = run.Count;
  FLast->Sampler = std::move(sampler);
  // A pointer resting on the plot reads the new picture.
  if (FImage->underMouse()) PointerAt(FImage->mapFromGlobal(QCursor::pos()));
  if (run.Error) std::rethrow_exception(run.Error);
}

void TGraphForm::PointerAt(QPoint at) {
  if (!FLast || at.x() < 0 || at.x() >= FLast->Width || at.y() < 0 || at.y() >= FLast->Height) {
    SetReadout({}, {});
    return;
  }
  const TLastPlot& p = *FLast;
  const char separator = FHost.Calculator().DecimalSeparator();
  const long double x = graph::SampleX(p.View.X1, p.View.X2, at.x(), p.Width);
  const long double step = (p.View.X2 - p.View.X1) / p.Width;
  QString value;
  try {
    const graph::TSample s =
        at.x() < p.Count ? p.Samples[std::size_t(at.x())] : p.Sampler->Sample(x);
    value = QString::fromStdString(s.Good() ? graph::ShortNumber(s.Value, 7, separator)
                                            : ErrorText(s.Error));
  } catch (const std::exception& e) {
    value = QString::fromUtf8(e.what());  // the column's own failure
  }
  SetReadout(QStringLiteral("x = ") + QString::fromStdString(graph::ReadoutX(x, step, separator)),
             QStringLiteral("f(x) = ") + value);
}

void TGraphForm::WheelAt(QPoint at, int angle) {
  if (!FLast || FDrawing || angle == 0) return;
  const TLastPlot& p = *FLast;
  const long double factor = std::pow(0.8L, angle / 120.0L);
  const long double ax = graph::SampleX(p.View.X1, p.View.X2, at.x(), p.Width);
  const graph::TRange x = graph::ZoomRange({p.View.X1, p.View.X2}, ax, factor);
  if (FAutoY->isChecked()) return Redraw(x, nullptr);
  const long double ay = graph::RowValue(at.y(), p.View.YMin, p.View.YMax, p.Height);
  const graph::TRange y = graph::ZoomRange({p.View.YMin, p.View.YMax}, ay, factor);
  Redraw(x, &y);
}

void TGraphForm::PanBy(QPoint by) {
  if (!FLast || FDrawing) return;
  const TLastPlot& p = *FLast;
  const graph::TRange x = graph::PanRange({p.View.X1, p.View.X2}, p.Width, by.x());
  if (FAutoY->isChecked()) return Redraw(x, nullptr);
  // Rows grow downward: a picture dragged down shows higher values.
  const graph::TRange y = graph::PanRange({p.View.YMin, p.View.YMax}, p.Height, -by.y());
  Redraw(x, &y);
}

void TGraphForm::Redraw(graph::TRange x, const graph::TRange* y) {
  const auto tidy = [this](QLineEdit* field, long double v, const graph::TRange& r) {
    field->setText(NumberText(graph::TidyBound(v, r.Hi - r.Lo)));
  };
  tidy(FFromX, x.Lo, x);
  tidy(FToX, x.Hi, x);
  if (y) {
    tidy(FFromY, y->Lo, *y);
    tidy(FToY, y->Hi, *y);
  }
  DrawButClick();
}

void TGraphForm::SavePictureClick() {
  if (Bitmap().isNull()) return;
  const QString path = QFileDialog::getSaveFileName(
      this, QStringLiteral("Save picture"), QDir::home().filePath(QStringLiteral("graph.png")),
      QStringLiteral("PNG pictures (*.png)"));
  if (!path.isEmpty()) SavePicture(path);
}

void TGraphForm::SavePicture(const QString& name) const {
  QString path = name;
  if (QFileInfo(path).suffix().isEmpty()) path += QStringLiteral(".png");
  // Written beside and renamed over, so a failed save leaves no half picture.
  QSaveFile file(path);
  if (Bitmap().isNull() || !file.open(QIODevice::WriteOnly) || !Bitmap().save(&file, "PNG") ||
      !file.commit())
    throw EWriteError("Unable to write to " + path.toStdString());
}

void TGraphForm::hideEvent(QHideEvent* event) {
  // A minimised window is not hidden in the menu's sense.
  if (!event->spontaneous() && !FDestroyed) FHost.GraphWindowHidden();
  QWidget::hideEvent(event);
}

void TGraphForm::resizeEvent(QResizeEvent* event) {
  LayoutChildren();
  QWidget::resizeEvent(event);
}

void TGraphForm::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.fillRect(rect(), QColor::fromRgb(kGraphBackground));
}
