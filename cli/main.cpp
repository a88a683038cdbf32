// zumbrel-calc: the calculator's expression engine on the command line.
// Evaluates formulas given as arguments, or one per line of standard input,
// and prints one line per formula: the formatted result or the error text.

#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <clocale>
#include <cstdio>
#include <cstring>
#include <exception>
#include <iostream>
#include <optional>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "calc/Calculator.h"
#include "cli/LineInput.h"
#include "engine/CalcExpress.h"
#include "engine/Errors.h"

namespace {

constexpr const char* kProgram = "zumbrel-calc";

enum TExitCode { ecAllNumbers = 0, ecSomeError = 1, ecUsage = 2, ecInputOutput = 3 };

const char kUsage[] =
    "Usage: zumbrel-calc [--deg|--rad|--grad] [--dec|--hex|--oct|--bin] [--eng]\n"
    "                    [--separator C] [--set NAME=VALUE]... [--] [FORMULA...]\n"
    "\n"
    "Evaluates each FORMULA in order, or without any, each line of standard input,\n"
    "and prints one line for each: the result, or the text of the error.\n"
    "\n"
    "Options (they must come before the first formula):\n"
    "  --deg, --rad, --grad    angle unit of the trigonometric functions (default --rad)\n"
    "  --dec, --hex, --oct, --bin\n"
    "                          number format of the results (default --dec)\n"
    "  --eng                   engineering notation with SI letters (decimal only)\n"
    "  --separator C           decimal separator, '.' or ',' (default: the locale's)\n"
    "  --set NAME=VALUE        give a variable a value; a new name is added\n"
    "                          (predefined: Pi, A to F and X)\n"
    "  --                      end of options, so a formula may begin with '-'\n"
    "  --help                  show this help and exit\n"
    "\n"
    "Examples:\n"
    "  zumbrel-calc '1/3' '2^10'\n"
    "  zumbrel-calc --deg 'sin(30)'\n"
    "  zumbrel-calc --hex 255 -- -1\n"
    "  zumbrel-calc --eng --set X=0.25 'X*2k'\n"
    "  echo '2*Pi' | zumbrel-calc\n"
    "\n"
    "Standard input that is a terminal gives an interactive prompt; end it with\n"
    "Ctrl-D or the word quit.\n"
    "\n"
    "Exit status: 0 when every formula gave a number, 1 when any gave an error,\n"
    "2 for a usage error, 3 when standard input could not be read or the output\n"
    "not written.\n";

class TUsageError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

struct TOptions {
  TCalcDeg Degs = cdRadians;
  TNumberFormat Format = nfDecimal;
  bool Eng = false;
  std::optional<char> Separator;
  std::vector<std::string> Sets;  // NAME=VALUE, in the order given
  std::vector<std::string> Formulas;
  bool Help = false;
};

// The options that take no value, and what each one sets.
bool ApplyFlag(const std::string& arg, TOptions& options) {
  static const std::pair<const char*, TCalcDeg> kAngles[] = {
      {"--deg", cdDegreees}, {"--rad", cdRadians}, {"--grad", cdGradians}};
  static const std::pair<const char*, TNumberFormat> kFormats[] = {
      {"--dec", nfDecimal}, {"--hex", nfHexadecimal}, {"--oct", nfOctal}, {"--bin", nfBinary}};
  for (const auto& [name, degs] : kAngles) {
    if (arg == name) {
      options.Degs = degs;
      return true;
    }
  }
  for (const auto& [name, format] : kFormats) {
    if (arg == name) {
      options.Format = format;
      return true;
    }
  }
  if (arg == "--eng") {
    options.Eng = true;
    return true;
  }
  return false;
}

bool IsOptionName(const std::string& arg) {
  TOptions scratch;
  return arg == "--help" || arg == "-h" || arg == "--separator" || arg == "--set" ||
         ApplyFlag(arg, scratch);
}

// Every other character a separator could be is read in a formula already
// (an operator, a bracket, a name, a number's "$"), so "5-3" would change
// meaning under "--separator -".
bool IsSeparator(char c) {
  return c == '.' || c == ',';
}

char CheckedSeparator(const std::string& text) {
  if (text.size() != 1 || !IsSeparator(text[0]))
    throw TUsageError("--separator needs '.' or ',', not '" + text + "'");
  return text[0];
}

TOptions ParseArguments(int argc, char** argv) {
  TOptions options;
  int i = 1;
  bool afterDashes = false;
  auto valueOf = [&](const std::string& option) -> std::string {
    if (i + 1 >= argc) throw TUsageError(option + " needs a value");
    return argv[++i];
  };
  for (; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--") {
      ++i;
      afterDashes = true;
      break;
    }
    if (arg == "--help" || arg == "-h") {
      options.Help = true;
      return options;
    }
    if (ApplyFlag(arg, options)) continue;
    if (arg == "--separator") {
      options.Separator = CheckedSeparator(valueOf(arg));
    } else if (arg == "--set") {
      options.Sets.push_back(valueOf(arg));
    } else if (arg.size() > 1 && arg[0] == '-') {
      throw TUsageError("unknown option '" + arg +
                        "' (put -- before a formula that begins with a minus sign)");
    } else {
      break;  // the first formula
    }
  }
  for (; i < argc; ++i) {
    if (!afterDashes && std::string(argv[i]) == "--") {
      afterDashes = true;  // lets later formulas begin with a minus sign too
      continue;
    }
    if (!afterDashes && IsOptionName(argv[i])) {
      throw TUsageError(std::string("options must come before the first formula: '") + argv[i] +
                        "'");
    }
    options.Formulas.emplace_back(argv[i]);
  }
  return options;
}

// The engine's identifiers: an ASCII letter or "_", then letters, digits, "_".
bool IsIdentifier(const std::string& name) {
  auto letter = [](char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_'; };
  if (name.empty() || !letter(name[0])) return false;
  for (const char c : name) {
    if (!letter(c) && !(c >= '0' && c <= '9')) return false;
  }
  return true;
}

char LocaleSeparator() {
  const std::lconv* conv = std::localeconv();
  if (conv != nullptr && conv->decimal_point != nullptr && std::strlen(conv->decimal_point) == 1) {
    if (IsSeparator(conv->decimal_point[0])) return conv->decimal_point[0];
  }
  return '.';  // a separator of several bytes, or another, cannot stand in a formula
}

// The calculator model as this program sets it up: angle unit, number
// format, Eng and decimal separator from the options.
void Configure(TCalculator& calc, const TOptions& options, char separator) {
  calc.SetDegs(options.Degs);
  calc.SetNumberFormat(options.Format);
  calc.SetEngMode(options.Eng);
  calc.SetDecimalSeparator(separator);
}

// NAME=VALUE from --set; any fault is a usage error.
void SetVariable(TCalculator& calc, const std::string& assignment) {
  const std::size_t eq = assignment.find('=');
  if (eq == std::string::npos)
    throw TUsageError("--set needs NAME=VALUE, not '" + assignment + "'");
  const std::string name = assignment.substr(0, eq);
  const std::string text = assignment.substr(eq + 1);
  if (!IsIdentifier(name)) throw TUsageError("'" + name + "' is not a variable name");
  long double value = 0;
  try {
    value = calc.ReadNumber(text);
  } catch (const std::exception& e) {
    throw TUsageError("--set " + name + ": " + e.what());
  }
  if (!calc.Variables().Define(name, value))
    throw TUsageError("too many variables (at most " + std::to_string(kVariableSlots) + ")");
}

// Evaluates one formula; `text` gets the line to print. True for a number.
bool Evaluate(TCalculator& calc, const std::string& formula, std::string& text) {
  TCalcResult result;
  try {
    result = calc.Evaluate(formula);
  } catch (const std::exception& e) {
    // "#" by zero and unreadable number texts leave the engine as exceptions.
    text = e.what();
    return false;
  }
  if (result.Error != ceOK) {
    text = ErrorText(result.Error);
    return false;
  }
  try {
    text = calc.FormatNumber(result.Value);
  } catch (const EInvalidOp& e) {
    text = e.what();
    return false;
  }
  return true;
}

bool IsQuitWord(const std::string& line, const TCalculator& calc) {
  const std::size_t first = line.find_first_not_of(" \t");
  const std::size_t last = line.find_last_not_of(" \t");
  if (first == std::string::npos) return false;
  std::string word = line.substr(first, last - first + 1);
  for (char& c : word) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return (word == "quit" || word == "exit") && calc.Variables().IndexOf(word) < 0;
}

// The errno of the first write to standard output that failed.
int gWriteError = 0;

// One line of output; false once the output can no longer be written.
bool PrintLine(const std::string& text, bool flush) {
  errno = 0;
  std::cout << text << '\n';
  if (flush) std::cout.flush();
  if (std::cout) return true;
  if (gWriteError == 0) gWriteError = errno != 0 ? errno : EIO;
  return false;
}

int RunInput(TCalculator& calc) {
  const bool interactive = isatty(STDIN_FILENO) != 0;
  // Read from a pipe or file, the input need not flush the output first: a
  // write that fails is then seen where its error is known (PrintLine).
  if (!interactive) std::cin.tie(nullptr);
  // The prompt completes the variable names and the engine's function names.
  std::vector<std::string> words(calc.Variables().Names());
  for (std::string_view name : FunctionNames()) words.emplace_back(name);
  TLineInput input(interactive, std::move(words));
  if (interactive) {
    std::cout << kProgram << ": type a formula and press Enter; Ctrl-D or quit ends.\n";
  }
  bool allNumbers = true;
  while (const std::optional<std::string> line = input.ReadLine()) {
    if (interactive) {
      if (line->find_first_not_of(" \t") == std::string::npos) continue;
      if (IsQuitWord(*line, calc)) return allNumbers ? ecAllNumbers : ecSomeError;
    }
    std::string text;
    allNumbers = Evaluate(calc, *line, text) && allNumbers;
    if (!PrintLine(text, interactive)) return ecInputOutput;  // main tells why
  }
  if (input.Error() != 0) {
    std::cerr << kProgram << ": cannot read standard input: " << std::strerror(input.Error())
              << '\n';
    return ecInputOutput;
  }
  if (interactive) std::cout << '\n';  // Ctrl-D left the cursor after the prompt
  return allNumbers ? ecAllNumbers : ecSomeError;
}

int Run(int argc, char** argv) {
  std::setlocale(LC_ALL, "");
  TOptions options;
  try {
    options = ParseArguments(argc, argv);
    if (options.Help) {
      std::cout << kUsage;
      return ecAllNumbers;
    }
  } catch (const TUsageError& e) {
    std::cerr << kProgram << ": " << e.what() << "\nTry '" << kProgram << " --help'.\n";
    return ecUsage;
  }
  const char separator = options.Separator ? *options.Separator : LocaleSeparator();
  // Number conversions in the C library must not follow the user's locale;
  // the engine and the formatting apply the separator themselves.
  std::setlocale(LC_NUMERIC, "C");

  TCalculator calc;
  Configure(calc, options, separator);
  try {
    for (const std::string& assignment : options.Sets) SetVariable(calc, assignment);
  } catch (const TUsageError& e) {
    std::cerr << kProgram << ": " << e.what() << "\nTry '" << kProgram << " --help'.\n";
    return ecUsage;
  }
  if (options.Formulas.empty()) return RunInput(calc);

  bool allNumbers = true;
  for (const std::string& formula : options.Formulas) {
    std::string text;
    allNumbers = Evaluate(calc, formula, text) && allNumbers;
    if (!PrintLine(text, false)) return ecInputOutput;  // main tells why
  }
  return allNumbers ? ecAllNumbers : ecSomeError;
}

// Whether all that was printed reached standard output (a full disk or a
// closed output loses it); if not, says so.
bool OutputWritten() {
  errno = 0;
  std::cout.flush();
  if (std::cout && !std::ferror(stdout)) return true;
  const int error = gWriteError != 0 ? gWriteError : errno != 0 ? errno : EIO;
  std::cerr << kProgram << ": cannot write standard output: " << std::strerror(error) << '\n';
  return false;
}

}  // namespace

int main(int argc, char** argv) {
  int status = ecSomeError;
  try {
    status = Run(argc, argv);
  } catch (const std::exception& e) {
    std::cerr << kProgram << ": " << e.what() << '\n';
  }
  return OutputWritten() ? status : ecInputOutput;
}
