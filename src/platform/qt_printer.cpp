#include "platform/qt_printer.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFont>
#include <QFontMetricsF>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QPrinter>

namespace meet {

QString MapFontFamily(const std::string& name) {
  QString n = QString::fromStdString(name);
  if (n.contains(QStringLiteral("ゴシック")) || n.contains(QStringLiteral("Gothic"), Qt::CaseInsensitive))
    return QStringLiteral("IPAGothic");
  if (n.contains(QStringLiteral("明朝")) || n.contains(QStringLiteral("Mincho"), Qt::CaseInsensitive))
    return QStringLiteral("IPAMincho");
  return n;
}

QString FreePdfPath(const QString& folder, const QString& stem) {
  const QDir dir(folder);
  QString file = dir.filePath(stem + QStringLiteral(".pdf"));
  for (int n = 2; QFileInfo::exists(file); ++n) file = dir.filePath(stem + QStringLiteral("-%1.pdf").arg(n));
  return file;
}

QtPrinter::QtPrinter(Target target, std::string folderOrPrinter) : target_(target) {
  if (target == Target::Pdf) pdfFolder_ = std::move(folderOrPrinter);
  else printerName_ = std::move(folderOrPrinter);
}

QtPrinter::QtPrinter(QPagedPaintDevice& device) : target_(Target::Device), external_(&device) {}

QtPrinter::~QtPrinter() {
  if (documentOpen()) static_cast<void>(EndDoc());
}

double QtPrinter::DeviceX(int twips) const { return twips * dpiX_ / 1440.0; }
double QtPrinter::DeviceY(int twips) const { return twips * dpiY_ / 1440.0; }

void QtPrinter::BeginDocument(int /*doc*/) {
  QPageLayout layout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(0, 0, 0, 0));
  pdfFile_.clear();
  if (target_ == Target::Pdf) {
    const QString folder = QString::fromStdString(pdfFolder_);
    if (!QDir().mkpath(folder)) {
      FailDocument("フォルダー " + pdfFolder_ + " を作れません");
      return;
    }
    const std::string stem = documentName().file.empty() ? std::string("print") : documentName().file;
    pdfFile_ = FreePdfPath(folder, QString::fromStdString(stem));
    auto writer = std::make_unique<QPdfWriter>(pdfFile_);
    writer->setPageLayout(layout);
    writer->setResolution(1200);
    writer->setCreator(QStringLiteral("meetdesk"));
    writer->setTitle(QString::fromStdString(documentName().title));
    device_ = std::move(writer);
  } else if (target_ == Target::Device) {
    // the caller's device, laid out by the caller
  } else {
    auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    if (!printerName_.empty()) printer->setPrinterName(QString::fromStdString(printerName_));
    // Without the printer asked for (or any printer at all) Qt falls back to
    // writing a PDF with no file name, which prints nothing.
    if (printer->outputFormat() != QPrinter::NativeFormat) {
      FailDocument(printerName_.empty() ? std::string("既定のプリンターがありません")
                                        : "プリンター " + printerName_ + " がありません");
      return;
    }
    printer->setPageLayout(layout);
    printer->setFullPage(true);
    printer->setDocName(QString::fromStdString(documentName().title));
    device_ = std::move(printer);
  }
  painter_ = std::make_unique<QPainter>();
  if (!painter_->begin(device())) {
    FailDocument(target_ == Target::Pdf ? "PDF ファイル " + pdfFile_.toStdString() + " を書き始められません"
                                        : std::string("プリンターに印刷を始められません"));
    painter_.reset();
    device_.reset();
    if (!pdfFile_.isEmpty()) QFile::remove(pdfFile_);
    pdfFile_.clear();
    return;
  }
  dpiX_ = device()->logicalDpiX();
  dpiY_ = device()->logicalDpiY();
}

void QtPrinter::BeginPage(int /*doc*/, int page) {
  if (painter_ && page > 1) device()->newPage();
}

void QtPrinter::DrawText(int x, int y, const PrintFont& font, std::string_view text) {
  if (!painter_) return;
  QFont f(MapFontFamily(font.name));
  f.setPointSizeF(font.size);
  f.setBold(font.bold);
  painter_->setFont(f);
  QFontMetricsF metrics(f, device());
  // The position is where the text starts at its top; Qt draws at the baseline.
  painter_->drawText(QPointF(DeviceX(x), DeviceY(y) + metrics.ascent()),
                     QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())));
}

void QtPrinter::DrawLine(int x1, int y1, int x2, int y2) {
  if (!painter_) return;
  QPen pen(Qt::black);
  pen.setWidthF(dpiX_ / 150.0);
  painter_->setPen(pen);
  painter_->drawLine(QPointF(DeviceX(x1), DeviceY(y1)), QPointF(DeviceX(x2), DeviceY(y2)));
}

void QtPrinter::FinishDocument(int /*doc*/) {
  const bool ended = painter_ ? painter_->end() : false;
  const bool drawn = painter_ != nullptr;
  painter_.reset();
  device_.reset();  // the PDF file is whole once its writer is gone
  if (!drawn) return;  // failed at the start, already reported
  if (!ended) {
    FailDocument(target_ == Target::Pdf ? "PDF ファイル " + pdfFile_.toStdString() + " を書き終えられません"
                                        : std::string("印刷を終えられません"));
    if (!pdfFile_.isEmpty()) QFile::remove(pdfFile_);
  } else if (!pdfFile_.isEmpty()) {
    NoteFileWritten(QFileInfo(pdfFile_).absoluteFilePath().toStdString());
  }
  pdfFile_.clear();
}

}  // namespace meet
