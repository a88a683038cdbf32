#include "cli/LineInput.h"

#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <utility>

#ifdef ZUMBREL_HAVE_LIBEDIT
#include <editline/readline.h>
#endif

namespace {

constexpr const char* kPrompt = "> ";

void StripCarriageReturn(std::string& line) {
  if (!line.empty() && line.back() == '\r') line.pop_back();
}

#ifdef ZUMBREL_HAVE_LIBEDIT
// The completion callback is a plain C function, so the words live here.
std::vector<std::string> gCompletionWords;

bool StartsWithNoCase(const std::string& word, const char* prefix, std::size_t length) {
  if (word.size() < length) return false;
  for (std::size_t i = 0; i < length; ++i) {
    const auto a = static_cast<unsigned char>(word[i]);
    const auto b = static_cast<unsigned char>(prefix[i]);
    if (std::tolower(a) != std::tolower(b)) return false;
  }
  return true;
}

// Called with state 0 for a new word, then again until it returns null.
char* CompleteName(const char* text, int state) {
  static std::size_t next = 0;
  if (state == 0) next = 0;
  const std::size_t length = std::strlen(text);
  while (next < gCompletionWords.size()) {
    const std::string& word = gCompletionWords[next++];
    if (StartsWithNoCase(word, text, length)) return strdup(word.c_str());
  }
  return nullptr;
}

// Operators and brackets end a name, so "2*si" completes "si".
char gWordBreaks[] = " \t\n()+-*/^@&|~#<>!,;=%";
#endif

}  // namespace

TLineInput::TLineInput(bool interactive, std::vector<std::string> names)
    : FInteractive(interactive) {
#ifdef ZUMBREL_HAVE_LIBEDIT
  if (FInteractive) {
    gCompletionWords = std::move(names);
    rl_readline_name = "zumbrel-calc";
    rl_completion_entry_function = CompleteName;
    rl_completer_word_break_characters = gWordBreaks;
    rl_basic_word_break_characters = gWordBreaks;
    rl_completion_append_character = '\0';
    using_history();
  }
#else
  (void)names;
#endif
}

TLineInput::~TLineInput() = default;

std::optional<std::string> TLineInput::ReadLine() {
#ifdef ZUMBREL_HAVE_LIBEDIT
  if (FInteractive) {
    char* raw = readline(kPrompt);
    if (raw == nullptr) return std::nullopt;
    std::string line(raw);
    std::free(raw);
    if (line.find_first_not_of(" \t") != std::string::npos) add_history(line.c_str());
    return line;
  }
#else
  if (FInteractive) std::cout << kPrompt << std::flush;
#endif
  std::string line;
  if (!std::getline(std::cin, line)) {
    // std::cin reads through stdin, whose error flag tells a failed read
    // from the end of the input.
    if (std::ferror(stdin)) FError = errno != 0 ? errno : EIO;
    return std::nullopt;
  }
  StripCarriageReturn(line);
  return line;
}
