// Manual entry and confirmation of a race (frmRace "手動入力"):
//   race confirm N --rows "LANE TIME,LANE TIME,…" [--split]
//   race reset N
// `confirm` types the rows in finishing order (each time read as the
// dialog reads it: 1–7 the disqualifications and 途中, 8 棄権, 9 not entered;
// a time written as 1:05.23 or 35.12 is typed as its digits)
// and presses "確　定"; --yes / --no answer the order warning. Record notices
// go to the --print target. `reset` is "初期" and needs --yes.
#include <iostream>
#include <memory>
#include <sstream>

#include "core/cp932.h"
#include "core/naming.h"
#include "core/numbers.h"
#include "core/time_code.h"
#include "data/race_file.h"
#include "data/race_states.h"
#include "data/relay_file.h"
#include "meetctl/cli.h"
#include "race/frm_race_screen.h"

namespace meet::cli {
namespace {

constexpr const char* kConfirmUsage = "race confirm N --rows \"LANE TIME,LANE TIME,…\" [--split]";
constexpr const char* kResetUsage = "race reset N";

// A printer that asks the context for the --print target only when the first
// notice is drawn, so a confirmation without notices needs no printer.
class OnDemandPrinter : public Printer {
 public:
  explicit OnDemandPrinter(Context& ctx) : ctx_(ctx) {}
  const std::optional<Error>& failure() const { return failure_; }

 protected:
  void DrawText(int x, int y, const PrintFont& font, std::string_view text) override {
    if (Printer* p = Target()) {
      p->SetFont(font);
      p->SetPosition(x, y);
      p->Print(text);
    }
  }
  void DrawLine(int x1, int y1, int x2, int y2) override {
    if (Printer* p = Target()) p->Line(x1, y1, x2, y2);
  }
  void BeginDocument(int) override {
    if (Printer* p = Target()) p->SetDocumentName(documentName());
  }
  void BeginPage(int, int page) override {
    if (page > 1)
      if (Printer* p = Target()) p->NewPage();
  }
  void FinishDocument(int) override {
    if (Printer* p = Target())
      if (auto ok = p->EndDoc(); !ok) FailDocument(ok.error());
  }

 private:
  Printer* Target() {
    if (failure_) return nullptr;
    if (!target_) {
      auto p = ctx_.printer();
      if (!p) {
        failure_ = p.error();
        return nullptr;
      }
      target_ = *p;
    }
    return target_;
  }
  Context& ctx_;
  Printer* target_ = nullptr;
  std::optional<Error> failure_;
};

struct Opened {
  std::string meet;
  std::unique_ptr<OnDemandPrinter> printer;
  std::unique_ptr<Platform> platform;
  std::unique_ptr<FrmRaceScreen> screen;
};

Status Open(Context& ctx, const std::string& raceText, Opened& o) {
  auto meet = ctx.MeetFolder();
  if (!meet) return std::unexpected(meet.error());
  auto settings = ctx.LoadedSettings();
  if (!settings) return std::unexpected(settings.error());
  const int count = ReadRaceCount(*meet);
  if (count == 0) return Fail(ErrorKind::NotFound, "レースファイルにレースがありません。");
  auto n = NumberInRange(raceText, "レース番号", 1, count);
  if (!n) return std::unexpected(n.error());
  o.meet = *meet;
  o.printer = std::make_unique<OnDemandPrinter>(ctx);
  o.platform = std::make_unique<Platform>(Platform{*o.printer, ctx.dialogs(), ctx.clock(), ctx.launcher()});
  o.screen = std::make_unique<FrmRaceScreen>(*meet, **settings, *n, *o.platform);
  return o.screen->Load();
}

std::vector<std::string> Split(const std::string& text, char separator) {
  std::vector<std::string> parts;
  std::string part;
  std::istringstream in(text);
  while (std::getline(in, part, separator)) parts.push_back(part);
  if (!text.empty() && text.back() == separator) parts.emplace_back();
  return parts;
}

std::vector<std::string> Words(const std::string& text) {
  std::vector<std::string> words;
  std::istringstream in(text);
  for (std::string w; in >> w;) words.push_back(w);
  return words;
}

// Types the rows into the dialog, in finishing order.
Status TypeRows(FrmRaceScreen& screen, const std::string& rowsText) {
  if (Trim(rowsText).empty()) return {};
  std::vector<std::string> rows = Split(rowsText, ',');
  if (rows.size() > static_cast<size_t>(kFinishRows))
    return Fail(ErrorKind::Invalid, "着順は " + NumberText(kFinishRows) + " 行までです（" + NumberText(rows.size()) +
                                        " 行あります）。");
  for (size_t i = 0; i < rows.size(); ++i) {
    const int row = static_cast<int>(i);
    const std::string label = "行 " + NumberText(row + 1) + "「" + Trim(rows[i]) + "」: ";
    std::vector<std::string> words = Words(rows[i]);
    if (words.empty() || words.size() > 2)
      return Fail(ErrorKind::Invalid, label + "「コース 記録」の形で指定してください。");
    screen.txtJun[i] = words[0];
    if (!screen.JunEnter(row))
      return Fail(ErrorKind::Invalid,
                  label + "コース " + words[0] + " には選手がいないか、10 を超えています。");
    // A lane without its time would be stored as 棄権: a typing slip.
    if (words.size() == 1)
      return Fail(ErrorKind::Invalid, label + "コース " + words[0] + " の記録がありません（棄権は 8）。");
    auto time = TypedSwimTime(words[1]);
    if (!time) return Fail(ErrorKind::Invalid, label + time.error().message);
    screen.txtKiro[i] = *time;
    if (!screen.KiroEnter(row))
      return Fail(ErrorKind::Invalid, label + (screen.kiroRefusal().empty()
                                                   ? "記録 " + words[1] + " は入力できません（6 文字まで、負の数は不可）。"
                                                   : screen.kiroRefusal()));
  }
  return {};
}

void PrintLanes(std::ostream& out, const Race& race) {
  for (size_t s = 0; s < 10; ++s) {
    out << "lane=" << s + 1 << " no=" << race.laneNo[s] << " time=" << race.laneTime[s] << " ("
        << Trim(FormatTime(race.laneTime[s])) << ") rank=" << race.laneRank[s] << " open=" << race.openLevel[s]
        << " age=" << race.ageLevel[s] << " flags=" << (race.standardFlags[s] == ' ' || race.standardFlags[s] == '\0'
                                                            ? std::string("-")
                                                            : std::string(1, race.standardFlags[s]))
        << " class=" << race.laneRecordClass[s];
    if (race.laneRecordClass[s] != 0) out << " (" << Trim(RecordClassAbbrev(race.laneRecordClass[s])) << ")";
    out << '\n';
  }
}

std::string StateText(const std::string& meet, int race) {
  auto states = RaceStates::Read(meet);
  char c = states ? states->state(race) : '\0';
  return static_cast<unsigned char>(c) > 0x20 && static_cast<unsigned char>(c) < 0x7f ? std::string(1, c) : "-";
}

int ConfirmVerb(Context& ctx, std::vector<std::string>& args) {
  auto rows = TakeOption(args, "--rows");
  if (!rows) return Failed(ctx, rows.error());
  const bool split = TakeSwitch(args, "--split");
  if (args.size() != 1 || !*rows) return UsageError(ctx, kConfirmUsage);
  Opened o;
  if (auto ok = Open(ctx, args[0], o); !ok) return Failed(ctx, ok.error());
  FrmRaceScreen& screen = *o.screen;
  screen.chkRel = split;
  if (auto ok = TypeRows(screen, **rows); !ok) return Failed(ctx, ok.error());
  auto done = screen.Kakutei();
  if (!done) return Failed(ctx, done.error());
  if (*done == Confirmation::Cancelled)
    return Failed(ctx, Error{ErrorKind::Cancelled, "記録の並びが不正なため、確定しませんでした（続ける場合は --yes）。"});
  if (*done == Confirmation::CancelledAllWithdrawn)
    return Failed(ctx, Error{ErrorKind::Cancelled, "全員が棄権になるため、確定しませんでした（続ける場合は --yes）。"});
  if (*done == Confirmation::Splits) {
    auto relay = RelayFile::OpenForReading(o.meet);
    if (!relay) return Failed(ctx, relay.error());
    RelayBlock block = relay->Read(screen.race().relayRec);
    ctx.out << "途中時間を記録しました（relay.dat ブロック " << screen.race().relayRec << "）。\n";
    for (size_t s = 0; s < block.splitTimes.size(); ++s)
      ctx.out << "split." << s + 1 << '=' << block.splitTimes[s] << " (" << Trim(FormatTime(block.splitTimes[s]))
              << ")\n";
    return 0;
  }
  auto stored = LoadRaceB(o.meet, screen.currentRace());
  if (!stored) return Failed(ctx, stored.error());
  PrintLanes(ctx.out, *stored);
  ctx.out << "notices=" << screen.noticesPrinted() << '\n';
  ctx.out << "state=" << StateText(o.meet, screen.currentRace()) << '\n';
  for (const std::string& line : screen.nextStageLines())
    ctx.out << (line.starts_with("同記録") ? "注意 " : "次ラウンド ") << line << '\n';
  if (const auto& failure = o.printer->failure())
    return Failed(ctx, Error{failure->kind, "結果は保存しましたが、記録の通知を印刷できませんでした: " + failure->message});
  if (!screen.printFailures().empty()) {
    for (const std::string& failure : screen.printFailures()) ctx.err << "meetctl: " << failure << '\n';
    ctx.err << "meetctl: 結果は保存しました（印刷できなかったものは上のとおりです）。\n";
    return 1;
  }
  return 0;
}

int ResetVerb(Context& ctx, std::vector<std::string>& args) {
  if (args.size() != 1) return UsageError(ctx, kResetUsage);
  Opened o;
  if (auto ok = Open(ctx, args[0], o); !ok) return Failed(ctx, ok.error());
  if (auto ok = o.screen->Shoki(); !ok) {
    if (ok.error().kind == ErrorKind::Cancelled)
      return Failed(ctx, Error{ErrorKind::Cancelled, "初期化しませんでした（初期化する場合は --yes）。"});
    return Failed(ctx, ok.error());
  }
  ctx.out << "state=" << StateText(o.meet, o.screen->currentRace()) << '\n';
  return 0;
}

VerbRegistration raceConfirmVerb("race confirm", kConfirmUsage, ConfirmVerb);
VerbRegistration raceResetVerb("race reset", kResetUsage, ResetVerb);

}  // namespace
}  // namespace meet::cli
