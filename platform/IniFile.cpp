#include "platform/IniFile.h"

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <mutex>
#include <random>
#include <sstream>
#include <system_error>

#include "engine/Errors.h"

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

std::string LowerCopy(std::string_view s) {
  std::string r(s);
  for (char& c : r) c = Lower(c);
  return r;
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

// Cuts a value to kIniMaxValue characters, counting a UTF-8 sequence as one
// character so a cut never splits one. A stray continuation byte counts as a
// character of its own, so the result never exceeds 4 bytes per character.
std::string_view CutValue(std::string_view v) {
  std::size_t chars = 0;
  int pending = 0;  // continuation bytes the current sequence may still take
  for (std::size_t i = 0; i < v.size(); ++i) {
    const auto b = static_cast<unsigned char>(v[i]);
    if ((b & 0xC0) == 0x80 && pending > 0) {
      --pending;
      continue;
    }
    if (chars++ == kIniMaxValue) return v.substr(0, i);
    pending = b >= 0xF0 ? 3 : b >= 0xE0 ? 2 : b >= 0xC0 ? 1 : 0;
  }
  return v;
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

TIniData::TIniData(std::string_view text) {
  auto* section = &FSections[""];
  for (std::size_t pos = 0; pos < text.size();) {
    const TLine line = LineAt(text, pos);
    pos = line.Next;
    const TLineInfo info = Classify(text, line);
    if (info.Kind == lkSection) {
      section = &FSections[LowerCopy(info.Name)];
    } else if (info.Kind == lkKey) {
      section->try_emplace(LowerCopy(info.Name), CutValue(info.Value));
    }
  }
}

const std::string* TIniData::Find(std::string_view section, std::string_view key) const {
  const auto s = FSections.find(LowerCopy(section));
  if (s == FSections.end()) return nullptr;
  const auto k = s->second.find(LowerCopy(key));
  return k == s->second.end() ? nullptr : &k->second;
}

std::string SetIniValue(std::string_view text, std::string_view section, std::string_view key,
                        std::string_view value) {
  const std::string sec = OneLine(section), name = OneLine(key), val = OneLine(value);
  std::string eol;
  bool inSection = sec.empty();  // the lines before any header form the section ""
  bool sectionSeen = inSection;
  bool firstSectionDone = false;
  // Where a new key goes: after the last key (or the header) of the first
  // matching section. For the unnamed section that is the start of the text.
  std::size_t insertAt = text.substr(0, kBom.size()) == kBom ? kBom.size() : 0;
  bool insertNeedsEol = false;
  for (std::size_t pos = 0; pos < text.size();) {
    const TLine line = LineAt(text, pos);
    pos = line.Next;
    if (eol.empty() && line.Next > line.End) eol = text.substr(line.End, line.Next - line.End);
    const TLineInfo info = Classify(text, line);
    if (info.Kind == lkSection) {
      if (inSection) firstSectionDone = true;
      inSection = SameText(info.Name, sec);
      if (inSection && !sectionSeen) {
        sectionSeen = true;
        insertAt = line.Next;
        insertNeedsEol = line.Next == line.End;
      }
    } else if (info.Kind == lkKey && inSection) {
      if (SameText(info.Name, name)) {
        std::string out(text.substr(0, info.ValueStart));
        out += val;
        out += text.substr(info.ValueEnd);
        return out;
      }
      if (!firstSectionDone) {
        insertAt = line.Next;
        insertNeedsEol = line.Next == line.End;
      }
    }
  }
  if (eol.empty()) eol = "\n";
  const std::string entry = name + "=" + val + eol;
  if (sectionSeen) {
    std::string out(text.substr(0, insertAt));
    if (insertNeedsEol) out += eol;
    out += entry;
    out += text.substr(insertAt);
    return out;
  }
  std::string out(text);
  if (!out.empty() && out.back() != '\n' && out.back() != '\r') out += eol;
  out += "[" + sec + "]" + eol + entry;
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

bool ReadWholeFile(const std::string& path, std::string& out) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  std::ostringstream buffer;
  buffer << in.rdbuf();
  if (in.bad()) return false;
  out = std::move(buffer).str();
  return true;
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
    std::string text;
    if (stamp.Exists && !ReadWholeFile(path, text)) text.clear();
    auto data = std::make_shared<const TIniData>(text);
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

std::string TempNameBeside(const fs::path& target) {
  static std::mt19937_64 random{std::random_device{}()};
  static std::mutex mutex;
  std::lock_guard lock(mutex);
  char suffix[32];
  std::snprintf(suffix, sizeof suffix, ".%016llx.tmp", static_cast<unsigned long long>(random()));
  return target.string() + suffix;
}

// Writes `text` to a new file beside `target` and renames it over `target`.
// Returns false, with `target` unchanged and no temporary file left, on failure.
bool ReplaceFile(const fs::path& target, const std::string& text, bool keepPermissionsOf) {
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
  bool ok = std::fwrite(text.data(), 1, text.size(), f) == text.size() && std::fflush(f) == 0;
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
  if (!ReplaceFile(path, std::string(bytes), exists)) throw EWriteError("Unable to write to " + path);
  Cache().Forget(path);
}

IniFile::IniFile(std::string path) : FPath(std::move(path)) {}

std::string IniFile::ReadString(std::string_view section, std::string_view key,
                                std::string_view def) const {
  const auto data = Cache().Get(FPath);
  const std::string* value = data->Find(section, key);
  return value ? *value : std::string(def);
}

int IniFile::ReadInteger(std::string_view section, std::string_view key, int def) const {
  const auto data = Cache().Get(FPath);
  const std::string* value = data->Find(section, key);
  int result = def;
  if (value && ParseIniInteger(*value, result)) return result;
  return def;
}

bool IniFile::ReadBool(std::string_view section, std::string_view key, bool def) const {
  return ReadInteger(section, key, def ? 1 : 0) != 0;
}

void IniFile::WriteString(std::string_view section, std::string_view key, std::string_view value) {
  std::error_code ec;
  fs::path target(FPath);
  // Replace the file a link points to, not the link itself.
  if (fs::is_symlink(target, ec)) {
    const fs::path resolved = fs::weakly_canonical(target, ec);
    if (!ec) target = resolved;
  }
  const fs::file_status status = fs::status(target, ec);
  const bool exists = fs::exists(status);
  std::string text;
  bool ok = true;
  if (exists) ok = fs::is_regular_file(status) && ReadWholeFile(target.string(), text);
  ok = ok && ReplaceFile(target, SetIniValue(text, section, key, value), exists);
  if (!ok) throw EWriteError("Unable to write to " + FPath);
  // The new file may share size and time stamp with the cached one.
  Cache().Forget(FPath);
}

void IniFile::WriteInteger(std::string_view section, std::string_view key, int value) {
  WriteString(section, key, std::to_string(value));
}

void IniFile::WriteBool(std::string_view section, std::string_view key, bool value) {
  WriteString(section, key, value ? "1" : "0");
}
