// Faults from outside that the calculator must survive without a crash and
// without losing saved data: a write-protected program folder, a full disk
// under a preset save, a read-only preset, a settings file of garbage, a skin
// at the element limits, a formula of a million characters and a full
// variable store. tests/FAULTS.md lists each case with what the program does.
#include <QCheckBox>
#include <QClipboard>
#include <QGuiApplication>
#include <QLineEdit>
#include <QTableWidget>
#include <cstring>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "calc/ExpressionField.h"
#include "calc/Settings.h"
#include "controls/SlideBar.h"
#include "platform/IniFile.h"
#include "presets/Presets.h"
#include "tests/gui/calc_fixture.h"
#include "tests/gui/while_modal.h"
#include "windows/graf.h"
#include "windows/preset.h"
#include "windows/vars.h"

#if defined(__linux__)
#include <fcntl.h>
#include <linux/fs.h>
#include <sched.h>
#include <sys/ioctl.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>
#define ZUMBREL_FAULTS_LINUX 1
#endif

namespace {

#ifdef ZUMBREL_FAULTS_LINUX
// Makes a folder refuse new files and renames while it lives, as a
// write-protected folder does. The superuser ignores permissions, so for it
// the folder gets the immutable attribute instead of losing its write bits.
class TWriteProtect {
 public:
  explicit TWriteProtect(const QString& folder) : FPath(QFile::encodeName(folder).toStdString()) {
    if (geteuid() != 0) {
      FActive = chmod(FPath.c_str(), 0555) == 0;
      return;
    }
    const int fd = open(FPath.c_str(), O_RDONLY | O_DIRECTORY);
    if (fd < 0) return;
    int flags = 0;
    if (ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0) {
      flags |= FS_IMMUTABLE_FL;
      FActive = ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0;
    }
    close(fd);
  }
  ~TWriteProtect() {
    if (!FActive) return;
    if (geteuid() != 0) {
      chmod(FPath.c_str(), 0755);
      return;
    }
    const int fd = open(FPath.c_str(), O_RDONLY | O_DIRECTORY);
    int flags = 0;
    if (fd >= 0 && ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0) {
      flags &= ~FS_IMMUTABLE_FL;
      ioctl(fd, FS_IOC_SETFLAGS, &flags);
    }
    if (fd >= 0) close(fd);
  }
  bool Active() const { return FActive; }

 private:
  std::string FPath;
  bool FActive = false;
};

// A tiny file system of its own mounted on a folder, seen only by this
// thread (a mount namespace of its own), so a full disk can be had for real
// without touching anyone else's. Needs the privilege to mount.
class TTinyDisk {
 public:
  TTinyDisk(const QString& folder, int kib) : FPath(QFile::encodeName(folder).toStdString()) {
    if (unshare(CLONE_NEWNS) != 0) return;
    if (mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0) return;
    const std::string options = "size=" + std::to_string(kib) + "k";
    FActive = mount("tmpfs", FPath.c_str(), "tmpfs", 0, options.c_str()) == 0;
  }
  ~TTinyDisk() {
    if (FActive) umount2(FPath.c_str(), MNT_DETACH);
  }
  bool Active() const { return FActive; }

  // Takes every free block with a file named `name`; true when the disk ended
  // up full.
  bool Fill(const char* name) {
    const std::string path = FPath + "/" + name;
    const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (fd < 0) return false;
    const std::vector<char> block(4096, 'z');
    bool full = false;
    for (int i = 0; i < 100000 && !full; ++i) {
      const ssize_t n = write(fd, block.data(), block.size());
      full = n < static_cast<ssize_t>(block.size());
    }
    // A byte at a time into the last part-filled block.
    while (full && write(fd, "z", 1) == 1) {
    }
    close(fd);
    return full;
  }

 private:
  std::string FPath;
  bool FActive = false;
};
#endif

// Entries of a folder, hidden ones included: a failed write must leave no
// temporary file behind.
QStringList Entries(const QString& folder) {
  QStringList names = QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System |
                                             QDir::NoDotAndDotDot);
  names.sort();
  return names;
}

class FaultsTest : public CalcFixture {
 protected:
  // The calculator with its companions, as the program entry makes it.
  void StartAll(const QByteArray& settings = {}) { Start(settings); }

  void SavePreset(const QString& name) {
    WhileModal([this] { Menu().MMPresetSave->trigger(); },
               [&](QWidget*) {
                 Dialog->PresetName()->setText(name);
                 QTest::keyClick(Dialog->PresetName(), Qt::Key_Return);
               });
  }

  QStringList PresetItems(bool checkedOnly = false) const {
    QStringList names;
    for (QAction* item : CalcFixture::PresetItems())
      if (!checkedOnly || item->isChecked()) names << TPresets::PresetItemName(item);
    return names;
  }

  QAction* PresetItem(const QString& name) const {
    for (QAction* item : CalcFixture::PresetItems())
      if (TPresets::PresetItemName(item) == name) return item;
    return nullptr;
  }

  QByteArray ReadBytes(const QString& name) const {
    QFile f(Dir.filePath(name));
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
  }

  const std::vector<std::string>& Names() const { return Calc().Variables().Names(); }

  // Fills the variable list with user variables U8, U9, ... up to `count`
  // names, each valued as its position.
  void FillVariables(std::size_t count) {
    for (std::size_t i = Names().size(); i < count; ++i) {
      Calc().Variables().Append("U" + std::to_string(i));
      Value(i) = static_cast<long double>(i);
    }
  }
};

// ---- Write-protected program folder --------------------------------------

#ifdef ZUMBREL_FAULTS_LINUX
TEST_F(FaultsTest, WriteProtectedFolderReportsAndKeepsTheSettingsFile) {
  const QByteArray settings = "[Main]\r\nSkin=Pocket\r\nFormat=1\r\n[Position]\r\nLeft=40\r\nTop=30\r\n";
  Start(settings);
  Menu().MMOctal->trigger();
  const QStringList before = Entries(Dir.path());
  {
    TWriteProtect protect(Dir.path());
    if (!protect.Active()) GTEST_SKIP() << "this file system cannot write-protect a folder";
    RunGuarded([this] { Form->FormDestroy(); });
    // The companions' keys fail the same way, each reported on its own.
    IniFile ini(Program->SettingsPath());
    RunGuarded([&] { TVarsForm(Form->Host()).SaveSettings(ini); });
  }
  const QString message = QStringLiteral("Unable to write to ") + Dir.filePath("zumbrel.ini");
  EXPECT_EQ(Errors, (QStringList{message, message}));
  EXPECT_EQ(ReadBytes("zumbrel.ini"), settings);
  EXPECT_EQ(Entries(Dir.path()), before);
}

TEST_F(FaultsTest, WriteProtectedFolderWithoutSettingsFileReportsAndCreatesNothing) {
  Start();
  const QStringList before = Entries(Dir.path());
  TWriteProtect protect(Dir.path());
  if (!protect.Active()) GTEST_SKIP() << "this file system cannot write-protect a folder";
  RunGuarded([this] { Form->FormDestroy(); });
  EXPECT_EQ(Errors, QStringList{QStringLiteral("Unable to write to ") + Dir.filePath("zumbrel.ini")});
  EXPECT_EQ(Entries(Dir.path()), before);
}

// A settings file marked read-only is kept as it is, like a write-protected
// folder, and the failure is reported the same way.
TEST_F(FaultsTest, ReadOnlySettingsFileReportsAndStaysAsItWas) {
  const QByteArray settings = "[Main]\nSkin=Windows\nFormat=2\n";
  Start(settings);
  Menu().MMHexadecimal->trigger();
  const QString path = Dir.filePath("zumbrel.ini");
  ASSERT_TRUE(QFile::setPermissions(path, QFile::ReadOwner | QFile::ReadGroup));
  RunGuarded([this] { Form->FormDestroy(); });
  EXPECT_EQ(Errors, QStringList{QStringLiteral("Unable to write to ") + path});
  EXPECT_EQ(ReadBytes("zumbrel.ini"), settings);
  EXPECT_EQ(Entries(Dir.path()), (QStringList{"Skins", "zumbrel.ini"}));
}

// At the end of the program the three windows write their keys in one batch,
// as the program's end does: a settings file that cannot be written is
// reported once, not once per window, and one that can takes every key.
TEST_F(FaultsTest, AtTheEndAnUnwritableSettingsFileIsReportedOnce) {
  const QByteArray settings = "[Main]\nSkin=Pocket\n[Other]\nKept=1\n";
  const QString path = Dir.filePath("zumbrel.ini");
  for (const bool writable : {false, true}) {
    SCOPED_TRACE(writable);
    StartAll(settings);
    Menu().MMOctal->trigger();
    Graph->resize(700, 480);
    if (!writable) {
      ASSERT_TRUE(QFile::setPermissions(path, QFile::ReadOwner | QFile::ReadGroup));
    }
    Program->Finish();
    if (!writable) {
      EXPECT_EQ(Errors, QStringList{QStringLiteral("Unable to write to ") + path});
      EXPECT_EQ(ReadBytes("zumbrel.ini"), settings);
      ASSERT_TRUE(QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner));
    } else {
      EXPECT_TRUE(Errors.isEmpty()) << Errors.join('\n').toStdString();
      const IniFile ini(path.toStdString());
      EXPECT_EQ(ini.ReadInteger("Main", "Format", -1), 2);
      EXPECT_EQ(ini.ReadInteger("Position", "VarsWidth", -1), Vars->width());
      EXPECT_EQ(ini.ReadInteger("Position", "GraphWidth", -1), 700);
      EXPECT_EQ(ini.ReadString("Other", "Kept", ""), "1");
    }
    EXPECT_EQ(Entries(Dir.path()), (QStringList{"Skins", "zumbrel.ini"}));
    Errors.clear();
    Program.reset();
  }
}

// ---- Full disk during a preset save ----------------------------------------

TEST_F(FaultsTest, FullDiskDuringPresetSaveKeepsThePreviousPreset) {
  QDir(Dir.path()).mkpath(QStringLiteral("Presets"));
  TTinyDisk disk(Dir.filePath("Presets"), 64);
  if (!disk.Active()) GTEST_SKIP() << "no privilege to mount a small file system";
  StartAll();
  Edit()->setText(QStringLiteral("1+2"));
  SavePreset(QStringLiteral("kept"));
  const QByteArray before = ReadBytes("Presets/kept");
  ASSERT_TRUE(before.contains("Func=1+2\r\n"));
  ASSERT_TRUE(disk.Fill("filler"));

  Edit()->setText(QStringLiteral("4*5"));
  SavePreset(QStringLiteral("kept"));
  EXPECT_EQ(ReadBytes("Presets/kept"), before);
  EXPECT_EQ(Entries(Dir.filePath("Presets")), (QStringList{"filler", "kept"}));
  // A new name fails the same way, reported, and gets no item: the menu
  // never offers a preset that is not there.
  SavePreset(QStringLiteral("new"));
  EXPECT_FALSE(QFile::exists(Dir.filePath("Presets/new")));
  EXPECT_EQ(PresetItems(), QStringList{"kept"});
  EXPECT_EQ(PresetItems(true), QStringList{"kept"});
  const QString unable = QStringLiteral("Unable to write to ");
  EXPECT_EQ(Errors, (QStringList{unable + Dir.filePath("Presets/kept"), unable + Dir.filePath("Presets/new")}));
  // The saved preset still loads whole.
  PresetItem(QStringLiteral("kept"))->trigger();
  EXPECT_EQ(Edit()->text(), "1+2");
}

// ---- Read-only preset file ----------------------------------------------

TEST_F(FaultsTest, ReadOnlyPresetIsNotReplaced) {
  StartAll();
  Edit()->setText(QStringLiteral("7*6"));
  SavePreset(QStringLiteral("fixed"));
  const QString path = Dir.filePath("Presets/fixed");
  const QByteArray before = ReadBytes("Presets/fixed");
  const auto readOnly = QFile::ReadOwner | QFile::ReadUser | QFile::ReadGroup | QFile::ReadOther;
  ASSERT_TRUE(QFile::setPermissions(path, readOnly));

  Edit()->setText(QStringLiteral("1/3"));
  SavePreset(QStringLiteral("fixed"));
  EXPECT_EQ(ReadBytes("Presets/fixed"), before);
  EXPECT_FALSE(QFile::permissions(path) & QFile::WriteOwner);
  EXPECT_EQ(Entries(Dir.filePath("Presets")), QStringList{"fixed"});
  EXPECT_EQ(PresetItems(), QStringList{"fixed"});
  EXPECT_EQ(PresetItems(true), QStringList{"fixed"});  // the failed save changed no mark
  EXPECT_EQ(Errors, QStringList{QStringLiteral("Unable to write to ") + path});
  Errors.clear();
  PresetItem(QStringLiteral("fixed"))->trigger();
  EXPECT_EQ(Edit()->text(), "7*6");

  // Writable again, the same save goes through.
  ASSERT_TRUE(QFile::setPermissions(path, readOnly | QFile::WriteOwner));
  Edit()->setText(QStringLiteral("1/3"));
  SavePreset(QStringLiteral("fixed"));
  EXPECT_TRUE(ReadBytes("Presets/fixed").contains("Func=1/3\r\n"));
  EXPECT_TRUE(PresetItems(true).isEmpty());  // an existing name is never checked by a save
  EXPECT_TRUE(Errors.isEmpty()) << Errors.join('\n').toStdString();
}
#endif

// ---- A settings file of 1 MB of garbage -------------------------------------

QByteArray Garbage(int kind) {
  constexpr int kSize = 1 << 20;
  std::mt19937 random(20261208u + static_cast<unsigned>(kind));
  QByteArray bytes;
  bytes.reserve(kSize + 64);
  switch (kind) {
    case 0:  // any bytes at all, NULs and line ends included
      while (bytes.size() < kSize) bytes.append(static_cast<char>(random() & 0xFF));
      break;
    case 1:  // one line without an end, of the characters INI lines are made of
      while (bytes.size() < kSize) bytes.append("[]=;x $"[random() % 7]);
      break;
    case 2:  // the calculator's own section, keys of absurd lengths and values
      bytes = "[Main]\nSkin=" + QByteArray(kSize / 2, 'W') + "\nFormat=" + QByteArray(kSize / 4, '9') +
              "\r[Position]\r\nLeft=$FFFFFFFFFF\nTop=-99999999999\n";
      while (bytes.size() < kSize) bytes.append("[Main]\nAlwayOnTop=\xFF\xFE\n");
      break;
    default:  // a million tiny sections
      while (bytes.size() < kSize) bytes.append("[\n");
      break;
  }
  return bytes;
}

TEST_F(FaultsTest, GarbageSettingsFileGivesDefaultsAndTakesTheKeysBack) {
  for (int kind = 0; kind < 4; ++kind) {
    SCOPED_TRACE(kind);
    const QByteArray garbage = Garbage(kind);
    Start(garbage);
    ASSERT_TRUE(Skin().Loaded());
    EXPECT_EQ(Skin().FileName(), Dir.filePath("Skins/Windows.skn"));
    EXPECT_EQ(Calc().NumberFormat(), 0);
    EXPECT_FALSE(Menu().MMAlwaysOnTop->isChecked());
    EXPECT_TRUE(Menu().MMDecimal->isChecked());
    Menu().MMBinary->trigger();
    const QString skinName = Form->SkinName();
    const QPoint at = Form->pos();
    RunGuarded([this] { Form->FormDestroy(); });
    EXPECT_TRUE(Errors.isEmpty()) << Errors.join('\n').toStdString();

    const IniFile ini(Dir.filePath("zumbrel.ini").toStdString());
    TMainSettings read;
    Load(ini, read);
    EXPECT_EQ(QString::fromStdString(read.Skin), skinName);
    EXPECT_EQ(read.Format, 3);
    EXPECT_FALSE(read.AlwaysOnTop);
    EXPECT_EQ(QPoint(read.Left, read.Top), at);
    Program.reset();
    QFile::remove(Dir.filePath("zumbrel.ini"));
  }
}

// ---- A skin with 49 elements of each kind -----------------------------------

// A skin of the Windows skin's pictures with 49 elements of every kind (each
// count asks for more), the calculator's named elements among them: "Result",
// "Expression", its eight boxes and keys, and 48 variable fields V1..V48.
QByteArray FullSkin() {
  const char* const keys[] = {"0",    "1",    "2",     "3",     "4",   "5",    "6",        "7",
                              "8",    "9",    "Enter", "Plus",  "Minus", "Multiply", "Clear", "Back"};
  const char* const boxes[] = {"MemSet", "MemClear", "MemOut", "MemPlus", "MemMinus", "2ndF", "Hyp", "Eng"};
  QByteArray s =
      "[Main]\nPictureDir=Windows\nPicture=Background.bmp\nMask=Outline.rgn\n"
      "Buttons=60\nLabels=50\nSlideBars=99\nCheckBoxes=49\nImages=1000\nEdits=50\n";
  const auto pos = [](int n) { return QByteArray::number(n % 7 * 40) + "," + QByteArray::number(n / 7 * 25); };
  s += "[Buttons]\n";
  for (int n = 1; n <= 50; ++n) {
    const QByteArray b = "But" + QByteArray::number(n);
    s += b + "Default=Key_Sin.bmp\n" + b + "Up=Key_Sin_Up.bmp\n" + b + "Down=Key_Sin_Down.bmp\n";
    s += b + "Pos=" + pos(n) + "\n" + b + "Size=38,22\n";
    s += b + "Name=" + (n <= 16 ? QByteArray(keys[n - 1]) : "Extra" + QByteArray::number(n)) + "\n";
  }
  s += "[Labels]\n";
  for (int n = 1; n <= 50; ++n) {
    const QByteArray l = "Label" + QByteArray::number(n);
    s += l + "Pos=" + pos(n) + "\n" + l + "Size=60,20\n" + l + "Font=Arial,8\n" + l + "Color=255,1\n";
    s += l + "Name=" + (n == 1 ? QByteArray("Result") : "L" + QByteArray::number(n)) + "\n";
  }
  s += "[SlideBars]\n";
  for (int n = 1; n <= 50; ++n) {
    const QByteArray b = "SlideBar" + QByteArray::number(n);
    s += b + "Pos=" + pos(n) + "\n" + b + "Size=120,24\n" + b + "Thickness=" + QByteArray::number(n % 12 + 1) + "\n";
    s += b + "Style=" + QByteArray::number(n % 18) + "\n" + b + "Name=S" + QByteArray::number(n) + "\n";
  }
  s += "[CheckBoxes]\n";
  for (int n = 1; n <= 50; ++n) {
    const QByteArray c = "CheckBox" + QByteArray::number(n);
    s += c + "Unchecked=Key_Cos.bmp\n" + c + "Checked=Key_Cos_Down.bmp\n";
    s += c + "Pos=" + pos(n) + "\n" + c + "Size=38,22\n";
    s += c + "Name=" + (n <= 8 ? QByteArray(boxes[n - 1]) : "Box" + QByteArray::number(n)) + "\n";
  }
  s += "[Images]\n";
  for (int n = 1; n <= 50; ++n) {
    const QByteArray i = "Image" + QByteArray::number(n);
    s += i + "Pos=" + pos(n) + "\n" + i + "Size=10,10\n" + i + "Name=I" + QByteArray::number(n) + "\n";
  }
  s += "[Edits]\n";
  for (int n = 1; n <= 50; ++n) {
    const QByteArray e = "Edit" + QByteArray::number(n);
    s += e + "Pos=" + pos(n) + "\n" + e + "Size=60,20\n" + e + "Text=" + QByteArray::number(n) + "\n";
    s += e + "Name=" + (n == 1 ? QByteArray("Expression") : "V" + QByteArray::number(n - 1)) + "\n";
  }
  return s;
}

TEST_F(FaultsTest, SkinWithFortyNineElementsOfEachKindLoadsAndWorks) {
  WriteFile(QStringLiteral("Skins/Full.skn"), FullSkin());
  StartAll("[Main]\nSkin=Full\n");
  TSkin& skin = Skin();
  ASSERT_TRUE(skin.Loaded());
  EXPECT_EQ(skin.FileName(), Dir.filePath("Skins/Full.skn"));
  for (int count : {skin.ButtonCount(), skin.LabelCount(), skin.SlideBarCount(), skin.CheckBoxCount(),
                    skin.ImageCount(), skin.EditCount()})
    EXPECT_EQ(count, 49);
  for (int i = 0; i < 49; ++i) {
    const QWidget* elements[] = {skin.Buttons(i), skin.Labels(i),  skin.SlideBars(i),
                                 skin.CheckBoxes(i), skin.Images(i), skin.Edits(i)};
    for (const QWidget* element : elements) {
      ASSERT_NE(element, nullptr) << i;
      EXPECT_EQ(element->parentWidget(), Form);
      EXPECT_FALSE(element->accessibleName().isEmpty());
    }
  }
  EXPECT_EQ(skin.Buttons(49), nullptr);
  EXPECT_EQ(skin.SlideBars(48)->ThumbStyle(), 49 % 18);
  EXPECT_EQ(Form->findChildren<TSkinEdit*>().size(), 49);  // the 50th is never made

  // The 48 variable fields are variables; a value typed into one takes part.
  ASSERT_EQ(Names().size(), 8u + 48u);
  EXPECT_EQ(Names().back(), "V48");
  EXPECT_EQ(Value(8 + 47), 49);
  TSkinEdit* v48 = skin.FindEdit(QStringLiteral("V48"));
  v48->setFocus();
  v48->selectAll();
  QTest::keyClicks(v48, QStringLiteral("0x10"));  // typed: the field writes it back
  Edit()->setText(QStringLiteral("V48*2+V1"));
  Form->Evaluate();
  EXPECT_EQ(Display(), "34");
  Click({"Clear", "4", "Multiply", "5", "Enter"});
  EXPECT_EQ(Display(), "20");

  // Away to another skin and back, twice: every element is released and made again.
  for (int round = 0; round < 2; ++round) {
    SkinItem(QStringLiteral("Windows"))->trigger();
    EXPECT_EQ(skin.ButtonCount(), 44);
    SkinItem(QStringLiteral("Full"))->trigger();
    EXPECT_EQ(skin.EditCount(), 49);
  }
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_EQ(Form->findChildren<TSkinEdit*>().size(), 49);
  EXPECT_EQ(Names().size(), 8u + 48u);  // the fields found their variables again
  EXPECT_TRUE(Errors.isEmpty()) << Errors.join('\n').toStdString();
}

// ---- A formula of 1,000,000 characters ------------------------------------

// 1+1+...+1+10 of `length` characters (an even length): its sum is length/2+9.
QString SumOfOnes(qsizetype length) {
  QString formula = QStringLiteral("1");
  formula.reserve(length);
  while (formula.size() < length - 3) formula += QStringLiteral("+1");
  formula += QStringLiteral("+10");
  return formula;
}

// The field takes formulas up to its limit whole; a longer one, pasted by any
// means or held by a preset, is refused with a message and the field keeps
// its text (a preset's other values still load).
TEST_F(FaultsTest, MillionCharacterFormulaIsRefusedAndTheLongestIsEvaluatedWhole) {
  const QString longest = SumOfOnes(kMaxFormulaLength);
  const QString million = SumOfOnes(1000000);
  QDir(Dir.path()).mkpath(QStringLiteral("Presets"));
  WriteFile(QStringLiteral("Presets/huge"),
            ";Zumbrel Preset\r\n\r\n[Calc]\r\nFunc=" + million.toLatin1() +
                "\r\nFormat=1\r\n\r\n[Variables]\r\nA= 7\r\n");
  StartAll();
  ASSERT_EQ(longest.size(), kMaxFormulaLength);
  QGuiApplication::clipboard()->setText(longest);
  Edit()->setFocus();
  QTest::keyClick(Edit(), Qt::Key_V, Qt::ControlModifier);
  ASSERT_EQ(Field().size(), longest.size());
  Click({"Enter"});
  EXPECT_EQ(Display(), QString::number(kMaxFormulaLength / 2 + 9));

  // One character more, or a million pasted, is refused whole.
  const QString refused = TooLongMessage(kMaxFormulaLength + 1);
  QTest::keyClick(Edit(), Qt::Key_1);
  QCoreApplication::processEvents();
  EXPECT_EQ(Field(), longest);
  EXPECT_EQ(Errors, QStringList{refused});
  Errors.clear();
  Click({"Clear"});
  QGuiApplication::clipboard()->setText(million);
  const std::function<void()> pastes[] = {
      [&] { QTest::keyClick(Edit(), Qt::Key_V, Qt::ControlModifier); },
      [&] { QTest::keyClick(Edit(), Qt::Key_Insert, Qt::ShiftModifier); },
      [&] { Edit()->paste(); },  // the field's own, as its menu and the middle button run it
  };
  for (const auto& paste : pastes) {
    Edit()->setText(QStringLiteral("2+3"));
    paste();
    QCoreApplication::processEvents();
    EXPECT_EQ(Field(), "2+3");
    EXPECT_EQ(Errors, QStringList{TooLongMessage(1000003)});
    Errors.clear();
  }

  PresetItem(QStringLiteral("huge"))->trigger();
  EXPECT_EQ(Field(), "2+3");
  EXPECT_EQ(Errors, QStringList{TooLongMessage(1000000)});
  EXPECT_EQ(Value(1), 7);
  EXPECT_EQ(Calc().NumberFormat(), nfHexadecimal);
  Errors.clear();
  // So does a history entry of that length, recalled with Up.
  Calc().History().Add({million.toStdString(), "1", std::nullopt});
  QTest::keyClick(Edit(), Qt::Key_Up);
  EXPECT_EQ(Field(), "2+3");
  EXPECT_EQ(Errors, QStringList{TooLongMessage(1000000)});
  Errors.clear();

  // Unbalanced, the longest formula gives the engine's error text.
  Edit()->setText(QString(kMaxFormulaLength, QLatin1Char('(')));
  Click({"Enter"});
  EXPECT_EQ(Display(), QString::fromStdString(ErrorText(ceSyntax)));
  // Back steps to the earlier formula whole.
  Click({"Back"});
  EXPECT_EQ(Field(), "2+3");
  EXPECT_TRUE(Errors.isEmpty()) << Errors.join('\n').toStdString();
}

// ---- 255 variables and more -------------------------------------------------

// A preset with 300 user variables: the store takes 248 of them, the rest is
// dropped; nothing is written past the 256 values.
TEST_F(FaultsTest, PresetWithTooManyVariablesFillsTheStoreAndNoMore) {
  QByteArray preset = ";Zumbrel Preset\r\n\r\n[Calc]\r\nFunc=W248+W1\r\n\r\n[Variables]\r\n";
  for (int i = 1; i <= 300; ++i) preset += "W" + QByteArray::number(i) + "=" + QByteArray::number(i) + "\r\n";
  QDir(Dir.path()).mkpath(QStringLiteral("Presets"));
  WriteFile(QStringLiteral("Presets/many"), preset);
  StartAll();
  Calc().Evaluate("17");  // the last result
  PresetItem(QStringLiteral("many"))->trigger();
  ASSERT_EQ(Names().size(), 256u);
  EXPECT_EQ(Names().back(), "W248");
  EXPECT_EQ(Value(255), 248);
  EXPECT_EQ(Calc().LastResult(), 17);  // the field after the values is untouched
  Click({"Enter"});
  EXPECT_EQ(Display(), "249");
  Edit()->setText(QStringLiteral("W249"));
  Click({"Enter"});
  EXPECT_EQ(Display(), QString::fromStdString(ErrorText(ceNoVariable)));

  // Saved again, the file holds exactly the 255 names after "Pi".
  SavePreset(QStringLiteral("again"));
  const QByteArray saved = ReadBytes("Presets/again");
  EXPECT_EQ(saved.count("= "), 255);
  EXPECT_TRUE(saved.contains("\r\nW248= 2.48000000000000E+0002\r\n"));
  EXPECT_FALSE(saved.contains("\r\nW249="));
  EXPECT_TRUE(Errors.isEmpty()) << Errors.join('\n').toStdString();
}

// The variables window over a full store: the entry row has no value slot, and
// neither a value nor a name typed there reaches the store.
TEST_F(FaultsTest, VariablesWindowOverAFullStoreWritesNothingPastIt) {
  StartAll();
  FillVariables(256);
  Calc().Evaluate("17");  // the last result
  const auto values = Calc().Variables().Values();
  Menu().MMVariables->trigger();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(Vars));
  QTableWidget* grid = Vars->Variables();
  ASSERT_EQ(grid->rowCount(), 256);  // 255 variables and the entry row
  EXPECT_EQ(grid->item(254, 0)->text(), "U255");

  // Typed as a person would: click the cell, type, move up a row.
  const auto typeInto = [&](int row, int col, const char* text) {
    const QModelIndex index = grid->model()->index(row, col);
    grid->scrollTo(index);
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, Qt::NoModifier, grid->visualRect(index).center());
    QTest::keyClicks(QApplication::focusWidget(), QString::fromLatin1(text));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Up);
  };
  Vars->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(Vars));
  typeInto(255, 1, "99");
  typeInto(255, 0, "Q");
  typeInto(255, 1, "98");
  Vars->CommitValue();
  EXPECT_EQ(grid->rowCount(), 256);
  EXPECT_EQ(Names().size(), 256u);
  EXPECT_EQ(Calc().Variables().Values(), values);
  EXPECT_EQ(Calc().LastResult(), 17);
  EXPECT_TRUE(Errors.isEmpty()) << Errors.join('\n').toStdString();
}

// A skin whose variable fields arrive when the store is almost full: the
// fields that find a slot become variables, the others stay unbound and
// typing into them changes nothing.
TEST_F(FaultsTest, SkinVariableFieldsBeyondTheStoreStayUnbound) {
  WriteFile(QStringLiteral("Skins/Full.skn"), FullSkin());
  StartAll();
  FillVariables(250);
  Calc().Evaluate("17");  // the last result
  SkinItem(QStringLiteral("Full"))->trigger();
  ASSERT_TRUE(Skin().Loaded());
  ASSERT_EQ(Names().size(), 256u);
  EXPECT_EQ(Names().back(), "V6");
  EXPECT_EQ(Value(255), 7);  // V6's initial text
  const auto values = Calc().Variables().Values();

  TSkinEdit* unbound = Skin().FindEdit(QStringLiteral("V48"));
  unbound->setFocus();
  unbound->setText(QStringLiteral("5"));
  Edit()->setText(QStringLiteral("V6+U249"));
  Form->Evaluate();  // commits the focused field first
  Edit()->setFocus();
  EXPECT_EQ(Display(), "256");
  EXPECT_EQ(Calc().Variables().Values(), values);
  Edit()->setText(QStringLiteral("V48"));
  Form->Evaluate();
  EXPECT_EQ(Display(), QString::fromStdString(ErrorText(ceNoVariable)));
  EXPECT_EQ(Calc().LastResult(), 256);
  EXPECT_TRUE(Errors.isEmpty()) << Errors.join('\n').toStdString();
}

}  // namespace
