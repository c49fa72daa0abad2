// The printer as the system uses it: text at absolute positions in twips
// (567 = 1 cm, 1440 = 1 inch) from the page's top-left corner, with a font
// name, size and weight; a current position that "print" advances along the
// line and "next line" moves down by the font's line height; rules; new page;
// end of document. The metrics are the system's own (not the device's), so a
// page comes out the same on every target.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/error.h"

namespace meet {

inline constexpr const char* kMincho = "ＭＳ 明朝";
inline constexpr const char* kGothic = "ＭＳ ゴシック";

struct PrintFont {
  std::string name = kMincho;
  double size = 11;
  bool bold = false;
};

// What a document holds: the title the operator is told ("競技結果 レース 15")
// and the name of its file where the target writes one ("results-r0015";
// the pdf target adds ".pdf").
struct DocumentName {
  std::string title;
  std::string file;
};

// A document of one race: `title` + " レース 15", `file` + "-r0015" (the race
// as four digits). A race below 1 adds nothing.
DocumentName RaceDocument(std::string_view title, std::string_view file, int race);
// Program pages from..to: "プログラム 3 ページ", "program-p003"; a range
// "プログラム 3～5 ページ", "program-p003-p005".
DocumentName ProgramPagesDocument(int from, int to);

class Printer {
 public:
  virtual ~Printer() = default;

  void SetFont(const PrintFont& font) { font_ = font; }
  void SetFontName(std::string_view name) { font_.name = std::string(name); }
  void SetFontSize(double size) { font_.size = size; }
  void SetBold(bool bold) { font_.bold = bold; }
  const PrintFont& font() const { return font_; }

  void SetX(int x) { x_ = x; }
  void SetY(int y) { y_ = y; }
  void SetPosition(int x, int y) { x_ = x; y_ = y; }
  int x() const { return x_; }
  int y() const { return y_; }

  // Height of one line and width of a text in the current font, in twips.
  int LineHeight() const;
  int TextWidth(std::string_view text) const;

  // Prints at the current position; the position moves to the end of the text.
  void Print(std::string_view text);
  // Prints at horizontal position x on the current line.
  void PrintAt(int x, std::string_view text) { x_ = x; Print(text); }
  // Back to the left edge, one line down.
  void NextLine();
  void Line(int x1, int y1, int x2, int y2);
  // Starts a new page; the position returns to the top-left corner.
  void NewPage();
  // Ends the document; the next output starts a new one. A document the
  // target could not print (no printer, a file that cannot be written) is an
  // error naming the target and the document; nothing open is no error.
  [[nodiscard]] Status EndDoc();

  // Names the document that starts with the next output; the name is kept
  // until the document ends.
  void SetDocumentName(DocumentName name) { name_ = std::move(name); }
  const DocumentName& documentName() const { return name_; }
  // The target as the operator named it ("system", "pdf:DIR", …), for messages.
  void SetTargetName(std::string name) { target_ = std::move(name); }
  const std::string& targetName() const { return target_; }

  // The files the target wrote (one PDF per document), in order; the
  // listener hears of each as soon as it is whole.
  const std::vector<std::string>& filesWritten() const { return files_; }
  void SetFileListener(std::function<void(const std::string&)> listener) { listener_ = std::move(listener); }

  int documentNo() const { return doc_; }
  int pageNo() const { return page_; }
  bool documentOpen() const { return open_; }

 protected:
  virtual void DrawText(int x, int y, const PrintFont& font, std::string_view text) = 0;
  virtual void DrawLine(int x1, int y1, int x2, int y2) = 0;
  virtual void BeginDocument(int /*doc*/) {}
  virtual void BeginPage(int /*doc*/, int /*page*/) {}
  virtual void FinishDocument(int /*doc*/) {}

  // The target cannot print the open document; `reason` says why. The
  // document goes on to its end (drawing nothing more is the target's
  // business) and EndDoc reports it.
  void FailDocument(std::string_view reason);
  // Passes on the failure of a printer this one draws through, as it is.
  void FailDocument(Error error);
  bool documentFailed() const { return failure_.has_value(); }
  void NoteFileWritten(const std::string& path);

  int doc_ = 0;
  int page_ = 0;

 private:
  void EnsureOpen();
  DocumentName name_;
  std::string target_;
  std::optional<Error> failure_;
  std::vector<std::string> files_;
  std::function<void(const std::string&)> listener_;
  PrintFont font_;
  int x_ = 0;
  int y_ = 0;
  bool open_ = false;
};

// Prints nothing ("--print none").
class NullPrinter : public Printer {
 protected:
  void DrawText(int, int, const PrintFont&, std::string_view) override {}
  void DrawLine(int, int, int, int) override {}
};

}  // namespace meet
