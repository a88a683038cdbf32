#include "calc/Undo.h"

#include <stdexcept>

std::size_t TUndo::Checked(int index) {
  if (index < 0) throw std::out_of_range("undo history index out of range");
  return static_cast<std::size_t>(index);
}

int TUndo::Add(const std::string& text) {
  FStrings.push_back(text);
  return Count() - 1;
}

void TUndo::Delete(int index) {
  const std::size_t i = Checked(index);
  if (i >= FStrings.size()) throw std::out_of_range("undo history index out of range");
  FStrings.erase(FStrings.begin() + static_cast<std::ptrdiff_t>(i));
  if (Current > Count() - 1) Current = Count() > 0 ? Count() - 1 : 0;
}

void TUndo::Clear() {
  FStrings.clear();
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
}

bool TUndo::StepBack() {
  if (Current <= 0) return false;
  --Current;
  return true;
}
