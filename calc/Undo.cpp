#include "calc/Undo.h"

#include <stdexcept>

std::size_t TUndo::Checked(int index) {
  if (index < 0) throw std::out_of_range("undo history index out of range");
  return static_cast<std::size_t>(index);
}

int TUndo::Add(const std::string& text) {
  FStrings.push_back(text);
  FBytes += Cost(text);
  return Count() - 1;
}

void TUndo::Delete(int index) {
  const std::size_t i = Checked(index);
  if (i >= FStrings.size()) throw std::out_of_range("undo history index out of range");
  FBytes -= Cost(FStrings[i]);
  FStrings.erase(FStrings.begin() + static_cast<std::ptrdiff_t>(i));
  if (Current > Count() - 1) Current = Count() > 0 ? Count() - 1 : 0;
}

void TUndo::Clear() {
  FStrings.clear();
  FBytes = 0;
  Current = 0;
}

void TUndo::Reset() {
  Clear();
  Add(std::string());
  Current = 0;
}

void TUndo::DeleteAfterCurrent() {
  // From the last entry down to Current + 1, as a string list would.
  for (int i = Count() - 1; i > Current; --i) Delete(i);
}

void TUndo::Record(const std::string& text) {
  if (Current < Count() - 1) DeleteAfterCurrent();
  Add(text);
  // Current + 1 whenever the history is consistent; also safe after a bare
  // Clear or a Current set out of range by hand.
  Current = Count() - 1;
  // The oldest steps go first, from entry 1 on, all in one erase.
  std::size_t drop = 0;
  std::size_t bytes = FBytes;
  while (bytes > FBudget && 1 + drop < static_cast<std::size_t>(Current))
    bytes -= Cost(FStrings[1 + drop++]);
  if (drop == 0) return;
  FStrings.erase(FStrings.begin() + 1, FStrings.begin() + 1 + static_cast<std::ptrdiff_t>(drop));
  FBytes = bytes;
  Current -= static_cast<int>(drop);
}

bool TUndo::StepBack() {
  if (Current <= 0) return false;
  --Current;
  return true;
}
