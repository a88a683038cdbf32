#include "windows/history.h"

#include <QAbstractListModel>
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QGuiApplication>
#include <QHideEvent>
#include <QListView>
#include <QMenu>
#include <QPainter>
#include <QScreen>
#include <QShowEvent>
#include <QStyledItemDelegate>
#include <QVBoxLayout>
#include <algorithm>

#include "calc/FormulaText.h"
#include "controls/WindowSystem.h"

namespace {

constexpr int kMinWidth = 150;
constexpr int kMinHeight = 80;

constexpr int kResultRole = Qt::UserRole;

QString Text(const std::string& s) {
  return QString::fromStdString(s);
}

// The entry as one line of text: "expression = result".
QString EntryLine(const THistoryEntry& e) {
  return Text(e.Expression) + QStringLiteral(" = ") + Text(e.Result);
}

// Paints an entry as its expression on the left and its result right-aligned
// on the right; a text that does not fit is elided.
class THistoryDelegate : public QStyledItemDelegate {
 public:
  using QStyledItemDelegate::QStyledItemDelegate;

  void paint(QPainter* painter, const QStyleOptionViewItem& option,
             const QModelIndex& index) const override {
    QStyleOptionViewItem opt = option;
    initStyleOption(&opt, index);
    const QString expression = opt.text;
    const QString result = index.data(kResultRole).toString();
    opt.text.clear();
    const QWidget* widget = opt.widget;
    QStyle* style = widget ? widget->style() : QApplication::style();
    style->drawControl(QStyle::CE_ItemViewItem, &opt, painter, widget);

    const QRect area = opt.rect.adjusted(4, 0, -4, 0);
    const QFontMetrics fm(opt.font);
    constexpr int kGap = 16;
    // The result keeps up to three fifths of the row; the expression the rest.
    // (A pixel to spare: eliding measures a little differently.)
    const int resultWidth = std::min(fm.horizontalAdvance(result) + 2, area.width() * 3 / 5);
    const int expressionWidth = std::max(0, area.width() - resultWidth - kGap);
    painter->save();
    painter->setFont(opt.font);
    const bool selected = opt.state.testFlag(QStyle::State_Selected);
    painter->setPen(
        opt.palette.color(QPalette::Normal, selected ? QPalette::HighlightedText : QPalette::Text));
    painter->drawText(QRect(area.left(), area.top(), expressionWidth, area.height()),
                      Qt::AlignLeft | Qt::AlignVCenter,
                      fm.elidedText(expression, Qt::ElideRight, expressionWidth));
    painter->drawText(QRect(area.right() - resultWidth + 1, area.top(), resultWidth, area.height()),
                      Qt::AlignRight | Qt::AlignVCenter,
                      fm.elidedText(result, Qt::ElideLeft, resultWidth));
    painter->restore();
  }
};

}  // namespace

// The history as the list shows it. It follows the history's changes; its
// row count is its own, so the view is told of each change in order.
class THistoryModel : public QAbstractListModel, private IHistoryListener {
 public:
  explicit THistoryModel(THistory& history) : FHistory(history), FRows(int(history.Count())) {
    FHistory.AddListener(this);
  }
  ~THistoryModel() override { FHistory.RemoveListener(this); }

  int rowCount(const QModelIndex& parent = QModelIndex()) const override {
    return parent.isValid() ? 0 : FRows;
  }

  QVariant data(const QModelIndex& index, int role) const override {
    if (!index.isValid() || index.row() >= int(FHistory.Count())) return {};
    const THistoryEntry& e = FHistory.Entry(static_cast<std::size_t>(index.row()));
    switch (role) {
      case Qt::DisplayRole:
        return Text(e.Expression);
      case kResultRole:
        return Text(e.Result);
      case Qt::ToolTipRole:
        return EntryLine(e);
      case Qt::AccessibleTextRole:
        return EntryLine(e);
      default:
        return {};
    }
  }

  THistory& History() { return FHistory; }

 private:
  void HistoryChanged(const THistoryChange& change) override {
    const int first = static_cast<int>(change.First);
    const int count = static_cast<int>(change.Count);
    switch (change.Kind) {
      case hcAdded:
        beginInsertRows(QModelIndex(), first, first + count - 1);
        FRows += count;
        endInsertRows();
        break;
      case hcRemoved:
        beginRemoveRows(QModelIndex(), first, first + count - 1);
        FRows -= count;
        endRemoveRows();
        break;
      case hcReset:
        beginResetModel();
        FRows = static_cast<int>(FHistory.Count());
        endResetModel();
        break;
    }
  }

  THistory& FHistory;
  int FRows = 0;
};

THistoryForm::THistoryForm(IHistoryHost& host, QWidget* parent)
    : QWidget(parent, Qt::Tool),
      FHost(host),
      FModel(std::make_unique<THistoryModel>(host.History())) {
  setObjectName(QStringLiteral("HistoryForm"));
  setWindowTitle(QStringLiteral("History"));
  setMinimumSize(kMinWidth, kMinHeight);

  FList = new QListView(this);
  FList->setObjectName(QStringLiteral("Entries"));
  FList->setAccessibleName(QStringLiteral("Entries"));
  // Every row has one line, so the view need not measure each (1,000 rows
  // open at once).
  FList->setUniformItemSizes(true);
  FList->setSelectionMode(QAbstractItemView::ExtendedSelection);
  FList->setEditTriggers(QAbstractItemView::NoEditTriggers);
  FList->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  FList->setTextElideMode(Qt::ElideRight);
  FList->setItemDelegate(new THistoryDelegate(FList));
  FList->setModel(FModel.get());
  FList->setContextMenuPolicy(Qt::CustomContextMenu);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(FList);

  connect(FList, &QAbstractItemView::doubleClicked, this, [this] { UseExpressionClick(); });
  connect(FList, &QWidget::customContextMenuRequested, this, [this](const QPoint& pos) {
    UpdateMenu();
    FMenu->popup(FList->viewport()->mapToGlobal(pos));
  });
  // The newest entry is the one in view.
  connect(FModel.get(), &QAbstractItemModel::rowsInserted, FList,
          [this] { FList->scrollToBottom(); });
  CreateMenu();
  resize(360, 300);
}

THistoryForm::~THistoryForm() {
  // The view lets go of the model before the model goes.
  FList->setModel(nullptr);
}

void THistoryForm::CreateMenu() {
  FMenu = new QMenu(this);
  FMenu->setObjectName(QStringLiteral("Menu"));
  const auto item = [this](const char* name, const char* caption, void (THistoryForm::*handler)()) {
    QAction* a = FMenu->addAction(QString::fromLatin1(caption));
    a->setObjectName(QString::fromLatin1(name));
    connect(a, &QAction::triggered, this, [this, handler] { (this->*handler)(); });
    return a;
  };
  FUse = item("UseExpression", "Use expression", &THistoryForm::UseExpressionClick);
  FInsert = item("InsertResult", "Insert result", &THistoryForm::InsertResultClick);
  FMenu->addSeparator();
  FCopy = item("Copy", "Copy", &THistoryForm::CopyClick);
  FDelete = item("Delete", "Delete", &THistoryForm::DeleteClick);
  FMenu->addSeparator();
  FClear = item("ClearHistory", "Clear history", &THistoryForm::ClearClick);
  // Del and Ctrl+C act in the list as well.
  FDelete->setShortcut(QKeySequence(Qt::Key_Delete));
  FCopy->setShortcut(QKeySequence::Copy);
  for (QAction* a : {FDelete, FCopy}) {
    a->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    FList->addAction(a);
  }
}

void THistoryForm::UpdateMenu() {
  const THistoryEntry* current = CurrentEntry();
  const bool selected = !SelectedRows().empty();
  FUse->setEnabled(current != nullptr);
  FInsert->setEnabled(current && current->Value.has_value());
  FCopy->setEnabled(selected);
  FDelete->setEnabled(selected);
  FClear->setEnabled(!FHost.History().Empty());
}

const THistoryEntry* THistoryForm::CurrentEntry() const {
  const QModelIndex index = FList->currentIndex();
  const THistory& history = FHost.History();
  if (!index.isValid() || index.row() >= int(history.Count())) return nullptr;
  return &history.Entry(static_cast<std::size_t>(index.row()));
}

std::vector<int> THistoryForm::SelectedRows() const {
  std::vector<int> rows;
  for (const QModelIndex& index : FList->selectionModel()->selectedIndexes())
    if (index.row() < int(FHost.History().Count())) rows.push_back(index.row());
  std::sort(rows.begin(), rows.end());
  rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
  return rows;
}

void THistoryForm::UseExpressionClick() {
  if (const THistoryEntry* e = CurrentEntry()) FHost.UseExpression(Text(e->Expression));
}

void THistoryForm::InsertResultClick() {
  const THistoryEntry* e = CurrentEntry();
  if (!e || !e->Value) return;  // an error has no value to insert
  FHost.InsertText(Text(FormulaText(*e->Value, FHost.DecimalSeparator())));
}

void THistoryForm::CopyClick() {
  QStringList lines;
  for (int row : SelectedRows()) lines << EntryLine(FHost.History().Entry(std::size_t(row)));
  if (!lines.isEmpty()) QGuiApplication::clipboard()->setText(lines.join(QLatin1Char('\n')));
}

void THistoryForm::DeleteClick() {
  const std::vector<int> rows = SelectedRows();
  // From the last run of rows to the first, so the rows still to go keep
  // their numbers.
  for (auto end = rows.rbegin(); end != rows.rend();) {
    auto start = end;
    while (std::next(start) != rows.rend() && *std::next(start) == *start - 1) ++start;
    FHost.History().Remove(std::size_t(*start), std::size_t(*end - *start + 1));
    end = std::next(start);
  }
}

void THistoryForm::ClearClick() {
  FHost.History().Clear();
}

bool THistoryForm::ReturnPressed() {
  if (!isActiveWindow() || QApplication::focusWidget() != FList) return false;
  UseExpressionClick();
  return true;
}

void THistoryForm::LoadSettings(const IniFile& ini) {
  THistorySettings s;
  Load(ini, s);
  const THistorySettings d;
  PlaceStoredWindow(this, s.Left, s.Top, s.Width > 0 ? std::max(s.Width, kMinWidth) : d.Width,
                    s.Height > 0 ? std::max(s.Height, kMinHeight) : d.Height);
}

void THistoryForm::SaveSettings(IniFile& ini) {
  THistorySettings s;
  s.Left = x();
  s.Top = y();
  s.Width = width();
  s.Height = height();
  Save(ini, s, TWindowSystem::Current().PlacesWindows);
}

void THistoryForm::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  if (event->spontaneous()) return;
  FList->scrollToBottom();
  // The keyboard starts at the newest entry.
  if (!FList->currentIndex().isValid() && FModel->rowCount() > 0)
    FList->setCurrentIndex(FModel->index(FModel->rowCount() - 1));
}

void THistoryForm::hideEvent(QHideEvent* event) {
  QWidget::hideEvent(event);
  if (event->spontaneous()) return;  // minimised with the application
  FHost.HistoryWindowHidden();
}
