#include "ui/text_pieces.h"

#include <QList>
#include <algorithm>

namespace vesk {
namespace {

// Where each piece starts, in order, then the text's end.
QList<int> starts(const QString& text, PieceKind kind) {
  QList<int> bounds{0};
  for (int i = 1; i < text.size(); ++i) {
    const bool starts_piece = kind == PieceKind::character ? !text[i].isLowSurrogate()
                              : kind == PieceKind::word     ? text[i - 1].isSpace() && !text[i].isSpace()
                                                            : false;
    if (starts_piece) bounds << i;
  }
  // Blanks before the first word are part of it.
  if (kind == PieceKind::word && bounds.size() > 1 && text[0].isSpace()) bounds.remove(1);
  bounds << int(text.size());
  return bounds;
}

}  // namespace

TextPiece text_piece(const QString& text, int offset, PieceKind kind, Around where) {
  const int length = int(text.size());
  if (length == 0) return {};
  offset = std::clamp(offset, 0, length);
  const QList<int> bounds = starts(text, kind);
  const int pieces = int(bounds.size()) - 1;
  // The piece holding `offset`; at the end, one past the last character, or the last word.
  int at = int(std::upper_bound(bounds.begin(), bounds.end(), offset) - bounds.begin()) - 1;
  if (offset == length) at = kind == PieceKind::character ? pieces : pieces - 1;
  const int index = where == Around::before ? at - 1 : where == Around::after ? at + 1 : at;
  if (index < 0) return {0, 0};
  if (index >= pieces) return {length, length};
  return {bounds[index], bounds[index + 1]};
}

}  // namespace vesk
