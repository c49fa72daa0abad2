#include "platform/printer_factory.h"

#include <cstdlib>

#include "core/jsonl_printer.h"
#include "platform/preview_printer.h"
#include "platform/qt_printer.h"

namespace meet {

std::string PrinterTargetFromEnvironment(const std::string& override) {
  if (!override.empty()) return override;
  if (const char* env = std::getenv("MEETDESK_PRINT"); env && *env) return env;
  return "system";
}

bool PrinterTargetNeedsQt(const std::string& target) {
  return target == "system" || target == "preview" || target.rfind("pdf:", 0) == 0;
}

namespace {

Result<std::unique_ptr<Printer>> MakeTarget(const std::string& target, const PreviewSetup& preview) {
  if (target == "none") return std::unique_ptr<Printer>(std::make_unique<NullPrinter>());
  if (target.rfind("jsonl:", 0) == 0) {
    std::string file = target.substr(6);
    if (file.empty()) return Fail(ErrorKind::Invalid, "jsonl: の後にファイル名が必要です。");
    auto printer = std::make_unique<JsonlPrinter>(file);
    if (!printer->ok()) return Fail(ErrorKind::Io, "印刷ファイル " + file + " に書けません。");
    return std::unique_ptr<Printer>(std::move(printer));
  }
  if (target.rfind("pdf:", 0) == 0) {
    std::string dir = target.substr(4);
    if (dir.empty()) return Fail(ErrorKind::Invalid, "pdf: の後にフォルダー名が必要です。");
    return std::unique_ptr<Printer>(std::make_unique<QtPrinter>(QtPrinter::Target::Pdf, dir));
  }
  if (target == "preview")
    return std::unique_ptr<Printer>(std::make_unique<PreviewPrinter>(preview.meetFolder, preview.windowAllowed));
  if (target == "system") return std::unique_ptr<Printer>(std::make_unique<QtPrinter>(QtPrinter::Target::System, ""));
  return Fail(ErrorKind::Invalid, "印刷先が不明です: " + target + "（system、preview、pdf:DIR、jsonl:FILE、none）");
}

}  // namespace

Result<std::unique_ptr<Printer>> MakePrinter(const std::string& target, const PreviewSetup& preview) {
  auto made = MakeTarget(target, preview);
  if (made) (*made)->SetTargetName(target);
  return made;
}

}  // namespace meet
