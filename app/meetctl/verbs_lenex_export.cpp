// lenex export FILE.lxf [--results|--startlist|--entries] [--unmask]: the
// meet as a Lenex 3.0 file (results by default), swimmers masked as on the
// live pages unless --unmask; says what it wrote.
#include "interchange/frm_lenex_screen.h"
#include "meetctl/cli.h"

namespace meet::cli {
namespace {

constexpr const char* kLenexExportUsage = "lenex export FILE.lxf [--results|--startlist|--entries] [--unmask]";

int LenexExport(Context& ctx, std::vector<std::string>& args) {
  auto files = ctx.HubMeetFiles();
  if (!files) return Failed(ctx, files.error());
  FrmLenexScreen screen(*files);
  int kinds = 0;
  if (TakeSwitch(args, "--results")) ++kinds, screen.ChooseKind(LenexKind::Results);
  if (TakeSwitch(args, "--startlist")) ++kinds, screen.ChooseKind(LenexKind::StartList);
  if (TakeSwitch(args, "--entries")) ++kinds, screen.ChooseKind(LenexKind::Entries);
  if (kinds > 1) return UsageError(ctx, "--results、--startlist、--entries はどれか一つです。");
  screen.ClickUnmask(TakeSwitch(args, "--unmask"));
  if (args.size() != 1) return UsageError(ctx, kLenexExportUsage);
  screen.txtFile() = args[0];
  auto done = screen.ClickExport();
  if (!done) return Failed(ctx, done.error());
  ctx.out << screen.lblResult() << '\n';
  return 0;
}

static VerbRegistration lenexExport("lenex export", kLenexExportUsage, LenexExport);

}  // namespace
}  // namespace meet::cli
