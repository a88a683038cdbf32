// Reading formulas for zumbrel-calc: plain lines from a pipe or file, or an
// interactive prompt with line editing, history and name completion when
// standard input is a terminal. Used by the command-line calculator only.
#pragma once

#include <optional>
#include <string>
#include <vector>

class TLineInput {
 public:
  // `interactive`: show a prompt and edit lines (standard input is a terminal).
  // `names`: words offered by Tab completion (variables and functions).
  TLineInput(bool interactive, std::vector<std::string> names);
  ~TLineInput();
  TLineInput(const TLineInput&) = delete;
  TLineInput& operator=(const TLineInput&) = delete;

  // The next line without its line end, or nothing at the end of input or
  // when it cannot be read (see Error).
  std::optional<std::string> ReadLine();

  // The errno of a read that failed (a directory as standard input, say);
  // 0 when the input ended normally.
  int Error() const { return FError; }

 private:
  bool FInteractive;
  int FError = 0;
};
