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

class QtPrinter : public Printer {
 public:
  enum class Target { System, Pdf, Device };
  QtPrinter(Target target, std::string pdfFolder);
  // Draws onto a device owned by the caller (a print preview's printer); the
  // caller sets its page layout.
  explicit QtPrinter(QPagedPaintDevice& device);
  ~QtPrinter() override;

  // The PDF files written so far (Pdf target), in document order.
  const std::vector<std::string>& pdfFiles() const { return pdfFiles_; }
  // The last device error, if any ("" when all went well).
  const std::string& lastError() const { return lastError_; }

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
  QPagedPaintDevice* device() const { return external_ ? external_ : device_.get(); }
  std::unique_ptr<QPagedPaintDevice> device_;
  QPagedPaintDevice* external_ = nullptr;
  std::unique_ptr<QPainter> painter_;
  std::vector<std::string> pdfFiles_;
  std::string lastError_;
  double dpiX_ = 1200, dpiY_ = 1200;
};

}  // namespace meet
