#include "core/print_columns.h"

#include "core/cp932.h"

namespace meet {

std::string FitColumn(const Printer& printer, std::string_view text, int x, int nextX) {
  std::string fitted = TrimRight(text);
  const int room = nextX - x - printer.TextWidth(" ");
  // Blanks that only align the text go first, then its last characters.
  while (!fitted.empty() && fitted[0] == ' ' && printer.TextWidth(fitted) > room) fitted.erase(0, 1);
  for (int bytes = AnsiLen(fitted); bytes > 0 && printer.TextWidth(fitted) > room; --bytes)
    fitted = CutToWidth(fitted, bytes - 1);
  return printer.TextWidth(fitted) > room ? std::string() : fitted;
}

void PrintColumn(Printer& printer, int x, int nextX, std::string_view text) {
  printer.PrintAt(x, FitColumn(printer, text, x, nextX));
}

}  // namespace meet
