#include "platform/qt_printer.h"

#include <QDateTime>
#include <QDir>
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

QtPrinter::QtPrinter(Target target, std::string pdfFolder) : target_(target), pdfFolder_(std::move(pdfFolder)) {}

QtPrinter::QtPrinter(QPagedPaintDevice& device) : target_(Target::Device), external_(&device) {}

QtPrinter::~QtPrinter() {
  if (documentOpen()) EndDoc();
}

double QtPrinter::DeviceX(int twips) const { return twips * dpiX_ / 1440.0; }
double QtPrinter::DeviceY(int twips) const { return twips * dpiY_ / 1440.0; }

void QtPrinter::BeginDocument(int doc) {
  QPageLayout layout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(0, 0, 0, 0));
  if (target_ == Target::Pdf) {
    QDir().mkpath(QString::fromStdString(pdfFolder_));
    QString stamp = QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss-zzz"));
    QString file = QDir(QString::fromStdString(pdfFolder_))
                       .filePath(QStringLiteral("print-%1-%2.pdf").arg(stamp).arg(doc, 3, 10, QLatin1Char('0')));
    auto writer = std::make_unique<QPdfWriter>(file);
    writer->setPageLayout(layout);
    writer->setResolution(1200);
    writer->setCreator(QStringLiteral("meetdesk"));
    pdfFiles_.push_back(file.toStdString());
    device_ = std::move(writer);
  } else if (target_ == Target::Device) {
    // the caller's device, laid out by the caller
  } else {
    auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    printer->setPageLayout(layout);
    printer->setFullPage(true);
    device_ = std::move(printer);
  }
  painter_ = std::make_unique<QPainter>();
  if (!painter_->begin(device())) {
    lastError_ = "印刷を開始できません。";
    painter_.reset();
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
  if (painter_) painter_->end();
  painter_.reset();
  device_.reset();
}

}  // namespace meet
