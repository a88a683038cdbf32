// The expression field with a long formula: what one keystroke costs (the
// key, the field's change handling with its undo step, and a repaint of the
// field) at lengths up to the longest formula the field takes, what the undo
// history holds after a run of keystrokes, and what refusing a paste of 5 MB
// costs. Lengths past the limit are measured with the field's length check
// taken away, to show what the limit spares. The calculator is built by the
// program's own wiring in a scratch folder, on Qt's offscreen platform.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QClipboard>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QTemporaryDir>
#include <memory>

#include "OffscreenMain.h"
#include "calc/App.h"
#include "calc/ExpressionField.h"
#include "calc/Program.h"
#include "calc/main.h"
#include "platform/DataDirs.h"
#include "skin/SkinElements.h"

namespace {

int gReports = 0;

// The calculator with the Windows skin, its expression field holding
// `length` characters ("1+1+...") with the caret at the end.
class TBench {
 public:
  explicit TBench(int length) {
    QFile::link(QStringLiteral(ZUMBREL_BIN_DIR "/Skins"), FDir.filePath(QStringLiteral("Skins")));
    // A writable folder with Skins/: the program is portable there.
    FProgram = std::make_unique<TProgram>(
        ChooseDataDirs(FDir.path().toStdString(), "", ProcessEnvironment(), RealDataProbe()), '.');
    FProgram->Start();
    if (length > kMaxFormulaLength) Edit()->setValidator(nullptr);
    Edit()->setFocus();
    QString text = QStringLiteral("1");
    while (text.size() < length) text += QStringLiteral("+1");
    Edit()->setText(text.left(length));
    Edit()->setCursorPosition(static_cast<int>(Edit()->text().size()));
    Edit()->repaint();
  }
  ~TBench() {
    // The settings go into the scratch folder, which then goes.
    FProgram.reset();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  }

  TSkinEdit* Edit() const { return FProgram->MainForm().Elements().ExpressionEdit; }
  const TUndo& Undo() const { return FProgram->MainForm().Undo(); }

  // One key, pressed and released in the field, then the field painted.
  void Key(int key, const QString& text, Qt::KeyboardModifiers mods = Qt::NoModifier) {
    QKeyEvent press(QEvent::KeyPress, key, mods, text);
    QKeyEvent release(QEvent::KeyRelease, key, mods, text);
    QApplication::sendEvent(Edit(), &press);
    QApplication::sendEvent(Edit(), &release);
    Edit()->repaint();
  }

 private:
  QTemporaryDir FDir;
  std::unique_ptr<TProgram> FProgram;
};

// The text the history keeps, in bytes.
double UndoMegabytes(const TUndo& undo) {
  double bytes = 0;
  for (int i = 0; i < undo.Count(); ++i) bytes += static_cast<double>(undo[i].size());
  return bytes / (1024.0 * 1024.0);
}

// A digit typed at the end and taken back with Backspace, in turn: each
// iteration is one keystroke.
void BM_KeystrokeInALongFormula(benchmark::State& state) {
  TBench bench(static_cast<int>(state.range(0)));
  bool typed = false;
  for (auto _ : state) {
    if (typed)
      bench.Key(Qt::Key_Backspace, QString());
    else
      bench.Key(Qt::Key_1, QStringLiteral("1"));
    typed = !typed;
  }
  state.counters["field"] = static_cast<double>(bench.Edit()->text().size());
}
BENCHMARK(BM_KeystrokeInALongFormula)
    ->Arg(100)
    ->Arg(10000)
    ->Arg(kMaxFormulaLength)
    ->Arg(1000000)
    ->Unit(benchmark::kMillisecond)
    ->MinTime(1.0);

// What the undo history holds after 200 keystrokes in a formula of the given
// length (a step per keystroke; without a budget, 200 copies of the text).
void BM_UndoAfter200Keystrokes(benchmark::State& state) {
  for (auto _ : state) {
    TBench bench(static_cast<int>(state.range(0)));
    for (int i = 0; i < 200; ++i) bench.Key(Qt::Key_1, QStringLiteral("1"));
    state.counters["undo_MB"] = UndoMegabytes(bench.Undo());
    state.counters["undo_steps"] = bench.Undo().Count();
  }
}
BENCHMARK(BM_UndoAfter200Keystrokes)
    ->Arg(100)
    ->Arg(kMaxFormulaLength - 200)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1);

// Five megabytes pasted into the field from the clipboard with Ctrl+V (and
// refused), then the field painted and the events that follow handled.
void BM_PasteFiveMegabytes(benchmark::State& state) {
  for (auto _ : state) {
    state.PauseTiming();
    TBench bench(100);
    QString text = QStringLiteral("1");
    while (text.size() < 5000000) text += QStringLiteral("+1");
    QGuiApplication::clipboard()->setText(text);
    state.ResumeTiming();
    bench.Key(Qt::Key_V, QStringLiteral("\x16"), Qt::ControlModifier);
    QCoreApplication::processEvents();
    state.PauseTiming();
    state.counters["field"] = static_cast<double>(bench.Edit()->text().size());
    state.counters["undo_MB"] = UndoMegabytes(bench.Undo());
    state.counters["reports"] = gReports;
    state.ResumeTiming();
  }
}
BENCHMARK(BM_PasteFiveMegabytes)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace

int main(int argc, char** argv) {
  // A refusal's message is counted, not shown in a box that waits for a click.
  ErrorReporter = [](const QString&) { ++gReports; };
  return RunOffscreenBenchmarks<TApp>(argc, argv);
}
