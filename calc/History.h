// The history tape: every evaluation's expression and result, newest last,
// kept across runs in a text file of its own beside the settings file; and
// the shell-like recall of earlier expressions with Up and Down. Core layer
// (standard C++ only). The calculator model owns the history; the main window
// adds to it and recalls from it, the History window shows and edits it, and
// the program keeps its file.
#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// At most this many entries are kept; the oldest go first.
inline constexpr std::size_t kMaxHistoryEntries = 1000;
// And at most this many bytes of expression and result text (the newest entry
// is kept whatever its size), so a few huge formulas cannot make every write
// of the file a large one.
inline constexpr std::size_t kMaxHistoryBytes = std::size_t(4) << 20;

// The history file's name, in the settings file's folder.
inline constexpr char kHistoryFileName[] = "zumbrel-history.txt";

struct THistoryEntry {
  std::string Expression;
  // As the display showed it: the number in the display's format, or the
  // error text.
  std::string Result;
  // The value, for an evaluation without error.
  std::optional<long double> Value;
  bool operator==(const THistoryEntry&) const = default;
};

enum THistoryChangeKind : std::uint8_t {
  hcAdded,    // entries First .. First+Count-1 are new (at the end)
  hcRemoved,  // entries First .. First+Count-1 were removed
  hcReset,    // every entry may have changed
};

struct THistoryChange {
  THistoryChangeKind Kind = hcReset;
  std::size_t First = 0;
  std::size_t Count = 0;
  // Another change of the same operation follows at once (the oldest entries
  // dropped for a new one): what writes the whole may wait for it.
  bool More = false;
};

class IHistoryListener {
 public:
  virtual ~IHistoryListener() = default;
  // Called after each change; must not throw.
  virtual void HistoryChanged(const THistoryChange& change) = 0;
};

class THistory {
 public:
  std::size_t Count() const { return FEntries.size(); }
  bool Empty() const { return FEntries.empty(); }
  const THistoryEntry& Entry(std::size_t index) const { return FEntries.at(index); }
  const std::deque<THistoryEntry>& Entries() const { return FEntries; }
  // Text bytes of all entries (expressions and results).
  std::size_t Bytes() const { return FBytes; }

  // Appends an entry (one with an empty expression is not kept), then drops
  // the oldest while there are more than kMaxHistoryEntries or more than
  // kMaxHistoryBytes of text. Listeners hear of the removal, then of the
  // addition.
  void Add(THistoryEntry entry);
  // Removes up to `count` entries from `first` on.
  void Remove(std::size_t first, std::size_t count);
  void Clear();
  // Replaces every entry (those with an empty expression are left out, the
  // limits apply as for Add).
  void Assign(std::vector<THistoryEntry> entries);

  // Changes with every change of the entries.
  std::uint64_t Serial() const { return FSerial; }

  void AddListener(IHistoryListener* listener);
  void RemoveListener(IHistoryListener* listener);

 private:
  // Drops the oldest entries beyond the limits; returns how many went.
  std::size_t Trim();
  void Notify(const THistoryChange& change);

  std::deque<THistoryEntry> FEntries;
  std::size_t FBytes = 0;
  std::uint64_t FSerial = 0;
  std::vector<IHistoryListener*> FListeners;
};

// Stepping through earlier expressions as a shell does: Older goes back from
// the newest entry, Newer forward again, and past the newest the text that
// was being typed comes back. Entries whose expression is the text shown are
// stepped over, so repeated expressions (and the one just evaluated, which
// the field still shows) cost no extra key press. A text changed by any
// other means than the recall, or a change of the history, starts afresh
// with that text as the one being typed.
class THistoryRecall {
 public:
  // The text to show instead of `shown`, or nothing when there is no other.
  std::optional<std::string> Older(const THistory& history, const std::string& shown);
  std::optional<std::string> Newer(const THistory& history, const std::string& shown);

 private:
  bool Recalling(const THistory& history, const std::string& shown) const;
  std::optional<std::string> Show(const THistory& history, std::size_t index);

  std::optional<std::size_t> FIndex;  // the entry shown; none: the typed text
  std::string FTyped;
  std::string FShown;
  std::uint64_t FSerial = 0;
};

// ---- The history file ----
//
// A first line ";Zumbrel history", then one line per entry, oldest first:
// the expression, a tab, the result, a tab, and the value (the shortest
// decimal text that reads back as it, with "." and "e"; empty for an error).
// In the expression and the result a backslash, a tab, a line feed and a
// carriage return are written as \\, \t, \n and \r, so any text survives.
// Lines end in LF (a CR before it is accepted).

// The history file in the folder of `settingsFile`; empty for an empty path
// (no settings file, nothing kept).
std::string HistoryFileBeside(const std::string& settingsFile);

std::string HistoryText(const std::deque<THistoryEntry>& entries);
// The entries of a history file's text, the newest kMaxHistoryEntries of
// them; nothing when the text is not a history file (its first line is not
// the heading). Lines without exactly three fields, or with an empty
// expression, are left out; a value that is no finite number leaves the
// entry without one.
std::optional<std::vector<THistoryEntry>> ReadHistoryText(std::string_view text);

// The file of one history: read once at start, written again (atomically)
// after every change. A file that is there but cannot be read, or is no
// history file, is left alone: the history of this run is not written to
// it. The first write that fails in a run is reported; later ones are not.
class THistoryFile : public IHistoryListener {
 public:
  explicit THistoryFile(std::string path);
  ~THistoryFile() override;
  THistoryFile(const THistoryFile&) = delete;
  THistoryFile& operator=(const THistoryFile&) = delete;

  const std::string& Path() const { return FPath; }
  // False when the file is to be left alone (or there is no path).
  bool Writable() const { return FWritable; }

  // Reads the file into `history` and writes it back after each change of it
  // from now on, until Detach (which the destructor does); the history must
  // outlive its attached file.
  void Attach(THistory& history);
  void Detach();
  // The report of the first failed write: "Unable to write to <path>".
  void SetReporter(std::function<void(const std::string&)> reporter) {
    FReporter = std::move(reporter);
  }

  // Writes `history` now. Throws EWriteError when the file cannot be
  // written; does nothing when it is to be left alone.
  void Save(const THistory& history);

  void HistoryChanged(const THistoryChange& change) override;

 private:
  void Write(std::string_view text);

  std::string FPath;
  bool FWritable = true;
  bool FReported = false;
  THistory* FHistory = nullptr;
  std::deque<std::string> FLines;  // the attached history's entries as the file writes them
  std::function<void(const std::string&)> FReporter;
};
