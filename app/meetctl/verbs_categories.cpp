// The optional categories screen frmOptKubun ("種目区分(オプション)") without
// a window:
//   categories list
//   categories add SEX FROM TO EVENT_FROM EVENT_TO NAME [--title-only]   追加
//   categories set POS SEX FROM TO EVENT_FROM EVENT_TO NAME [--title-only] 修正
//   categories delete POS                                                削除
//   categories preset 0|1|2                          中国室内 / ＪＯ予選 / マスターズ
#include <iostream>

#include "core/printer.h"
#include "meetctl/cli.h"
#include "program/frm_opt_kubun_screen.h"

namespace meet::cli {
namespace {

constexpr const char* kAddUsage = "categories add SEX FROM TO EVENT_FROM EVENT_TO NAME [--title-only]";
constexpr const char* kSetUsage = "categories set POS SEX FROM TO EVENT_FROM EVENT_TO NAME [--title-only]";

// Runs one command of the screen on the meet folder and lists the file after it.
template <class Command>
int WithScreen(Context& ctx, bool mustBeSound, Command command) {
  auto meet = MeetFolderToWrite(ctx);
  if (!meet) return Failed(ctx, meet.error());
  NullPrinter printer;
  Platform platform{printer, ctx.dialogs(), ctx.clock(), ctx.launcher()};
  FrmOptKubunScreen screen(*meet, platform);
  if (auto ok = screen.Open(); !ok) {
    if (mustBeSound) return Failed(ctx, ok.error());
    ctx.err << ok.error().message << '\n';
  }
  if (auto ok = command(screen); !ok) {
    if (ok.error().kind == ErrorKind::Cancelled) return 1;  // the notice is on stderr
    return Failed(ctx, ok.error());
  }
  ctx.out << kOptKubunHeading << '\n';
  int n = 0;
  for (const std::string& line : screen.lstKubun()) ctx.out << ++n << ": " << line << '\n';
  ctx.out << "lblKazu=" << screen.lblKazu() << '\n';
  return 0;
}

bool FillFields(FrmOptKubunScreen& screen, const std::vector<std::string>& a, size_t from, bool titleOnly) {
  if (a.size() != from + 6) return false;
  screen.fields.txtSei = a[from];
  screen.fields.txtAge = {a[from + 1], a[from + 2]};
  screen.fields.txtShu = {a[from + 3], a[from + 4]};
  screen.fields.txtKubun = a[from + 5];
  screen.fields.txtTitle.clear();
  if (titleOnly) screen.fields.txtTitle.push_back('T');
  return true;
}

Result<int> Position(const FrmOptKubunScreen& screen, const std::string& text) {
  const int count = static_cast<int>(screen.categories().size());
  if (count == 0) return Fail(ErrorKind::NotFound, "区分がありません。");
  return NumberInRange(text, "区分の位置", 1, count);
}

int CategoriesVerb(Context& ctx, std::vector<std::string>& args) {
  const bool titleOnly = TakeSwitch(args, "--title-only");
  if (args.empty()) return UsageError(ctx, "categories list|add|set|delete|preset …");
  const std::string what = args[0];
  if (what == "list" && args.size() == 1)
    return WithScreen(ctx, false, [](FrmOptKubunScreen&) -> Status { return {}; });
  if (what == "add") {
    if (args.size() != 7) return UsageError(ctx, kAddUsage);
    return WithScreen(ctx, true, [&](FrmOptKubunScreen& s) -> Status {
      FillFields(s, args, 1, titleOnly);
      return s.cmdTuika();
    });
  }
  if (what == "set") {
    if (args.size() != 8) return UsageError(ctx, kSetUsage);
    return WithScreen(ctx, true, [&](FrmOptKubunScreen& s) -> Status {
      auto pos = Position(s, args[1]);
      if (!pos) return std::unexpected(pos.error());
      if (auto ok = s.Select(*pos - 1); !ok) return ok;
      FillFields(s, args, 2, titleOnly);
      return s.cmdShusei();
    });
  }
  if (what == "delete") {
    if (args.size() != 2) return UsageError(ctx, "categories delete POS");
    return WithScreen(ctx, true, [&](FrmOptKubunScreen& s) -> Status {
      auto pos = Position(s, args[1]);
      if (!pos) return std::unexpected(pos.error());
      if (auto ok = s.Select(*pos - 1); !ok) return ok;
      return s.cmdSakujo();
    });
  }
  if (what == "preset") {
    if (args.size() != 2 || (args[1] != "0" && args[1] != "1" && args[1] != "2"))
      return UsageError(ctx, "categories preset 0|1|2（0 中国室内、1 ＪＯ予選、2 マスターズ）");
    return WithScreen(ctx, false, [&](FrmOptKubunScreen& s) { return s.cmdShoki(args[1][0] - '0'); });
  }
  return UsageError(ctx, "categories list|add|set|delete|preset …");
}

VerbRegistration categoriesVerb("categories", "categories list|add|set|delete|preset …", CategoriesVerb);

}  // namespace
}  // namespace meet::cli
