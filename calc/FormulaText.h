// The text of a value that a formula reads back as exactly that value, for
// the commands that put a value into the expression (a history entry's
// result). Core layer, standard C++ only.
#pragma once

#include <string>

// The shortest decimal text that reads back as `value` (the engine rounds
// correctly, so the shortest round-trip digits are enough), written so that
// the formula reader takes it as one number wherever it is inserted: a
// lower-case "e" before the exponent (an upper-case E is the suffix 1e18),
// `separator` as the decimal separator, and a negative value in brackets so
// that it may follow any operator: 0.1, 1e-5, 2.5e20, (-2), (-1.5e-7).
// Zero of either sign is "0". Infinities and NaN have no such text: empty.
std::string FormulaText(long double value, char separator);
