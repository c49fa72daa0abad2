// The race screen's text dumps:
//   dump write races|program|pages|relays DIR   "旧データ出力" into DIR
//   dump read races|standards DIR [--yes]       "旧データ入力" from DIR
// DIR is what the operator types into txtDrT ("旧ﾃﾞｰﾀﾄﾞﾗｲﾌﾞ").
#include <iostream>

#include "meetctl/cli.h"
#include "race/text_dumps.h"

namespace meet::cli {
namespace {

constexpr const char* kWriteUsage = "dump write races|program|pages|relays DIR";
constexpr const char* kReadUsage = "dump read races|standards DIR [--yes]";

void Report(Context& ctx, const DumpOutcome& done, bool reading) {
  if (reading) {
    ctx.out << done.textFile.string() << " → " << done.dataFile.string() << '\n';
    if (!done.backup.empty()) ctx.out << "backup: " << done.backup.string() << '\n';
  } else {
    ctx.out << done.dataFile.string() << " → " << done.textFile.string() << '\n';
  }
  ctx.out << done.lines << " 行\n";
}

int DumpWrite(Context& ctx, std::vector<std::string>& args) {
  if (args.size() != 2) return UsageError(ctx, kWriteUsage);
  DumpKind kind;
  if (args[0] == "races") kind = DumpKind::Races;
  else if (args[0] == "program") kind = DumpKind::Program;
  else if (args[0] == "pages") kind = DumpKind::Pages;
  else if (args[0] == "relays") kind = DumpKind::Relays;
  else return UsageError(ctx, kWriteUsage);
  auto meet = ctx.MeetFolder();
  if (!meet) return Failed(ctx, meet.error());
  auto done = WriteDump(kind, *meet, args[1]);
  if (!done) return Failed(ctx, done.error());
  Report(ctx, *done, false);
  return 0;
}

int DumpRead(Context& ctx, std::vector<std::string>& args) {
  if (args.size() != 2 || (args[0] != "races" && args[0] != "standards")) return UsageError(ctx, kReadUsage);
  auto meet = MeetFolderToWrite(ctx);
  if (!meet) return Failed(ctx, meet.error());
  auto platform = ctx.PlatformFor(false);
  if (!platform) return Failed(ctx, platform.error());
  auto done = args[0] == "races" ? ReadRacesDump(*meet, args[1], *platform) : ReadStandardsDump(*meet, args[1], *platform);
  if (!done) return Failed(ctx, done.error());
  Report(ctx, *done, true);
  return 0;
}

static VerbRegistration dumpWrite("dump write", kWriteUsage, DumpWrite);
static VerbRegistration dumpRead("dump read", kReadUsage, DumpRead);

}  // namespace
}  // namespace meet::cli
