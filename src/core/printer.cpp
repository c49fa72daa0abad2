#include "core/printer.h"

#include <cmath>

#include "core/cp932.h"

namespace meet {

int Printer::LineHeight() const { return static_cast<int>(std::lround(font_.size * 22.0)); }

int Printer::TextWidth(std::string_view text) const {
  // A half-width character is half an em wide; an em is the point size in twips (× 20).
  return static_cast<int>(std::lround(AnsiLen(text) * font_.size * 10.0));
}

void Printer::EnsureOpen() {
  if (open_) return;
  open_ = true;
  ++doc_;
  page_ = 1;
  BeginDocument(doc_);
  BeginPage(doc_, page_);
}

void Printer::Print(std::string_view text) {
  EnsureOpen();
  if (!text.empty()) DrawText(x_, y_, font_, text);
  x_ += TextWidth(text);
}

void Printer::NextLine() {
  x_ = 0;
  y_ += LineHeight();
}

void Printer::Line(int x1, int y1, int x2, int y2) {
  EnsureOpen();
  DrawLine(x1, y1, x2, y2);
  x_ = x2;
  y_ = y2;
}

void Printer::NewPage() {
  EnsureOpen();
  ++page_;
  BeginPage(doc_, page_);
  x_ = 0;
  y_ = 0;
}

void Printer::EndDoc() {
  if (open_) FinishDocument(doc_);
  open_ = false;
  page_ = 0;
  x_ = 0;
  y_ = 0;
}

}  // namespace meet
