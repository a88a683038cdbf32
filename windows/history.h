// THistoryForm: the History window, the tape of the evaluations the user
// made, newest last: each entry shows its expression and, right-aligned, its
// result. Double-click or Return puts an entry's expression into the
// expression field; its popup menu also inserts the result at the caret,
// copies, deletes and clears. Gui layer; created by the program, shown and
// hidden by the main window's "History" item (F10), which it tells when it is
// hidden by its own means.
#pragma once

#include <QWidget>
#include <memory>

#include "calc/History.h"
#include "calc/Settings.h"

class QAction;
class QListView;
class QMenu;
class THistoryModel;

// What the History window needs of the calculator.
class IHistoryHost {
 public:
  virtual ~IHistoryHost() = default;
  virtual THistory& History() = 0;
  virtual char DecimalSeparator() const = 0;
  // The expression field's text becomes `text` (as one step that Back undoes).
  virtual void UseExpression(const QString& text) = 0;
  // `text` goes into the expression field at its caret.
  virtual void InsertText(const QString& text) = 0;
  // The window was hidden by its own means: the menu's check follows.
  virtual void HistoryWindowHidden() = 0;
};

class THistoryForm : public QWidget, public ISettingsOwner {
  Q_OBJECT

 public:
  explicit THistoryForm(IHistoryHost& host, QWidget* parent = nullptr);
  ~THistoryForm() override;

  // The popup menu's commands, on the current entry ("Use expression",
  // "Insert result") or the selected ones ("Copy", "Delete").
  void UseExpressionClick();
  void InsertResultClick();
  void CopyClick();
  void DeleteClick();
  void ClearClick();
  // Return in the program's key map: when the list has the keyboard focus,
  // the current entry's expression is used and true returned.
  bool ReturnPressed();
  // Enables the menu's items that have something to act on (done before the
  // menu pops up).
  void UpdateMenu();

  QListView* Entries() const { return FList; }
  QMenu* Menu() const { return FMenu; }
  QAction* UseExpressionItem() const { return FUse; }
  QAction* InsertResultItem() const { return FInsert; }
  QAction* CopyItem() const { return FCopy; }
  QAction* DeleteItem() const { return FDelete; }
  QAction* ClearItem() const { return FClear; }
  // The entry of the list's current row, or null.
  const THistoryEntry* CurrentEntry() const;

  // "Position": HistoryLeft, HistoryTop, HistoryWidth, HistoryHeight.
  void LoadSettings(const IniFile& ini) override;
  void SaveSettings(IniFile& ini) override;

 protected:
  void showEvent(QShowEvent* event) override;
  void hideEvent(QHideEvent* event) override;

 private:
  void CreateMenu();
  // The selected rows, in order.
  std::vector<int> SelectedRows() const;

  IHistoryHost& FHost;
  std::unique_ptr<THistoryModel> FModel;
  QListView* FList = nullptr;
  QMenu* FMenu = nullptr;
  QAction* FUse = nullptr;
  QAction* FInsert = nullptr;
  QAction* FCopy = nullptr;
  QAction* FDelete = nullptr;
  QAction* FClear = nullptr;
};
