// The undo history: recording, stepping back, resetting, and the list
// operations it is built on.
#include "calc/Undo.h"

#include <gtest/gtest.h>

#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

// Runs a script of steps: "+text" records text, "<" steps back, "!" resets,
// "x" deletes after Current. Returns the entries joined by "|".
std::string RunSteps(TUndo& undo, const std::vector<std::string>& steps) {
  for (const std::string& step : steps) {
    if (step == "<") {
      undo.StepBack();
    } else if (step == "!") {
      undo.Reset();
    } else if (step == "x") {
      undo.DeleteAfterCurrent();
    } else {
      undo.Record(step.substr(1));
    }
  }
  std::ostringstream joined;
  for (int i = 0; i < undo.Count(); ++i) joined << (i ? "|" : "") << undo[i];
  return joined.str();
}

TEST(Undo, StartsWithOneEmptyEntry) {
  TUndo undo;
  EXPECT_EQ(undo.Count(), 1);
  EXPECT_EQ(undo[0], "");
  EXPECT_EQ(undo.Current, 0);
  EXPECT_FALSE(undo.StepBack());
  EXPECT_EQ(undo.Current, 0);
}

TEST(Undo, RecordingAndSteppingScripts) {
  // Room for three entries of two characters.
  constexpr std::size_t kSmall = 3 * sizeof(std::string) + 4;
  const struct {
    std::vector<std::string> steps;
    std::string entries;
    int current;
    std::size_t budget = kUndoBudget;
  } cases[] = {
      // Typing 1, 2, +; Back shows 12; typing 3 drops 12+.
      {{"+1", "+12", "+12+"}, "|1|12|12+", 3},
      {{"+1", "+12", "+12+", "<"}, "|1|12|12+", 2},
      {{"+1", "+12", "+12+", "<", "+123"}, "|1|12|123", 3},
      // Back at the first entry does nothing, however often.
      {{"<", "<"}, "", 0},
      {{"+a", "<", "<", "<"}, "|a", 0},
      // Stepping back to the start then recording drops every later entry.
      {{"+a", "+ab", "+abc", "<", "<", "<", "+z"}, "|z", 1},
      // The same text twice is two entries.
      {{"+7", "+7"}, "|7|7", 2},
      // Reset forgets everything; Back does nothing until a recording.
      {{"+1", "+12", "!"}, "", 0},
      {{"+1", "+12", "!", "<"}, "", 0},
      {{"+1", "+12", "!", "+9"}, "|9", 1},
      // DeleteAfterCurrent: nothing after Current changes nothing.
      {{"+1", "+2", "x"}, "|1|2", 2},
      {{"+1", "+2", "+3", "+4", "<", "<", "<", "x"}, "|1", 1},
      // Past the budget the oldest steps go; the first (empty) entry and the
      // one just recorded stay, however large.
      {{"+aa", "+bb", "+cc"}, "|bb|cc", 2, kSmall},
      {{"+aa", "+bb", "+cc", "<", "<"}, "|bb|cc", 0, kSmall},
      {{"+aa", "+" + std::string(200, 'z')}, "|" + std::string(200, 'z'), 1, kSmall},
      {{"+aa", "+" + std::string(200, 'z'), "+x"}, "|x", 1, kSmall},
  };
  for (const auto& c : cases) {
    TUndo undo(c.budget);
    EXPECT_EQ(RunSteps(undo, c.steps), c.entries) << "after " << c.steps.size() << " steps";
    EXPECT_EQ(undo.Current, c.current);
    EXPECT_EQ(undo.CurrentText(), undo[undo.Current]);
    std::size_t bytes = 0;
    for (int i = 0; i < undo.Count(); ++i) bytes += sizeof(std::string) + undo[i].size();
    EXPECT_EQ(undo.Bytes(), bytes);
    EXPECT_TRUE(bytes <= c.budget || undo.Count() == 2);
  }
}

TEST(Undo, ListOperationsKeepCurrentInRange) {
  TUndo undo;
  for (const char* text : {"a", "b", "c"}) undo.Record(text);
  ASSERT_EQ(undo.Current, 3);
  undo.Delete(3);
  EXPECT_EQ(undo.Count(), 3);
  EXPECT_EQ(undo.Current, 2);
  EXPECT_EQ(undo.Strings(2), "b");
  EXPECT_EQ(undo.Add("q"), 3);
  EXPECT_THROW(undo.Delete(4), std::out_of_range);
  EXPECT_THROW(undo[-1], std::out_of_range);
  EXPECT_THROW(undo[4], std::out_of_range);

  // A bare Clear leaves no entries; recording afterwards is still consistent.
  undo.Clear();
  EXPECT_EQ(undo.Count(), 0);
  EXPECT_EQ(undo.Current, 0);
  undo.Record("r");
  EXPECT_EQ(undo.Count(), 1);
  EXPECT_EQ(undo.Current, 0);
  EXPECT_EQ(undo.CurrentText(), "r");
}

}  // namespace
