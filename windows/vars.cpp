#include "windows/vars.h"

#include <QAction>
#include <QHeaderView>
#include <QHideEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QPersistentModelIndex>
#include <QPointer>
#include <QResizeEvent>
#include <QScopedValueRollback>
#include <QShowEvent>
#include <QStyledItemDelegate>
#include <QTableWidget>
#include <algorithm>
#include <string>
#include <vector>

#include "calc/Format.h"
#include "controls/WindowSystem.h"
#include "engine/Errors.h"

namespace {

constexpr int kDefaultWidth = 374;
constexpr int kDefaultHeight = 290;
constexpr int kMinWidth = 100;
constexpr int kMinHeight = 50;
constexpr int kDefaultColumnWidth = 100;

// A value cell remembers the text the window last wrote into it, so leaving a
// cell the user did not change never reads the rounded display text back.
constexpr int kShownTextRole = Qt::UserRole;

struct TFormatItem {
  const char* Name;
  TNumberFormat Tag;
};
// Menu order: Hexadecimal, Decimal, Octal, Binary.
constexpr TFormatItem kFormatItems[4] = {
    {"Hexadecimal", nfHexadecimal},
    {"Decimal", nfDecimal},
    {"Octal", nfOctal},
    {"Binary", nfBinary},
};

}  // namespace

// The grid's in-place editor: a plain line edit that reports every change of
// its text, keystroke by keystroke, and that the window can commit or drop on
// demand (Return anywhere in the program, a delete, a rebuild).
class TVarsDelegate : public QStyledItemDelegate {
 public:
  TVarsDelegate(TVarsForm& form, QObject* parent) : QStyledItemDelegate(parent), FForm(form) {}

  QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem&,
                        const QModelIndex& index) const override {
    auto* editor = new QLineEdit(parent);
    editor->setFrame(false);
    const QPersistentModelIndex cell(index);
    TVarsForm* form = &FForm;
    QObject::connect(editor, &QLineEdit::textEdited, editor, [form, cell](const QString& text) {
      if (cell.isValid()) form->VariablesSetEditText(cell.column(), cell.row(), text);
    });
    FEditor = editor;
    return editor;
  }

  void destroyEditor(QWidget* editor, const QModelIndex& index) const override {
    if (editor == FEditor) FEditor = nullptr;
    QStyledItemDelegate::destroyEditor(editor, index);
  }

  bool Editing() const { return FEditor != nullptr; }

  // Writes the open editor's text into its cell; the editor stays open.
  void CommitEditor() {
    if (FEditor) emit commitData(FEditor);
  }
  // Closes the open editor, keeping its text in the cell or dropping it.
  void CloseEditor(bool keepText) {
    if (!FEditor) return;
    QLineEdit* editor = FEditor;
    if (keepText) emit commitData(editor);
    emit closeEditor(editor, QAbstractItemDelegate::NoHint);
    FEditor = nullptr;
  }

 private:
  TVarsForm& FForm;
  mutable QPointer<QLineEdit> FEditor;
};

TVarsForm::TVarsForm(ICalcHost& host, QWidget* parent) : QWidget(parent, Qt::Tool), FHost(host) {
  setObjectName("VarsForm");
  setWindowTitle("Variables");
  setMinimumSize(kMinWidth, kMinHeight);

  FGrid = new QTableWidget(0, 2, this);
  FGrid->setObjectName("Variables");
  FGrid->setAccessibleName("Variables");
  FGrid->horizontalHeader()->hide();
  FGrid->verticalHeader()->hide();
  FGrid->horizontalHeader()->setMinimumSectionSize(0);
  FGrid->horizontalHeader()->setDefaultSectionSize(kDefaultColumnWidth);
  FGrid->verticalHeader()->setDefaultSectionSize(FGrid->fontMetrics().height() + 6);
  FGrid->setShowGrid(true);
  FGrid->setSelectionMode(QAbstractItemView::ContiguousSelection);
  FGrid->setSelectionBehavior(QAbstractItemView::SelectItems);
  // A click on the current cell edits it at once (see eventFilter): the view's
  // own delayed edit would reopen the editor over text typed in the meantime.
  FGrid->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                         QAbstractItemView::AnyKeyPressed);
  FGrid->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  FGrid->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  FGrid->setWordWrap(false);
  FDelegate = new TVarsDelegate(*this, FGrid);
  FGrid->setItemDelegate(FDelegate);
  FGrid->setContextMenuPolicy(Qt::CustomContextMenu);
  FGrid->viewport()->installEventFilter(this);

  // Moving to another cell commits the cell that was selected last. The view
  // has already written an open editor's text into that cell by now.
  connect(FGrid, &QTableWidget::currentCellChanged, this,
          [this](int row, int col, int, int) { VariablesSelectCell(col, row); });
  connect(FGrid, &QWidget::customContextMenuRequested, this,
          [this](const QPoint& pos) { FMenu->popup(FGrid->viewport()->mapToGlobal(pos)); });

  CreateMenu();
  UpdateFormatMenu();
  resize(kDefaultWidth, kDefaultHeight);
}

TVarsForm::~TVarsForm() = default;

void TVarsForm::CreateMenu() {
  FMenu = new QMenu(this);
  FMenu->setObjectName("Menu");

  FDelete = FMenu->addAction("Delete");
  FDelete->setObjectName("Delete");
  FDelete->setShortcut(QKeySequence(Qt::Key_Delete));
  // Del acts in the grid too; while a cell is being edited the editor keeps
  // the key for itself.
  FDelete->setShortcutContext(Qt::WidgetWithChildrenShortcut);
  FGrid->addAction(FDelete);
  connect(FDelete, &QAction::triggered, this, [this] { DeleteClick(); });

  FMenu->addSeparator();
  for (int i = 0; i < 4; ++i) {
    QAction* item = FMenu->addAction(kFormatItems[i].Name);
    item->setObjectName(kFormatItems[i].Name);
    item->setData(int(kFormatItems[i].Tag));
    item->setCheckable(true);
    connect(item, &QAction::triggered, this, [this, item] { FormatClick(item); });
    FFormats[i] = item;
  }

  FMenu->addSeparator();
  QAction* close = FMenu->addAction("Close");
  close->setObjectName("Close");
  connect(close, &QAction::triggered, this, [this] { CloseClick(); });
}

void TVarsForm::UpdateFormatMenu() {
  for (QAction* item : FFormats) item->setChecked(item->data().toInt() == FValueFormat);
}

QString TVarsForm::ValueText(long double value) const {
  // In decimal the calculator's Eng mode applies, as on its display.
  const TCalculator& calc = FHost.Calculator();
  try {
    return QString::fromStdString(calc.FormatValue(FValueFormat, value));
  } catch (const EInvalidOp&) {
    return QString::fromStdString(calc.FormatValue(nfDecimal, value));
  }
}

QString TVarsForm::CellText(int row, int col) const {
  const QTableWidgetItem* item = FGrid->item(row, col);
  return item ? item->text() : QString();
}

void TVarsForm::SetCellText(int row, int col, const QString& text) {
  QTableWidgetItem* item = FGrid->item(row, col);
  if (!item) {
    item = new QTableWidgetItem;
    FGrid->setItem(row, col, item);
  }
  item->setText(text);
}

void TVarsForm::SetValueCell(int row, long double value) {
  const QString text = ValueText(value);
  SetCellText(row, 1, text);
  FGrid->item(row, 1)->setData(kShownTextRole, text);
}

void TVarsForm::RefreshGrid() {
  // An edit still open refers to the old rows; the store's state wins.
  FDelegate->CloseEditor(false);
  const QScopedValueRollback<bool> rebuilding(FRebuilding, true);

  const TVariableStore& store = FHost.Calculator().Variables();
  const int count = static_cast<int>(store.Count());
  FGrid->setRowCount(count);
  for (int p = 1; p < count; ++p) {
    SetCellText(p - 1, 0, QString::fromStdString(store.Name(p)));
    SetValueCell(p - 1, store.Value(p));
  }
  if (count > 0) SetCellText(count - 1, 0, QString());
  if (count > 0 && !FGrid->currentIndex().isValid()) FGrid->setCurrentCell(0, 0);
}

void TVarsForm::CommitValue() {
  FDelegate->CommitEditor();
  if (FCurCol == 1) CommitValueCell(FCurRow);
}

void TVarsForm::CommitValueCell(int row) {
  const QTableWidgetItem* item = FGrid->item(row, 1);
  if (!item) return;
  const QString text = item->text();
  if (text.isEmpty()) return;
  // Untouched since the window wrote it: the store already holds the exact
  // value, which the rounded display text (or a radix's integer) would lose.
  if (text == item->data(kShownTextRole).toString()) return;
  TCalculator& calc = FHost.Calculator();
  long double value = 0;
  try {
    value = calc.ReadNumber(text.toStdString());
  } catch (const EConvertError&) {
    return;  // not a number yet: keep the typed text and the old value
  }
  const std::size_t position = static_cast<std::size_t>(row) + 1;
  if (position >= kVariableSlots) return;
  calc.Variables().Value(position) = value;
  SetValueCell(row, value);
}

void TVarsForm::VariablesSelectCell(int col, int row) {
  if (FDeleting) return;
  if (!FRebuilding) {
    TVariableStore& store = FHost.Calculator().Variables();
    const int count = static_cast<int>(store.Count());
    if (FCurCol == 1) {
      CommitValueCell(FCurRow);
    } else if (FCurCol == 0 && FCurRow >= 0 && FCurRow < count - 1) {
      store.Rename(static_cast<std::size_t>(FCurRow) + 1, CellText(FCurRow, 0).toStdString());
    }
  }
  // No cell at all (an emptied grid) leaves the last one remembered.
  if (row >= 0 && col >= 0) {
    FCurRow = row;
    FCurCol = col;
  }
}

void TVarsForm::VariablesSetEditText(int col, int row, const QString& text) {
  const int last = FGrid->rowCount() - 1;
  TVariableStore& store = FHost.Calculator().Variables();
  if (row != last || col != 0 || text.isEmpty()) return;
  if (static_cast<int>(store.Count()) >= kMaxEntries) return;
  FGrid->setRowCount(last + 2);
  // The name comes when the cell is left; a value typed into the entry row
  // before it is already in the new variable's slot.
  store.Append(std::string());
}

void TVarsForm::MoveRow(int from, int to) {
  for (int col = 0; col < 2; ++col) {
    QTableWidgetItem* item = FGrid->takeItem(from, col);
    if (item) {
      FGrid->setItem(to, col, item);
    } else {
      delete FGrid->takeItem(to, col);
    }
  }
}

void TVarsForm::DeleteClick() {
  const QScopedValueRollback<bool> deleting(FDeleting, true);
  // A moved row carries the text being typed into it; no editor may outlive
  // its row.
  FDelegate->CloseEditor(true);

  int top = -1;
  int bottom = -1;
  const QList<QTableWidgetSelectionRange> ranges = FGrid->selectedRanges();
  if (!ranges.isEmpty()) {
    top = ranges.first().topRow();
    bottom = ranges.first().bottomRow();
    for (const QTableWidgetSelectionRange& r : ranges) {
      top = std::min(top, r.topRow());
      bottom = std::max(bottom, r.bottomRow());
    }
  } else if (FGrid->currentRow() >= 0) {
    top = bottom = FGrid->currentRow();
  }
  top = std::max(top, kFirstUserRow);
  if (top > bottom) return;

  const int k = bottom - top + 1;
  // The variables go with their values; those below move up with theirs.
  FHost.Calculator().Variables().Erase(static_cast<std::size_t>(top) + 1,
                                       static_cast<std::size_t>(k));
  const int rows = FGrid->rowCount();
  for (int s = bottom + 1; s < rows; ++s) MoveRow(s, s - k);
  FGrid->setRowCount(std::max(rows - k, 0));
}

void TVarsForm::FormatClick(QAction* item) {
  if (!item) return;
  FValueFormat = static_cast<TNumberFormat>(item->data().toInt());
  UpdateFormatMenu();
  RefreshGrid();
}

void TVarsForm::CloseClick() {
  hide();
}

void TVarsForm::LoadSettings(const IniFile& ini) {
  TVarsSettings s;
  Load(ini, s);
  // Below the minimum the size is raised to it; no stored number makes the
  // window larger than the screens or puts it off them.
  PlaceStoredWindow(this, s.Left, s.Top, std::max(s.Width, kMinWidth), std::max(s.Height, kMinHeight));
}

void TVarsForm::SaveSettings(IniFile& ini) {
  TVarsSettings s;
  s.Left = x();
  s.Top = y();
  s.Width = width();
  s.Height = height();
  Save(ini, s, TWindowSystem::Current().PlacesWindows);
}

void TVarsForm::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  if (event->spontaneous()) return;  // restored by the window system
  RefreshGrid();
  FDeleting = false;
}

void TVarsForm::hideEvent(QHideEvent* event) {
  QWidget::hideEvent(event);
  if (event->spontaneous()) return;  // minimised with the application
  FHost.VariablesWindowHidden();
}

void TVarsForm::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  FGrid->setGeometry(rect());
  FGrid->setColumnWidth(0, std::max(width() / 2 - 35, 0));
  FGrid->setColumnWidth(1, width() / 2);
}

bool TVarsForm::eventFilter(QObject* watched, QEvent* event) {
  if (watched != FGrid->viewport()) return QWidget::eventFilter(watched, event);
  const QEvent::Type type = event->type();
  if (type != QEvent::MouseButtonPress && type != QEvent::MouseButtonDblClick &&
      type != QEvent::MouseButtonRelease) {
    return false;
  }
  const auto* mouse = static_cast<QMouseEvent*>(event);
  // A right click opens the menu over the current selection instead of
  // moving it, so Delete acts on the rows the user picked.
  if (mouse->button() == Qt::RightButton) return type != QEvent::MouseButtonRelease;
  if (mouse->button() != Qt::LeftButton) return false;
  const QModelIndex index = FGrid->indexAt(mouse->position().toPoint());
  if (type == QEvent::MouseButtonPress) {
    FClickedCurrent =
        index.isValid() && index == FGrid->currentIndex() && mouse->modifiers() == Qt::NoModifier;
  } else if (type == QEvent::MouseButtonRelease) {
    if (FClickedCurrent && index == FGrid->currentIndex() && !FDelegate->Editing()) {
      FGrid->edit(index);
    }
    FClickedCurrent = false;
  }
  return false;
}
