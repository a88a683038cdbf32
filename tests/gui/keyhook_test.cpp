// The keyboard map on a real calculator with all its windows: the F-keys on
// release in every window, a held key, Return, Esc, Ctrl+S, Ctrl/Shift+Insert,
// and the keys that stay with dialogs and menus.
#include "calc/KeyHook.h"

#include <QClipboard>
#include <QDesktopServices>
#include <QKeyEvent>
#include <QListView>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTableWidget>
#include <QUrl>
#include <functional>
#include <utility>
#include <vector>

#include "controls/BarPopupMenu.h"
#include "presets/Presets.h"
#include "skin/SkinElements.h"
#include "tests/gui/calc_fixture.h"
#include "tests/gui/while_modal.h"
#include "windows/about.h"
#include "windows/graf.h"
#include "windows/history.h"
#include "windows/preset.h"
#include "windows/vars.h"

namespace {

// Counts the keys that get past the map to a widget and the times a widget
// is shown, and stands in for the desktop's viewer of the help page.
class TSpy : public QObject {
  Q_OBJECT

 public:
  int Keys = 0;
  int Shown = 0;
  QList<QUrl> Opened;

  bool eventFilter(QObject*, QEvent* e) override {
    if (e->type() == QEvent::KeyPress || e->type() == QEvent::KeyRelease) ++Keys;
    if (e->type() == QEvent::Show) ++Shown;
    return false;
  }

 public slots:
  void Open(const QUrl& url) { Opened << url; }
};

struct TState {
  int Degs, Format;
  bool Eng, VarsShown, GraphShown, HistoryShown;
  qsizetype Help;
  QString Display;
  bool operator==(const TState&) const = default;
};

using TTargets = std::vector<std::pair<const char*, QWidget*>>;

class KeyHookTest : public CalcFixture {
 protected:
  void TearDown() override {
    QDesktopServices::unsetUrlHandler(QStringLiteral("file"));
    CalcFixture::TearDown();
  }

  // The calculator with every window and the key map, as the program builds
  // it; every "Save current" (which asks for a name) is counted.
  void StartAll(const QByteArray& settings = {}) {
    Start(settings);
    Dialog->installEventFilter(&Saves);
    QDesktopServices::setUrlHandler(QStringLiteral("file"), &Spy, "Open");
  }

  // Shows the variables, graph and History windows through their menu items.
  void ShowWindows() {
    Form->MMVariablesClick(nullptr);
    Form->MMGraphClick(nullptr);
    Form->MMHistoryClick(nullptr);
  }
  // A widget of each window that takes keys.
  TTargets Targets(bool dialogs) const {
    TTargets t = {{"main", Edit()},
                  {"variables", Vars->Variables()},
                  {"graph", Graph->FromX()},
                  {"history", Program->HistoryForm()->Entries()}};
    if (dialogs) {
      t.emplace_back("about", About->Terms());
      t.emplace_back("preset", Dialog->PresetName());
    }
    return t;
  }
  TState State() const {
    return {Calc().Degs(),      Calc().NumberFormat(), Calc().EngMode(),
            Vars->isVisible(),  Graph->isVisible(),    Program->HistoryForm()->isVisible(),
            Spy.Opened.size(),  Display()};
  }
  void Enter(QWidget* target = nullptr) {
    QTest::keyClick(target ? target : Edit(), Qt::Key_Return);
  }

  TSpy Spy;
  TSpy Saves;  // its Shown counts the name dialog's appearances
};

TEST_F(KeyHookTest, FunctionKeysActOnReleaseInEveryWindow) {
  StartAll();
  Type("2500");
  Enter();
  ShowWindows();
  About->show();
  Dialog->show();
  const std::pair<Qt::Key, std::function<void(TState&)>> rows[] = {
      {Qt::Key_F2, [](TState& s) { s.Degs = cdDegreees; }},
      {Qt::Key_F4, [](TState& s) { s.Degs = cdGradians; }},
      {Qt::Key_F3, [](TState& s) { s.Degs = cdRadians; }},
      {Qt::Key_F5, [](TState& s) { s.Format = 1, s.Display = "0x9C4"; }},
      {Qt::Key_F7, [](TState& s) { s.Format = 2, s.Display = "0o4704"; }},
      {Qt::Key_F8, [](TState& s) { s.Format = 3, s.Display = "0b100111000100"; }},
      {Qt::Key_F6, [](TState& s) { s.Format = 0, s.Display = "2500"; }},
      {Qt::Key_F9, [](TState& s) { s.Eng = true, s.Display = "2.5k"; }},
      {Qt::Key_F9, [](TState& s) { s.Eng = false, s.Display = "2500"; }},
      {Qt::Key_F11, [](TState& s) { s.VarsShown = !s.VarsShown; }},
      {Qt::Key_F11, [](TState& s) { s.VarsShown = !s.VarsShown; }},
      {Qt::Key_F12, [](TState& s) { s.GraphShown = !s.GraphShown; }},
      {Qt::Key_F12, [](TState& s) { s.GraphShown = !s.GraphShown; }},
      {Qt::Key_F10, [](TState& s) { s.HistoryShown = !s.HistoryShown; }},
      {Qt::Key_F10, [](TState& s) { s.HistoryShown = !s.HistoryShown; }},
      {Qt::Key_F1, [](TState& s) { ++s.Help; }},
  };
  for (const auto& [window, target] : Targets(true)) {
    TSpy reached;
    target->installEventFilter(&reached);
    for (const auto& [key, change] : rows) {
      TState expected = State();
      QTest::keyPress(target, key);
      EXPECT_EQ(State(), expected) << window << " key down " << std::hex << key;
      QTest::keyRelease(target, key);
      change(expected);
      EXPECT_EQ(State(), expected) << window << " key up " << std::hex << key;
    }
    EXPECT_EQ(reached.Keys, 0) << window;
  }
  ASSERT_EQ(Spy.Opened.size(), 6);
  for (const QUrl& url : Spy.Opened) EXPECT_EQ(url, QUrl::fromLocalFile(Dir.filePath("Help.html")));
  EXPECT_TRUE(QFileInfo(QStringLiteral(ZUMBREL_BIN_DIR "/Help.html")).isFile())
      << "the page beside the program";
  EXPECT_TRUE(Errors.isEmpty());
}

TEST_F(KeyHookTest, AHeldKeyActsOnceWhateverModifiersAreHeld) {
  StartAll();
  QWidget* target = Edit();
  const auto send = [&](QEvent::Type type, bool repeat) {
    QKeyEvent e(type, Qt::Key_F9, Qt::NoModifier, QString(), repeat);
    QApplication::sendEvent(target, &e);
  };
  // Repeats come as release and press pairs marked as repeats.
  send(QEvent::KeyPress, false);
  for (int i = 0; i < 5; ++i) {
    send(QEvent::KeyRelease, true);
    send(QEvent::KeyPress, true);
  }
  EXPECT_FALSE(Calc().EngMode());
  send(QEvent::KeyRelease, false);
  EXPECT_TRUE(Calc().EngMode());

  // Under X11 a repeat is a release and a press of the same time, which Qt
  // marks as repeats only when it sees both at once: a release after a hold
  // waits for that press. Each hold acts once, a tap at once.
  struct TKey {
    QEvent::Type type;
    quint64 time;
    bool repeat;
  };
  constexpr auto down = QEvent::KeyPress;
  constexpr auto up = QEvent::KeyRelease;
  const struct {
    const char* what;
    std::vector<TKey> keys;
    int acts;    // Eng toggles in all
    int atOnce;  // of which before the release had time to wait
  } rows[] = {
      {"a quick tap", {{down, 1000, false}, {up, 1030, false}}, 1, 1},
      {"a tap", {{down, 1500, false}, {up, 1600, false}}, 1, 0},
      {"a hold, its repeats unmarked",
       {{down, 2000, false},
        {up, 2660, false},
        {down, 2660, false},
        {up, 2700, false},
        {down, 2700, false},
        {up, 2900, false}},
       1,
       0},
      {"a hold, its repeats marked or not",
       {{down, 3000, false},
        {up, 3660, true},
        {down, 3660, true},
        {up, 3700, false},
        {down, 3700, false},
        {up, 3740, true},
        {down, 3740, true},
        {up, 3800, false}},
       1,
       0},
      {"two holds, one after the other",
       {{down, 4000, false},
        {up, 4660, false},
        {down, 4660, false},
        {up, 4700, false},
        {down, 4800, false},
        {up, 5500, false}},
       2,
       1},
  };
  const bool eng = Calc().EngMode();
  for (const auto& r : rows) {
    QSignalSpy acted(Menu().MMEng, &QAction::triggered);
    for (const TKey& k : r.keys) {
      QKeyEvent e(k.type, Qt::Key_F9, Qt::NoModifier, QString(), k.repeat);
      e.setTimestamp(k.time);
      QApplication::sendEvent(target, &e);
    }
    EXPECT_EQ(acted.size(), r.atOnce) << r.what;
    QTest::qWait(200);
    EXPECT_EQ(acted.size(), r.acts) << r.what;
  }
  Calc().SetEngMode(eng);

  QTest::keyClick(target, Qt::Key_F5, Qt::ControlModifier | Qt::ShiftModifier);
  EXPECT_EQ(Calc().NumberFormat(), 1);
  EXPECT_FALSE(Program->KeyHook().CtrlDown());
  EXPECT_FALSE(Program->KeyHook().ShiftDown());
  Type("7");

  // Keys from the platform reach the window and then its focus widget; the
  // map still acts once.
  Form->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(Form));
  Edit()->setFocus();
  QTest::keyClick(Form->windowHandle(), Qt::Key_F9);
  EXPECT_FALSE(Calc().EngMode());
  QGuiApplication::clipboard()->setText("+1");
  QTest::keyClick(Form->windowHandle(), Qt::Key_Insert, Qt::ShiftModifier);
  EXPECT_EQ(Field(), "7+1");
}

TEST_F(KeyHookTest, ReturnCommitsTheVariablesCellThenEvaluates) {
  StartAll();
  Type("A*2");
  ShowWindows();
  Vars->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(Vars));
  QTableWidget* grid = Vars->Variables();
  grid->setFocus();
  grid->setCurrentCell(0, 1);
  // The first key opens the cell's editor, which then has the focus.
  QTest::keyClick(grid, Qt::Key_2);
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_1);
  ASSERT_NE(QApplication::focusWidget(), grid);
  Enter(QApplication::focusWidget());
  EXPECT_EQ(Value(1), 21);
  EXPECT_EQ(Display(), "42");
  // From the graph window too; the field keeps its own text.
  Value(1) = 5;
  Enter(Graph->FromX());
  EXPECT_EQ(Display(), "10");
  EXPECT_EQ(Graph->FromX()->text(), "-5");
}

TEST_F(KeyHookTest, EscClearsFromEveryWindowAndKeepsTheLastResult) {
  StartAll();
  ShowWindows();
  for (const auto& [window, target] : Targets(false)) {
    SCOPED_TRACE(window);
    Type("12+3");
    Enter(target);
    QTest::keyClick(target, Qt::Key_F5);
    ASSERT_EQ(Display(), "0xF");
    TSpy reached;
    target->installEventFilter(&reached);
    QTest::keyClick(target, Qt::Key_Escape);
    target->removeEventFilter(&reached);
    // The character is the map's; only the key's release gets through.
    EXPECT_EQ(reached.Keys, 1);
    EXPECT_EQ(Field(), "");
    EXPECT_EQ(Form->focusWidget(), Edit());
    EXPECT_EQ(Form->Undo().Count(), 1);
    EXPECT_EQ(Display(), "0x0");
    QTest::keyClick(target, Qt::Key_F6);
    EXPECT_EQ(Display(), "15");
  }
}

TEST_F(KeyHookTest, EscLeavesAHiddenExpressionButResetsHistoryAndDisplay) {
  StartAll("[Main]\nSkin=Pocket\n");
  ASSERT_TRUE(Edit()->isHidden());
  Click({"1", "2", "Plus", "3"});
  Enter(Form);
  ASSERT_EQ(Display(), "15");
  QTest::keyClick(Form, Qt::Key_Escape);
  EXPECT_EQ(Field(), "12+3");
  EXPECT_EQ(Form->Undo().Count(), 1);
  EXPECT_EQ(Display(), "0");
}

TEST_F(KeyHookTest, CtrlInsertCopiesAndShiftInsertPastesInEveryWindow) {
  StartAll();
  ShowWindows();
  About->show();
  Dialog->show();
  QClipboard* clipboard = QGuiApplication::clipboard();
  Type("6*7");
  Enter();
  for (const auto& [window, target] : Targets(true)) {
    SCOPED_TRACE(window);
    TSpy reached;
    target->installEventFilter(&reached);
    clipboard->setText("x");
    QTest::keyClick(target, Qt::Key_Insert, Qt::ControlModifier);
    EXPECT_EQ(clipboard->text(), "42");
    clipboard->setText("+1");
    const QString field = Field();
    QTest::keyClick(target, Qt::Key_Insert, Qt::ShiftModifier);
    EXPECT_EQ(Field(), field + "+1");
    QTest::keyClick(target, Qt::Key_Insert);
    EXPECT_EQ(Field(), field + "+1");
    EXPECT_EQ(clipboard->text(), "+1");
    // Only the Ctrl and Shift keys themselves got through.
    EXPECT_EQ(reached.Keys, 4);
    target->removeEventFilter(&reached);
  }
  // A Ctrl whose release the program never saw still counts.
  QTest::keyPress(Edit(), Qt::Key_Control);
  clipboard->setText("x");
  QTest::keyClick(Edit(), Qt::Key_Insert);
  EXPECT_EQ(clipboard->text(), "42");
  QTest::keyRelease(Edit(), Qt::Key_Control);
  EXPECT_FALSE(Program->KeyHook().CtrlDown());
}

TEST_F(KeyHookTest, CtrlSAsksForANameAndTheDialogKeepsReturnAndEsc) {
  StartAll();
  ShowWindows();
  Type("1+1");
  int n = 0;
  for (const auto& [window, target] : Targets(false)) {
    SCOPED_TRACE(window);
    const QString name = QStringLiteral("Preset%1").arg(++n);
    WhileModal([&, target = target] { QTest::keyClick(target, Qt::Key_S, Qt::ControlModifier); },
               [&](QWidget* modal) {
                 ASSERT_EQ(modal, Dialog);
                 // Not a second dialog on top of this one.
                 QTest::keyClick(Dialog->PresetName(), Qt::Key_S, Qt::ControlModifier);
                 EXPECT_EQ(Saves.Shown, n);
                 Dialog->PresetName()->setText(name);
                 QTest::keyClick(Dialog->PresetName(), Qt::Key_Return);
               });
    EXPECT_TRUE(QFileInfo(Dir.filePath("Presets/" + name)).isFile());
    EXPECT_EQ(Display(), "0");
  }
  WhileModal([&] { QTest::keyClick(Edit(), Qt::Key_S, Qt::ControlModifier); },
             [&](QWidget*) {
               Dialog->PresetName()->setText("Never");
               QTest::keyClick(Dialog->PresetName(), Qt::Key_Escape);
             });
  EXPECT_FALSE(QFileInfo::exists(Dir.filePath("Presets/Never")));
  EXPECT_EQ(Field(), "1+1");
}

TEST_F(KeyHookTest, TheAboutBoxAndAnOpenMenuKeepTheirOwnKeys) {
  StartAll();
  Type("2+2");
  WhileModal([&] { Menu().MMAbout->trigger(); },
             [&](QWidget* modal) {
               ASSERT_EQ(modal, About);
               Enter(About->Terms());
               EXPECT_TRUE(About->isVisible());
               EXPECT_EQ(Display(), "0");
               QTest::keyClick(About->Terms(), Qt::Key_F5);
               EXPECT_EQ(Calc().NumberFormat(), 1);
               QTest::keyClick(About->Terms(), Qt::Key_Escape);
             });
  EXPECT_FALSE(About->isVisible());
  EXPECT_EQ(Field(), "2+2");

  Menu().MainMenu->popup(Form->mapToGlobal(QPoint(10, 10)));
  ASSERT_EQ(QApplication::activePopupWidget(), Menu().MainMenu);
  QTest::keyClick(Menu().MainMenu, Qt::Key_F6);
  EXPECT_EQ(Calc().NumberFormat(), 1);
  QTest::keyClick(Menu().MainMenu, Qt::Key_Escape);
  EXPECT_FALSE(Menu().MainMenu->isVisible());
  EXPECT_EQ(Field(), "2+2");
}

}  // namespace

#include "keyhook_test.moc"
