// The print preview target "preview": the document is collected page by page
// and, when it ends, shown in Qt's print preview window, from which the
// operator prints it or closes it. Without a window system (no GUI
// application, or the offscreen platform) and in meetctl, the document is
// written as a PDF into the meet folder's print/ folder instead.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "core/printer.h"

namespace meet {

inline constexpr const char* kPreviewFolder = "print";

class PreviewPrinter : public Printer {
 public:
  // `meetFolder` names the meet folder when a document ends (the GUI's meet
  // folder may change between documents). `windowAllowed`: false in meetctl.
  PreviewPrinter(std::function<std::string()> meetFolder, bool windowAllowed);
  ~PreviewPrinter() override;

  // The PDF files written instead of a preview are filesWritten().
  int previewsShown() const { return previewsShown_; }
  // True when a document ending now would be shown in a window.
  bool CanShowWindow() const;

  // Draws the collected document onto another printer through its public
  // interface (pages, fonts, positions, rules), ending its document; what
  // that printer says of it.
  Status ReplayOnto(Printer& target) const;

 protected:
  void DrawText(int x, int y, const PrintFont& font, std::string_view text) override;
  void DrawLine(int x1, int y1, int x2, int y2) override;
  void BeginDocument(int doc) override;
  void BeginPage(int doc, int page) override;
  void FinishDocument(int doc) override;

 private:
  struct Item {
    int page = 1;
    int x = 0, y = 0;
    PrintFont font;
    std::string text;
    bool isLine = false;
    int x2 = 0, y2 = 0;
  };
  void ShowWindow();
  void WritePdf();

  std::function<std::string()> meetFolder_;
  bool windowAllowed_;
  std::vector<Item> items_;
  int pages_ = 0;
  int previewsShown_ = 0;
};

}  // namespace meet
