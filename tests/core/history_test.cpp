// The history tape without a display: the formula text of a value (read back
// by the engine), the limits, the shell-like recall, the file's text with
// hostile expressions, and the file on disk (missing, not ours, unwritable).
#include "calc/History.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <limits>
#include <sstream>

#include "calc/Calculator.h"
#include "calc/FormulaText.h"
#include "engine/Errors.h"
#include "platform/Files.h"

namespace fs = std::filesystem;

namespace {

using LD = std::numeric_limits<long double>;

THistoryEntry E(std::string expression, std::string result = "1",
                std::optional<long double> value = 1) {
  return {std::move(expression), std::move(result), value};
}

std::string ReadAll(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

TEST(FormulaText, ReadsBackAsTheSameValueAfterAnyOperator) {
  const std::pair<long double, const char*> rows[] = {
      {0, "0"},
      {-0.0L, "0"},
      {5, "5"},
      {0.1L, "0.1"},
      {1e-5L, "1e-5"},  // not "1E-5", which is the suffix 1e18 minus 5
      {-2, "(-2)"},
      {2.5e20L, "2.5e20"},
      {-1.5e-7L, "(-1.5e-7)"},
      {1.0L / 3, "0.33333333333333333334"},
      {LD::max(), "1.189731495357231765e4932"},
      {LD::denorm_min(), "4e-4951"},
  };
  for (const auto& [value, text] : rows) {
    EXPECT_EQ(FormulaText(value, '.'), text);
    // The text after an operator, read by the engine, gives the value.
    TCalculator calc;
    const TCalcResult r = calc.Evaluate(std::string("0-0+1*") + FormulaText(value, '.'));
    ASSERT_EQ(r.Error, ceOK) << text;
    EXPECT_EQ(r.Value, value == 0 ? 0 : value) << text;
  }
  EXPECT_EQ(FormulaText(-0.25L, ','), "(-0,25)");
  TCalculator comma;
  comma.SetDecimalSeparator(',');
  EXPECT_EQ(comma.Evaluate("2*" + FormulaText(-0.25L, ',')).Value, -0.5L);
  EXPECT_EQ(FormulaText(LD::infinity(), '.'), "");
  EXPECT_EQ(FormulaText(LD::quiet_NaN(), '.'), "");
}

// Records what listeners are told.
struct TLog : IHistoryListener {
  void HistoryChanged(const THistoryChange& c) override {
    Changes.push_back(std::to_string(c.Kind) + ":" + std::to_string(c.First) + "+" +
                      std::to_string(c.Count) + (c.More ? " more" : ""));
  }
  std::vector<std::string> Changes;
};

TEST(History, KeepsTheNewestWithinItsLimitsAndTellsItsListeners) {
  THistory h;
  TLog log;
  h.AddListener(&log);
  h.Add(E(""));  // nothing evaluated, nothing kept
  for (int i = 0; i < 1002; ++i) h.Add(E(std::to_string(i)));
  EXPECT_EQ(h.Count(), kMaxHistoryEntries);
  EXPECT_EQ(h.Entry(0).Expression, "2");
  EXPECT_EQ(h.Entry(999).Expression, "1001");
  EXPECT_EQ(log.Changes[999], "0:999+1");
  EXPECT_EQ(log.Changes[1000], "1:0+1 more");  // the oldest goes first
  EXPECT_EQ(log.Changes[1001], "0:999+1");

  // A byte budget too: big entries push out the old ones, the newest stays.
  const std::string big(kMaxHistoryBytes / 3, 'x');
  for (int i = 0; i < 3; ++i) h.Add(E(big + std::to_string(i)));
  EXPECT_EQ(h.Count(), 2u);
  EXPECT_LE(h.Bytes(), kMaxHistoryBytes);
  h.Add(E(std::string(kMaxHistoryBytes + 1, 'y')));
  EXPECT_EQ(h.Count(), 1u);

  const std::uint64_t serial = h.Serial();
  h.Assign({E("a"), E(""), E("b"), E("c")});
  EXPECT_NE(h.Serial(), serial);
  EXPECT_EQ(h.Count(), 3u);
  h.Remove(1, 5);
  EXPECT_EQ(h.Count(), 1u);
  h.Clear();
  EXPECT_TRUE(h.Empty());
  EXPECT_EQ(h.Bytes(), 0u);
  EXPECT_EQ(log.Changes.back(), "1:0+1");
  h.RemoveListener(&log);
  h.Add(E("d"));
  EXPECT_EQ(log.Changes.back(), "1:0+1");
}

TEST(HistoryRecall, StepsLikeAShellAndBringsTheTypedTextBack) {
  THistory h;
  for (const char* e : {"1+1", "2*3", "2*3", "sin(X)"}) h.Add(E(e));
  // A key (U: Older, D: Newer) on the shown text, and what then shows.
  struct Row {
    char Key;
    const char* Shown;
    const char* Then;  // nullptr: the text stays
  };
  const Row rows[] = {
      {'D', "4/", nullptr},     // nothing is newer than what is typed
      {'U', "4/", "sin(X)"},    // newest first
      {'U', "sin(X)", "2*3"},   //
      {'U', "2*3", "1+1"},      // the repeated 2*3 is stepped over
      {'U', "1+1", nullptr},    // the oldest: no further
      {'D', "1+1", "2*3"},      //
      {'D', "2*3", "sin(X)"},   //
      {'D', "sin(X)", "4/"},    // past the newest: the typed text again
      {'D', "4/", nullptr},     //
      {'U', "sin(X)", "2*3"},   // the text just evaluated is skipped too
      {'U', "2*3+", "sin(X)"},  // edited: starts afresh with the new text
      {'D', "sin(X)", "2*3+"},  //
  };
  THistoryRecall recall;
  for (const Row& r : rows) {
    const std::optional<std::string> got =
        r.Key == 'U' ? recall.Older(h, r.Shown) : recall.Newer(h, r.Shown);
    if (r.Then)
      EXPECT_EQ(got, std::optional<std::string>(r.Then)) << r.Key << " on " << r.Shown;
    else
      EXPECT_FALSE(got) << r.Key << " on " << r.Shown << " gave " << got.value_or("");
  }
  // A change of the history starts afresh.
  ASSERT_EQ(recall.Older(h, ""), "sin(X)");
  h.Add(E("7"));
  EXPECT_EQ(recall.Newer(h, "sin(X)"), std::nullopt);
  EXPECT_EQ(recall.Older(h, "sin(X)"), "7");
  EXPECT_FALSE(THistoryRecall().Older(THistory(), "x"));
}

TEST(HistoryText, AnyTextSurvivesTheFile) {
  const std::deque<THistoryEntry> entries = {
      E("1+2", "3", 3),
      E("1/0", "Division by zero", std::nullopt),
      E("a\tb\\t\nc\r\n\\", "x\ty", -0.1L),
      E(std::string("\0\xff\xfe;[x]=\\n", 10), "0x1F", 31),
      E("2^-16400", "3.6E-4951", LD::denorm_min()),
      E("big", "1.2E4932", LD::max()),
  };
  const std::string text = HistoryText(entries);
  EXPECT_EQ(text.substr(0, 29), ";Zumbrel history\n1+2\t3\t3\n1/0\t");
  EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 7);
  const auto back = ReadHistoryText(text);
  ASSERT_TRUE(back);
  EXPECT_EQ(std::deque<THistoryEntry>(back->begin(), back->end()), entries);
}

TEST(HistoryText, ReadsWhatItCanAndOnlyItsOwnFiles) {
  struct Row {
    const char* Text;
    bool Ours;
    std::vector<THistoryEntry> Entries;
  };
  const Row rows[] = {
      {"", true, {}},
      {";Zumbrel history", true, {}},
      {";Zumbrel history\r\n2+2\t4\t4\r\n", true, {E("2+2", "4", 4)}},
      {";Zumbrel history\n\n2\t2\t2\nno tabs\n\t1\t1\na\tb\tc\td\nx\t\tnan\ny\tz\t1e99999\n",
       true,
       {E("2", "2", 2), E("x", "", std::nullopt), E("y", "z", std::nullopt)}},
      {";Zumbrel history\na\\tb\\q\\\tr\t0x10", true, {E("a\tbq", "r", 16)}},
      {"[Main]\nSkin=Windows\n", false, {}},
      {" ;Zumbrel history\n1\t1\t1\n", false, {}},
      {"\xef\xbb\xbf;Zumbrel history\n", false, {}},
  };
  for (const Row& r : rows) {
    const auto got = ReadHistoryText(r.Text);
    ASSERT_EQ(bool(got), r.Ours) << r.Text;
    if (got) {
      EXPECT_EQ(*got, r.Entries) << r.Text;
    }
  }
  // Only the newest 1,000 of a longer file.
  std::string text = ";Zumbrel history\n";
  for (int i = 0; i < 1500; ++i) text += std::to_string(i) + "\t\t\n";
  const auto got = ReadHistoryText(text);
  ASSERT_EQ(got->size(), kMaxHistoryEntries);
  EXPECT_EQ(got->front().Expression, "500");
  EXPECT_EQ(got->back().Expression, "1499");
}

class HistoryFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir = fs::temp_directory_path() /
          ("zumbrel-history-" + std::to_string(::getpid()) + "-" +
           ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(dir);
    fs::create_directories(dir);
    path = (dir / kHistoryFileName).string();
  }
  void TearDown() override {
    fs::permissions(dir, fs::perms::owner_all);
    fs::remove_all(dir);
  }
  fs::path dir;
  std::string path;
};

TEST_F(HistoryFileTest, LivesBesideTheSettingsFile) {
  EXPECT_EQ(HistoryFileBeside("/home/u/.config/zumbrel/zumbrel.ini"),
            "/home/u/.config/zumbrel/zumbrel-history.txt");
  EXPECT_EQ(HistoryFileBeside(""), "");
  THistory h;
  THistoryFile none("");
  none.Attach(h);
  EXPECT_FALSE(none.Writable());
  h.Add(E("1"));  // nothing to write to, nothing reported
}

TEST_F(HistoryFileTest, IsWrittenAfterEveryChangeAndReadAtTheNextStart) {
  {
    THistory h;
    THistoryFile file((dir / "new/zumbrel-history.txt").string());  // a folder still to make
    file.Attach(h);
    h.Add(E("1+1", "2", 2));
    EXPECT_EQ(ReadAll(dir / "new/zumbrel-history.txt"), ";Zumbrel history\n1+1\t2\t2\n");
  }
  THistory h;
  THistoryFile file(path);
  file.Attach(h);
  for (int i = 0; i < 3; ++i) h.Add(E("e" + std::to_string(i)));
  h.Remove(0, 1);
  THistory again;
  THistoryFile(path).Attach(again);
  EXPECT_EQ(std::vector<THistoryEntry>(again.Entries().begin(), again.Entries().end()),
            (std::vector<THistoryEntry>{E("e1"), E("e2")}));
  const std::string before = ReadAll(path);
  file.Detach();
  h.Clear();
  EXPECT_EQ(ReadAll(path), before);  // detached: not written
}

TEST_F(HistoryFileTest, AFileItCannotReadIsLeftAlone) {
  const std::string notOurs = "my notes\n1+1\t2\t2\n";
  struct Row {
    const char* Name;
    std::function<void()> Make;
  };
  const Row rows[] = {
      {"a file of another kind", [&] { std::ofstream(path) << notOurs; }},
      {"a folder", [&] { fs::create_directory(path); }},
      {"a file too large to read",
       [&] {
         std::ofstream(path) << ";Zumbrel history\n";
         fs::resize_file(path, kMaxInputFileSize + 1);
       }},
  };
  for (const Row& r : rows) {
    fs::remove_all(path);
    r.Make();
    const auto before = fs::is_regular_file(path) ? fs::file_size(path) : 0;
    THistory h;
    THistoryFile file(path);
    std::vector<std::string> reports;
    file.SetReporter([&](const std::string& m) { reports.push_back(m); });
    file.Attach(h);
    EXPECT_FALSE(file.Writable()) << r.Name;
    EXPECT_TRUE(h.Empty()) << r.Name;
    h.Add(E("3*3"));
    EXPECT_EQ(fs::is_regular_file(path) ? fs::file_size(path) : 0, before) << r.Name;
    EXPECT_TRUE(reports.empty()) << r.Name;
  }
  EXPECT_EQ(fs::remove_all(path), 1u);  // nothing written beside it either
  EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 0);
}

TEST_F(HistoryFileTest, AFileItCannotWriteIsReportedOnce) {
  std::ofstream(path) << ";Zumbrel history\nold\t1\t1\n";
  fs::permissions(path, fs::perms::owner_read);
  THistory h;
  THistoryFile file(path);
  std::vector<std::string> reports;
  file.SetReporter([&](const std::string& m) { reports.push_back(m); });
  file.Attach(h);
  ASSERT_EQ(h.Count(), 1u);
  h.Add(E("1"));
  h.Add(E("2"));
  h.Clear();
  EXPECT_EQ(reports, std::vector<std::string>{"Unable to write to " + path});
  EXPECT_THROW(file.Save(h), EWriteError);
  EXPECT_EQ(ReadAll(path), ";Zumbrel history\nold\t1\t1\n");
}

}  // namespace
