#include "calc/main.h"

#include <QCloseEvent>
#include <QFont>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QPoint>
#include <utility>

#include "calc/App.h"
#include "calc/ExpressionField.h"
#include "calc/Format.h"
#include "calc/Settings.h"
#include "controls/BarPopupMenu.h"
#include "controls/CoolForm.h"
#include "controls/ImgBox.h"
#include "controls/WindowSystem.h"
#include "presets/Presets.h"
#include "skin/SkinElements.h"
#include "skin/skin.h"
#include "windows/history.h"

// The auxiliary windows' view of the calculator.
class TMainForm::THost : public ICalcHost {
 public:
  explicit THost(TMainForm& form) : FForm(form) {}
  TCalculator& Calculator() override { return FForm.FCalc; }
  bool HasExpressionField() const override { return FForm.FBound.ExpressionEdit != nullptr; }
  QString ExpressionText() const override {
    return FForm.FBound.ExpressionEdit ? FForm.FBound.ExpressionEdit->text() : QString();
  }
  void VariablesWindowHidden() override { FForm.FMenu.MMVariables->setChecked(false); }
  void GraphWindowHidden() override { FForm.FMenu.MMGraph->setChecked(false); }
  void ReportError(const QString& message) override { ::ReportError(message); }

 private:
  TMainForm& FForm;
};

// What presets see of the calculator: the state a preset keeps, the
// expression field and the Presets submenu.
class TMainForm::TPresetHost : public IPresetHost {
 public:
  explicit TPresetHost(TMainForm& form) : FForm(form) {}
  TCalcModes Modes() const override { return FForm.FCalc.Modes(); }
  const TVariableStore& Variables() const override { return FForm.FCalc.Variables(); }
  void Restore(const TCalcModes& modes, const TVariableStore& variables) override {
    FForm.FCalc.Restore(modes, variables);
  }
  bool HasExpressionField() const override { return FForm.FBound.ExpressionEdit != nullptr; }
  QString ExpressionText() const override {
    return FForm.FBound.ExpressionEdit ? FForm.FBound.ExpressionEdit->text() : QString();
  }
  void SetExpressionText(const QString& text) override {
    // A formula too long for the field is refused (the preset's other values
    // still load); the field keeps its text.
    if (text.size() > kMaxFormulaLength) {
      ReportError(TooLongMessage(text.size()));
      return;
    }
    // Only a changed text is set, so an unchanged expression adds no undo step.
    // A tab held by the file is a blank, as in the field.
    const QString line = OneLine(text);
    TSkinEdit* edit = FForm.FBound.ExpressionEdit;
    if (edit && edit->text() != line) edit->setText(line);
  }
  QMenu* PresetsMenu() const override { return FForm.FMenu.MMPresets; }
  void UncheckPresets() override { FForm.UncheckPresets(); }

 private:
  TMainForm& FForm;
};

// What the History window sees of the calculator: the history itself, and
// the expression field as the commands fill it.
class TMainForm::THistoryHost : public IHistoryHost {
 public:
  explicit THistoryHost(TMainForm& form) : FForm(form) {}
  THistory& History() override { return FForm.FCalc.History(); }
  char DecimalSeparator() const override { return FForm.FCalc.DecimalSeparator(); }
  void UseExpression(const QString& text) override {
    FForm.UseExpression(text);
    FForm.ReturnToExpression();
  }
  void InsertText(const QString& text) override {
    FForm.InsertText(text);
    FForm.ReturnToExpression();
  }
  void HistoryWindowHidden() override { FForm.FMenu.MMHistory->setChecked(false); }

 private:
  TMainForm& FForm;
};

TMainForm::TMainForm(TDataDirs dirs, QWidget* parent)
    : QWidget(parent),
      FDirs(std::move(dirs)),
      FHost(std::make_unique<THost>(*this)),
      FPresetHost(std::make_unique<TPresetHost>(*this)),
      FHistoryHost(std::make_unique<THistoryHost>(*this)) {
  setWindowTitle(QStringLiteral("Zumbrel"));
  setFont(QFont(QStringLiteral("MS Sans Serif"), 8));
  // The skin's picture replaces this size.
  resize(274, 191);
  FCoolForm = new TCoolForm(this);
  CreateMainMenu();
  FCoolForm->SetPopupMenu(FMenu.MainMenu);
  FCalc.SetListener(this);
}

TMainForm::~TMainForm() {
  FCalc.SetListener(nullptr);
  try {
    FormDestroy();
  } catch (...) {
    // Too late to tell anyone: the program runs FormDestroy itself and
    // reports its errors; this only covers windows that never got there.
  }
}

ICalcHost& TMainForm::Host() { return *FHost; }

IPresetHost& TMainForm::PresetHost() {
  return *FPresetHost;
}

IHistoryHost& TMainForm::HistoryHost() { return *FHistoryHost; }

void TMainForm::SetCompanions(QWidget* varsForm, QWidget* graphForm, QDialog* aboutForm) {
  FVarsForm = varsForm;
  FGraphForm = graphForm;
  FAboutForm = aboutForm;
}

bool TMainForm::FormCreate() {
  LoadSettings();

  FSkin = std::make_unique<TSkin>(this);
  FSkin->SetCoolForm(FCoolForm);
  bool loaded = false;
  // A skin that breaks while loading is reported and replaced by the default
  // one, like a skin that is missing.
  RunGuarded([&] { loaded = ApplySkin(FSkinName); });
  if (!loaded) RunGuarded([&] { loaded = ApplySkin(QStringLiteral("Windows")); });
  if (!loaded) {
    UnbindSkin();
    FSkin.reset();
    return false;
  }

  // The Presets submenu is filled by the presets, which the program makes
  // once this window is on the screen.
  if (FKeyHook) qApp->installEventFilter(FKeyHook);
  FUndo.Reset();
  FCreated = true;
  // The skin gave the window its size: the whole of it stays on the screens.
  PlaceStoredWindow(this, x(), y());
  if (FBound.ResultLabel) FBound.ResultLabel->setText(FormatNumber(0));
  if (FMenu.MMAlwaysOnTop->isChecked()) SetTopmost(true);
  FillSkinMenu();
  UpdateDegsMenu();
  UpdateFormat();
  return true;
}

void TMainForm::FormDestroy() {
  if (!FCreated || FDestroyed) return;
  FDestroyed = true;
  if (FKeyHook) qApp->removeEventFilter(FKeyHook);
  UnbindSkin();
  FSkin.reset();
  SaveSettings();
}

void TMainForm::CalculatorChanged(TCalcChange change) {
  switch (change) {
    case ccFormat:
      UpdateFormat();
      break;
    case ccDegs:
      UpdateDegsMenu();
      break;
    case ccModifiers:
      // A modifier that was reset takes its box's check with it.
      if (!FCalc.SecondF() && FBound.SecondFBox) FBound.SecondFBox->SetChecked(false);
      if (!FCalc.Hyperbolic() && FBound.HypBox) FBound.HypBox->SetChecked(false);
      break;
    case ccMemMode:
      // At most one memory box is checked: the one of the armed operation.
      for (TImgCheckBox* box : {FBound.MemSetBox, FBound.MemClearBox, FBound.MemOutBox,
                                FBound.MemPlusBox, FBound.MemMinusBox})
        if (box) box->SetChecked(box->Tag() == FCalc.MemMode());
      break;
  }
}

void TMainForm::LoadSettings() {
  const IniFile ini(FDirs.SettingsFile);
  TMainSettings s;
  Load(ini, s);
  FSkinName = QString::fromStdString(s.Skin);
  // Used as read: a code out of range shows decimal and checks no item.
  FCalc.SetNumberFormat(static_cast<TNumberFormat>(s.Format));
  FMenu.MMAlwaysOnTop->setChecked(s.AlwaysOnTop);
  PlaceStoredWindow(this, s.Left, s.Top);
}

void TMainForm::SaveSettings() {
  IniFile ini(FDirs.SettingsFile);
  TMainSettings s;
  s.Skin = FSkinName.toStdString();
  s.Format = FCalc.NumberFormat();
  s.AlwaysOnTop = FMenu.MMAlwaysOnTop->isChecked();
  s.Left = x();
  s.Top = y();
  Save(ini, s, TWindowSystem::Current().PlacesWindows);
}

void TMainForm::SetTopmost(bool on) {
  // Where the window system cannot keep a window on top the item is disabled
  // and keeps its check; re-creating the window would only make it blink.
  if (!TWindowSystem::Current().KeepsOnTop) return;
  if (bool(windowFlags() & Qt::WindowStaysOnTopHint) == on) return;
  // Changing the flag re-creates the platform window, which hides it.
  const bool visible = isVisible();
  const QPoint at = pos();
  setWindowFlag(Qt::WindowStaysOnTopHint, on);
  move(at);
  if (visible) show();
}

void TMainForm::closeEvent(QCloseEvent* event) {
  event->accept();
  emit Closed();
}

bool TMainForm::eventFilter(QObject* watched, QEvent* event) {
  // Up and Down in the expression field step through the history.
  if (event->type() == QEvent::KeyPress && watched == FBound.ExpressionEdit && watched) {
    const auto* key = static_cast<QKeyEvent*>(event);
    const bool plain = (key->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
    if (plain && (key->key() == Qt::Key_Up || key->key() == Qt::Key_Down)) {
      RunGuarded([&] { key->key() == Qt::Key_Up ? RecallOlder() : RecallNewer(); });
      return true;
    }
  }
  // A variable field hands its text to its variable when it loses the focus.
  if (event->type() == QEvent::FocusOut && IsVariableField(watched))
    VariableChange(static_cast<TSkinEdit*>(watched));
  // A key, box or slide bar acts on the release; the keyboard goes back to
  // the expression field first, so a variable field being left hands over
  // its value before the key's command runs.
  if (event->type() == QEvent::MouseButtonRelease && IsSkinControl(watched))
    RunGuarded([this] { FocusExpression(); });
  if (watched == FBound.ExpressionEdit && FBound.ExpressionEdit && ExpressionFieldEvent(event))
    return true;
  return QWidget::eventFilter(watched, event);
}
