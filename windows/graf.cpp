// The graph window: its controls, its settings keys and the drawing.
#include "windows/graf.h"

#include <QAction>
#include <QCheckBox>
#include <QContextMenuEvent>
#include <QHBoxLayout>
#include <QHideEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPainter>
#include <QPushButton>
#include <algorithm>
#include <exception>
#include <utility>

#include "controls/WindowSystem.h"
#include "windows/GraphMath.h"

namespace {

constexpr int kDefaultWidth = 659;
constexpr int kDefaultHeight = 450;

const QColor kBackground(0, 0, 0);
const QColor kAxisColour(128, 128, 128);
const QColor kCurveColour(255, 255, 0);

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

}  // namespace

TGraphImage::TGraphImage(QWidget* parent) : QWidget(parent) {
  setAttribute(Qt::WA_OpaquePaintEvent);
}

void TGraphImage::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.fillRect(rect(), kBackground);
  if (!FBitmap.isNull()) painter.drawImage(0, 0, FBitmap);
}

void TGraphImage::contextMenuEvent(QContextMenuEvent* event) {
  if (!FPopupMenu) return;
  FPopupMenu->popup(event->globalPos());
  event->accept();
}

TGraphForm::TGraphForm(ICalcHost& host, QWidget* parent)
    : TGraphForm(host, SettingsPath(), parent) {}

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

  FGraphMenu = new QMenu(this);
  Name(FGraphMenu, "GraphMenu");
  FJoinPoints = FGraphMenu->addAction(QStringLiteral("Join points"));
  FJoinPoints->setObjectName(QStringLiteral("JoinPoints"));
  FJoinPoints->setCheckable(true);
  FDrawAxes = FGraphMenu->addAction(QStringLiteral("Draw axes"));
  FDrawAxes->setObjectName(QStringLiteral("DrawAxes"));
  FDrawAxes->setCheckable(true);
  FImage->SetPopupMenu(FGraphMenu);

  CreatePanel();
  LayoutChildren();
}

void TGraphForm::CreatePanel() {
  FPanel1 = new QWidget(this);
  Name(FPanel1, "Panel1");
  FPanel1->setAutoFillBackground(true);
  auto* row = new QHBoxLayout(FPanel1);
  row->setContentsMargins(8, 0, 8, 0);
  row->setSpacing(6);

  auto label = [&](const char* name, const char* text) {
    auto* l = new QLabel(QString::fromLatin1(text), FPanel1);
    Name(l, name);
    row->addWidget(l);
  };
  auto field = [&](const char* name, const char* text) {
    auto* e = new QLineEdit(QString::fromLatin1(text), FPanel1);
    Name(e, name);
    e->setFixedWidth(90);
    row->addWidget(e);
    return e;
  };
  auto check = [&](const char* name) {
    auto* c = new QCheckBox(QStringLiteral("Auto"), FPanel1);
    Name(c, name);
    row->addWidget(c);
    return c;
  };

  label("Label1", "X:");
  FFromX = field("FromX", "-5");
  label("Label2", "-");
  FToX = field("ToX", "5");
  FAutoX = check("AutoX");
  FAutoX->setEnabled(false);
  row->addSpacing(12);
  label("Label3", "Y:");
  FFromY = field("FromY", "-2");
  label("Label4", "-");
  FToY = field("ToY", "2");
  FAutoY = check("AutoY");
  row->addSpacing(12);
  FDrawBut = new QPushButton(QStringLiteral("Draw"), FPanel1);
  Name(FDrawBut, "DrawBut");
  row->addWidget(FDrawBut);
  row->addStretch(1);

  // Setting a box's check, by the user or from the settings, runs its click.
  connect(FAutoX, &QCheckBox::toggled, this, [this] { AutoXClick(); });
  connect(FAutoY, &QCheckBox::toggled, this, [this] { AutoYClick(); });
  connect(FDrawBut, &QPushButton::clicked, this, [this] { DrawButClick(); });
}

void TGraphForm::LayoutChildren() {
  const int w = width(), h = height();
  FPanel1->setGeometry(0, h - kPanelHeight, w, kPanelHeight);
  FImage->setGeometry(kImageInset, kImageInset, std::max(0, w - 2 * kImageInset),
                      std::max(0, h - kPanelHeight - kImageInset));
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
}

void TGraphForm::JoinPointsClick() { FJoinPoints->setChecked(!FJoinPoints->isChecked()); }

void TGraphForm::DrawAxesClick() { FDrawAxes->setChecked(!FDrawAxes->isChecked()); }

const QImage& TGraphForm::Bitmap() const { return FImage->Bitmap(); }

long double TGraphForm::FieldNumber(const QLineEdit* field) const {
  return FHost.Calculator().ReadNumber(field->text().toStdString());
}

QString TGraphForm::NumberText(long double v) const {
  return QString::fromStdString(FHost.Calculator().PlainText(v));
}

bool TGraphForm::Sample(long double x, long double& value) {
  return FHost.Calculator().Sample(x, value);
}

void TGraphForm::DrawButClick() {
  const TRepaintOnExit repaint(FImage);
  QImage& bitmap = FImage->Bitmap();
  if (bitmap.size() != FImage->size()) bitmap = QImage(FImage->size(), QImage::Format_RGB32);
  if (bitmap.isNull()) return;  // nothing to show (an empty or impossibly large picture)
  bitmap.fill(kBackground);

  if (!FHost.HasExpressionField()) return;
  const QString text = FHost.ExpressionText();
  if (text.isEmpty()) return;
  FHost.Calculator().SetFormula(text.toStdString());

  const long double x1 = FieldNumber(FFromX);
  const long double x2 = FieldNumber(FToX);
  const int w = bitmap.width();
  graph::TYRange y;
  if (FAutoY->isChecked()) {
    long double v = 0;
    Sample(x1, v);  // the seed counts whether or not it failed
    graph::TAutoRange range(v);
    for (int i = 0; i < w; ++i) {
      if (Sample(graph::SampleX(x1, x2, i, w), v)) range.Add(v);
    }
    y = range.Rounded();
    FFromY->setText(NumberText(y.Min));
    FToY->setText(NumberText(y.Max));
  } else {
    y.Min = FieldNumber(FFromY);
    y.Max = FieldNumber(FToY);
    y = graph::WidenEmpty(y);  // equal typed bounds: drawn widened, the fields stay
  }

  QPainter painter(&bitmap);
  if (FDrawAxes->isChecked()) DrawAxesLines(painter, x1, x2, y.Min, y.Max);
  DrawCurve(painter, x1, x2, y.Min, y.Max);
}

void TGraphForm::DrawAxesLines(QPainter& painter, long double x1, long double x2,
                               long double ymin, long double ymax) {
  const int w = FImage->Bitmap().width(), h = FImage->Bitmap().height();
  painter.setPen(QPen(kAxisColour, 0));
  if (const auto r = graph::HorizontalAxisRow(ymin, ymax, h)) {
    const int row = static_cast<int>(*r);
    painter.drawLine(0, row, w - 1, row);
  }
  if (const auto k = graph::VerticalAxisColumn(x1, x2, w)) {
    const int column = static_cast<int>(*k);
    painter.drawLine(column, 0, column, h - 1);
  }
}

void TGraphForm::DrawCurve(QPainter& painter, long double x1, long double x2, long double ymin,
                           long double ymax) {
  const int w = FImage->Bitmap().width(), h = FImage->Bitmap().height();
  const bool join = FJoinPoints->isChecked();
  painter.setPen(QPen(kCurveColour, 0));
  bool newPiece = true;
  std::int64_t previousRow = 0;
  for (int i = 0; i < w; ++i) {
    long double v = 0;
    if (!Sample(graph::SampleX(x1, x2, i, w), v)) {
      newPiece = true;
      continue;
    }
    const std::int64_t row = graph::PlotRow(v, ymin, ymax, h);
    if (join) {
      // Rows far outside are clipped here, so the painter only sees small numbers.
      const graph::TSegment line{i - 1.0, double(previousRow), double(i), double(row)};
      if (!newPiece) {
        if (const auto seg = graph::ClipSegment(line, w, h))
          painter.drawLine(QLineF(seg->X0, seg->Y0, seg->X1, seg->Y1));
      }
    } else if (row >= 0 && row < h) {
      painter.drawPoint(i, static_cast<int>(row));
    }
    previousRow = row;
    newPiece = false;
  }
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
  painter.fillRect(rect(), kBackground);
}
