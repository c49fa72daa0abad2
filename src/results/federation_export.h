// The hub's "日水報告" (cmdAto2): the federation report of the meet, from its
// race, entry, relay and program order files.
#pragma once

#include <filesystem>
#include <string>

#include "core/error.h"
#include "data/federation_report.h"
#include "settings/settings.h"

namespace meet {

inline constexpr const char* kFederationReportCaption = "日水報告";

// Writes games.dat and results.dat into the meet folder without questions.
Result<FederationReportOutcome> ExportFederationReport(const std::filesystem::path& meetFolder, const Settings& s,
                                                       const std::string& entryFolder,
                                                       const std::string& entryFileName);

// The line saying how many lanes with a swimmer but no result were left
// out; empty when none were.
std::string LanesWithoutResultNote(const FederationReportOutcome& outcome);
// The notice after a report: the number of swims, the lanes left out, both paths.
std::string FederationReportNotice(const FederationReportOutcome& outcome);

}  // namespace meet
