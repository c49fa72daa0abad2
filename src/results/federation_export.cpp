#include "results/federation_export.h"

#include "core/numbers.h"
#include "data/entry_file.h"
#include "results/result_file.h"

namespace meet {

Result<FederationReportOutcome> ExportFederationReport(const std::filesystem::path& meetFolder, const Settings& s,
                                                       const std::string& entryFolder,
                                                       const std::string& entryFileName) {
  if (entryFolder.empty()) return Fail(ErrorKind::NotFound, "申込フォルダーが決まっていません。");
  auto program = LoadWholeProgram(meetFolder);
  if (!program) return std::unexpected(program.error());
  std::vector<ReportProgramEntry> slices;
  for (const ProgramEntry& p : *program) {
    if (p.orderNo == 0) continue;  // an entry without competitors has no races
    slices.push_back({p.firstRace, p.heatCount, p.dayNo, p.stageCode});
  }
  return WriteFederationReport(meetFolder, s, EntryFilePath(entryFolder, entryFileName), slices);
}

std::string LanesWithoutResultNote(const FederationReportOutcome& o) {
  if (o.lanesWithoutResult == 0) return {};
  return "記録のないコース " + NumberText(o.lanesWithoutResult) + " 件は泳いでいないものとして書いていません。";
}

std::string FederationReportNotice(const FederationReportOutcome& o) {
  std::string note = LanesWithoutResultNote(o);
  return "日水報告を作成しました（" + NumberText(o.swims) + " 件）。\n" + (note.empty() ? "" : note + "\n") +
         o.gamesFile.string() + "\n" + o.resultsFile.string();
}

}  // namespace meet
