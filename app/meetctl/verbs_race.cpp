// race view N / race enter N ROW FIELD TEXT / race goto EVENT.HEAT /
// race states: the race screen frmKyogi without a window, through the same
// screen class the widget uses.
#include <iostream>
#include <string_view>

#include "core/cp932.h"
#include "core/numbers.h"
#include "core/printer.h"
#include "data/race_file.h"
#include "data/race_states.h"
#include "meetctl/cli.h"
#include "race/frm_kyogi_screen.h"

namespace meet::cli {
namespace {

// The columns of a lane row: name and display width (never cut).
struct Column {
  const char* name;
  int width;
};
constexpr Column kColumns[] = {{"lane", 6},    {"txtNo", 5},  {"txtQBan", 14}, {"txtNamae", 22}, {"txtKana", 22},
                               {"txtKen", 8},  {"txtSho", 12}, {"txtTosi", 3},  {"txtGaku", 8},   {"txtJun", 3},
                               {"txtKiro", 8}, {"txtMu", 3},   {"txtNen", 3},   {"txtHoj", 1},    {"txtBiko", 5},
                               {"txtQkiro", 9}};

std::string Padded(std::string_view text, int width) {
  std::string out(text);
  for (int w = AnsiLen(text); w < width; ++w) out += ' ';
  return out;
}

std::string RowLine(int row, const LaneRow& r) {
  const std::string values[] = {LaneLabel(row), r.txtNo,  r.txtQBan, r.txtNamae, r.txtKana, r.txtKen,
                                r.txtSho,       r.txtTosi, r.txtGaku, r.txtJun,   r.txtKiro, r.txtMu,
                                r.txtNen,       r.txtHoj,  r.txtBiko, r.txtQkiro + (r.qkiroGrey ? "*" : "")};
  std::string line;
  for (size_t i = 0; i < std::size(kColumns); ++i) line += (i ? "|" : "") + Padded(values[i], kColumns[i].width);
  return TrimRight(line);
}

std::string ColumnLine() {
  std::string line;
  for (size_t i = 0; i < std::size(kColumns); ++i) line += (i ? "|" : "") + Padded(kColumns[i].name, kColumns[i].width);
  return TrimRight(line);
}

void PrintHeader(std::ostream& out, const FrmKyogiScreen& k) {
  const KyogiHeader& h = k.header();
  out << "lblRecord=" << h.lblRecord << '\n'
      << "lblPno=" << h.lblPno << '\n'
      << "lblKumi=" << h.lblKumi << '\n'
      << "lblTKumi=" << h.lblTKumi << '\n'
      << "lblSei=" << h.lblSei << '\n'
      << "lblShubetu=" << h.lblShubetu << '\n'
      << "lblShumoku=" << h.lblShumoku << '\n'
      << "lblYoketu=" << h.lblYoketu << '\n'
      << "lblYZikan=" << h.lblYZikan << '\n'
      << "lblZikan=" << h.lblZikan << '\n'
      << "lblDate=" << h.lblDate << '\n'
      << "lblSZikan=" << h.lblSZikan << '\n';
  out << "lblSZikan.colour=";
  if (h.lblSZikanColour)
    out << h.lblSZikanColour->red << ',' << h.lblSZikanColour->green << ',' << h.lblSZikanColour->blue;
  out << '\n' << "cmdOhda=" << (k.cmdOhdaEnabled() ? "enabled" : "disabled") << '\n';
}

// The standards panel: one line per level (general, 大学, 高校, 中学, 学童),
// then the meet record and the three standards.
void PrintStandards(std::ostream& out, const FrmKyogiScreen& k) {
  static const char* const kLevels[] = {"世界", "アジア", "日本", "地域", "県", "地区"};
  const auto& boxes = k.txtTKiro();
  for (int level = 0; level < 6; ++level) {
    std::string line = Padded(kLevels[level], 8);
    for (int c = 0; c < 5; ++c) line += "|" + Padded(boxes[static_cast<size_t>(level * 5 + c)], 8);
    out << TrimRight(line) << '\n';
  }
  std::string line = Padded("大会/標準", 8);
  for (int item = 30; item < 34; ++item) line += "|" + Padded(boxes[static_cast<size_t>(item)], 8);
  out << TrimRight(line) << '\n';
}

void PrintRows(std::ostream& out, const FrmKyogiScreen& k) {
  out << TrimRight(kKyogiHeading) << '\n' << ColumnLine() << '\n';
  for (int row = 0; row < kLaneRows; ++row) out << RowLine(row, k.rows()[static_cast<size_t>(row)]) << '\n';
}

// The screen on the meet folder, opened at race 1.
struct Opened {
  NullPrinter printer;
  std::unique_ptr<Platform> platform;
  std::unique_ptr<FrmKyogiScreen> screen;
};

Result<Opened*> OpenScreen(Context& ctx, Opened& o) {
  auto meet = ctx.MeetFolder();
  if (!meet) return std::unexpected(meet.error());
  auto settings = ctx.LoadedSettings();
  if (!settings) return std::unexpected(settings.error());
  o.platform = std::make_unique<Platform>(Platform{o.printer, ctx.dialogs(), ctx.clock(), ctx.launcher()});
  o.screen = std::make_unique<FrmKyogiScreen>(*meet, **settings, *o.platform);
  if (auto ok = o.screen->Open(); !ok) return std::unexpected(ok.error());
  return &o;
}

Status ShowRaceArgument(FrmKyogiScreen& k, const std::string& text) {
  const int count = k.raceCount();
  if (count == 0) return Fail(ErrorKind::NotFound, "レースファイルにレースがありません。");
  auto n = NumberInRange(text, "レース番号", 1, count);
  if (!n) return std::unexpected(n.error());
  return k.ShowRace(*n);
}

int RaceViewVerb(Context& ctx, std::vector<std::string>& args) {
  if (args.size() != 1) return UsageError(ctx, "race view N");
  Opened o;
  if (auto ok = OpenScreen(ctx, o); !ok) return Failed(ctx, ok.error());
  FrmKyogiScreen& k = *o.screen;
  if (auto ok = ShowRaceArgument(k, args[0]); !ok) return Failed(ctx, ok.error());
  PrintHeader(ctx.out, k);
  PrintStandards(ctx.out, k);
  PrintRows(ctx.out, k);
  return 0;
}

constexpr const char* kEnterUsage =
    "race enter N ROW FIELD TEXT (ROW 1..12, FIELD txtNo txtJun txtKiro txtMu txtNen txtHoj txtBiko txtQkiro; "
    "a time as 10523 or 1:05.23)";

int RaceEnterVerb(Context& ctx, std::vector<std::string>& args) {
  if (args.size() != 4) return UsageError(ctx, kEnterUsage);
  auto field = LaneFieldOfName(args[2]);
  if (!field) return UsageError(ctx, "入力欄 " + args[2] + " はありません: " + kEnterUsage);
  auto row = NumberInRange(args[1], "行", 1, kLaneRows);
  if (!row) return Failed(ctx, row.error());
  Opened o;
  if (auto ok = OpenScreen(ctx, o); !ok) return Failed(ctx, ok.error());
  FrmKyogiScreen& k = *o.screen;
  if (auto ok = ShowRaceArgument(k, args[0]); !ok) return Failed(ctx, ok.error());
  std::string typed = args[3];
  if (*field == LaneField::txtKiro || *field == LaneField::txtQkiro) {
    auto time = TypedSwimTime(typed);
    if (!time) return Failed(ctx, time.error());
    typed = *time;
  }
  auto focus = k.EnterLaneField(*field, *row - 1, typed);
  if (!focus) return Failed(ctx, focus.error());
  ctx.out << ColumnLine() << '\n' << RowLine(*row - 1, k.rows()[static_cast<size_t>(*row - 1)]) << '\n';
  if (*focus == ToiFocus()) ctx.out << "focus=txtToi\n";
  return 0;
}

int RaceGotoVerb(Context& ctx, std::vector<std::string>& args) {
  if (args.size() != 1) return UsageError(ctx, "race goto EVENT.HEAT");
  Opened o;
  if (auto ok = OpenScreen(ctx, o); !ok) return Failed(ctx, ok.error());
  if (args[0].find('.') == std::string::npos) return UsageError(ctx, "race goto EVENT.HEAT（例: 12.3）");
  if (auto ok = o.screen->EnterToi(args[0]); !ok) return Failed(ctx, ok.error());
  if (!o.screen->jumpFound())
    return Failed(ctx, Error{ErrorKind::NotFound, "競技・組 " + args[0] + " のレースはありません。"});
  ctx.out << o.screen->currentRace() << '\n';
  return 0;
}

int RaceStatesVerb(Context& ctx, std::vector<std::string>& args) {
  if (!args.empty()) return UsageError(ctx, "race states");
  auto meet = ctx.MeetFolder();
  if (!meet) return Failed(ctx, meet.error());
  auto states = RaceStates::Read(*meet);
  if (!states) return Failed(ctx, states.error());
  const int count = ReadRaceCount(*meet);
  for (int n = 1; n <= count; ++n) {
    const char c = states->state(n);
    ctx.out << n << ' ';
    if (static_cast<unsigned char>(c) > 0x20 && static_cast<unsigned char>(c) < 0x7f)
      ctx.out << c;
    else
      ctx.out << '-';
    ctx.out << '\n';
  }
  return 0;
}

VerbRegistration raceViewVerb("race view", "race view N", RaceViewVerb);
VerbRegistration raceEnterVerb("race enter", kEnterUsage, RaceEnterVerb);
VerbRegistration raceGotoVerb("race goto", "race goto EVENT.HEAT", RaceGotoVerb);
VerbRegistration raceStatesVerb("race states", "race states", RaceStatesVerb);

}  // namespace
}  // namespace meet::cli
