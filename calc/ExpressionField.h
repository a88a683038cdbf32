// What the expression field takes: a formula is one line, so line breaks,
// tabs and other blank or control characters that come in (pasted by any
// means, dropped) become plain blanks; and it is at most kMaxFormulaLength
// characters long, a length at which the field still answers each key at
// once. A longer text is refused whole, with a message, never cut. Gui
// layer; the main window puts the validator on the skin's "Expression" edit.
#pragma once

#include <QString>
#include <QValidator>
#include <functional>

// The longest formula the field takes. No one types one this long; the
// field's own layout of its whole text at each change and repaint is what
// limits it (about 20 ms a key at this length, 0.3 s at ten times it).
inline constexpr qsizetype kMaxFormulaLength = 100000;

// `text` with every line break, tab and other blank or control character
// as a plain blank, character for character.
QString OneLine(QString text);

// The message that refuses a formula of `length` characters.
QString TooLongMessage(qsizetype length);

class TFormulaValidator : public QValidator {
  Q_OBJECT

 public:
  explicit TFormulaValidator(QObject* parent = nullptr) : QValidator(parent) {}

  // Told of each change refused for its length (with the length it would
  // have had); the field then keeps the text it had.
  std::function<void(qsizetype)> OnRefused;

  State validate(QString& input, int& pos) const override;
};
