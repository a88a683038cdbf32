// The Presets submenu on a real calculator in a temporary program folder, with
// its variables and graph windows and the preset-name dialog: saving, listing,
// loading and deleting real files, and the dialog's name check.
#include "presets/Presets.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QLocale>
#include <QMessageBox>
#include <QPushButton>
#include <QTableWidget>
#include <QTimer>
#include <functional>
#include <tuple>

#include "tests/gui/calc_fixture.h"
#include "tests/gui/while_modal.h"
#include "windows/graf.h"
#include "windows/preset.h"
#include "windows/vars.h"

#if defined(__unix__)
#include <sys/resource.h>

#include <csignal>
#endif

namespace {


class PresetsTest : public CalcFixture {
 protected:
  void TearDown() override {
    CalcFixture::TearDown();
    QLocale::setDefault(QLocale::c());
  }

  // The calculator with its windows; every rebuild of the variables grid a
  // preset asks for is counted.
  void StartPresets() {
    Start();
    QObject::connect(Program->Presets(), &TPresets::VariablesChanged, Form,
                     [this] { ++Refreshes; });
  }

  // "Save current" with `name` typed into the dialog and Return pressed.
  void Save(const QString& name) {
    WhileModal([this] { Menu().MMPresetSave->trigger(); },
               [&](QWidget* modal) {
                 ASSERT_EQ(modal, Dialog);
                 Dialog->PresetName()->setText(name);
                 QTest::keyClick(Dialog->PresetName(), Qt::Key_Return);
               });
  }

  QList<QAction*> Items() const { return PresetItems(); }
  QStringList ItemNames(bool checkedOnly = false) const {
    QStringList names;
    for (QAction* item : Items())
      if (!checkedOnly || item->isChecked()) names << TPresets::PresetItemName(item);
    return names;
  }
  QStringList CheckedNames() const { return ItemNames(true); }
  QAction* Item(const QString& name) const {
    const QStringList names = ItemNames();
    return names.contains(name) ? Items().at(names.indexOf(name)) : nullptr;
  }
  QString PresetFile(const QString& name) const { return QStringLiteral("Presets/") + name; }

  int Refreshes = 0;
};

TEST_F(PresetsTest, SavedPresetRestoresEveryField) {
  // The user's decimal separator never reaches the file.
  Separator = ',';
  QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
  StartPresets();
  // The state to keep: expression, octal, Eng, degrees, values, a user
  // variable, the graph range with AutoY off.
  Edit()->setText(QStringLiteral("sin(X)+w"));
  for (QAction* item : {Menu().MMOctal, Menu().MMEng, Menu().MMDegrees}) item->trigger();
  Value(1) = 1.5L;
  Value(7) = -0.00025L;
  Calc().Variables().Append("w");
  Value(8) = 2.25L;
  Graph->AutoY()->setChecked(false);
  Graph->FromX()->setText(QStringLiteral("-1"));
  Graph->ToY()->setText(QStringLiteral("7"));

  Save(QStringLiteral("first"));
  EXPECT_EQ(ItemNames(), QStringList{"first"});
  EXPECT_EQ(CheckedNames(), QStringList{"first"});
  const QByteArray file = ReadFile(PresetFile("first"));
  EXPECT_TRUE(
      file.startsWith(";Zumbrel Preset\r\n\r\n[Calc]\r\nFunc=sin(X)+w\r\nFormat=2\r\n"
                      "Degs=0\r\nEng=1\r\n\r\n[Variables]\r\nA= 1.50000000000000E+0000\r\n"));
  EXPECT_TRUE(
      file.endsWith("\r\nX=-2.50000000000000E-0004\r\nw= 2.25000000000000E+0000\r\n"
                    "\r\n[Graph]\r\nX1=-1\r\nX2=5\r\nY1=-2\r\nY2=7\r\nAY=0\r\n"));

  // Change everything, then load the preset back.
  Edit()->setText(QStringLiteral("1+1"));
  for (QAction* item : {Menu().MMHexadecimal, Menu().MMEng, Menu().MMRadians}) item->trigger();
  Value(1) = 9;
  Value(2) = 4;  // B was saved as 0
  Calc().Variables().Append("zz");
  Graph->AutoY()->setChecked(true);
  Graph->FromX()->setText(QStringLiteral("0"));
  Graph->ToY()->setText(QStringLiteral("1"));
  Form->UncheckPresets();

  Item("first")->trigger();
  EXPECT_EQ(Edit()->text(), "sin(X)+w");
  EXPECT_EQ(std::tuple(Calc().NumberFormat(), Calc().EngMode()), std::tuple(nfOctal, true));
  EXPECT_EQ(Calc().Degs(), cdDegreees);
  for (QAction* item : {Menu().MMOctal, Menu().MMEng, Menu().MMDegrees})
    EXPECT_TRUE(item->isChecked());
  for (QAction* item : {Menu().MMHexadecimal, Menu().MMRadians}) EXPECT_FALSE(item->isChecked());
  const std::vector<std::string> names = {"Pi", "A", "B", "C", "D", "E", "F", "X", "w"};
  EXPECT_EQ(Calc().Variables().Names(), names);
  EXPECT_EQ(std::tie(Value(1), Value(2), Value(7), Value(8)),
            std::tuple(1.5L, 0.0L, -0.00025L, 2.25L));
  EXPECT_FALSE(Graph->AutoY()->isChecked());
  EXPECT_TRUE(Graph->FromY()->isEnabled());  // the box's own handler ran
  EXPECT_EQ(Graph->FromX()->text(), "-1");
  EXPECT_EQ(Graph->ToY()->text(), "7");
  EXPECT_EQ(Refreshes, 1);
  EXPECT_EQ(Vars->Variables()->rowCount(), 9);  // A..F, X, w and the entry row
  EXPECT_EQ(CheckedNames(), QStringList{"first"});
  EXPECT_TRUE(Errors.isEmpty()) << Errors.join('\n').toStdString();

  // The restored user variable takes part in evaluation.
  Edit()->setText(QStringLiteral("w*4"));
  Form->Evaluate();
  EXPECT_EQ(Calc().LastResult(), 9);
}

TEST_F(PresetsTest, FirstSaveMakesTheFolderAndSavingAgainOverwrites) {
  StartPresets();
  ASSERT_FALSE(QDir(Dir.filePath("Presets")).exists());
  Edit()->setText(QStringLiteral("1"));
  Save(QStringLiteral("p"));
  Edit()->setText(QStringLiteral("2"));
  Save(QStringLiteral("q"));
  EXPECT_EQ(CheckedNames(), QStringList{"q"});

  Edit()->setText(QStringLiteral("3"));
  Save(QStringLiteral("p"));
  EXPECT_EQ(ItemNames(), (QStringList{"p", "q"}));
  EXPECT_TRUE(CheckedNames().isEmpty());
  EXPECT_TRUE(ReadFile(PresetFile("p")).contains("\r\nFunc=3\r\n"));
  // Nothing but the presets is left in the folder.
  EXPECT_EQ(QDir(Dir.filePath("Presets"))
                .entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
            (QStringList{"p", "q"}));
}

TEST_F(PresetsTest, ListsEveryEntryAndLoadsOrDeletesOnlyFiles) {
  QDir(Dir.path()).mkpath(QStringLiteral("Presets/folder"));
  WriteFile(PresetFile("a&b"), "[Calc]\r\nFunc=7*7\r\n[Variables]\r\nold=1\r\n");
  WriteFile(PresetFile(".hidden"), "");
  StartPresets();
  QStringList listed = ItemNames();
  listed.sort();
  EXPECT_EQ(listed, (QStringList{".hidden", "a&b", "folder"}));
  EXPECT_TRUE(CheckedNames().isEmpty());
  EXPECT_EQ(Item("a&b")->text(), "a&&b");  // shown as "a&b", not with an access key

  Calc().Variables().Append("mine");
  Item("folder")->trigger();  // a folder loads nothing, yet becomes the checked item
  EXPECT_EQ(Calc().Variables().Count(), 9u);
  EXPECT_EQ(CheckedNames(), QStringList{"folder"});
  EXPECT_EQ(Refreshes, 1);
  Menu().MMPresetDelete->trigger();
  EXPECT_TRUE(QFileInfo(Dir.filePath(PresetFile("folder"))).isDir());
  EXPECT_NE(Item("folder"), nullptr);
  // Saving under the folder's name fails, is reported, and adds no item.
  Save(QStringLiteral("folder"));
  EXPECT_EQ(Errors, QStringList{"Unable to write to " + Dir.filePath(PresetFile("folder"))});
  EXPECT_EQ(Items().size(), 3);
  EXPECT_EQ(CheckedNames(), QStringList{"folder"});
  EXPECT_TRUE(QFileInfo(Dir.filePath(PresetFile("folder"))).isDir());
  Errors.clear();

  Item("a&b")->trigger();
  EXPECT_EQ(Edit()->text(), "7*7");
  EXPECT_EQ(Calc().Variables().Names().back(), "old");
  EXPECT_EQ(CheckedNames(), QStringList{"a&b"});
  Menu().MMPresetDelete->trigger();
  EXPECT_FALSE(QFile::exists(Dir.filePath(PresetFile("a&b"))));
  EXPECT_EQ(Item("a&b"), nullptr);

  Menu().MMPresetDelete->trigger();  // nothing checked: nothing happens
  EXPECT_EQ(Items().size(), 2);
  EXPECT_TRUE(QFile::exists(Dir.filePath(PresetFile(".hidden"))));
}

TEST_F(PresetsTest, UnsafeNamesAreRefusedInTheDialog) {
  StartPresets();
  for (const QString name : {"", ".", "..", "../evil", "sub/evil", "back\\slash", "tab\there"}) {
    SCOPED_TRACE(name.toStdString());
    WhileModal([this] { Menu().MMPresetSave->trigger(); },
               [&](QWidget*) {
                 Dialog->PresetName()->setText(name);
                 QString message;
                 WhileModal([&] { QTest::mouseClick(Dialog->OKBut(), Qt::LeftButton); },
                            [&](QWidget* box) {
                              auto* messageBox = qobject_cast<QMessageBox*>(box);
                              ASSERT_NE(messageBox, nullptr);
                              message = messageBox->text();
                              messageBox->accept();
                            });
                 EXPECT_EQ(message, TPresetForm::kRefusedNameMessage);
                 EXPECT_TRUE(Dialog->isVisible());  // still asking
                 QTest::keyClick(Dialog->PresetName(), Qt::Key_Escape);
               });
  }
  EXPECT_TRUE(Items().isEmpty());
  EXPECT_FALSE(QDir(Dir.filePath("Presets")).exists());
  EXPECT_FALSE(QFile::exists(QDir(Dir.path()).absoluteFilePath("../evil")));
}

TEST_F(PresetsTest, NameDialogLayoutAndMemory) {
  TPresetForm dialog;
  EXPECT_EQ(dialog.windowTitle(), "Profile name");
  EXPECT_EQ(dialog.size(), QSize(351, 69));
  EXPECT_EQ(dialog.minimumSize(), dialog.maximumSize());
  EXPECT_EQ(dialog.PresetName()->geometry().topLeft(), QPoint(8, 8));
  EXPECT_EQ(dialog.PresetName()->width(), 337);
  EXPECT_EQ(dialog.OKBut()->geometry(), QRect(272, 40, 75, 25));
  EXPECT_EQ(dialog.CancelBut()->geometry(), QRect(192, 40, 75, 25));
  EXPECT_EQ(dialog.OKBut()->text() + dialog.CancelBut()->text(), "OKCancel");
  EXPECT_TRUE(dialog.OKBut()->isDefault());
  EXPECT_EQ(dialog.PresetName()->accessibleName(), "PresetName");
  EXPECT_EQ(dialog.PresetName()->nextInFocusChain(), dialog.OKBut());

  // Typed, cancelled, shown again: the name is still there, selected.
  int result = -1;
  WhileModal([&] { result = dialog.exec(); },
             [&](QWidget*) {
               EXPECT_EQ(QApplication::focusWidget(), dialog.PresetName());
               QTest::keyClicks(dialog.PresetName(), QStringLiteral("Mine"));
               QTest::mouseClick(dialog.CancelBut(), Qt::LeftButton);
             });
  EXPECT_EQ(result, QDialog::Rejected);
  WhileModal([&] { result = dialog.exec(); },
             [&](QWidget*) {
               EXPECT_EQ(dialog.PresetName()->selectedText(), "Mine");
               QTest::keyClick(dialog.PresetName(), Qt::Key_Return);
             });
  EXPECT_EQ(result, QDialog::Accepted);
}

#if defined(__unix__)
// A save that cannot be written completely leaves the previous file as it
// was, and says so.
TEST_F(PresetsTest, FailedSaveKeepsThePreviousPreset) {
  StartPresets();
  Save(QStringLiteral("kept"));
  const QByteArray before = ReadFile(PresetFile("kept"));
  ASSERT_FALSE(before.isEmpty());

  // Files may not grow beyond 64 bytes for a while: every write of a whole
  // preset fails, even for the superuser.
  rlimit old{};
  ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &old), 0);
  const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
  rlimit small = old;
  small.rlim_cur = 64;
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
  Edit()->setText(QStringLiteral("2"));
  Save(QStringLiteral("kept"));
  setrlimit(RLIMIT_FSIZE, &old);
  std::signal(SIGXFSZ, oldHandler);

  EXPECT_EQ(ReadFile(PresetFile("kept")), before);
  EXPECT_EQ(QDir(Dir.filePath("Presets"))
                .entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
            QStringList{"kept"});
  EXPECT_EQ(Errors, QStringList{"Unable to write to " + Dir.filePath(PresetFile("kept"))});
  EXPECT_EQ(ItemNames(), QStringList{"kept"});
}
#endif

}  // namespace
