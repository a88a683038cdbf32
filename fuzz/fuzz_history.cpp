// Fuzz target for the history file reader: any bytes must read without harm
// into at most 1,000 entries within the byte budget, and what was read must
// come back unchanged when written and read again; recalling through it never
// leaves the entries.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "calc/FormulaText.h"
#include "calc/History.h"

namespace {

void Check(bool ok) {
  if (!ok) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const auto entries = ReadHistoryText(text);
  if (!entries) return 0;
  Check(entries->size() <= kMaxHistoryEntries);

  THistory history;
  history.Assign(*entries);
  Check(history.Count() <= entries->size());
  Check(history.Bytes() <= kMaxHistoryBytes || history.Count() == 1);
  for (const THistoryEntry& e : history.Entries()) {
    Check(!e.Expression.empty());
    if (e.Value) Check(!FormulaText(*e.Value, '.').empty());
  }

  const auto again = ReadHistoryText(HistoryText(history.Entries()));
  Check(again && again->size() == history.Count());
  for (std::size_t i = 0; i < history.Count(); ++i) Check((*again)[i] == history.Entry(i));

  THistoryRecall recall;
  std::string shown;
  for (std::size_t i = 0; i < 8 && i < size; ++i) {
    const auto next = (data[i] & 1) ? recall.Older(history, shown) : recall.Newer(history, shown);
    if (next) shown = *next;
  }
  return 0;
}
