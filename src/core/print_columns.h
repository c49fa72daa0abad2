// Printed columns that never touch: where a column starts when the one
// before it would otherwise run into it, and a column's text cut to the room
// it has.
#pragma once

#include <string>
#include <string_view>

#include "core/printer.h"

namespace meet {

// Printed columns never touch: a column holding `chars` half-width
// characters at x ends one blank before the next column. The next column's
// place is the one its layout gives it (`fixedX`), or the first place one
// blank after this column when that would collide (`charWidth`: one
// half-width character of the font, in twips).
constexpr int ColumnAfter(int fixedX, int x, int chars, int charWidth) {
  const int after = x + (chars + 1) * charWidth;
  return fixedX > after ? fixedX : after;
}
// The width of an A4 page, in twips: the right edge of the last column.
inline constexpr int kPageWidth = 11906;

// The text of a column at x cut so that it ends at least one blank of the
// printer's font before `nextX`, where the next column starts: trailing
// blanks go, then leading blanks that only align it, then characters from
// its end (a double-byte character is never split).
std::string FitColumn(const Printer& printer, std::string_view text, int x, int nextX);
// Prints FitColumn(text) at x.
void PrintColumn(Printer& printer, int x, int nextX, std::string_view text);

}  // namespace meet
