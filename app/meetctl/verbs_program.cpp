// program list|add|correct|insert|delete|copy|print|init|generate: the
// program order editor frmProjun and the initial program frmProjShoki on the
// meet folder's projun.dat, through the same screen classes as the GUI.
#include <charconv>
#include <iostream>
#include <map>
#include <optional>
#include <string_view>

#include "core/cp932.h"
#include "core/numbers.h"
#include "core/time_code.h"
#include "meetctl/cli.h"
#include "program/frm_proj_shoki_screen.h"
#include "program/frm_projun_screen.h"

namespace meet::cli {
namespace {

constexpr const char* kUsage =
    "program list [--all] | add FIELD=VALUE… | correct S FIELD=VALUE… | insert S [--count M] | delete S | "
    "copy --to D --from A --through B [--sex 1..3] [--stage 1..4] [--stroke 1..7] [--distance 1..7] | print | "
    "init --from S [--unit-times T0,…,T13] [--start HHMMSS] [--day D] [--band FROM TO] [--renumber] [--all] | "
    "generate [--finals-only]（S・D・A・B はデータ番号: program list の先頭の列）";

Result<int> EntryNumber(const std::string& text) {
  auto n = WholeNumber(text);
  if (!n || *n < 1 || *n > 32767) return Fail(ErrorKind::Invalid, "データ番号は1～32767の数字で指定してください: " + text);
  return static_cast<int>(*n);
}

// A code option ("--sex 2") as an option index, 0 when absent.
Result<int> CodeOption(std::vector<std::string>& args, const std::string& name, int highest) {
  auto value = TakeOption(args, name);
  if (!value) return std::unexpected(value.error());
  if (!*value) return 0;
  auto n = WholeNumber(**value);
  if (!n || *n < 1 || *n > highest)
    return Fail(ErrorKind::Invalid, name + " は1～" + std::to_string(highest) + "で指定してください: " + **value);
  return static_cast<int>(*n);
}

// A time of day as the editor's HHMMSS number: hhmmss (93000 is 9:30:00) or
// h:mm:ss, hours 0–23, minutes and seconds 0–59.
Result<std::string> TimeOfDay(const std::string& what, const std::string& text) {
  const std::optional<int32_t> value = TimeOfDayValue(text);
  if (!value)
    return Fail(ErrorKind::Invalid, what + " " + text +
                                        " は時刻ではありません。hhmmss（時 0～23、分・秒 0～59。93000 は 9:30:00）で指定してください。");
  return NumberText(*value);
}

// FIELD=VALUE onto the editor's controls. Numbers are typed as they are (a
// non-numeric value reads as 0, as on the screen); the three codes choose the
// combo position.
Status ApplyFields(FrmProjunScreen& screen, const std::vector<std::string>& fields) {
  ProjunControls& c = screen.controls();
  std::map<std::string, std::string*> texts = {
      {"orderNo", &c.txtJun},         {"heatCount", &c.txtKumi}, {"ageFrom", &c.txtAge1},
      {"ageTo", &c.txtAge2},          {"perHeatTime", &c.txtZikatan}, {"totalTime", &c.txtZikan},
      {"startTime", &c.txtYotei},     {"firstRace", &c.txtRace}, {"seedFlag", &c.txtMa},
      {"dayNo", &c.txtHn}};
  std::map<std::string, std::pair<int*, int>> codes = {
      {"sexCode", {&c.cboSei, 3}}, {"eventCode", {&c.cboShumoku, 44}}, {"stageCode", {&c.cboMatch, 4}}};
  for (const std::string& field : fields) {
    size_t eq = field.find('=');
    if (eq == std::string::npos || eq == 0)
      return Fail(ErrorKind::Invalid, "FIELD=VALUE の形で指定してください: " + field);
    std::string name = field.substr(0, eq);
    std::string value = field.substr(eq + 1);
    if (name == "startTime") {
      auto start = TimeOfDay(name, value);
      if (!start) return std::unexpected(start.error());
      c.txtYotei = *start;
    } else if (auto t = texts.find(name); t != texts.end()) {
      *t->second = value;
    } else if (auto k = codes.find(name); k != codes.end()) {
      auto n = WholeNumber(value);
      if (!n || *n < 0 || *n > k->second.second)
        return Fail(ErrorKind::Invalid, name + " は0～" + std::to_string(k->second.second) +
                                            "のコードで指定してください（0 は未選択）: " + value);
      *k->second.first = static_cast<int>(*n) - 1;
    } else if (name == "excludedHeats") {
      screen.SetTxtSakujo(value);
    } else {
      return Fail(ErrorKind::Invalid, "不明な項目です: " + name +
                                          "（orderNo heatCount sexCode ageFrom ageTo eventCode stageCode perHeatTime "
                                          "totalTime startTime firstRace seedFlag dayNo excludedHeats）");
    }
  }
  return {};
}

int Report(Context& ctx, const Error& error) {
  if (error.kind == ErrorKind::Cancelled)
    return Failed(ctx, Error{error.kind, "確認されなかったため実行していません（--yes で実行します）。"});
  return Failed(ctx, error);
}

int ProgramVerb(Context& ctx, std::vector<std::string>& args) {
  if (args.empty()) return UsageError(ctx, kUsage);
  const std::string sub = args[0];
  args.erase(args.begin());

  auto meet = MeetFolderToWrite(ctx);
  if (!meet) return Failed(ctx, meet.error());
  auto settings = ctx.LoadedSettings();
  if (!settings) return Failed(ctx, settings.error());

  auto platform = ctx.PlatformFor(sub == "print");
  if (!platform) return Failed(ctx, platform.error());
  FrmProjunScreen screen(*meet, **settings, *platform);
  const bool all = TakeSwitch(args, "--all");
  if (auto ok = screen.Open(); !ok) return Failed(ctx, ok.error());
  if (all)
    if (auto ok = screen.SetChkJun(true); !ok) return Failed(ctx, ok.error());

  auto select = [&](const std::string& text) -> Status {
    auto n = EntryNumber(text);
    if (!n) return std::unexpected(n.error());
    return screen.SelectEntry(*n);
  };
  auto noMoreArgs = [&]() { return args.empty(); };

  if (sub == "list") {
    if (!noMoreArgs()) return UsageError(ctx, "program list [--all]");
    // The first column is the data number (the entry's position in the file)
    // that correct, insert, delete, copy and init take; the screen's own line
    // follows, with its list line number.
    ctx.out << "ﾃﾞｰﾀ " << kProjunHeading << '\n';
    const auto& lines = screen.lines();
    const auto& map = screen.lineMap();
    for (size_t i = 0; i < lines.size(); ++i)
      ctx.out << RightAligned(i < map.size() ? map[i] : 0, 4) << " " << lines[i] << '\n';
    return 0;
  }
  if (sub == "add") {
    if (args.empty()) return UsageError(ctx, "program add FIELD=VALUE…（登録する項目を指定してください）");
    screen.ShowEntry(BlankProgramEntry());
    if (auto ok = ApplyFields(screen, args); !ok) return Failed(ctx, ok.error());
    if (auto ok = screen.Shinki(); !ok) return Report(ctx, ok.error());
    ctx.out << "新規登録しました（" << screen.lblL1() << " 件目）。\n";
    return 0;
  }
  if (sub == "correct" || sub == "delete" || sub == "insert") {
    auto count = TakeOption(args, "--count");
    if (!count) return Failed(ctx, count.error());
    if (args.empty() || (sub != "insert" && *count)) return UsageError(ctx, kUsage);
    const std::string s = args[0];
    args.erase(args.begin());
    if (sub != "correct" && !noMoreArgs()) return UsageError(ctx, kUsage);
    if (sub == "correct" && noMoreArgs())
      return UsageError(ctx, "program correct S FIELD=VALUE…（修正する項目を指定してください）");
    if (auto ok = select(s); !ok) return Failed(ctx, ok.error());
    if (sub == "correct") {
      if (auto ok = ApplyFields(screen, args); !ok) return Failed(ctx, ok.error());
      if (auto ok = screen.Syusei(); !ok) return Report(ctx, ok.error());
      ctx.out << "データ " << s << " を修正しました。\n";
    } else if (sub == "delete") {
      if (auto ok = screen.Sakujo(); !ok) return Report(ctx, ok.error());
      ctx.out << "データ " << s << " を削除しました（登録 " << screen.lblL1() << " 件）。\n";
    } else {
      screen.txtSohnyu() = count->value_or("1");
      if (auto ok = screen.Sonyu(); !ok) return Report(ctx, ok.error());
      ctx.out << "データ " << s << " の位置に空データを " << LeadingNumber(screen.txtSohnyu()) << " 件挿入しました（登録 "
              << screen.lblL1() << " 件）。\n";
    }
    return 0;
  }
  if (sub == "copy") {
    auto to = TakeOption(args, "--to");
    auto from = TakeOption(args, "--from");
    auto through = TakeOption(args, "--through");
    for (const auto* o : {&to, &from, &through})
      if (!*o) return Failed(ctx, o->error());
    if (!*to || !*from || !*through) return UsageError(ctx, "program copy --to D --from A --through B [...]");
    auto sex = CodeOption(args, "--sex", 3);
    auto stage = CodeOption(args, "--stage", 4);
    auto stroke = CodeOption(args, "--stroke", 7);
    auto distance = CodeOption(args, "--distance", 7);
    for (const auto* o : {&sex, &stage, &stroke, &distance})
      if (!*o) return Failed(ctx, o->error());
    if (!noMoreArgs()) return UsageError(ctx, "不明な引数です: " + args[0]);
    screen.copy() = CopyControls{**to, **from, **through, *sex, *stage, *stroke, *distance};
    if (auto ok = screen.Copy(); !ok) return Report(ctx, ok.error());
    ctx.out << **from << "～" << **through << " を " << **to << " へ複写しました（登録 " << screen.lblL1()
            << " 件）。\n";
    return 0;
  }
  if (sub == "print") {
    if (!noMoreArgs()) return UsageError(ctx, "program print");
    auto printed = screen.Insatu();
    if (!printed) return Failed(ctx, printed.error());
    ctx.out << "印刷しました: " << printed->pages << " ページ、" << printed->lines << " 行。\n";
    ctx.out << "HTML: " << printed->html.string() << '\n';
    ctx.out << "レース時刻: " << printed->racesTimed << " レース";
    if (printed->racesSkipped > 0) ctx.out << "（レースファイルにない組 " << printed->racesSkipped << "）";
    ctx.out << '\n';
    return 0;
  }
  if (sub == "init") {
    auto from = TakeOption(args, "--from");
    auto unit = TakeOption(args, "--unit-times");
    auto start = TakeOption(args, "--start");
    auto day = TakeOption(args, "--day");
    for (const auto* o : {&from, &unit, &start, &day})
      if (!*o) return Failed(ctx, o->error());
    std::optional<std::pair<std::string, std::string>> band;
    if (auto it = std::find(args.begin(), args.end(), "--band"); it != args.end()) {
      if (args.end() - it < 3) return UsageError(ctx, "--band の後に FROM TO が必要です。");
      band.emplace(*(it + 1), *(it + 2));
      args.erase(it, it + 3);
    }
    const bool renumber = TakeSwitch(args, "--renumber");
    if (!*from) return UsageError(ctx, "program init --from S …");
    if (!noMoreArgs()) return UsageError(ctx, "不明な引数です: " + args[0]);
    if (!*unit && !*start && !*day && !band && !renumber)
      return UsageError(ctx, "初期化する項目を指定してください（--unit-times --start --day --band --renumber）。");
    if (auto ok = select(**from); !ok) return Failed(ctx, ok.error());
    auto position = screen.ShokiStart();
    if (!position) return Failed(ctx, Error{ErrorKind::Invalid, kNoStartPosition});
    FrmProjShokiScreen shoki(*meet, (*settings)->classMode, *position, screen.chkJun());
    if (*unit) {
      std::vector<std::string> times;
      std::string_view rest = **unit;
      for (;;) {
        size_t comma = rest.find(',');
        times.emplace_back(rest.substr(0, comma));
        if (comma == std::string_view::npos) break;
        rest.remove_prefix(comma + 1);
      }
      if (times.size() != static_cast<size_t>(kTankaBoxes))
        return UsageError(ctx, "--unit-times には14個の単位時間をコンマで区切って指定してください（予選 25m…1500m、決勝 25m…1500m）。");
      shoki.chkKohmoku[kItemUnitTime] = true;
      for (int i = 0; i < kTankaBoxes; ++i) {
        shoki.txtTanka[static_cast<size_t>(i)] = times[static_cast<size_t>(i)];
        shoki.TankaEnter(i, CharCount(times[static_cast<size_t>(i)]));
      }
    }
    if (*start) {
      auto value = TimeOfDay("--start", **start);
      if (!value) return Failed(ctx, value.error());
      shoki.chkKohmoku[kItemSchedule] = true;
      shoki.txtYotei = *value;
    }
    if (*day) {
      shoki.chkKohmoku[kItemDay] = true;
      shoki.txtNiti = **day;
    }
    if (band) {
      shoki.chkKohmoku[kItemBand] = true;
      shoki.txtKubun = {band->first, band->second};
    }
    shoki.chkKohmoku[kItemRenumber] = renumber;
    if (auto ok = shoki.Zikko(); !ok) return Failed(ctx, ok.error());
    if (auto ok = screen.AfterShoki(); !ok) return Failed(ctx, ok.error());
    ctx.out << "競技順を初期化しました（開始 " << *position << "、登録 " << screen.lblL1() << " 件）。\n";
    return 0;
  }
  if (sub == "generate") {
    const bool finalsOnly = TakeSwitch(args, "--finals-only");
    if (!noMoreArgs()) return UsageError(ctx, "program generate [--finals-only]");
    auto added = screen.Jidou(finalsOnly);
    if (!added) return Report(ctx, added.error());
    ctx.out << "自動作成で " << *added << " 件追加しました（登録 " << screen.lblL1() << " 件）。\n";
    return 0;
  }
  return UsageError(ctx, kUsage);
}

VerbRegistration programVerb("program", kUsage, ProgramVerb);

}  // namespace
}  // namespace meet::cli
