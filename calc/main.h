// TMainForm: the calculator's main window. It shows the calculator model
// (TCalculator, which holds the state) in the skin's elements and its menu,
// runs the commands behind the skin's keys by forwarding them to the model,
// binds a skin to those commands, owns the popup menu and runs the window's
// creation and destruction. Gui layer. Made and connected to its companions
// by TProgram; the auxiliary windows see it through ICalcHost, presets
// through IPresetHost, the History window through IHistoryHost, the key map
// through the menu's items.
#pragma once

#include <QString>
#include <QWidget>
#include <memory>
#include <optional>

#include "calc/Calculator.h"
#include "calc/Undo.h"
#include "platform/DataDirs.h"
#include "windows/CalcHost.h"

class QAction;
class QDialog;
class QMenu;
class IHistoryHost;
class IPresetHost;
class TBarPopupMenu;
class TCoolForm;
class TImgCheckBox;
class TPresets;
class TSkin;
class TSkinEdit;
class TSkinLabel;

// The elements of the current skin the calculator knows; each is null when
// the skin lacks it, and all are null from the start of a skin load until the
// next successful ApplySkin.
struct TSkinElements {
  TSkinEdit* ExpressionEdit = nullptr;
  TSkinLabel* ResultLabel = nullptr;
  TImgCheckBox* MemSetBox = nullptr;
  TImgCheckBox* MemClearBox = nullptr;
  TImgCheckBox* MemOutBox = nullptr;
  TImgCheckBox* MemPlusBox = nullptr;
  TImgCheckBox* MemMinusBox = nullptr;
  TImgCheckBox* SecondFBox = nullptr;
  TImgCheckBox* HypBox = nullptr;
  TImgCheckBox* EngBox = nullptr;
};

// The popup menu and its items, in menu order.
struct TMainMenuItems {
  TBarPopupMenu* MainMenu = nullptr;
  QAction* MMAlwaysOnTop = nullptr;
  QAction* MMCopyResult = nullptr;
  QMenu* MMSkin = nullptr;
  QMenu* MMPresets = nullptr;
  QAction* MMPresetSave = nullptr;
  QAction* MMPresetDelete = nullptr;
  QAction* MMDegrees = nullptr;
  QAction* MMRadians = nullptr;
  QAction* MMGradians = nullptr;
  QAction* MMHexadecimal = nullptr;
  QAction* MMDecimal = nullptr;
  QAction* MMOctal = nullptr;
  QAction* MMBinary = nullptr;
  QAction* MMEng = nullptr;
  QAction* MMVariables = nullptr;
  QAction* MMGraph = nullptr;
  QAction* MMHistory = nullptr;
  QAction* MMAbout = nullptr;
  QAction* MMHelp = nullptr;
  QAction* MMExit = nullptr;
};

class TMainForm : public QWidget, private ICalculatorListener {
  Q_OBJECT

 public:
  // `dirs` says where the settings, the skins and the help page are; the
  // current folder plays no part.
  explicit TMainForm(TDataDirs dirs, QWidget* parent = nullptr);
  // Runs FormDestroy if it has not run yet (errors are then dropped).
  ~TMainForm() override;

  // Creation, in its fixed order: settings, skin (the one named in the
  // settings, else "Windows"), key map, undo, display, always-on-top, menus.
  // False when no skin could be loaded: the skin is released and the caller
  // reports it and ends the program; the settings file is then left
  // untouched.
  bool FormCreate();
  // Releases the skin, then writes the settings. May throw EWriteError; runs
  // at most once, and only after a successful FormCreate.
  void FormDestroy();

  // ---- Connections, made by TProgram ----
  // The application-wide key map; FormCreate installs it as an event filter
  // on the application, FormDestroy removes it.
  void SetKeyHook(QObject* keyHook) { FKeyHook = keyHook; }
  // The variables and graph windows (shown and hidden by their menu items)
  // and the about box (shown modally).
  void SetCompanions(QWidget* varsForm, QWidget* graphForm, QDialog* aboutForm);
  // The History window, shown and hidden by its menu item.
  void SetHistoryForm(QWidget* historyForm) { FHistoryForm = historyForm; }
  // The Presets submenu's operations ("Save current", "Delete selected").
  void SetPresets(TPresets* presets) { FPresets = presets; }

  // ---- What others see ----
  TCalculator& Calculator() { return FCalc; }
  const TCalculator& Calculator() const { return FCalc; }
  ICalcHost& Host();
  IPresetHost& PresetHost();
  IHistoryHost& HistoryHost();
  const TSkinElements& Elements() const { return FBound; }
  const TMainMenuItems& Menu() const { return FMenu; }
  const TUndo& Undo() const { return FUndo; }
  TSkin* Skin() const { return FSkin.get(); }  // null before FormCreate and after FormDestroy
  const QString& SkinName() const { return FSkinName; }
  const TDataDirs& DataDirs() const { return FDirs; }

  // ---- Commands (Commands.cpp) ----
  void InsertText(const QString& text);
  void Evaluate();
  void EnterCommand() { Evaluate(); }
  void ClearCommand();
  void BackCommand();
  void MinimizeCommand();
  // Esc: empties the expression field (when it can be seen) and focuses it,
  // resets the history and shows 0; the last result stays.
  void EscapeCommand();
  // Shift+Insert: the clipboard's text into the expression field at its caret.
  void PasteCommand();
  // Every paste into the expression field (Shift+Insert, Ctrl+V, its menu,
  // the middle button): line breaks and tabs as blanks; a formula that would
  // pass the field's limit is refused (EZumbrelError), the field unchanged.
  void PasteText(const QString& text);
  // Whether keys going to `receiver` type the formula: the expression field,
  // or the window itself when its skin keeps the field hidden.
  bool TypesFormula(QObject* receiver) const;
  void MemoryKey(int index, const QString& name);
  // The function keys, with the 2ndF and Hyp modifiers: "Sin", "Cos", "Tan",
  // "Log", "Ln".
  void FunctionKey(const QString& name);
  void Reset2ndF();
  void ResetHyp();
  void MemModeMouseUp(QObject* sender);
  void SecondFMouseUp(QObject* sender);
  void HypMouseUp(QObject* sender);
  void EngMouseUp(QObject* sender);
  void ExpressionChange();
  void VariableChange(TSkinEdit* field);
  void MMCopyResultClick();
  void UpdateFormat();
  void UpdateDegsMenu();
  // Up and Down in the expression field: an earlier or later expression of
  // the history (HistoryCommands.cpp).
  void RecallOlder();
  void RecallNewer();
  // The field's text becomes `text`, as one step that Back undoes.
  void UseExpression(const QString& text);
  // The text of a value in the current number format and Eng mode.
  QString FormatNumber(long double value) const;

  // ---- Skin binding (Binding.cpp) ----
  bool ApplySkin(const QString& name);
  void FillSkinMenu();
  void MMSkinClick(QAction* item);

  // ---- Menu handlers (MainMenu.cpp) ----
  void MMAlwaysOnTopClick(QObject* sender);
  void MMDegreesClick(QObject* sender);
  void MMFormatClick(QObject* sender);
  void MMEngClick(QObject* sender);
  void MMVariablesClick(QObject* sender);
  void MMGraphClick(QObject* sender);
  void MMHistoryClick(QObject* sender);
  void MMAboutClick(QObject* sender);
  void MMHelpClick(QObject* sender);
  void MMPresetSaveClick(QObject* sender);
  void MMPresetDeleteClick(QObject* sender);
  void MMExitClick(QObject* sender);
  // Clears the check of every preset item (those after the submenu's fixed
  // items).
  void UncheckPresets();

 signals:
  // The window was closed by any means: the program ends.
  void Closed();
  // The variables list may have grown or changed (after a skin switch).
  void VariablesChanged();

 protected:
  void closeEvent(QCloseEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;
  // Keys that no control takes: with the expression field hidden, typed
  // characters go into it as the skin's keys would put them.
  void keyPressEvent(QKeyEvent* event) override;

 private:
  class THost;
  class TPresetHost;
  class THistoryHost;

  // The model changed: the marks, the boxes and the display follow.
  void CalculatorChanged(TCalcChange change) override;
  void CreateMainMenu();
  // Runs `handler` with the item as sender whenever a menu item is chosen.
  void Wire(QAction* item, void (TMainForm::*handler)(QObject*));
  void LoadSettings();
  void SaveSettings();
  void SetTopmost(bool on);
  // Sets every bound element to null.
  void UnbindSkin();
  void BindButtons();
  void BindExpression();
  void BindResult();
  void BindCheckBoxes();
  void BindVariableFields();
  // After a skin load: the boxes show the modes, the memory keys their hints.
  void ShowStateInSkin();
  // The skin's keys, boxes and slide bars hand the keyboard back when clicked.
  void WatchSkinControls();
  void FocusExpression();
  bool IsVariableField(QObject* object) const;
  bool IsSkinControl(QObject* object) const;
  bool HiddenExpression() const;
  // The expression field's pastes and drops; true when handled here (a
  // refusal is reported, never thrown).
  bool ExpressionFieldEvent(QEvent* event);
  // Puts text into the expression field as the calculator's own change.
  void SetExpressionText(const QString& text, int caret);
  // The keyboard back to the expression field, in the main window, after a
  // command of another window filled it.
  void ReturnToExpression();
  // An evaluation of `expression` for the history tape: the text the display
  // shows (or the error's), and the value when there is one.
  void AddToHistory(const QString& expression, const QString& shown,
                    std::optional<long double> value);

  TDataDirs FDirs;
  TCalculator FCalc;
  // True while the calculator itself rewrites the expression text, which
  // then is not recorded by ExpressionChange.
  bool FUpdating = false;
  TUndo FUndo;
  THistoryRecall FRecall;

  TSkinElements FBound;
  QString FSkinName;             // the skin in use, as named in the settings
  std::unique_ptr<TSkin> FSkin;  // null before FormCreate and after FormDestroy
  TCoolForm* FCoolForm = nullptr;
  TMainMenuItems FMenu;

  QWidget* FVarsForm = nullptr;
  QWidget* FGraphForm = nullptr;
  QDialog* FAboutForm = nullptr;
  QWidget* FHistoryForm = nullptr;
  QObject* FKeyHook = nullptr;
  TPresets* FPresets = nullptr;

  bool FCreated = false;
  bool FDestroyed = false;
  std::unique_ptr<THost> FHost;
  std::unique_ptr<TPresetHost> FPresetHost;
  std::unique_ptr<THistoryHost> FHistoryHost;
};
