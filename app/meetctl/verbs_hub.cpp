// The hub's folder commands:
//   new ENTRY.Mos PARENT_DIR  "←": takes the entry file into a meet folder made
//                             under PARENT_DIR; prints the meet folder.
//   use MEET_DIR              "変更": MEET_DIR becomes the meet folder; prints it
//                             and the entry file its settings record.
// Both write the folder configuration (--ctl, MEETDESK_CTL or the default).
#include <iostream>

#include "core/printer.h"
#include "data/hub.h"
#include "meetctl/cli.h"

namespace meet::cli {
namespace {

// The hub's commands print nothing: they run with a printer that drops everything.
struct HubRun {
  explicit HubRun(Context& ctx)
      : platform{printer, ctx.dialogs(), ctx.clock(), ctx.launcher()}, hub(ctx.folderConfigFile(), platform) {
    hub.StartUp();
  }
  NullPrinter printer;
  Platform platform;
  FrmKijunScreen hub;
};

int NewVerb(Context& ctx, std::vector<std::string>& args) {
  if (args.size() != 2) return UsageError(ctx, "new ENTRY.Mos PARENT_DIR");
  HubRun run(ctx);
  auto taken = run.hub.TakeInEntryFile(args[0], args[1]);
  if (!taken) return Failed(ctx, taken.error());
  ctx.out << taken->meetFolder << '\n';
  return 0;
}

int UseVerb(Context& ctx, std::vector<std::string>& args) {
  if (args.size() != 1) return UsageError(ctx, "use MEET_DIR");
  HubRun run(ctx);
  if (auto ok = run.hub.ChangeMeetFolder(args[0]); !ok) return Failed(ctx, ok.error());
  ctx.out << run.hub.folders().meetFolder << '\n'
          << run.hub.folders().entryFolder << run.hub.folders().entryFileName << '\n';
  return 0;
}

VerbRegistration newVerb("new", "new ENTRY.Mos PARENT_DIR", NewVerb);
VerbRegistration useVerb("use", "use MEET_DIR", UseVerb);

}  // namespace
}  // namespace meet::cli
