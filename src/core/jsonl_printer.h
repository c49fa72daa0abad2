// A printer that appends one JSON object per printed item to a file: text as
// {"doc":1,"page":1,"x":1500,"y":500,"font":"ＭＳ 明朝","size":13,"bold":false,"text":"…"}
// and rules as {"doc":1,"page":1,"line":[x1,y1,x2,y2]}; a named document's
// objects end with its file name ("name":"results-r0015"). Rehearsals and
// tests read it.
#pragma once

#include <filesystem>
#include <fstream>
#include <string>

#include "core/printer.h"

namespace meet {

std::string JsonEscape(std::string_view utf8);

class JsonlPrinter : public Printer {
 public:
  explicit JsonlPrinter(std::filesystem::path path);
  bool ok() const { return ok_; }

 protected:
  void DrawText(int x, int y, const PrintFont& font, std::string_view text) override;
  void DrawLine(int x1, int y1, int x2, int y2) override;

 private:
  void Append(std::string line);
  std::filesystem::path path_;
  bool ok_ = true;
};

}  // namespace meet
