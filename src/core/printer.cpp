#include "core/printer.h"

#include <cmath>

#include "core/cp932.h"
#include "core/numbers.h"

namespace meet {

DocumentName RaceDocument(std::string_view title, std::string_view file, int race) {
  if (race < 1) return DocumentName{std::string(title), std::string(file)};
  return DocumentName{std::string(title) + " レース " + NumberText(race),
                      std::string(file) + "-r" + ZeroPadded(race, 4)};
}

DocumentName ProgramPagesDocument(int from, int to) {
  if (to == from)
    return DocumentName{"プログラム " + NumberText(from) + " ページ", "program-p" + ZeroPadded(from, 3)};
  return DocumentName{"プログラム " + NumberText(from) + "～" + NumberText(to) + " ページ",
                      "program-p" + ZeroPadded(from, 3) + "-p" + ZeroPadded(to, 3)};
}

int Printer::LineHeight() const { return static_cast<int>(std::lround(font_.size * 22.0)); }

int Printer::TextWidth(std::string_view text) const {
  // A half-width character is half an em wide; an em is the point size in twips (× 20).
  return static_cast<int>(std::lround(AnsiLen(text) * font_.size * 10.0));
}

void Printer::EnsureOpen() {
  if (open_) return;
  open_ = true;
  failure_.reset();
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

Status Printer::EndDoc() {
  const bool wasOpen = open_;
  if (open_) FinishDocument(doc_);
  open_ = false;
  page_ = 0;
  x_ = 0;
  y_ = 0;
  name_ = DocumentName{};
  std::optional<Error> failure = std::move(failure_);
  failure_.reset();
  if (wasOpen && failure) return std::unexpected(std::move(*failure));
  return {};
}

void Printer::FailDocument(std::string_view reason) {
  if (failure_) return;  // the first reason is the one that counts
  const std::string what = name_.title.empty() ? std::string("印刷物") : name_.title;
  std::string message = "印刷できませんでした";
  if (!target_.empty()) message += "（プリンター " + target_ + "）";
  message += ": " + what;
  if (!reason.empty()) message += "（" + std::string(reason) + "）";
  failure_ = Error{ErrorKind::Io, message};
}

void Printer::FailDocument(Error error) {
  if (!failure_) failure_ = std::move(error);
}

void Printer::NoteFileWritten(const std::string& path) {
  files_.push_back(path);
  if (listener_) listener_(path);
}

}  // namespace meet
