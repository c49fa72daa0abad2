#include "platform/preview_printer.h"

#include <QApplication>
#include <QPageLayout>
#include <QPageSize>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <filesystem>

#include "platform/qt_printer.h"

namespace meet {

PreviewPrinter::PreviewPrinter(std::function<std::string()> meetFolder, bool windowAllowed)
    : meetFolder_(std::move(meetFolder)), windowAllowed_(windowAllowed) {}

PreviewPrinter::~PreviewPrinter() {
  if (documentOpen()) static_cast<void>(EndDoc());
}

bool PreviewPrinter::CanShowWindow() const {
  if (!windowAllowed_ || !qobject_cast<QApplication*>(QCoreApplication::instance())) return false;
  const QString platform = QGuiApplication::platformName();
  return platform != QStringLiteral("offscreen") && platform != QStringLiteral("minimal");
}

void PreviewPrinter::DrawText(int x, int y, const PrintFont& font, std::string_view text) {
  items_.push_back(Item{pages_, x, y, font, std::string(text), false, 0, 0});
}

void PreviewPrinter::DrawLine(int x1, int y1, int x2, int y2) {
  items_.push_back(Item{pages_, x1, y1, PrintFont{}, {}, true, x2, y2});
}

void PreviewPrinter::BeginDocument(int) {
  items_.clear();
  pages_ = 0;
}

void PreviewPrinter::BeginPage(int, int page) { pages_ = page; }

Status PreviewPrinter::ReplayOnto(Printer& target) const {
  int page = 1;
  for (const Item& item : items_) {
    while (page < item.page) {
      target.NewPage();
      ++page;
    }
    if (item.isLine) {
      target.Line(item.x, item.y, item.x2, item.y2);
    } else {
      target.SetFont(item.font);
      target.SetPosition(item.x, item.y);
      target.Print(item.text);
    }
  }
  while (page < pages_) {
    target.NewPage();
    ++page;
  }
  return target.EndDoc();
}

void PreviewPrinter::FinishDocument(int) {
  if (CanShowWindow()) ShowWindow();
  else WritePdf();
  items_.clear();
}

void PreviewPrinter::ShowWindow() {
  QPrinter printer(QPrinter::HighResolution);
  printer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(0, 0, 0, 0)));
  printer.setFullPage(true);
  QPrintPreviewDialog dialog(&printer, QApplication::activeWindow());
  dialog.setObjectName("printPreview");
  dialog.setWindowTitle(QStringLiteral("印刷プレビュー"));
  QObject::connect(&dialog, &QPrintPreviewDialog::paintRequested, &dialog, [this](QPrinter* device) {
    QtPrinter onto(*device);
    onto.SetDocumentName(documentName());
    static_cast<void>(ReplayOnto(onto));  // the dialog shows what it could draw
  });
  ++previewsShown_;
  dialog.exec();
}

void PreviewPrinter::WritePdf() {
  const std::string meet = meetFolder_ ? meetFolder_() : std::string();
  const std::filesystem::path folder = std::filesystem::path(meet.empty() ? "." : meet) / kPreviewFolder;
  QtPrinter pdf(QtPrinter::Target::Pdf, folder.string());
  pdf.SetTargetName(targetName());
  pdf.SetDocumentName(documentName());
  if (auto ok = ReplayOnto(pdf); !ok) FailDocument(ok.error());
  for (const std::string& file : pdf.filesWritten()) NoteFileWritten(file);
}

}  // namespace meet
