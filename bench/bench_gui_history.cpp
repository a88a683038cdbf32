// The History window opening with 1,000 entries: made, shown, laid out and
// painted once (as the first frame the user sees), on Qt's offscreen platform.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QListView>
#include <QPixmap>

#include "OffscreenMain.h"
#include "windows/history.h"

namespace {

class THost : public IHistoryHost {
 public:
  THost() {
    std::vector<THistoryEntry> entries;
    for (int i = 0; i < int(kMaxHistoryEntries); ++i)
      entries.push_back(
          {"sin(" + std::to_string(i) + "*Pi/180)*2.5", "0.0436193873653360", 0.043619387365336L});
    FHistory.Assign(std::move(entries));
  }
  THistory& History() override { return FHistory; }
  char DecimalSeparator() const override { return '.'; }
  void UseExpression(const QString&) override {}
  void InsertText(const QString&) override {}
  void HistoryWindowHidden() override {}

 private:
  THistory FHistory;
};

void BM_OpenTheHistoryWindowWith1000Entries(benchmark::State& state) {
  THost host;
  for (auto _ : state) {
    THistoryForm form(host);
    form.show();
    QCoreApplication::processEvents();
    benchmark::DoNotOptimize(form.grab());  // the window painted, scrolled to the newest entry
    form.hide();
  }
}
BENCHMARK(BM_OpenTheHistoryWindowWith1000Entries)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) { return RunOffscreenBenchmarks<QApplication>(argc, argv); }
