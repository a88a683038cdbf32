#include "calc/History.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <exception>
#include <filesystem>
#include <system_error>
#include <utility>

#include "engine/CalcExpress.h"
#include "engine/Errors.h"
#include "platform/Files.h"
#include "platform/IniFile.h"

namespace {

constexpr std::string_view kHeading = ";Zumbrel history";

std::size_t EntryBytes(const THistoryEntry& e) {
  return e.Expression.size() + e.Result.size();
}

void AppendEscaped(std::string& out, std::string_view text) {
  for (char c : text) {
    switch (c) {
      case '\\':
        out += "\\\\";
        break;
      case '\t':
        out += "\\t";
        break;
      case '\n':
        out += "\\n";
        break;
      case '\r':
        out += "\\r";
        break;
      default:
        out += c;
    }
  }
}

std::string Unescaped(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\\') {
      out += text[i];
      continue;
    }
    if (++i == text.size()) break;  // a lone backslash at the end stands for nothing
    switch (text[i]) {
      case 't':
        out += '\t';
        break;
      case 'n':
        out += '\n';
        break;
      case 'r':
        out += '\r';
        break;
      default:
        out += text[i];  // "\\", and whatever else a hand may have written
    }
  }
  return out;
}

// The shortest text that reads back as the value, in the C form ("." and "e").
std::string ValueField(long double value) {
  if (!std::isfinite(value)) return {};
  char buffer[64];
  const std::to_chars_result r = std::to_chars(buffer, buffer + sizeof buffer, value);
  return r.ec == std::errc() ? std::string(buffer, r.ptr) : std::string();
}

std::optional<long double> ReadValueField(std::string_view text) {
  if (text.empty() || text.size() > 64) return std::nullopt;
  try {
    const long double v = ParseNumber(text, '.');
    if (std::isfinite(v)) return v;
  } catch (const EZumbrelError&) {
  }
  return std::nullopt;
}

// One entry line (without its line end), or nothing when it is no entry.
std::optional<THistoryEntry> ReadEntryLine(std::string_view line) {
  const std::size_t tab1 = line.find('\t');
  if (tab1 == std::string_view::npos) return std::nullopt;
  const std::size_t tab2 = line.find('\t', tab1 + 1);
  if (tab2 == std::string_view::npos || line.find('\t', tab2 + 1) != std::string_view::npos)
    return std::nullopt;
  THistoryEntry entry;
  entry.Expression = Unescaped(line.substr(0, tab1));
  if (entry.Expression.empty()) return std::nullopt;
  entry.Result = Unescaped(line.substr(tab1 + 1, tab2 - tab1 - 1));
  entry.Value = ReadValueField(line.substr(tab2 + 1));
  return entry;
}

// One entry's line of the file, with its line end.
void AppendLine(std::string& out, const THistoryEntry& e) {
  AppendEscaped(out, e.Expression);
  out += '\t';
  AppendEscaped(out, e.Result);
  out += '\t';
  if (e.Value) out += ValueField(*e.Value);
  out += '\n';
}

std::string Line(const THistoryEntry& e) {
  std::string line;
  line.reserve(EntryBytes(e) + 32);
  AppendLine(line, e);
  return line;
}

std::string_view WithoutCR(std::string_view line) {
  if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
  return line;
}

}  // namespace

// ---- THistory ----

void THistory::Add(THistoryEntry entry) {
  if (entry.Expression.empty()) return;
  FBytes += EntryBytes(entry);
  FEntries.push_back(std::move(entry));
  const std::size_t dropped = Trim();
  ++FSerial;
  if (dropped > 0) Notify({hcRemoved, 0, dropped, true});
  Notify({hcAdded, FEntries.size() - 1, 1});
}

void THistory::Remove(std::size_t first, std::size_t count) {
  if (first >= FEntries.size() || count == 0) return;
  count = std::min(count, FEntries.size() - first);
  const auto begin = FEntries.begin() + static_cast<std::ptrdiff_t>(first);
  const auto end = begin + static_cast<std::ptrdiff_t>(count);
  for (auto e = begin; e != end; ++e) FBytes -= EntryBytes(*e);
  FEntries.erase(begin, end);
  ++FSerial;
  Notify({hcRemoved, first, count});
}

void THistory::Clear() {
  if (FEntries.empty()) return;
  Remove(0, FEntries.size());
}

void THistory::Assign(std::vector<THistoryEntry> entries) {
  FEntries.clear();
  FBytes = 0;
  for (THistoryEntry& e : entries) {
    if (e.Expression.empty()) continue;
    FBytes += EntryBytes(e);
    FEntries.push_back(std::move(e));
  }
  Trim();
  ++FSerial;
  Notify({hcReset, 0, FEntries.size()});
}

std::size_t THistory::Trim() {
  std::size_t dropped = 0;
  while (FEntries.size() > kMaxHistoryEntries ||
         (FBytes > kMaxHistoryBytes && FEntries.size() > 1)) {
    FBytes -= EntryBytes(FEntries.front());
    FEntries.pop_front();
    ++dropped;
  }
  return dropped;
}

void THistory::AddListener(IHistoryListener* listener) {
  if (listener && std::find(FListeners.begin(), FListeners.end(), listener) == FListeners.end())
    FListeners.push_back(listener);
}

void THistory::RemoveListener(IHistoryListener* listener) {
  FListeners.erase(std::remove(FListeners.begin(), FListeners.end(), listener), FListeners.end());
}

void THistory::Notify(const THistoryChange& change) {
  // A listener may remove itself (or another) while it is told.
  const std::vector<IHistoryListener*> listeners = FListeners;
  for (IHistoryListener* l : listeners)
    if (std::find(FListeners.begin(), FListeners.end(), l) != FListeners.end())
      l->HistoryChanged(change);
}

// ---- THistoryRecall ----

bool THistoryRecall::Recalling(const THistory& history, const std::string& shown) const {
  return FIndex && FSerial == history.Serial() && shown == FShown && *FIndex < history.Count();
}

std::optional<std::string> THistoryRecall::Show(const THistory& history, std::size_t index) {
  FIndex = index;
  FShown = history.Entry(index).Expression;
  FSerial = history.Serial();
  return FShown;
}

std::optional<std::string> THistoryRecall::Older(const THistory& history,
                                                 const std::string& shown) {
  std::size_t i = history.Count();
  if (Recalling(history, shown)) {
    i = *FIndex;
  } else {
    FIndex.reset();
    FTyped = shown;
  }
  while (i > 0) {
    --i;
    if (history.Entry(i).Expression != shown) return Show(history, i);
  }
  return std::nullopt;
}

std::optional<std::string> THistoryRecall::Newer(const THistory& history,
                                                 const std::string& shown) {
  if (!Recalling(history, shown)) {
    FIndex.reset();
    return std::nullopt;
  }
  for (std::size_t i = *FIndex + 1; i < history.Count(); ++i)
    if (history.Entry(i).Expression != shown) return Show(history, i);
  FIndex.reset();
  return FTyped;
}

// ---- The file ----

std::string HistoryFileBeside(const std::string& settingsFile) {
  if (settingsFile.empty()) return {};
  const std::filesystem::path folder = std::filesystem::path(settingsFile).parent_path();
  return (folder / kHistoryFileName).string();
}

std::string HistoryText(const std::deque<THistoryEntry>& entries) {
  std::string text;
  std::size_t size = kHeading.size() + 1;
  for (const THistoryEntry& e : entries) size += EntryBytes(e) + 32;
  text.reserve(size);
  text += kHeading;
  text += '\n';
  for (const THistoryEntry& e : entries) AppendLine(text, e);
  return text;
}

std::optional<std::vector<THistoryEntry>> ReadHistoryText(std::string_view text) {
  std::vector<THistoryEntry> entries;
  if (text.empty()) return entries;  // a file with nothing in it yet
  const std::size_t firstEnd = std::min(text.find('\n'), text.size());
  if (WithoutCR(text.substr(0, firstEnd)) != kHeading) return std::nullopt;
  // From the end backwards, so a file of millions of lines costs no more
  // than the entries that are kept.
  std::size_t end = text.size();
  while (end > firstEnd && entries.size() < kMaxHistoryEntries) {
    std::size_t start = text.rfind('\n', end - 1);
    if (start == std::string_view::npos || start < firstEnd) start = firstEnd;
    const std::string_view line = WithoutCR(text.substr(start + 1, end - start - 1));
    if (std::optional<THistoryEntry> entry = ReadEntryLine(line))
      entries.push_back(std::move(*entry));
    end = start;
  }
  std::reverse(entries.begin(), entries.end());
  return entries;
}

THistoryFile::THistoryFile(std::string path) : FPath(std::move(path)), FWritable(!FPath.empty()) {}

THistoryFile::~THistoryFile() {
  Detach();
}

void THistoryFile::Attach(THistory& history) {
  Detach();
  if (!FPath.empty()) {
    std::string text;
    switch (ReadRegularFile(FPath, text)) {
      case rrMissing:
        break;
      case rrRead:
        if (std::optional<std::vector<THistoryEntry>> entries = ReadHistoryText(text))
          history.Assign(std::move(*entries));
        else
          FWritable = false;  // not ours: it stays as it is
        break;
      case rrRefused:
      case rrFailed:
        FWritable = false;
        break;
    }
  }
  FHistory = &history;
  FLines.clear();
  for (const THistoryEntry& e : history.Entries()) FLines.push_back(Line(e));
  history.AddListener(this);
}

void THistoryFile::Detach() {
  if (FHistory) FHistory->RemoveListener(this);
  FHistory = nullptr;
  FLines.clear();
}

void THistoryFile::Write(std::string_view text) {
  // The settings' folder may not exist yet (a first start); the write then
  // reports whatever still fails.
  std::error_code ec;
  const std::filesystem::path folder = std::filesystem::path(FPath).parent_path();
  if (!folder.empty()) std::filesystem::create_directories(folder, ec);
  WriteFileAtomically(FPath, text);
}

void THistoryFile::Save(const THistory& history) {
  if (!FWritable) return;
  Write(HistoryText(history.Entries()));
}

void THistoryFile::HistoryChanged(const THistoryChange& change) {
  if (!FHistory) return;
  // The lines follow the entries, so a new entry costs one line's text, not
  // a thousand.
  const auto at = FLines.begin() + static_cast<std::ptrdiff_t>(change.First);
  switch (change.Kind) {
    case hcAdded:
      for (std::size_t i = 0; i < change.Count; ++i)
        FLines.insert(at + static_cast<std::ptrdiff_t>(i), Line(FHistory->Entry(change.First + i)));
      break;
    case hcRemoved:
      FLines.erase(at, at + static_cast<std::ptrdiff_t>(change.Count));
      break;
    case hcReset:
      FLines.clear();
      for (const THistoryEntry& e : FHistory->Entries()) FLines.push_back(Line(e));
      break;
  }
  if (!FWritable || change.More) return;
  try {
    std::size_t size = kHeading.size() + 1;
    for (const std::string& line : FLines) size += line.size();
    std::string text;
    text.reserve(size);
    text += kHeading;
    text += '\n';
    for (const std::string& line : FLines) text += line;
    Write(text);
  } catch (const std::exception& e) {
    if (FReported) return;
    FReported = true;
    if (FReporter) FReporter(e.what());
  }
}
