// The race title dialog frmmKkyogi ("競技ﾀｲﾄﾙ変更") without a window:
//   race title N [eventNo=V] [sexCode=V] [classFrom=V] [classTo=V] [eventCode=V]
//                [roundCode=V] [heatTotal=V] [heatNo=V] [startTime=HHMMSS]
//                [relayRec=V] [--insert none|event|heat]
// Fields not named keep the race's values; "実行" runs once. startTime is a
// time of day hhmmss (93000 is 9:30:00). An insertion asks first (--yes /
// --no), prints what it moved, then the heading as stored.
#include <iostream>

#include "meetctl/cli.h"
#include "program/race_title.h"

namespace meet::cli {
namespace {

constexpr const char* kTitleUsage =
    "race title N [eventNo=V] [sexCode=V] [classFrom=V] [classTo=V] [eventCode=V] [roundCode=V] [heatTotal=V] "
    "[heatNo=V] [startTime=HHMMSS] [relayRec=V] [--insert none|event|heat]";

struct Field {
  const char* name;
  std::string TitleBoxes::*box;
};
const Field kFields[] = {
    {"eventNo", &TitleBoxes::txtNo},        {"sexCode", &TitleBoxes::txtSei},      {"classFrom", &TitleBoxes::txtKubun1},
    {"classTo", &TitleBoxes::txtKubun2},    {"eventCode", &TitleBoxes::txtShu},    {"roundCode", &TitleBoxes::txtYoketu},
    {"heatTotal", &TitleBoxes::txtTKumi},   {"heatNo", &TitleBoxes::txtKumi},      {"startTime", &TitleBoxes::txtJikan},
    {"relayRec", &TitleBoxes::txtRirei},
};

int RaceTitleVerb(Context& ctx, std::vector<std::string>& args) {
  auto insertion = TakeOption(args, "--insert");
  if (!insertion) return UsageError(ctx, insertion.error().message);
  if (args.empty()) return UsageError(ctx, kTitleUsage);
  auto meet = ctx.MeetFolder();
  if (!meet) return Failed(ctx, meet.error());
  auto n = WholeNumber(args[0]);
  if (!n || *n < 1 || *n > 32757) return UsageError(ctx, "レース番号は 1～32757 の数字です: " + args[0]);

  FrmmKkyogiScreen screen(*meet, static_cast<int>(*n), ctx.clock(), ctx.dialogs());
  if (auto ok = screen.Open(); !ok) return Failed(ctx, ok.error());
  for (size_t i = 1; i < args.size(); ++i) {
    const size_t eq = args[i].find('=');
    const Field* field = nullptr;
    for (const Field& f : kFields)
      if (eq != std::string::npos && args[i].compare(0, eq, f.name) == 0 && eq == std::string(f.name).size()) field = &f;
    if (!field) return UsageError(ctx, "不明な項目です: " + args[i] + "（" + kTitleUsage + "）");
    screen.boxes.*(field->box) = args[i].substr(eq + 1);
  }
  if (*insertion) {
    if (**insertion == "none") screen.optSohnyu = Insertion::None;
    else if (**insertion == "event") screen.optSohnyu = Insertion::Event;
    else if (**insertion == "heat") screen.optSohnyu = Insertion::Heat;
    else return UsageError(ctx, "--insert は none、event、heat のどれかです: " + **insertion);
  }
  auto done = screen.cmdZikko();
  if (!done && done.error().kind == ErrorKind::Cancelled)
    return Failed(ctx, Error{ErrorKind::Cancelled, "挿入しませんでした（挿入する場合は --yes）。"});
  if (!done) return Failed(ctx, done.error());
  if (done->inserted) ctx.out << InsertionSummary(*done) << '\n';
  // The heading as stored.
  FrmmKkyogiScreen stored(*meet, screen.currentRace(), ctx.clock(), ctx.dialogs());
  if (auto ok = stored.Open(); !ok) return Failed(ctx, ok.error());
  for (const Field& f : kFields) ctx.out << f.name << '=' << stored.boxes.*(f.box) << '\n';
  return 0;
}

VerbRegistration raceTitleVerb("race title", kTitleUsage, RaceTitleVerb);

}  // namespace
}  // namespace meet::cli
