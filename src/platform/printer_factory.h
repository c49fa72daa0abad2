// Chooses the printer target: "system" (the default printer), "pdf:DIR" (one
// PDF per document in DIR), "jsonl:FILE" (one JSON object per printed item),
// "none". The target comes from --print, else MEETDESK_PRINT, else "system".
#pragma once

#include <memory>
#include <string>

#include "core/error.h"
#include "core/printer.h"

namespace meet {

std::string PrinterTargetFromEnvironment(const std::string& override);

// The printer for a target. "system" and "pdf:" need a QGuiApplication.
Result<std::unique_ptr<Printer>> MakePrinter(const std::string& target);

// True when the target draws through Qt (and so needs a QGuiApplication).
bool PrinterTargetNeedsQt(const std::string& target);

}  // namespace meet
