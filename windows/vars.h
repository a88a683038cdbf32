// TVarsForm: the variables window, a two-column grid of the calculator's
// variables (names left, values right) where the user renames variables,
// changes their values, adds new ones and deletes user variables. It edits the
// calculator's variable store through ICalcHost. GUI layer; created
// by the program entry, shown and hidden by the main window, refreshed by
// presets and skin changes, and asked by the keyboard hook to commit the value
// cell on every Return.
#pragma once

#include <QWidget>

#include "calc/Settings.h"
#include "windows/CalcHost.h"

class QAction;
class QMenu;
class QTableWidget;
class TVarsDelegate;

class TVarsForm : public QWidget, public ISettingsOwner {
  Q_OBJECT

 public:
  // The variable list is held to this many names by the window, so the entry
  // row always has a value slot.
  static constexpr int kMaxEntries = static_cast<int>(kVariableSlots) - 1;
  // Row r shows store position r + 1 (Pi is not shown): the rows before the
  // first user variable (A to F and X) are never deleted.
  static constexpr int kFirstUserRow = static_cast<int>(kFirstUserSlot) - 1;

  // A hidden tool window; the grid is first filled when it is shown. The owner
  // calls LoadSettings right after construction and SaveSettings before
  // destroying it.
  explicit TVarsForm(ICalcHost& host, QWidget* parent = nullptr);
  ~TVarsForm() override;

  // Rebuilds the grid from the store: a row per variable from position 1 on,
  // then the empty entry row for a new variable.
  void RefreshGrid();
  // Commits the value cell of the last selected row when the last selected
  // cell is a value cell (even while it is still being edited).
  void CommitValue();

  // Handlers of the grid and its popup menu.
  void DeleteClick();
  void FormatClick(QAction* item);  // the item's data is the number format
  void CloseClick();
  // The grid is about to select column `col`, row `row`: commits the cell
  // that was selected last.
  void VariablesSelectCell(int col, int row);
  // The editor's text of column `col`, row `row` changed: the first keystroke
  // in the entry row's name cell adds a new entry.
  void VariablesSetEditText(int col, int row, const QString& text);

  TNumberFormat ValueFormat() const { return FValueFormat; }
  int CurRow() const { return FCurRow; }
  int CurCol() const { return FCurCol; }
  bool Deleting() const { return FDeleting; }

  QTableWidget* Variables() const { return FGrid; }
  QMenu* Menu() const { return FMenu; }

  // "Position": VarsLeft, VarsTop (the window's outer top-left corner),
  // VarsWidth, VarsHeight (its size without the window manager's frame, so a
  // stored size comes back unchanged whatever the desktop's decorations).
  void LoadSettings(const IniFile& ini) override;
  void SaveSettings(IniFile& ini) override;

 protected:
  void showEvent(QShowEvent* event) override;
  void hideEvent(QHideEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void CreateMenu();
  void UpdateFormatMenu();
  void CommitValueCell(int row);
  // FormatValue in the window's radix; a value that radix cannot show is
  // written in decimal instead.
  QString ValueText(long double value) const;
  void SetCellText(int row, int col, const QString& text);
  void SetValueCell(int row, long double value);
  QString CellText(int row, int col) const;
  void MoveRow(int from, int to);

  ICalcHost& FHost;
  QTableWidget* FGrid = nullptr;
  TVarsDelegate* FDelegate = nullptr;
  QMenu* FMenu = nullptr;
  QAction* FDelete = nullptr;
  QAction* FFormats[4] = {};  // Hexadecimal, Decimal, Octal, Binary

  TNumberFormat FValueFormat = nfDecimal;
  int FCurRow = 0;
  int FCurCol = 0;
  bool FDeleting = false;
  bool FRebuilding = false;      // the grid changes under RefreshGrid, not the user
  bool FClickedCurrent = false;  // the left button went down on the current cell
};
