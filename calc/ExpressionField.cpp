#include "calc/ExpressionField.h"

#include <algorithm>

namespace {

bool IsOtherBlank(QChar c) {
  return c != QLatin1Char(' ') && (c.isSpace() || c.category() == QChar::Other_Control);
}

}  // namespace

QString OneLine(QString text) {
  // Same length, so the caret keeps its place.
  for (QChar& c : text)
    if (IsOtherBlank(c)) c = QLatin1Char(' ');
  return text;
}

QString TooLongMessage(qsizetype length) {
  return QStringLiteral(
             "The formula would be %1 characters long; the expression field takes "
             "at most %2. Nothing was changed.")
      .arg(length)
      .arg(kMaxFormulaLength);
}

QValidator::State TFormulaValidator::validate(QString& input, int&) const {
  if (input.size() > kMaxFormulaLength) {
    if (OnRefused) OnRefused(input.size());
    return Invalid;
  }
  if (std::any_of(input.cbegin(), input.cend(), IsOtherBlank)) input = OneLine(input);
  return Acceptable;
}
