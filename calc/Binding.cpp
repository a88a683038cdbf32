// Binding a skin to the calculator: the named buttons get their commands, the
// "Expression" edit and the "Result" label become the expression field and
// the display, eight named check boxes become the mode switches, and every
// other edit becomes the field of a variable of its name. Also the Skin
// submenu and switching skins from it.
#include <QAction>
#include <QMenu>
#include <limits>
#include <utility>
#include <vector>

#include "calc/App.h"
#include "calc/ExpressionField.h"
#include "calc/Format.h"
#include "calc/ResultFit.h"
#include "calc/main.h"
#include "controls/BarPopupMenu.h"
#include "controls/ImgBox.h"
#include "controls/SlideBar.h"
#include "engine/Errors.h"
#include "platform/DataDirs.h"
#include "skin/SkinElements.h"
#include "skin/skin.h"

namespace {

// The name of a skin file's menu item is the skin's name; the shown caption
// escapes "&" so that the name appears exactly as the file is called.
QString MenuCaption(const QString& name) {
  QString caption = name;
  return caption.replace(QLatin1Char('&'), QLatin1String("&&"));
}

}  // namespace

void TMainForm::UnbindSkin() {
  FBound = {};
}

bool TMainForm::ApplySkin(const QString& name) {
  // Loading destroys the current skin's controls first: from here on nothing
  // may reach them, whether the new skin loads or not.
  UnbindSkin();
  // A skin's name is a file name in a skin folder, never a path (the
  // settings file is outside input): any other name loads nothing. The
  // user's folder comes first, so the user's skin of a name wins.
  const std::string file = FindSkinFile(FDirs.SkinDirs, name.toStdString());
  if (file.empty()) {
    FSkin->Clear();
    return false;
  }
  if (!FSkin->LoadSkin(QString::fromStdString(file))) return false;
  BindButtons();
  BindExpression();
  BindResult();
  BindCheckBoxes();
  BindVariableFields();
  ShowStateInSkin();
  WatchSkinControls();
  FocusExpression();
  return true;
}

void TMainForm::ShowStateInSkin() {
  // The calculator's modes outlive the skin; the new boxes show them.
  if (FBound.SecondFBox) FBound.SecondFBox->SetChecked(FCalc.SecondF());
  if (FBound.HypBox) FBound.HypBox->SetChecked(FCalc.Hyperbolic());
  if (FBound.EngBox) FBound.EngBox->SetChecked(FCalc.EngMode());
  for (TImgCheckBox* box : {FBound.MemSetBox, FBound.MemClearBox, FBound.MemOutBox,
                            FBound.MemPlusBox, FBound.MemMinusBox})
    if (box) box->SetChecked(box->Tag() == FCalc.MemMode());
  // So do the memories, which the new keys' hints tell.
  for (std::size_t slot = kFirstMemorySlot; slot < kFirstMemorySlot + kMemoryCount; ++slot) {
    const QString letter = QString::fromLatin1(kFixedNames[slot].data(), kFixedNames[slot].size());
    FSkin->SetButtonHint(letter, QString::fromStdString(FCalc.MemoryHint(slot)));
  }
}

void TMainForm::WatchSkinControls() {
  // A click on a key, box or slide bar gives the keyboard back to the
  // expression field (see eventFilter).
  for (int i = 0; i < TSkin::kSlots; ++i) {
    for (QWidget* control :
         {static_cast<QWidget*>(FSkin->Buttons(i)), static_cast<QWidget*>(FSkin->CheckBoxes(i)),
          static_cast<QWidget*>(FSkin->SlideBars(i))})
      if (control) control->installEventFilter(this);
  }
}

void TMainForm::FocusExpression() {
  // The keyboard goes where the formula is typed, as at start. A skin whose
  // field is hidden (or that has none) takes the keys in the window itself.
  TSkinEdit* edit = FBound.ExpressionEdit;
  if (edit && edit->focusPolicy() != Qt::NoFocus && !edit->isHidden())
    edit->setFocus(Qt::OtherFocusReason);
  else
    setFocus(Qt::OtherFocusReason);
}

void TMainForm::BindButtons() {
  using TCommand = std::function<void()>;
  const auto insert = [this](const char* text) -> TCommand {
    return [this, text] { InsertText(QString::fromLatin1(text)); };
  };
  std::vector<std::pair<QString, TCommand>> commands = {
      {QStringLiteral("Enter"), [this] { EnterCommand(); }},
      {QStringLiteral("Close"), [this] { close(); }},
      {QStringLiteral("Clear"), [this] { ClearCommand(); }},
      {QStringLiteral("Back"), [this] { BackCommand(); }},
      {QStringLiteral("Minimize"), [this] { MinimizeCommand(); }},
  };
  static const char* const kDigits[] = {"0", "1", "2", "3", "4", "5", "6", "7", "8", "9"};
  for (const char* digit : kDigits) commands.emplace_back(QString::fromLatin1(digit), insert(digit));
  for (std::size_t slot = kFirstMemorySlot; slot < kFirstMemorySlot + kMemoryCount; ++slot) {
    const QString letter = QString::fromLatin1(kFixedNames[slot].data(), kFixedNames[slot].size());
    const int i = static_cast<int>(slot);
    commands.emplace_back(letter, [this, i, letter] { MemoryKey(i, letter); });
  }
  static const std::pair<const char*, const char*> kInserts1[] = {
      {"Exp", "e"}, {"Pi", "Pi"}, {"Divide", "/"}, {"Multiply", "*"}, {"Plus", "+"}, {"Minus", "-"}};
  for (const auto& [name, text] : kInserts1) commands.emplace_back(QString::fromLatin1(name), insert(text));
  // The locale's decimal separator, read when the key is pressed.
  commands.emplace_back(QStringLiteral("Point"),
                        [this] { InsertText(QString(QLatin1Char(FCalc.DecimalSeparator()))); });
  commands.emplace_back(QStringLiteral("BracketL"), insert("("));
  commands.emplace_back(QStringLiteral("BracketR"), insert(")"));
  for (const char* name : {"Sin", "Cos", "Tan", "Log", "Ln"})
    commands.emplace_back(QString::fromLatin1(name), [this, name] { FunctionKey(QString::fromLatin1(name)); });
  static const std::pair<const char*, const char*> kInserts2[] = {
      {"Power", "^"}, {"Power2", "^2"}, {"Power3", "^3"}, {"Fact", "!"}, {"And", "&"},
      {"Or", "|"},    {"Xor", "~"},     {"Mod", "#"},     {"Inv", "1/"}};
  for (const auto& [name, text] : kInserts2) commands.emplace_back(QString::fromLatin1(name), insert(text));

  for (auto& [name, command] : commands)
    FSkin->SetButtonHandler(
        name, [command = command](QObject*, const TMouseMessage&) { RunGuarded(command); });
}

void TMainForm::BindExpression() {
  TSkinEdit* edit = FBound.ExpressionEdit = FSkin->FindEdit(QStringLiteral("Expression"));
  if (!edit) return;
  // The field's own limit would cut a long pasted formula and so change its
  // value unseen: the validator refuses it whole instead, and makes what
  // comes in one line.
  edit->setMaxLength(std::numeric_limits<int>::max());
  auto* validator = new TFormulaValidator(edit);
  validator->OnRefused = [this](qsizetype length) {
    // Told once the field has put its text back.
    QMetaObject::invokeMethod(
        this, [length] { ReportError(TooLongMessage(length)); }, Qt::QueuedConnection);
  };
  edit->setValidator(validator);
  // Its pastes go through PasteText (see ExpressionFieldEvent).
  edit->installEventFilter(this);
  connect(edit, &QLineEdit::textChanged, this,
          [this] { RunGuarded([this] { ExpressionChange(); }); });
  // Up and Down recall the history (eventFilter).
  edit->installEventFilter(this);
  // A zero-size field still takes the text the keys build, unseen, as on a
  // pocket calculator.
  if (edit->width() == 0 || edit->height() == 0) {
    edit->setFocusPolicy(Qt::NoFocus);
    edit->hide();
  }
}

void TMainForm::BindResult() {
  TSkinLabel* label = FBound.ResultLabel = FSkin->FindLabel(QStringLiteral("Result"));
  if (!label) return;
  label->SetOneLine();
  // A result wider than the display is shown whole in a smaller font.
  new TResultFit(label, FCalc.DecimalSeparator());
  // A right click on the display opens the main menu, as on the window body.
  label->setContextMenuPolicy(Qt::CustomContextMenu);
  connect(label, &QWidget::customContextMenuRequested, this, [this](const QPoint& at) {
    TSkinLabel* shown = FBound.ResultLabel;
    if (shown) FMenu.MainMenu->Popup(shown->mapToGlobal(at).x(), shown->mapToGlobal(at).y());
  });
}

void TMainForm::BindCheckBoxes() {
  struct TBoxBinding {
    const char* Name;
    TImgCheckBox* TSkinElements::*Field;
    TMemMode Tag;  // mmNone: the box keeps its own tag
    void (TMainForm::*Handler)(QObject*);
  };
  static const TBoxBinding kBoxes[] = {
      {"MemSet", &TSkinElements::MemSetBox, mmSet, &TMainForm::MemModeMouseUp},
      {"MemClear", &TSkinElements::MemClearBox, mmClear, &TMainForm::MemModeMouseUp},
      {"MemOut", &TSkinElements::MemOutBox, mmOut, &TMainForm::MemModeMouseUp},
      {"MemPlus", &TSkinElements::MemPlusBox, mmPlus, &TMainForm::MemModeMouseUp},
      {"MemMinus", &TSkinElements::MemMinusBox, mmMinus, &TMainForm::MemModeMouseUp},
      {"2ndF", &TSkinElements::SecondFBox, mmNone, &TMainForm::SecondFMouseUp},
      {"Hyp", &TSkinElements::HypBox, mmNone, &TMainForm::HypMouseUp},
      {"Eng", &TSkinElements::EngBox, mmNone, &TMainForm::EngMouseUp},
  };
  for (const TBoxBinding& b : kBoxes) {
    TImgCheckBox* box = FSkin->FindCheckBox(QString::fromLatin1(b.Name));
    FBound.*b.Field = box;
    if (!box) continue;
    box->SetMouseCheck(true);
    if (b.Tag != mmNone) box->SetTag(b.Tag);
    const auto handler = b.Handler;
    box->OnMouseUp = [this, handler](QObject* sender, const TMouseMessage& msg) {
      // Only the left button toggles the box, so only its release acts.
      if (msg.Msg == mmLButtonUp) RunGuarded([&] { (this->*handler)(sender); });
    };
  }
}

void TMainForm::BindVariableFields() {
  TVariableStore& variables = FCalc.Variables();
  for (int slot = 0; slot < FSkin->EditCount(); ++slot) {
    TSkinEdit* field = FSkin->Edits(slot);
    if (!field || field->EditName() == QLatin1String("Expression")) continue;
    field->installEventFilter(this);
    const std::string name = field->EditName().toStdString();
    const int i = variables.IndexOf(name);
    if (i >= 0) {
      const long double value = variables.Value(static_cast<std::size_t>(i));
      try {
        field->setText(FormatNumber(value));
      } catch (const EZumbrelError&) {
        // Too large for the radix display: the field shows it in decimal
        // rather than leaving the skin half bound.
        field->setText(QString::fromStdString(FCalc.FormatValue(nfDecimal, value)));
      }
      continue;
    }
    long double value = 0;
    try {
      value = FCalc.ReadNumber(field->text().toStdString());
    } catch (const EZumbrelError&) {
      // An initial text that is no number starts the variable at 0.
    }
    // A name that finds the store full gets no variable; its field stays
    // unbound.
    variables.Append(name, value);
  }
}

void TMainForm::FillSkinMenu() {
  FMenu.MMSkin->clear();
  // Every skin folder's skins together, each name once, sorted by name.
  for (const TSkinEntry& skin : ListSkins(FDirs.SkinDirs)) {
    const QString name = QString::fromStdString(skin.Name);
    QAction* item = FMenu.MMSkin->addAction(MenuCaption(name));
    item->setData(name);
    item->setCheckable(true);
    item->setChecked(name == FSkinName);
    connect(item, &QAction::triggered, this, [this, item] {
      // The check marks follow the skin actually in use, not the click.
      item->setChecked(!item->isChecked());
      RunGuarded([&] { MMSkinClick(item); });
    });
  }
}

void TMainForm::MMSkinClick(QAction* item) {
  const QString name = item->data().toString();
  const bool hadResult = FBound.ResultLabel != nullptr;
  const bool hadExpression = FBound.ExpressionEdit != nullptr;
  const QString resultText = hadResult ? FBound.ResultLabel->text() : QString();
  const QString expressionText = hadExpression ? FBound.ExpressionEdit->text() : QString();

  bool loaded = false;
  QString failure;
  try {
    loaded = ApplySkin(name);
  } catch (const std::exception& e) {
    // A skin that breaks half-way must not leave a window without commands:
    // it is treated as one that does not load, and its error reported after.
    failure = QString::fromUtf8(e.what());
  }
  if (loaded) {
    FSkinName = name;
    for (QAction* other : FMenu.MMSkin->actions()) other->setChecked(other == item);
    if (FBound.ResultLabel && hadResult) FBound.ResultLabel->setText(resultText);
    if (FBound.ExpressionEdit && hadExpression && FBound.ExpressionEdit->text().isEmpty())
      FBound.ExpressionEdit->setText(expressionText);
  } else {
    // The skin on screen is the one FSkinName names, or "Windows" when the
    // start had to fall back to it; a name that cannot be loaded must not
    // leave the window with a half-loaded skin and no commands.
    bool restored = false;
    try {
      restored = ApplySkin(FSkinName);
    } catch (const std::exception&) {
    }
    if (!restored) restored = ApplySkin(QStringLiteral("Windows"));
    if (restored) {
      if (FBound.ResultLabel && hadResult) FBound.ResultLabel->setText(resultText);
      if (FBound.ExpressionEdit && hadExpression) FBound.ExpressionEdit->setText(expressionText);
    }
  }
  emit VariablesChanged();
  if (!failure.isEmpty()) throw EZumbrelError(failure.toStdString());
}
