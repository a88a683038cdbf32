#include "calc/main.h"

#include <QCloseEvent>
#include <QDir>
#include <QFont>
#include <QGuiApplication>
#include <QPoint>
#include <numbers>

#include "calc/App.h"
#include "calc/Format.h"
#include "calc/Settings.h"
#include "controls/BarPopupMenu.h"
#include "controls/CoolForm.h"
#include "controls/ImgBox.h"
#include "skin/SkinElements.h"
#include "skin/skin.h"

// The auxiliary windows' view of the calculator.
class TMainForm::THost : public ICalcHost {
 public:
  explicit THost(TMainForm& form) : FForm(form) {}
  TCalcExpress& Express() override { return *FForm.Express; }
  TValueStore& Values() override { return FForm.Values; }
  bool HasExpressionField() const override { return FForm.ExpressionEdit != nullptr; }
  QString ExpressionText() const override {
    return FForm.ExpressionEdit ? FForm.ExpressionEdit->text() : QString();
  }
  bool EngMode() const override { return FForm.EngMode; }
  void VariablesWindowHidden() override { FForm.MMVariables->setChecked(false); }
  void GraphWindowHidden() override { FForm.MMGraph->setChecked(false); }

 private:
  TMainForm& FForm;
};

TMainForm::TMainForm(const QString& programDir, QWidget* parent)
    : QWidget(parent), FProgramDir(programDir), FHost(std::make_unique<THost>(*this)) {
  setWindowTitle(QStringLiteral("Zumbrel"));
  setFont(QFont(QStringLiteral("MS Sans Serif"), 8));
  // The skin's picture replaces this size.
  resize(274, 191);
  CoolForm = new TCoolForm(this);
  CreateMainMenu();
  CoolForm->SetPopupMenu(MainMenu);
}

TMainForm::~TMainForm() {
  try {
    FormDestroy();
  } catch (...) {
    // Too late to tell anyone: the program entry runs FormDestroy itself and
    // reports its errors; this only covers windows that never got there.
  }
}

ICalcHost& TMainForm::Host() { return *FHost; }

bool TMainForm::FormCreate() {
  QDir::setCurrent(FProgramDir);
  LoadSettings();

  Express = std::make_unique<TCalcExpress>();
  Express->Variables() = {"Pi", "A", "B", "C", "D", "E", "F", "X"};
  Values.fill(0);
  Values[0] = std::numbers::pi_v<long double>;

  Skin = std::make_unique<TSkin>(this);
  Skin->SetCoolForm(CoolForm);
  bool loaded = false;
  // A skin that breaks while loading is reported and replaced by the default
  // one, like a skin that is missing.
  RunGuarded([&] { loaded = ApplySkin(SkinName); });
  if (!loaded) RunGuarded([&] { loaded = ApplySkin(QStringLiteral("Windows")); });
  if (!loaded) {
    UnbindSkin();
    Skin.reset();
    return false;
  }

  ErrorTexts.clear();
  for (const std::string& text : ::ErrorTexts()) ErrorTexts << QString::fromStdString(text);
  if (PresetListing) PresetListing();
  if (KeyHook) qApp->installEventFilter(KeyHook);
  Undo.Reset();
  FCreated = true;
  if (ResultLabel) ResultLabel->setText(FormatNumber(0));
  if (MMAlwaysOnTop->isChecked()) SetTopmost(true);
  FillSkinMenu();
  UpdateDegsMenu();
  UpdateFormat();
  return true;
}

void TMainForm::FormDestroy() {
  if (!FCreated || FDestroyed) return;
  FDestroyed = true;
  if (KeyHook) qApp->removeEventFilter(KeyHook);
  UnbindSkin();
  Skin.reset();
  ErrorTexts.clear();
  SaveSettings();
}

void TMainForm::LoadSettings() {
  const IniFile ini(SettingsPath());
  TMainSettings s;
  Load(ini, s);
  SkinName = QString::fromStdString(s.Skin);
  NumberFormat = s.Format;
  MMAlwaysOnTop->setChecked(s.AlwaysOnTop);
  move(s.Left, s.Top);
}

void TMainForm::SaveSettings() {
  IniFile ini(SettingsPath());
  TMainSettings s;
  s.Skin = SkinName.toStdString();
  s.Format = NumberFormat;
  s.AlwaysOnTop = MMAlwaysOnTop->isChecked();
  s.Left = x();
  s.Top = y();
  Save(ini, s);
}

void TMainForm::SetTopmost(bool on) {
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
  // A variable field hands its text to its variable when it loses the focus.
  if (event->type() == QEvent::FocusOut && IsVariableField(watched))
    VariableChange(static_cast<TSkinEdit*>(watched));
  return QWidget::eventFilter(watched, event);
}
