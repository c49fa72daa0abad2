// Chooses the printer target: "system" (the default printer), "pdf:DIR" (one
// PDF per document in DIR), "jsonl:FILE" (one JSON object per printed item),
// "none", "preview" (Qt's print preview at the end of each document; PDF into
// the meet folder's print/ folder where no window can be shown). The target
// comes from --print, else MEETDESK_PRINT, else "system".
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "core/error.h"
#include "core/printer.h"

namespace meet {

std::string PrinterTargetFromEnvironment(const std::string& override);

// What the preview target needs: the meet folder when a document ends, and
// whether it may show a window (not in meetctl).
struct PreviewSetup {
  std::function<std::string()> meetFolder;
  bool windowAllowed = true;
};

// The printer for a target. "system", "pdf:" and "preview" need a QGuiApplication.
Result<std::unique_ptr<Printer>> MakePrinter(const std::string& target, const PreviewSetup& preview = {});

// True when the target draws through Qt (and so needs a QGuiApplication).
bool PrinterTargetNeedsQt(const std::string& target);

}  // namespace meet
