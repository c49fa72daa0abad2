// The standards and records table (shikaku.dat) and the record check:
//   standards show R | set R POS CODE | group KIND FIRST LAST |
//   standards init KIND [--keep-times] [--record R] [--yes] |
//   standards copy PREV_MEET_DIR --mode original|results [--parts 世界,アジア,…]
//   record-check
//   sample-standards [--seed S]
// Each runs the standards screen's command of the same name.
#include <algorithm>
#include <charconv>
#include <climits>
#include <iostream>
#include <string_view>

#include "core/cp932.h"
#include "core/numbers.h"
#include "core/time_code.h"
#include "meetctl/cli.h"
#include "records/record_check.h"
#include "records/sample_standards.h"
#include "records/shikaku_screen.h"

namespace meet::cli {
namespace {

constexpr const char* kStandardsUsage =
    "standards show R | standards set R POS CODE | standards group KIND FIRST LAST | "
    "standards init KIND [--keep-times] [--record R] [--yes] | "
    "standards copy PREV_MEET_DIR --mode original|results [--parts 世界,アジア,…]";

// 最高, 大会, 標準1, 標準2, 標準4, 級, or the option button's number 0–5.
Result<int> KindOf(const std::string& text) {
  for (int k = 0; k < kKindCount; ++k)
    if (text == KindCaption(k)) return k;
  if (auto n = WholeNumber(text); n && *n >= 0 && *n < kKindCount) return static_cast<int>(*n);
  return Fail(ErrorKind::Invalid, "区分は 最高, 大会, 標準1, 標準2, 標準4, 級 または 0～5 で指定してください: " + text);
}

std::string RangeText(RecordRange r) { return NumberText(r.first) + "-" + NumberText(r.last); }

// Answers every question with OK (--yes given after the verb) and says so.
class AnsweringDialogs : public Dialogs {
 public:
  AnsweringDialogs(Dialogs& inner, std::ostream& err) : inner_(inner), err_(err) {}
  bool AskOkCancel(std::string_view text) override { return Answer(text); }
  bool AskYesNo(std::string_view text) override { return Answer(text); }
  void Notify(std::string_view text) override { inner_.Notify(text); }
  std::optional<std::string> PickFolder(std::string_view t, std::string_view s) override {
    return inner_.PickFolder(t, s);
  }
  std::optional<std::string> PickFile(std::string_view t, std::string_view s, std::string_view p) override {
    return inner_.PickFile(t, s, p);
  }

 private:
  bool Answer(std::string_view text) {
    std::string flat(text);
    std::replace(flat.begin(), flat.end(), '\n', ' ');
    err_ << flat << " -> --yes\n";
    return true;
  }
  Dialogs& inner_;
  std::ostream& err_;
};

int Show(Context& ctx, FrmShikakuScreen& screen, const std::string& recordText) {
  auto r = NumberInRange(recordText, "レコード番号", 1, ShikakuTable::kRecords);
  if (!r) return Failed(ctx, r.error());
  if (auto ok = screen.ShowRecord(*r); !ok) return Failed(ctx, ok.error());
  auto table = LoadShikaku(screen.meetFolder());
  if (!table) return Failed(ctx, table.error());
  ctx.out << "label=" << screen.naiyoLabel() << '\n';
  ctx.out << "groupKey=" << table->record(*r).groupKey << '\n';
  ctx.out << "group=" << RangeText(table->GroupOf(*r)) << '\n';
  for (int k = 0; k < kTimeFields; ++k) ctx.out << "cell." << k << '=' << screen.field(k) << '\n';
  return 0;
}

int Set(Context& ctx, FrmShikakuScreen& screen, const std::vector<std::string>& args) {
  auto r = NumberInRange(args[1], "レコード番号", 1, ShikakuTable::kRecords);
  if (!r) return Failed(ctx, r.error());
  auto pos = NumberInRange(args[2], "位置", 1, kTimeFields);
  if (!pos) return Failed(ctx, pos.error());
  auto code = NumberInRange(args[3], "記録", 0, INT32_MAX);
  if (!code) return Failed(ctx, code.error());
  if (auto ok = screen.ShowRecord(*r); !ok) return Failed(ctx, ok.error());
  auto written = screen.EnterField(*pos - 1, args[3]);
  if (!written) return Failed(ctx, written.error());
  ctx.out << "records=" << RangeText(*written) << '\n';
  ctx.out << "cell." << *pos - 1 << '=' << screen.field(*pos - 1) << '\n';
  return 0;
}

int Group(Context& ctx, FrmShikakuScreen& screen, const std::vector<std::string>& args) {
  auto kind = KindOf(args[1]);
  if (!kind) return Failed(ctx, kind.error());
  if (auto ok = screen.ChooseKind(*kind); !ok) return Failed(ctx, ok.error());
  screen.SetGroupText(0, args[2]);
  screen.SetGroupText(1, args[3]);
  auto made = screen.MakeGroupFromFields();
  if (!made) return Failed(ctx, made.error());
  ctx.out << "group=" << RangeText(*made) << '\n';
  return 0;
}

int Init(Context& ctx, FrmShikakuScreen& screen, std::vector<std::string>& args) {
  auto recordOption = TakeOption(args, "--record");
  if (!recordOption) return Failed(ctx, recordOption.error());
  bool keepTimes = TakeSwitch(args, "--keep-times");
  if (args.size() != 2) return UsageError(ctx, "standards init KIND [--keep-times] [--record R] [--yes]");
  auto kind = KindOf(args[1]);
  if (!kind) return Failed(ctx, kind.error());
  if (auto ok = screen.ChooseKind(*kind); !ok) return Failed(ctx, ok.error());
  if (*kind == kKindBest) {
    RecordRange best = KindRecords(kKindBest);
    auto r = NumberInRange(recordOption->value_or("141"), "レコード番号", best.first, best.last);
    if (!r) return Failed(ctx, r.error());
    if (auto ok = screen.ShowRecord(*r); !ok) return Failed(ctx, ok.error());
  } else if (*recordOption) {
    return UsageError(ctx, "--record は区分「最高」でだけ指定できます。");
  }
  screen.SetKeepTimes(keepTimes);
  auto done = screen.Initialise();
  if (!done) return Failed(ctx, done.error());
  if (done->empty()) {
    ctx.out << "「級」は初期化しません。\n";
    return 0;
  }
  ctx.out << "records=" << RangeText(*done) << '\n';
  if (!screen.lastBackup().empty()) ctx.out << "backup=" << screen.lastBackup() << '\n';
  return 0;
}

int Copy(Context& ctx, FrmShikakuScreen& screen, std::vector<std::string>& args) {
  auto mode = TakeOption(args, "--mode");
  if (!mode) return Failed(ctx, mode.error());
  auto parts = TakeOption(args, "--parts");
  if (!parts) return Failed(ctx, parts.error());
  if (args.size() != 2 || !*mode || (**mode != "original" && **mode != "results"))
    return UsageError(ctx, "standards copy PREV_MEET_DIR --mode original|results [--parts 世界,アジア,…]");
  screen.ChoosePreviousFolder(WithTrailingSeparator(args[1]));
  if (auto ok = screen.TakePreviousMeet(); !ok) return Failed(ctx, ok.error());
  ctx.out << "shikaku=" << screen.targetLabels()[0] << '\n';
  ctx.out << "biko=" << screen.targetLabels()[1] << '\n';
  screen.SetCopyMode(**mode == "original" ? CopyMode::Original : CopyMode::Results);
  if (*parts) {
    for (int p = 0; p < kCopyPartCount; ++p) screen.SetPart(p, false);
    std::string_view list = **parts;
    while (!list.empty()) {
      size_t comma = list.find(',');
      std::string name(Trim(list.substr(0, comma)));
      list = comma == std::string_view::npos ? std::string_view{} : list.substr(comma + 1);
      if (name.empty()) continue;
      int p = CopyPartOfCaption(name);
      if (p < 0)
        return Failed(ctx, Error{ErrorKind::Invalid, "複写する区分は 世界, アジア, 日本, 地域, 県, 地区, 大会, 標準1, "
                                                     "標準2, 標準4, 級 から選んでください: " + name});
      screen.SetPart(p, true);
    }
  }
  auto outcome = screen.Copy();
  if (!outcome) return Failed(ctx, outcome.error());
  if (screen.copyMode() == CopyMode::Original) {
    ctx.out << "copied=" << outcome->recordsCopied << '\n';
  } else {
    ctx.out << "applied=" << outcome->entriesApplied << '\n';
    ctx.out << "cells=" << outcome->cellsWritten << '\n';
  }
  if (!screen.lastBackup().empty()) ctx.out << "backup=" << screen.lastBackup() << '\n';
  return 0;
}

int StandardsVerb(Context& ctx, std::vector<std::string>& args) {
  if (args.empty()) return UsageError(ctx, kStandardsUsage);
  bool yes = TakeSwitch(args, "--yes");
  auto meet = MeetFolderToWrite(ctx);
  if (!meet) return Failed(ctx, meet.error());
  auto settings = ctx.LoadedSettings();
  if (!settings) return Failed(ctx, settings.error());
  NullPrinter printer;  // these commands print nothing
  AnsweringDialogs answering(ctx.dialogs(), ctx.err);
  Platform platform{printer, yes ? static_cast<Dialogs&>(answering) : ctx.dialogs(), ctx.clock(), ctx.launcher()};
  FrmShikakuScreen screen(*meet, **settings, platform);
  const std::string& command = args[0];
  if (command == "show" && args.size() == 2) return Show(ctx, screen, args[1]);
  if (command == "set" && args.size() == 4) return Set(ctx, screen, args);
  if (command == "group" && args.size() == 4) return Group(ctx, screen, args);
  if (command == "init") return Init(ctx, screen, args);
  if (command == "copy") return Copy(ctx, screen, args);
  return UsageError(ctx, kStandardsUsage);
}

int RecordCheckVerb(Context& ctx, std::vector<std::string>& args) {
  if (!args.empty()) return UsageError(ctx, "record-check");
  auto meet = ctx.MeetFolder();
  if (!meet) return Failed(ctx, meet.error());
  auto settings = ctx.LoadedSettings();
  if (!settings) return Failed(ctx, settings.error());
  auto printer = ctx.printer();
  if (!printer) return Failed(ctx, printer.error());
  Platform platform{**printer, ctx.dialogs(), ctx.clock(), ctx.launcher()};
  FrmShikakuScreen screen(*meet, **settings, platform);
  auto found = screen.Check();
  if (!found) return Failed(ctx, found.error());
  ctx.out << "findings=" << *found << '\n';
  return 0;
}

int SampleStandardsVerb(Context& ctx, std::vector<std::string>& args) {
  auto seedText = TakeOption(args, "--seed");
  if (!seedText) return Failed(ctx, seedText.error());
  if (!args.empty()) return UsageError(ctx, "sample-standards [--seed S]");
  uint64_t seed = 1;
  if (*seedText) {
    auto n = WholeNumber(**seedText);
    if (!n || *n < 0) return Failed(ctx, Error{ErrorKind::Invalid, "--seed は 0 以上の数字です: " + **seedText});
    seed = static_cast<uint64_t>(*n);
  }
  auto meet = MeetFolderToWrite(ctx);
  if (!meet) return Failed(ctx, meet.error());
  auto settings = ctx.LoadedSettings();
  if (!settings) return Failed(ctx, settings.error());
  auto written = WriteSampleStandards(*meet, seed, (*settings)->classMode, ctx.clock().Now());
  if (!written) return Failed(ctx, written.error());
  ctx.out << "file=" << written->file.string() << '\n';
  if (!written->backup.empty()) ctx.out << "backup=" << written->backup.string() << '\n';
  return 0;
}

VerbRegistration standardsVerb("standards", kStandardsUsage, StandardsVerb);
VerbRegistration recordCheckVerb("record-check", "record-check", RecordCheckVerb);
VerbRegistration sampleStandardsVerb("sample-standards", "sample-standards [--seed S]", SampleStandardsVerb);

}  // namespace
}  // namespace meet::cli
