#include "platform/IniFile.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <iterator>
#include <memory>
#include <mutex>
#include <optional>
#include <random>
#include <system_error>
#include <unordered_map>

#include "engine/Errors.h"
#include "platform/Files.h"
#include "platform/Utf8.h"

#if defined(__unix__) || defined(__APPLE__)
#include <unistd.h>
#define ZUMBREL_HAVE_FSYNC 1
#endif

namespace fs = std::filesystem;

namespace {

constexpr std::string_view kBom = "\xEF\xBB\xBF";

bool IsBlank(char c) {
  return c == ' ' || c == '\t' || c == '\v' || c == '\f';
}

char Lower(char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool SameText(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (Lower(a[i]) != Lower(b[i])) return false;
  return true;
}

std::string_view Trim(std::string_view s) {
  while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
  while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
  return s;
}

// One line of the text: content [Begin, End), line end [End, Next).
struct TLine {
  std::size_t Begin = 0, End = 0, Next = 0;
};

// The line starting at `pos`; LF, CR LF and a lone CR all end a line.
TLine LineAt(std::string_view text, std::size_t pos) {
  TLine line{pos, pos, pos};
  const std::size_t e = text.find_first_of("\r\n", pos);
  if (e == std::string_view::npos) {
    line.End = line.Next = text.size();
  } else {
    line.End = e;
    line.Next = (text[e] == '\r' && e + 1 < text.size() && text[e + 1] == '\n') ? e + 2 : e + 1;
  }
  return line;
}

enum TLineKind { lkOther, lkSection, lkKey };

struct TLineInfo {
  TLineKind Kind = lkOther;
  std::string_view Name;       // section or key name, trimmed
  std::string_view Value;      // key value, trimmed, uncut
  std::size_t ValueStart = 0;  // offset in the text where the value part begins
  std::size_t ValueEnd = 0;    // offset where the line's content ends
};

TLineInfo Classify(std::string_view text, const TLine& line) {
  TLineInfo info;
  std::size_t begin = line.Begin;
  if (begin == 0 && text.substr(0, kBom.size()) == kBom) begin = kBom.size();
  if (begin > line.End) begin = line.End;
  const std::string_view content = text.substr(begin, line.End - begin);
  const std::string_view body = Trim(content);
  if (body.empty() || body.front() == ';') return info;
  if (body.front() == '[') {
    const std::size_t close = body.find(']');
    if (close != std::string_view::npos) {
      info.Kind = lkSection;
      info.Name = Trim(body.substr(1, close - 1));
      return info;
    }
  }
  const std::size_t eq = content.find('=');
  if (eq == std::string_view::npos) return info;
  info.Kind = lkKey;
  info.Name = Trim(content.substr(0, eq));
  std::size_t v = eq + 1;
  while (v < content.size() && IsBlank(content[v])) ++v;
  info.Value = Trim(content.substr(v));
  info.ValueStart = begin + v;
  info.ValueEnd = line.End;
  return info;
}

std::string OneLine(std::string_view s) {
  std::string r(s);
  for (char& c : r)
    if (c == '\r' || c == '\n') c = ' ';
  return r;
}

}  // namespace

bool ParseIniInteger(std::string_view text, int& out, bool bareX) {
  std::size_t i = 0;
  while (i < text.size() && IsBlank(text[i])) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  unsigned base = 10;
  if (i < text.size() && text[i] == '$') {
    base = 16, i += 1;
  } else if (i + 1 < text.size() && text[i] == '0' && (text[i + 1] == 'x' || text[i + 1] == 'X')) {
    base = 16, i += 2;
  } else if (bareX && i < text.size() && (text[i] == 'x' || text[i] == 'X')) {
    base = 16, i += 1;
  }
  if (i >= text.size()) return false;
  const std::uint64_t limit = base == 16 ? 0xFFFFFFFFull : 0x80000000ull;
  std::uint64_t magnitude = 0;
  for (; i < text.size(); ++i) {
    const char c = text[i];
    unsigned d = 0;
    if (c >= '0' && c <= '9') {
      d = static_cast<unsigned>(c - '0');
    } else if (base == 16 && Lower(c) >= 'a' && Lower(c) <= 'f') {
      d = static_cast<unsigned>(Lower(c) - 'a' + 10);
    } else {
      return false;
    }
    if (d >= base) return false;
    magnitude = magnitude * base + d;
    if (magnitude > limit) return false;
  }
  if (base == 16) {
    // Hexadecimal fills all 32 bits: colours such as $80000005 are negative.
    std::uint32_t bits = static_cast<std::uint32_t>(magnitude);
    if (negative) bits = 0u - bits;
    out = static_cast<std::int32_t>(bits);
    return true;
  }
  if (!negative && magnitude > 0x7FFFFFFFull) return false;
  const std::int64_t value =
      negative ? -static_cast<std::int64_t>(magnitude) : static_cast<std::int64_t>(magnitude);
  out = static_cast<int>(value);
  return true;
}

namespace {

// FNV-1a over the names with ASCII letters lowered and a separator between.
std::uint64_t NamesHash(std::string_view section, std::string_view key) {
  std::uint64_t h = 0xcbf29ce484222325ull;
  const auto add = [&h](std::string_view s) {
    for (char c : s) h = (h ^ static_cast<unsigned char>(Lower(c))) * 0x100000001b3ull;
  };
  add(section);
  h = (h ^ 0x100u) * 0x100000001b3ull;
  add(key);
  return h;
}

}  // namespace

TIniData::TIniData(std::string text) : FText(std::move(text)) {
  const std::string_view t(FText);
  std::string_view section = t.substr(0, 0);  // the lines before any header
  // At most one key a line; what a text of other lines takes is given back.
  FEntries.reserve(static_cast<std::size_t>(std::count(t.begin(), t.end(), '\n')) + 1);
  for (std::size_t pos = 0; pos < t.size();) {
    const TLine line = LineAt(t, pos);
    pos = line.Next;
    const TLineInfo info = Classify(t, line);
    if (info.Kind == lkSection) {
      section = info.Name;
    } else if (info.Kind == lkKey) {
      const std::string_view value = CutUtf8(info.Value, kIniMaxValue);
      TEntry e;
      e.Hash = NamesHash(section, info.Name);
      e.Order = FEntries.size();
      e.Section = static_cast<std::size_t>(section.data() - t.data());
      e.SectionSize = section.size();
      e.Key = static_cast<std::size_t>(info.Name.data() - t.data());
      e.KeySize = info.Name.size();
      e.Value = static_cast<std::size_t>(value.data() - t.data());
      e.ValueSize = value.size();
      FEntries.push_back(e);
    }
  }
  if (FEntries.capacity() > 2 * FEntries.size()) FEntries.shrink_to_fit();
  std::sort(FEntries.begin(), FEntries.end(), [](const TEntry& a, const TEntry& b) {
    return a.Hash != b.Hash ? a.Hash < b.Hash : a.Order < b.Order;
  });
}

std::optional<std::string_view> TIniData::Find(std::string_view section,
                                               std::string_view key) const {
  const std::uint64_t hash = NamesHash(section, key);
  auto it = std::lower_bound(FEntries.begin(), FEntries.end(), hash,
                             [](const TEntry& e, std::uint64_t h) { return e.Hash < h; });
  const std::string_view t(FText);
  // Of the lines with these names the first one counts.
  for (; it != FEntries.end() && it->Hash == hash; ++it) {
    if (SameText(t.substr(it->Section, it->SectionSize), section) &&
        SameText(t.substr(it->Key, it->KeySize), key))
      return t.substr(it->Value, it->ValueSize);
  }
  return std::nullopt;
}

namespace {

// One key of an edit: its name as first written, its last value, and whether
// its line has been found.
struct TEditKey {
  std::string Name, Value;
  bool Found = false;
};

// One section of an edit with the state a scan of the text keeps for it:
// where a new key of it goes (after the last key, or the header, of its first
// occurrence; for the unnamed section the start of the text).
struct TEditSection {
  std::string Name;
  std::vector<TEditKey> Keys;
  bool In = false, Seen = false, FirstDone = false;
  std::size_t InsertAt = 0;
  bool InsertNeedsEol = false;
};

// A piece of the text replaced by other text; an insertion replaces nothing.
struct TSplice {
  std::size_t Begin, End;
  std::string Text;
};

// The keys of `values` grouped by section in order of first appearance, each
// key once (names match regardless of letter case, the last value wins), so
// that writing the groups at once gives what writing the keys in turn does.
std::vector<TEditSection> GroupValues(const std::vector<TIniValue>& values) {
  std::vector<TEditSection> sections;
  for (const TIniValue& v : values) {
    const std::string sec(Trim(OneLine(v.Section))), name(Trim(OneLine(v.Key)));
    auto s = std::find_if(sections.begin(), sections.end(),
                          [&](const TEditSection& x) { return SameText(x.Name, sec); });
    if (s == sections.end()) {
      sections.push_back({sec, {}});
      s = sections.end() - 1;
    }
    auto k = std::find_if(s->Keys.begin(), s->Keys.end(),
                          [&](const TEditKey& x) { return SameText(x.Name, name); });
    if (k == s->Keys.end())
      s->Keys.push_back({name, OneLine(v.Value)});
    else
      k->Value = OneLine(v.Value);
  }
  return sections;
}

// Follows one line of the scan for every section of the edit: section
// headers move in and out of them, key lines of a section are replaced when
// they are its keys and move its insertion point otherwise.
void ScanLine(std::string_view text, const TLine& line, std::vector<TEditSection>& sections,
              std::vector<TSplice>& splices) {
  const TLineInfo info = Classify(text, line);
  if (info.Kind == lkSection) {
    for (TEditSection& s : sections) {
      if (s.In) s.FirstDone = true;
      s.In = SameText(info.Name, s.Name);
      if (s.In && !s.Seen) {
        s.Seen = true;
        s.InsertAt = line.Next;
        s.InsertNeedsEol = line.Next == line.End;
      }
    }
  } else if (info.Kind == lkKey) {
    for (TEditSection& s : sections) {
      if (!s.In) continue;
      for (TEditKey& k : s.Keys) {
        if (!k.Found && SameText(info.Name, k.Name)) {
          k.Found = true;
          splices.push_back({info.ValueStart, info.ValueEnd, k.Value});
          break;
        }
      }
      if (!s.FirstDone) {
        s.InsertAt = line.Next;
        s.InsertNeedsEol = line.Next == line.End;
      }
    }
  }
}

}  // namespace

std::string SetIniValue(std::string_view text, std::string_view section, std::string_view key,
                        std::string_view value) {
  return SetIniValues(text,
                      {TIniValue{std::string(section), std::string(key), std::string(value)}});
}

namespace {

// Hands the edited text to `put` piece by piece, so a large file is never
// copied whole in memory: the unchanged stretches come straight from `text`.
void EmitIniValues(std::string_view text, const std::vector<TIniValue>& values,
                   const std::function<void(std::string_view)>& put) {
  std::vector<TEditSection> sections = GroupValues(values);
  const std::size_t start = text.substr(0, kBom.size()) == kBom ? kBom.size() : 0;
  for (TEditSection& s : sections) {
    // The lines before any header form the section "".
    s.In = s.Seen = s.Name.empty();
    s.InsertAt = start;
  }
  std::string eol;
  std::vector<TSplice> splices;
  for (std::size_t pos = 0; pos < text.size();) {
    const TLine line = LineAt(text, pos);
    pos = line.Next;
    if (eol.empty() && line.Next > line.End) eol = text.substr(line.End, line.Next - line.End);
    ScanLine(text, line, sections, splices);
  }
  if (eol.empty()) eol = "\n";

  // New keys of a section that is there go in at its insertion point; new
  // sections go at the end, in order.
  std::string appended;
  for (const TEditSection& s : sections) {
    std::string entries;
    for (const TEditKey& k : s.Keys)
      if (!k.Found) entries += k.Name + "=" + k.Value + eol;
    if (entries.empty()) continue;
    if (s.Seen) {
      splices.push_back(
          {s.InsertAt, s.InsertAt, (s.InsertNeedsEol ? eol : std::string()) + entries});
    } else {
      appended += "[" + s.Name + "]" + eol + entries;
    }
  }
  // A replaced value ends at most where an insertion begins.
  std::stable_sort(splices.begin(), splices.end(),
                   [](const TSplice& a, const TSplice& b) { return a.Begin < b.Begin; });
  bool any = false;  // the last character written, once there is one
  char last = 0;
  const auto emit = [&](std::string_view piece) {
    if (piece.empty()) return;
    any = true;
    last = piece.back();
    put(piece);
  };
  std::size_t at = 0;
  for (const TSplice& sp : splices) {
    emit(text.substr(at, sp.Begin - at));
    emit(sp.Text);
    at = sp.End;
  }
  emit(text.substr(at));
  if (!appended.empty()) {
    if (any && last != '\n' && last != '\r') emit(eol);
    emit(appended);
  }
}

}  // namespace

std::string SetIniValues(std::string_view text, const std::vector<TIniValue>& values) {
  std::string out;
  out.reserve(text.size() + 256);
  EmitIniValues(text, values, [&out](std::string_view piece) { out += piece; });
  return out;
}

// ---- Files on disk ---------------------------------------------------------

namespace {

// What identifies one version of a file for the cache.
struct TStamp {
  bool Exists = false;
  std::uintmax_t Size = 0;
  fs::file_time_type Time{};
  bool operator==(const TStamp&) const = default;
};

TStamp StampOf(const std::string& path) {
  TStamp stamp;
  std::error_code ec;
  if (!fs::is_regular_file(fs::path(path), ec)) return stamp;
  stamp.Size = fs::file_size(path, ec);
  if (ec) return stamp;
  stamp.Time = fs::last_write_time(path, ec);
  if (ec) return stamp;
  stamp.Exists = true;
  return stamp;
}

// Parsed files by path. A skin file is read key by key hundreds of times, so
// parsing it once per version keeps loading linear.
class TIniCache {
 public:
  std::shared_ptr<const TIniData> Get(const std::string& path) {
    const TStamp stamp = StampOf(path);
    {
      std::lock_guard lock(FMutex);
      const auto it = FEntries.find(path);
      if (it != FEntries.end() && it->second.Stamp == stamp) return it->second.Data;
    }
    // A file that cannot be read (a pipe, a device, one too large) reads as
    // an empty file.
    std::string text;
    if (stamp.Exists) ReadRegularFile(path, text);
    auto data = std::make_shared<const TIniData>(std::move(text));
    std::lock_guard lock(FMutex);
    if (FEntries.size() >= kMaxEntries) FEntries.clear();
    FEntries[path] = TEntry{stamp, data};
    return data;
  }

  void Forget(const std::string& path) {
    std::lock_guard lock(FMutex);
    FEntries.erase(path);
  }

 private:
  static constexpr std::size_t kMaxEntries = 32;
  struct TEntry {
    TStamp Stamp;
    std::shared_ptr<const TIniData> Data;
  };
  std::mutex FMutex;
  std::unordered_map<std::string, TEntry> FEntries;
};

TIniCache& Cache() {
  static TIniCache cache;
  return cache;
}

// The open batches. Paths are compared as the files they name, so two
// spellings of one settings file share a batch.
std::string BatchKey(const std::string& path) {
  std::error_code ec;
  const fs::path resolved = fs::weakly_canonical(fs::absolute(fs::path(path), ec), ec);
  return ec ? path : resolved.string();
}

std::vector<std::shared_ptr<TIniPending>>& Batches() {
  static std::vector<std::shared_ptr<TIniPending>> batches;
  return batches;
}

}  // namespace

struct TIniPending {
  std::string Key;
  std::vector<TIniValue> Values;
};

namespace {

std::shared_ptr<TIniPending> OpenBatch(const std::string& path) {
  if (Batches().empty()) return nullptr;
  const std::string key = BatchKey(path);
  for (const std::shared_ptr<TIniPending>& b : Batches())
    if (b->Key == key) return b;
  return nullptr;
}

std::string TempNameBeside(const fs::path& target) {
  static std::mt19937_64 random{std::random_device{}()};
  static std::mutex mutex;
  std::lock_guard lock(mutex);
  char suffix[32];
  std::snprintf(suffix, sizeof suffix, ".%016llx.tmp", static_cast<unsigned long long>(random()));
  return target.string() + suffix;
}

// Gives the new contents of a file, piece by piece, to the function it is handed.
using TProduce = std::function<void(const std::function<void(std::string_view)>&)>;

// Writes the pieces `produce` gives to a new file beside `target` and renames
// it over `target`. Returns false, with `target` unchanged and no temporary
// file left, on failure.
bool ReplaceFile(const fs::path& target, const TProduce& produce, bool keepPermissionsOf) {
  std::error_code ec;
  // A file its owner may not write is read-only: the rename would replace it
  // regardless (and for the superuser even a direct write would), so it is
  // refused here, as a read-only file refuses any write.
  if (keepPermissionsOf) {
    const fs::file_status status = fs::status(target, ec);
    if (!ec && fs::exists(status) && (status.permissions() & fs::perms::owner_write) == fs::perms::none)
      return false;
  }
  const std::string temp = TempNameBeside(target);
  std::FILE* f = std::fopen(temp.c_str(), "wbx");
  if (!f) return false;
  bool ok = true;
  produce([&](std::string_view piece) {
    ok = ok && std::fwrite(piece.data(), 1, piece.size(), f) == piece.size();
  });
  ok = ok && std::fflush(f) == 0;
#ifdef ZUMBREL_HAVE_FSYNC
  // The new contents must be on disk before the rename makes them the file.
  ok = ok && ::fsync(::fileno(f)) == 0;
#endif
  ok = std::fclose(f) == 0 && ok;
  if (ok && keepPermissionsOf) {
    const fs::perms perms = fs::status(target, ec).permissions();
    if (!ec) fs::permissions(temp, perms, ec);  // best effort
  }
  if (ok) {
    fs::rename(temp, target, ec);
    ok = !ec;
  }
  if (!ok) fs::remove(temp, ec);
  return ok;
}

}  // namespace

void WriteFileAtomically(const std::string& path, std::string_view bytes) {
  std::error_code ec;
  const bool exists = fs::exists(fs::symlink_status(path, ec));
  const auto produce = [bytes](const std::function<void(std::string_view)>& put) { put(bytes); };
  if (!ReplaceFile(path, produce, exists)) throw EWriteError("Unable to write to " + path);
  Cache().Forget(path);
}

IniFile::IniFile(std::string path) : FPath(std::move(path)) {}

namespace {

// The value a read of the key gives now: a write collected by an open batch
// for the file, else the file's own.
std::optional<std::string> LookUp(const std::string& path, std::string_view section,
                                  std::string_view key) {
  if (const std::shared_ptr<TIniPending> batch = OpenBatch(path)) {
    const std::string sec(Trim(section)), name(Trim(key));
    for (auto v = batch->Values.rbegin(); v != batch->Values.rend(); ++v)
      if (SameText(Trim(OneLine(v->Section)), sec) && SameText(Trim(OneLine(v->Key)), name))
        return std::string(CutUtf8(Trim(OneLine(v->Value)), kIniMaxValue));
  }
  const auto data = Cache().Get(path);
  const std::optional<std::string_view> value = data->Find(section, key);
  return value ? std::optional<std::string>(*value) : std::nullopt;
}

}  // namespace

std::string IniFile::ReadString(std::string_view section, std::string_view key,
                                std::string_view def) const {
  const std::optional<std::string> value = LookUp(FPath, section, key);
  return value ? *value : std::string(def);
}

int IniFile::ReadInteger(std::string_view section, std::string_view key, int def) const {
  const std::optional<std::string> value = LookUp(FPath, section, key);
  int result = def;
  if (value && ParseIniInteger(*value, result)) return result;
  return def;
}

bool IniFile::ReadBool(std::string_view section, std::string_view key, bool def) const {
  return ReadInteger(section, key, def ? 1 : 0) != 0;
}

void IniFile::WriteString(std::string_view section, std::string_view key, std::string_view value) {
  WriteValues({TIniValue{std::string(section), std::string(key), std::string(value)}});
}

void IniFile::WriteInteger(std::string_view section, std::string_view key, int value) {
  WriteString(section, key, std::to_string(value));
}

void IniFile::WriteBool(std::string_view section, std::string_view key, bool value) {
  WriteString(section, key, value ? "1" : "0");
}

void IniFile::WriteValues(const std::vector<TIniValue>& values) {
  if (values.empty()) return;
  if (const std::shared_ptr<TIniPending> batch = OpenBatch(FPath)) {
    batch->Values.insert(batch->Values.end(), values.begin(), values.end());
    return;
  }
  std::error_code ec;
  fs::path target(FPath);
  // Replace the file a link points to, not the link itself.
  if (fs::is_symlink(target, ec)) {
    const fs::path resolved = fs::weakly_canonical(target, ec);
    if (!ec) target = resolved;
  }
  // A file that is there but cannot be read is not replaced: its contents
  // would be lost.
  std::string text;
  const TReadResult read = ReadRegularFile(target.string(), text);
  const auto produce = [&](const std::function<void(std::string_view)>& put) {
    EmitIniValues(text, values, put);
  };
  const bool ok =
      (read == rrRead || read == rrMissing) && ReplaceFile(target, produce, read == rrRead);
  if (!ok) throw EWriteError("Unable to write to " + FPath);
  // The new file may share size and time stamp with the cached one.
  Cache().Forget(FPath);
}

// ---- Batches ----------------------------------------------------------------

TIniBatch::TIniBatch(std::string path) : FPath(std::move(path)) {
  FPending = OpenBatch(FPath);
  if (FPending) return;
  FPending = std::make_shared<TIniPending>();
  FPending->Key = BatchKey(FPath);
  FOwner = true;
  Batches().push_back(FPending);
}

TIniBatch::~TIniBatch() {
  try {
    Commit();
  } catch (...) {
    // Too late to report: whoever needs to know commits before.
  }
  if (FOwner) std::erase(Batches(), FPending);
}

void TIniBatch::Commit() {
  if (!FOwner || FPending->Values.empty()) return;
  std::vector<TIniValue> values = std::move(FPending->Values);
  FPending->Values.clear();
  // Written past the batch, straight to the file.
  std::erase(Batches(), FPending);
  try {
    IniFile(FPath).WriteValues(values);
  } catch (...) {
    Batches().push_back(FPending);
    throw;
  }
  Batches().push_back(FPending);
}
