// TMainForm: the calculator's main window. It keeps the calculator's state
// (engine, variable store, last result, modes), runs the commands behind the
// skin's keys, binds a skin to those commands, owns the popup menu and runs
// the window's creation and destruction. Gui layer. Used by the program entry,
// the keyboard map, presets and the auxiliary windows (these through
// ICalcHost where they can).
#pragma once

#include <QString>
#include <QStringList>
#include <QWidget>
#include <functional>
#include <memory>

#include "calc/Undo.h"
#include "engine/CalcExpress.h"
#include "windows/CalcHost.h"

class QAction;
class QDialog;
class QMenu;
class TBarPopupMenu;
class TCoolForm;
class TImgCheckBox;
class TSkin;
class TSkinEdit;
class TSkinLabel;

class TMainForm : public QWidget {
  Q_OBJECT

 public:
  // Memory operations armed by the memory boxes (their tags).
  enum TMemMode : int { mmNone = 0, mmSet = 1, mmClear = 2, mmOut = 3, mmPlus = 4, mmMinus = 5 };

  // `programDir` is the program's folder: FormCreate makes it the current
  // folder, so skins, presets, help and settings are found beside the program.
  explicit TMainForm(const QString& programDir, QWidget* parent = nullptr);
  // Runs FormDestroy if it has not run yet (errors are then dropped).
  ~TMainForm() override;

  // Creation, in its fixed order: settings, engine, variables, skin (the one
  // named in the settings, else "Windows"), error texts, presets, key map,
  // undo, display, always-on-top, menus. False when no skin could be loaded:
  // the skin is released and the caller reports it and ends the program; the
  // settings file is then left untouched.
  bool FormCreate();
  // Releases the skin and the error texts, then writes the settings. May throw
  // EWriteError; runs at most once, and only after a successful FormCreate.
  void FormDestroy();

  // ---- Calculator state ----
  std::unique_ptr<TCalcExpress> Express;
  // Entry i is the value of the name at position i of Express->Variables().
  TValueStore Values{};
  long double LastResult = 0;
  int NumberFormat = 0;
  bool EngMode = false;
  bool SecondF = false;
  bool Hyperbolic = false;
  int MemMode = mmNone;
  // True while the calculator itself rewrites the expression text, which then
  // is not recorded by ExpressionChange.
  bool Updating = false;
  TUndo Undo;
  QStringList ErrorTexts;  // by TCalcError code; filled by FormCreate

  // The elements of the current skin the calculator knows; each is null when
  // the skin lacks it, and all are null from the start of a skin load until
  // the next successful ApplySkin.
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

  // ---- Skin ----
  QString SkinName;             // the skin in use, as named in the settings
  std::unique_ptr<TSkin> Skin;  // null before FormCreate and after FormDestroy
  TCoolForm* CoolForm = nullptr;

  // ---- Popup menu ----
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
  QAction* MMAbout = nullptr;
  QAction* MMHelp = nullptr;
  QAction* MMExit = nullptr;

  // ---- Companions, set by the program entry before FormCreate ----
  // The variables and graph windows (shown and hidden by their menu items),
  // the about box and the preset-name dialog (shown modally).
  QWidget* VarsForm = nullptr;
  QWidget* GraphForm = nullptr;
  QDialog* AboutForm = nullptr;
  QDialog* PresetForm = nullptr;
  // The application-wide key map; FormCreate installs it as an event filter
  // on the application. It may use ShiftDown and CtrlDown as its own state.
  QObject* KeyHook = nullptr;
  bool ShiftDown = false;
  bool CtrlDown = false;
  // The Presets submenu's operations: filling it at start (after its three
  // fixed items), "Save current" (also Ctrl+S) and "Delete selected".
  std::function<void()> PresetListing;
  std::function<void()> PresetSave;
  std::function<void()> PresetDelete;
  // The variables list may have grown or changed (after a skin switch): the
  // variables window rebuilds its grid.
  std::function<void()> OnVariablesChanged;

  // What the auxiliary windows see of the calculator.
  ICalcHost& Host();

  // ---- Commands (Commands.cpp) ----
  void InsertText(const QString& text);
  void Evaluate();
  void EnterCommand() { Evaluate(); }
  void ClearCommand();
  void BackCommand();
  void MinimizeCommand();
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
  void MMAboutClick(QObject* sender);
  void MMHelpClick(QObject* sender);
  void MMPresetSaveClick(QObject* sender);
  void MMPresetDeleteClick(QObject* sender);
  void MMExitClick(QObject* sender);
  // Clears the check of every preset item (from position 3 of the submenu).
  void UncheckPresets();

  // The folder FormCreate makes current.
  const QString& ProgramDir() const { return FProgramDir; }

 signals:
  // The window was closed by any means: the program ends.
  void Closed();

 protected:
  void closeEvent(QCloseEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  class THost;

  void CreateMainMenu();
  // Runs `handler` with the item as sender whenever a menu item is chosen.
  void Wire(QAction* item, void (TMainForm::*handler)(QObject*));
  void LoadSettings();
  void SaveSettings();
  void SetTopmost(bool on);
  // Sets every bound element field to null.
  void UnbindSkin();
  void BindButtons();
  void BindExpression();
  void BindResult();
  void BindCheckBoxes();
  void BindVariableFields();
  bool IsVariableField(QObject* object) const;
  // Puts text into the expression field as the calculator's own change.
  void SetExpressionText(const QString& text, int caret);

  QString FProgramDir;
  bool FCreated = false;
  bool FDestroyed = false;
  std::unique_ptr<THost> FHost;
};
