// The undo history of the expression field: every recorded state of the field
// as a whole text, and the index of the one shown now, within a memory
// budget: past it, the oldest steps go. Core layer, standard C++ only; owned
// by the main window, whose Back command steps through it.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

// What the history may hold, in bytes of text (and a string's own size per
// entry): 160 steps of the longest formula the field takes, a few hundred
// thousand of ordinary ones.
inline constexpr std::size_t kUndoBudget = 16u << 20;

class TUndo {
 public:
  // Starts in the reset state: one empty entry, Current 0.
  explicit TUndo(std::size_t budget = kUndoBudget) : FBudget(budget) { Reset(); }

  // The bytes the entries hold.
  std::size_t Bytes() const { return FBytes; }

  // Plain string-list operations.
  int Count() const { return static_cast<int>(FStrings.size()); }
  const std::string& operator[](int index) const { return FStrings.at(Checked(index)); }
  const std::string& Strings(int index) const { return (*this)[index]; }
  int Add(const std::string& text);  // returns the new entry's index
  // Removes one entry; Current moves back if it would point past the end.
  void Delete(int index);
  // Empties the list and sets Current to 0; Reset restores the usual start.
  void Clear();

  // The history's own operations.
  void Reset();               // one empty entry, Current 0
  void DeleteAfterCurrent();  // drops every entry after Current
  // Records a new state of the field: entries after Current are dropped first
  // (there is no redo), then the text is appended and becomes Current. Past
  // the budget the oldest entries after the first (empty) one go, never the
  // new one.
  void Record(const std::string& text);
  // One step back: returns false (and changes nothing) at the first entry;
  // otherwise Current moves back by one and the caller shows CurrentText().
  bool StepBack();
  const std::string& CurrentText() const { return (*this)[Current]; }

  // Index of the entry the expression field shows now.
  int Current = 0;

 private:
  static std::size_t Checked(int index);
  static std::size_t Cost(const std::string& text) { return sizeof(std::string) + text.size(); }
  std::vector<std::string> FStrings;
  std::size_t FBudget;
  std::size_t FBytes = 0;
};
