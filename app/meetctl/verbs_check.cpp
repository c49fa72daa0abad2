// check: reads every file of the meet folder and the entry file and prints
// what does not fit, one line each naming the file and the record, then a
// summary line. Exits 0 when nothing is found, 1 otherwise; writes nothing.
#include <iostream>

#include "data/entry_file.h"
#include "meetctl/cli.h"
#include "results/meet_check.h"

namespace meet::cli {
namespace {

int CheckVerb(Context& ctx, std::vector<std::string>& args) {
  if (!args.empty()) return UsageError(ctx, "check は引数を取りません。");
  auto meet = ctx.MeetFolder();
  if (!meet) return Failed(ctx, meet.error());
  auto settings = ctx.LoadedSettings();
  if (!settings) return Failed(ctx, settings.error());
  const MeetCheckReport report =
      CheckMeetFolder(*meet, EntryFilePath((*settings)->entryFolder, (*settings)->entryFileName));
  for (const std::string& line : report.lines) ctx.out << line << '\n';
  ctx.out << report.Summary() << '\n';
  return report.clean() ? 0 : 1;
}

VerbRegistration checkVerb("check", "check  (every file of the meet folder and the entry file; exit 1 when something does not fit)",
                           CheckVerb);

}  // namespace
}  // namespace meet::cli
