// settings show / settings set NAME VALUE: the meet settings in kijun.dat.
#include <iostream>

#include "meetctl/cli.h"
#include "settings/settings.h"
#include "settings/settings_form.h"

namespace meet::cli {
namespace {

int SettingsVerb(Context& ctx, std::vector<std::string>& args) {
  if (args.empty()) return UsageError(ctx, "settings show または settings set NAME VALUE");
  auto meet = ctx.MeetFolder();
  if (!meet) return Failed(ctx, meet.error());
  auto settings = ctx.LoadedSettings();
  if (!settings) return Failed(ctx, settings.error());
  if (args[0] == "show" && args.size() == 1) {
    const auto& names = SettingsValueNames();
    auto values = SettingsValues(**settings);
    for (size_t i = 0; i < names.size(); ++i) ctx.out << names[i] << '=' << values[i] << '\n';
    return 0;
  }
  if (args[0] == "set" && args.size() == 3) {
    SettingsForm form(*meet, **settings);
    auto stored = form.SetByName(args[1], args[2]);
    if (!stored) return Failed(ctx, stored.error());
    ctx.out << *stored << '\n';
    return 0;
  }
  return UsageError(ctx, "settings show または settings set NAME VALUE");
}

VerbRegistration settingsVerb("settings", "settings show | settings set NAME VALUE", SettingsVerb);

}  // namespace
}  // namespace meet::cli
