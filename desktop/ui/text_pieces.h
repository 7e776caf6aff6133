#pragma once
// The pieces of a one-line text that a screen reader asks for around an
// offset: the character, the word or the whole line (a sentence, a paragraph
// and no boundary are the whole line too), at, before or after it. The
// toolkit's own answer for a word at the start or the end of a text never
// returns (QTextBoundaryFinder, Qt 6.4), which froze the program under Orca.
//
// A word is a run of characters that are not blanks, with the blanks after it
// (those before the first word belong to it): "-9" and "12.5" are one word
// each. At the text's end, the word is the last one, never an empty piece:
// a screen reader reads the word left of the caret there.

#include <QString>

namespace vesk {

struct TextPiece {
  int start = 0;
  int end = 0;  // one past the last character
  friend bool operator==(TextPiece, TextPiece) = default;
};

enum class PieceKind { character, word, line };
enum class Around { before, at, after };

TextPiece text_piece(const QString& text, int offset, PieceKind kind, Around where);

}  // namespace vesk
