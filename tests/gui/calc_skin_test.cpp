// The calculator with its skins, settings and menu: binding, switching skins
// (and failing to), starting with odd settings, the menu's items and marks.
#include <sys/stat.h>

#include <QContextMenuEvent>
#include <QImage>
#include <QSignalSpy>
#include <tuple>

#include "calc/Settings.h"
#include "controls/BarPopupMenu.h"
#include "controls/SlideBar.h"
#include "tests/gui/calc_fixture.h"

namespace {

class CalcSkinTest : public CalcFixture {
 protected:
  // Skins that cannot load, each for another reason: a missing main picture,
  // one that does not decode (reported), an icon as the main picture (a
  // window of no size), a skin file that is a pipe nobody writes to or a link
  // to a device that never ends.
  void WriteUnloadableSkins() {
    const QString dir = Dir.path();
    WriteFile("Skins/Broken.skn", "[Main]\nPictureDir=Windows\nPicture=Missing.bmp\n");
    WriteFile("Skins/Corrupt.skn",
              "[Main]\nPicture=Corrupt.bmp\nButtons=1\n[Buttons]\nBut1Name=1\n");
    WriteFile("Skins/Corrupt.bmp", "BM this is no picture");
    QImage icon(16, 16, QImage::Format_ARGB32);
    icon.fill(Qt::blue);
    ASSERT_TRUE(icon.save(dir + "/Skins/Icon.ico", "ICO"));
    WriteFile("Skins/Icon.skn", "[Main]\nPicture=Icon.ico\nButtons=1\n[Buttons]\nBut1Name=1\n");
    ASSERT_EQ(mkfifo(QFile::encodeName(dir + "/Skins/Pipe.skn").constData(), 0644), 0);
    ASSERT_TRUE(QFile::link("/dev/zero", dir + "/Skins/Zero.skn"));
  }
};

// Variable fields on the Windows picture: A exists, Rate and Bad are new.
const QByteArray kFieldsSkin =
    "[Main]\nPictureDir=Windows\nPicture=Background.bmp\nEdits=3\n[Edits]\n"
    "Edit1Name=A\nEdit1Text=5\nEdit2Name=Rate\nEdit2Text=0.5\nEdit3Name=Bad\nEdit3Text=x\n";

int IndexOf(TMainForm& form, const char* name) {
  return form.Calculator().Variables().IndexOf(name);
}

TEST_F(CalcSkinTest, VariableFieldsShowOrCreateTheirVariables) {
  WriteFile("Skins/Fields.skn", kFieldsSkin);
  Start("[Main]\nFormat=1\n");
  Value(1) = 255;
  Form->MMSkinClick(SkinItem("Fields"));
  EXPECT_EQ(Skin().FindEdit("A")->text(), "0xFF");
  ASSERT_EQ(IndexOf(*Form, "Rate"), 8);
  EXPECT_EQ(Value(8), 0.5L);
  EXPECT_EQ(Skin().FindEdit("Rate")->text(), "0.5");
  ASSERT_EQ(IndexOf(*Form, "bad"), 9);
  EXPECT_EQ(Value(9), 0);
  // Back on a skin without the fields, the variables stay.
  Form->MMSkinClick(SkinItem("Windows"));
  EXPECT_EQ(IndexOf(*Form, "Rate"), 8);
}

TEST_F(CalcSkinTest, NamesBeyondTheLastFreeSlotGetNoVariable) {
  WriteFile("Skins/Fields.skn", kFieldsSkin);
  Start();
  for (int i = 8; i < 255; ++i) Calc().Variables().Append("V" + std::to_string(i));
  Form->MMSkinClick(SkinItem("Fields"));
  ASSERT_EQ(Calc().Variables().Count(), 256u);
  EXPECT_EQ(Calc().Variables().Names().back(), "Rate");
  EXPECT_EQ(IndexOf(*Form, "Bad"), -1);
}

TEST_F(CalcSkinTest, AVariableFieldIsCommittedOnEnterAndWhenLeft) {
  Start("[Main]\nSkin=Midnight\n");
  TSkinEdit* rate = Skin().FindEdit("Rate");
  ASSERT_NE(rate, nullptr);
  Form->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(Form));
  Edit()->setText("Rate*2");
  rate->setFocus();
  rate->selectAll();
  QTest::keyClicks(rate, "4");
  Click({"Enter"});  // Rate hands over its value as the keyboard goes back
  EXPECT_EQ(Display(), "8");
  EXPECT_TRUE(Edit()->hasFocus());

  rate->setFocus();
  rate->selectAll();
  QTest::keyClicks(rate, "1.5k");
  Edit()->setFocus();
  EXPECT_EQ(Value(IndexOf(*Form, "Rate")), 1500);
  rate->setFocus();
  rate->selectAll();
  QTest::keyClicks(rate, "lots");
  Edit()->setFocus();
  EXPECT_EQ(Value(IndexOf(*Form, "Rate")), 1500);
  EXPECT_EQ(rate->text(), "lots");

  // A field the user did not change writes nothing back, though its text be
  // a rounded form of the value (0.3 shows as 0x0 in hexadecimal).
  Value(IndexOf(*Form, "Rate")) = 0.3L;
  Calc().SetNumberFormat(nfHexadecimal);
  Form->MMSkinClick(SkinItem("Midnight"));
  rate = Skin().FindEdit("Rate");
  ASSERT_EQ(rate->text(), "0x0");
  QTest::mouseClick(rate, Qt::LeftButton);
  ASSERT_TRUE(rate->hasFocus());
  QTest::mouseClick(Edit(), Qt::LeftButton);
  Click({"Enter"});
  rate->setFocus();
  Click({"Enter"});
  EXPECT_EQ(Value(IndexOf(*Form, "Rate")), 0.3L);
}

TEST_F(CalcSkinTest, HiddenExpressionWorksLikeAPocketCalculator) {
  Start("[Main]\nSkin=Pocket\n");
  ASSERT_NE(Edit(), nullptr);
  EXPECT_FALSE(Edit()->isVisible());
  EXPECT_EQ(Edit()->focusPolicy(), Qt::NoFocus);
  Click({"2", "Plus", "3", "Enter"});
  EXPECT_EQ(Field(), "2+3");
  EXPECT_EQ(Display(), "5");
  // Typed keys act as the skin's would: characters go into the unseen field,
  // Backspace is Back, "=" and Return evaluate; the field stays out of reach.
  Click({"Clear"});
  TypeIntoWindow("sin(0)+2*3.5=");
  EXPECT_EQ(Field(), "sin(0)+2*3.5");
  EXPECT_EQ(Display(), "7");
  QTest::keyClick(Form->windowHandle(), Qt::Key_Backspace);
  QTest::keyClick(Form->windowHandle(), Qt::Key_Backspace);
  QTest::keyClick(Form->windowHandle(), Qt::Key_A, Qt::ControlModifier);
  QTest::keyClick(Form->windowHandle(), Qt::Key_Return);
  EXPECT_EQ(Field(), "sin(0)+2*3");
  EXPECT_EQ(Display(), "6");
  QTest::keyClick(Form->windowHandle(), Qt::Key_Tab);
  EXPECT_TRUE(Edit()->isHidden());
  EXPECT_FALSE(Edit()->hasFocus());
  // The result stands in the middle of the display's height, on its side.
  EXPECT_EQ(Elements().ResultLabel->alignment(), Qt::AlignRight | Qt::AlignVCenter);
  EXPECT_FALSE(Elements().ResultLabel->wordWrap());
}

TEST_F(CalcSkinTest, SwitchingSkinsKeepsTheTextsAndTheModes) {
  Start();
  Click({"7", "Plus", "8", "Enter", "2ndF", "Hyp", "Eng", "MemOut"});
  Value(1) = 12.5L;
  Form->MMSkinClick(SkinItem("Midnight"));
  EXPECT_EQ(Form->SkinName(), "Midnight");
  EXPECT_TRUE(Skin().FileName().endsWith("Midnight.skn"));
  EXPECT_EQ(Field(), "7+8");
  EXPECT_EQ(Display(), "15");
  EXPECT_EQ(Form->Undo().CurrentText(), "7+8");
  // The new skin's boxes and hints show the state the calculator kept.
  EXPECT_TRUE(Calc().SecondF());
  EXPECT_TRUE(Elements().SecondFBox->Checked());
  EXPECT_TRUE(Elements().HypBox->Checked());
  EXPECT_TRUE(Elements().EngBox->Checked());
  EXPECT_TRUE(Elements().MemOutBox->Checked());
  EXPECT_FALSE(Elements().MemSetBox->Checked());
  EXPECT_EQ(Button("A")->Hint(), "A=12.5");
  for (QAction* item : Menu().MMSkin->actions())
    EXPECT_EQ(item->isChecked(), item == SkinItem("Midnight"));
  // The keyboard is the expression field's again, with the caret after the
  // restored text.
  TypeIntoWindow("1");
  EXPECT_EQ(Field(), "7+81");
  Click({"MemOut", "Eng", "Enter"});
  EXPECT_EQ(Display(), "88");
  // A click on any key, box or slide bar gives the keyboard back to the
  // field, also from a variable field or the slide bar.
  for (QWidget* clicked : {static_cast<QWidget*>(Button("BracketL")),
                           static_cast<QWidget*>(Skin().FindCheckBox("2ndF")),
                           static_cast<QWidget*>(Skin().SlideBars(0))}) {
    Skin().FindEdit("Rate")->setFocus();
    QTest::mouseClick(Skin().SlideBars(0), Qt::LeftButton);
    QTest::mouseClick(clicked, Qt::LeftButton);
    EXPECT_TRUE(Edit()->hasFocus()) << clicked->accessibleName().toStdString();
  }
  // The new display opens the menu on a right click, as the window body does.
  QContextMenuEvent click(QContextMenuEvent::Mouse, QPoint(5, 5),
                          Elements().ResultLabel->mapToGlobal(QPoint(5, 5)));
  QCoreApplication::sendEvent(Elements().ResultLabel, &click);
  EXPECT_TRUE(Menu().MainMenu->isVisible());
  Menu().MainMenu->hide();
}

TEST_F(CalcSkinTest, AFailedSwitchRestoresTheCurrentSkinAndTexts) {
  WriteUnloadableSkins();
  const QSize windows = QImage(Dir.filePath("Skins/Windows/Background.bmp")).size();
  Start();
  Click({"6", "Multiply", "7", "Enter"});
  for (const char* name : {"Broken", "Corrupt", "Icon", "Pipe", "Zero"}) {
    SkinItem(name)->trigger();
    EXPECT_EQ(Form->SkinName(), "Windows") << name;
    EXPECT_TRUE(Skin().FileName().endsWith("Windows.skn")) << name;
    EXPECT_EQ(Form->size(), windows) << name;
    EXPECT_TRUE(SkinItem("Windows")->isChecked()) << name;
    EXPECT_FALSE(SkinItem(name)->isChecked()) << name;
    EXPECT_EQ(Field(), "6*7") << name;
    EXPECT_EQ(Display(), "42") << name;
    EXPECT_TRUE(Edit()->hasFocus()) << name;  // typed keys reach the field again
  }
  EXPECT_EQ(Errors.size(), 1);  // the picture that does not decode
  Click({"1", "Enter"});
  EXPECT_EQ(Display(), "426");
}

// A skin named in the settings that cannot load gives "Windows" at start, and
// the name is kept; a name that is a path is no skin's name, even where the
// path leads to a skin.
TEST_F(CalcSkinTest, AStartWithASkinThatCannotLoadShowsWindows) {
  WriteUnloadableSkins();
  const QSize windows = QImage(Dir.filePath("Skins/Windows/Background.bmp")).size();
  const QByteArray away = QFile::encodeName(Dir.filePath("Away"));
  QDir().mkpath(Dir.filePath("Away"));
  WriteFile("Away/Out.skn", "[Main]\nPicture=../Skins/Windows/Background.bmp\nButtons=0\n");
  const QByteArray names[] = {
      "Icon", "Pipe", "Zero", "../Away/Out", away + "/Out", "Windows/../Pocket", ".", ""};
  for (const QByteArray& name : names) {
    Start("[Main]\nSkin=" + name + "\n");
    EXPECT_TRUE(Skin().FileName().endsWith("/Skins/Windows.skn")) << name.constData();
    EXPECT_EQ(Form->SkinName(), QString::fromUtf8(name)) << name.constData();
    EXPECT_EQ(Form->size(), windows) << name.constData();
    Program.reset();
  }
  EXPECT_TRUE(Errors.isEmpty()) << Errors.join('\n').toStdString();
}

TEST_F(CalcSkinTest, AfterAFailedLoadNoElementIsReached) {
  Start();
  EXPECT_FALSE(Form->ApplySkin("Nowhere"));
  for (QObject* field : std::initializer_list<QObject*>{
           Edit(), Elements().ResultLabel, Elements().MemSetBox, Elements().MemClearBox,
           Elements().MemOutBox, Elements().MemPlusBox, Elements().MemMinusBox,
           Elements().SecondFBox, Elements().HypBox, Elements().EngBox})
    EXPECT_EQ(field, nullptr);
  Form->InsertText("1");
  Form->Evaluate();
  Form->ClearCommand();
  Form->BackCommand();
  Form->MemoryKey(1, "A");
  Form->UpdateFormat();
  EXPECT_TRUE(Errors.isEmpty());
}

TEST_F(CalcSkinTest, AStartWithAMissingSkinShowsWindowsAndKeepsTheName) {
  WriteFile("Skins/Broken.skn", "[Main]\nPicture=Missing.bmp\n");
  WriteFile("Skins/zulu.skn", "[Main]\nPicture=Missing.bmp\n");
  WriteFile("Skins/alpha.skn", "[Main]\nPicture=Missing.bmp\n");
  Start("[Main]\nSkin=Gone\nFormat=3\n[Position]\nLeft=40\nTop=30\n");
  EXPECT_TRUE(Skin().FileName().endsWith("Windows.skn"));
  EXPECT_EQ(Form->SkinName(), "Gone");
  EXPECT_EQ(Form->pos(), QPoint(40, 30));
  EXPECT_EQ(Display(), "0b0");
  // The Skin submenu lists the skins by name, letter case aside.
  QStringList listed;
  for (QAction* item : Menu().MMSkin->actions()) listed << item->data().toString();
  EXPECT_EQ(listed, (QStringList{"alpha", "Broken", "Midnight", "Pocket", "Windows", "zulu"}));
  for (QAction* item : Menu().MMSkin->actions()) EXPECT_FALSE(item->isChecked()) << item->text().toStdString();
  SkinItem("Broken")->trigger();  // back to the skin on the window, though "Gone" cannot load
  EXPECT_TRUE(Skin().FileName().endsWith("Windows.skn"));
  EXPECT_EQ(Display(), "0b0");
  Calc().SetNumberFormat(nfOctal);
  Form->FormDestroy();
  const IniFile ini(Dir.filePath("zumbrel.ini").toStdString());
  EXPECT_EQ(ini.ReadString("Main", "Skin", ""), "Gone");
  EXPECT_EQ(ini.ReadInteger("Main", "Format", -1), 2);
  EXPECT_EQ(ini.ReadInteger("Position", "Left", -1), 40);
}

TEST_F(CalcSkinTest, AStartWithoutAnySkinFailsAndWritesNothing) {
  ASSERT_TRUE(QDir(Dir.filePath("Skins")).removeRecursively());
  EXPECT_FALSE(Launch());
  EXPECT_EQ(Form->Skin(), nullptr);
  Program.reset();
  EXPECT_FALSE(QFile::exists(Dir.filePath("zumbrel.ini")));
}

TEST_F(CalcSkinTest, TheMenuHasEveryItemInOrder) {
  Start();
  // caption, shortcut text, tag (-1: none), checkable; "-" is a separator.
  const std::tuple<const char*, const char*, int, bool> rows[] = {
      {"Always On Top", "", -1, true}, {"Copy result", "Ctrl+Ins", -1, false}, {"Skin", "", -1, false},
      {"Presets", "", -1, false},      {"-", "", -1, false},                   {"Degrees", "F2", 0, true},
      {"Radians", "F3", 1, true},      {"Gradians", "F4", 2, true},            {"-", "", -1, false},
      {"Hexadecimal", "F5", 1, true},  {"Decimal", "F6", 0, true},             {"Octal", "F7", 2, true},
      {"Binary", "F8", 3, true},       {"Eng", "F9", -1, true},                {"-", "", -1, false},
      {"Variables", "F11", -1, true},  {"Graph", "F12", -1, true},             {"History", "F10", -1, true},
      {"-", "", -1, false},
      {"About", "", -1, false},        {"Help", "F1", -1, false},              {"Exit", "", -1, false},
  };
  const QList<QAction*> items = Menu().MainMenu->actions();
  ASSERT_EQ(items.size(), std::size(rows));
  for (qsizetype i = 0; i < items.size(); ++i) {
    const auto& [caption, shortcut, tag, checkable] = rows[i];
    QAction* item = items[i];
    EXPECT_EQ(item->isSeparator(), QString(caption) == "-") << i;
    if (item->isSeparator()) continue;
    EXPECT_EQ(item->text(), QString(shortcut).isEmpty() ? caption : QString("%1\t%2").arg(caption, shortcut));
    EXPECT_TRUE(item->shortcut().isEmpty()) << caption;  // the keys act through the key map only
    EXPECT_EQ(item->data().isValid() ? item->data().toInt() : -1, tag) << caption;
    EXPECT_EQ(item->isCheckable(), checkable) << caption;
  }
  EXPECT_EQ(Menu().MMSkin->menuAction(), items[2]);
  const QList<QAction*> presets = Menu().MMPresets->actions();
  ASSERT_EQ(presets.size(), 3);
  EXPECT_EQ(presets[0]->text() + presets[1]->text(), "Save current\tCtrl+SDelete selected");
  EXPECT_TRUE(presets[2]->isSeparator());
}

TEST_F(CalcSkinTest, MenuMarksFollowTheState) {
  Start("[Main]\nFormat=7\nAlwayOnTop=1\n");
  EXPECT_TRUE(Menu().MMRadians->isChecked());
  for (QAction* item : {Menu().MMHexadecimal, Menu().MMDecimal, Menu().MMOctal, Menu().MMBinary})
    EXPECT_FALSE(item->isChecked()) << item->text().toStdString();
  EXPECT_TRUE(Menu().MMAlwaysOnTop->isChecked());
  EXPECT_TRUE(Form->windowFlags() & Qt::WindowStaysOnTopHint);

  Click({"5", "Enter"});
  Menu().MMGradians->trigger();
  EXPECT_EQ(Calc().Degs(), cdGradians);
  EXPECT_FALSE(Menu().MMDegrees->isChecked() || Menu().MMRadians->isChecked());
  EXPECT_TRUE(Menu().MMGradians->isChecked());
  EXPECT_EQ(Display(), "5");
  Menu().MMOctal->trigger();
  EXPECT_TRUE(Menu().MMOctal->isChecked());
  EXPECT_EQ(Display(), "0o5");
  Menu().MMAlwaysOnTop->trigger();
  EXPECT_FALSE(Menu().MMAlwaysOnTop->isChecked());
  EXPECT_FALSE(Form->windowFlags() & Qt::WindowStaysOnTopHint);
  EXPECT_TRUE(Form->isVisible());
}

TEST_F(CalcSkinTest, MenuItemsAndKeysReachTheirWindows) {
  Start();
  {
    TMainForm alone(DataDirs());
    alone.Menu().MMGraph->trigger();  // no graph window: nothing to show
    EXPECT_FALSE(alone.Menu().MMGraph->isChecked());
  }
  Menu().MMVariables->trigger();
  EXPECT_TRUE(Vars->isVisible() && Menu().MMVariables->isChecked());
  Vars->hide();  // by its own means: the window tells the menu
  EXPECT_FALSE(Menu().MMVariables->isChecked());
  for (bool shown : {true, false}) {
    Menu().MMGraph->trigger();
    EXPECT_EQ(Graph->isVisible(), shown);
    EXPECT_EQ(Menu().MMGraph->isChecked(), shown);
  }
  QSignalSpy closed(Form, &TMainForm::Closed);
  Click({"Close"});
  Form->show();
  Menu().MMExit->trigger();
  EXPECT_EQ(closed.count(), 2);
}

}  // namespace
