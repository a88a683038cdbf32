// The settings file at its worst: a file of about 50 MB (another program's
// keys, or garbage) that the calculator reads at start and into which it
// writes its 17 keys at the end. Timed: reading it, the end-of-program save
// (the three windows' keys in one batch, one replace of the file), and, for
// comparison, the same keys written one at a time (a replace per key).
#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "calc/Settings.h"
#include "platform/IniFile.h"

namespace fs = std::filesystem;

namespace {

// A settings file of `lines` junk keys after the calculator's own sections.
std::string MakeSettingsFile(int lines) {
  const fs::path path = fs::temp_directory_path() / "zumbrel-bench-settings.ini";
  std::ofstream out(path, std::ios::binary);
  out << "[Main]\nSkin=Windows\n[Position]\nLeft=0\nTop=0\n[Junk]\n";
  char line[96];
  for (int i = 0; i < lines; ++i) {
    std::snprintf(line, sizeof line, "SomeKeyName%08d=%s\n", i,
                  "vvvvvvvvvvvvvvvvvvvvvvvvvvvvvvvvvvvvvvvvvvvvvvvvvvvvvvvvvvvv");
    out << line;
  }
  return path.string();
}

constexpr int kLines = 640000;  // about 52 MB

void BM_ReadTheSettingsOfABigFile(benchmark::State& state) {
  const std::string path = MakeSettingsFile(kLines);
  for (auto _ : state) {
    // A new file each time: the parse of the last one is not reused.
    state.PauseTiming();
    fs::last_write_time(path, fs::file_time_type::clock::now());
    state.ResumeTiming();
    TMainSettings m;
    Load(IniFile(path), m);
    benchmark::DoNotOptimize(m);
  }
  fs::remove(path);
}

void BM_SaveAllWindowsToABigFile(benchmark::State& state) {
  const std::string path = MakeSettingsFile(kLines);
  for (auto _ : state) {
    TIniBatch batch(path);
    IniFile ini(path);
    Save(ini, TMainSettings{});
    Save(ini, TVarsSettings{});
    Save(ini, TGraphSettings{});
    batch.Commit();
  }
  fs::remove(path);
}

void BM_SaveEveryKeyOnItsOwnToABigFile(benchmark::State& state) {
  const std::string path = MakeSettingsFile(kLines);
  for (auto _ : state) {
    IniFile ini(path);
    for (int i = 0; i < 17; ++i) ini.WriteInteger("Position", "Key" + std::to_string(i), i);
  }
  fs::remove(path);
}

}  // namespace

BENCHMARK(BM_ReadTheSettingsOfABigFile)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_SaveAllWindowsToABigFile)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_SaveEveryKeyOnItsOwnToABigFile)->Unit(benchmark::kMillisecond)->Iterations(1);

BENCHMARK_MAIN();
