// The history tape with 1,000 entries: adding an entry, which writes the
// whole file again (atomically: a new file, synced, renamed over the old
// one), and the parts of that: the file's text alone, and reading the file at
// start. The folder is the system's temporary folder, or ZUMBREL_BENCH_DIR
// (to compare a disk with a memory file system).
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "calc/History.h"
#include "platform/Files.h"

namespace fs = std::filesystem;

namespace {

fs::path Folder() {
  const char* dir = std::getenv("ZUMBREL_BENCH_DIR");
  return dir && *dir ? fs::path(dir) : fs::temp_directory_path();
}

// An entry as a user makes them: a short formula and an 18-digit result.
THistoryEntry Entry(int i) {
  return {"sin(" + std::to_string(i) + "*Pi/180)*2.5+sqrt(" + std::to_string(i) + ")",
          "1.23456789012345678", 1.2345678901234567891L};
}

THistory Full() {
  std::vector<THistoryEntry> entries;
  for (int i = 0; i < int(kMaxHistoryEntries); ++i) entries.push_back(Entry(i));
  THistory h;
  h.Assign(std::move(entries));
  return h;
}

void BM_AddAnEntryAndWriteTheFile(benchmark::State& state) {
  const std::string path = (Folder() / "zumbrel-bench-history.txt").string();
  fs::remove(path);
  THistory history = Full();
  THistoryFile file(path);
  file.Attach(history);
  int i = 0;
  for (auto _ : state) history.Add(Entry(i++));
  state.counters["file_bytes"] = double(fs::file_size(path));
  file.Detach();
  fs::remove(path);
}
BENCHMARK(BM_AddAnEntryAndWriteTheFile)->Unit(benchmark::kMillisecond);

void BM_TheFilesTextOf1000Entries(benchmark::State& state) {
  const THistory history = Full();
  for (auto _ : state) benchmark::DoNotOptimize(HistoryText(history.Entries()));
}
BENCHMARK(BM_TheFilesTextOf1000Entries)->Unit(benchmark::kMicrosecond);

void BM_ReadTheFileAtStart(benchmark::State& state) {
  const std::string path = (Folder() / "zumbrel-bench-history.txt").string();
  THistoryFile(path).Save(Full());
  for (auto _ : state) {
    THistory h;
    THistoryFile file(path);
    file.Attach(h);
    benchmark::DoNotOptimize(h.Count());
  }
  fs::remove(path);
}
BENCHMARK(BM_ReadTheFileAtStart)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
