// The printer drawn through Qt: the system's default printer, or one PDF file
// per document in a folder. Twips are turned into device units; the Japanese
// font names the system asks for map to the installed IPA fonts.
#pragma once

#include <QString>
#include <memory>
#include <string>

#include "core/printer.h"

class QPainter;
class QPagedPaintDevice;

namespace meet {

// The installed font family for a font name the system asks for.
QString MapFontFamily(const std::string& name);

// The file a document named `stem` goes to in `folder`: stem + ".pdf", or
// stem + "-2.pdf", "-3.pdf" … when that is taken.
QString FreePdfPath(const QString& folder, const QString& stem);

class QtPrinter : public Printer {
 public:
  enum class Target { System, Pdf, Device };
  // System: `folderOrPrinter` names the printer ("" the default printer);
  // Pdf: the folder the files go into, each named by its document
  // ("results-r0015.pdf", "-2", "-3" … added rather than overwrite a file).
  QtPrinter(Target target, std::string folderOrPrinter);
  // Draws onto a device owned by the caller (a print preview's printer); the
  // caller sets its page layout.
  explicit QtPrinter(QPagedPaintDevice& device);
  ~QtPrinter() override;


 protected:
  void DrawText(int x, int y, const PrintFont& font, std::string_view text) override;
  void DrawLine(int x1, int y1, int x2, int y2) override;
  void BeginDocument(int doc) override;
  void BeginPage(int doc, int page) override;
  void FinishDocument(int doc) override;

 private:
  double DeviceX(int twips) const;
  double DeviceY(int twips) const;
  Target target_;
  std::string pdfFolder_;
  std::string printerName_;
  QString pdfFile_;  // the file of the open document (Pdf)
  QPagedPaintDevice* device() const { return external_ ? external_ : device_.get(); }
  std::unique_ptr<QPagedPaintDevice> device_;
  QPagedPaintDevice* external_ = nullptr;
  std::unique_ptr<QPainter> painter_;
  double dpiX_ = 1200, dpiY_ = 1200;
};

}  // namespace meet
