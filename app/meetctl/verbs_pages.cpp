// pages list|show|set|insert|delete|print|build: the page screen frmMkPage on
// the meet folder's hpro.dat, through the same screen class as the GUI, and
// the page builder that seeding runs.
#include <iostream>

#include "core/cp932.h"
#include "core/numbers.h"
#include "data/entry_file.h"
#include "meetctl/cli.h"
#include "program/projun_file.h"
#include "print/frm_mk_page_screen.h"
#include "print/hpro_layout.h"
#include "print/program_pages.h"

namespace meet::cli {
namespace {

// The entry file: that of the folder configuration, else the one the meet's
// settings name.
std::filesystem::path EntryFileFor(Context& ctx, const Settings& settings) {
  const Folders& folders = ctx.folders();
  if (!folders.entryFolder.empty()) return EntryFilePath(folders.entryFolder, folders.entryFileName);
  return EntryFilePath(settings.entryFolder, settings.entryFileName);
}

void ShowPage(Context& ctx, const FrmMkPageScreen& screen) {
  ctx.out << "ページ " << screen.txtPage() << '\n';
  ctx.out << "レース数 " << screen.txtRace()[0] << '\n';
  for (int k = 1; k <= kPageBoxes; ++k) ctx.out << k << ": " << screen.txtRace()[static_cast<size_t>(k)] << '\n';
}

// One verb: the screen opened on the meet, then the command.
int PagesVerb(Context& ctx, const std::string& sub, std::vector<std::string>& args) {
  auto meet = MeetFolderToWrite(ctx);
  if (!meet) return Failed(ctx, meet.error());
  auto settings = ctx.LoadedSettings();
  if (!settings) return Failed(ctx, settings.error());

  if (sub == "build") {
    auto pattern = TakeOption(args, "--pattern");
    if (!pattern) return Failed(ctx, pattern.error());
    PageBuildOptions options;
    options.noStageBreak = TakeSwitch(args, "--no-stage-break");
    options.noDayBreak = TakeSwitch(args, "--no-day-break");
    if (!args.empty()) return UsageError(ctx, "pages build [--pattern 0|1] [--no-stage-break] [--no-day-break]");
    if (*pattern) {
      auto n = NumberInRange(**pattern, "パターン", 0, 1);
      if (!n) return Failed(ctx, n.error());
      options.pattern = *n;
    }
    std::array<char, 15> flags{};
    if (auto entries = EntryFile::OpenForReading(EntryFileFor(ctx, **settings)))
      flags = entries->Events().extraRelayFlags;
    auto races = RaceFileImage::Load(*meet);
    if (!races) return Failed(ctx, races.error());
    auto order = ProgramOrder::Load(*meet);
    if (!order) return Failed(ctx, order.error());
    options.raceDays = RaceDays(*order, races->raceCount());
    if (auto ok = BuildProgramPages(*meet, flags, options); !ok) return Failed(ctx, ok.error());
    auto file = PageFile::Load(*meet);
    if (!file) return Failed(ctx, file.error());
    ctx.out << "ページを作成しました（" << file->pageCount() << " ページ）。\n";
    return 0;
  }

  auto platform = ctx.PlatformFor(sub == "print");
  if (!platform) return Failed(ctx, platform.error());
  FrmMkPageScreen screen(*meet, **settings, *platform);
  if (auto ok = screen.Open(); !ok) return Failed(ctx, ok.error());

  if (sub == "list" || sub == "print") {
    if (!args.empty()) return UsageError(ctx, "pages " + sub);
    if (sub == "list") {
      for (const std::string& line : screen.lines()) ctx.out << line << '\n';
      return 0;
    }
    auto printed = screen.Insatu();
    if (!printed) return Failed(ctx, printed.error());
    ctx.out << "ページ一覧を印刷しました（" << *printed << " 行）。\n";
    return 0;
  }

  if (args.empty()) return UsageError(ctx, "pages " + sub + " P");
  const int highest = sub == "insert" ? screen.pageCount() + 1 : screen.pageCount();
  if (highest < 1) return Failed(ctx, Error{ErrorKind::NotFound, "ページがありません。"});
  auto p = NumberInRange(args[0], "ページ番号", 1, highest);
  if (!p) return Failed(ctx, p.error());
  args.erase(args.begin());

  if (sub == "insert") {
    if (!args.empty()) return UsageError(ctx, "pages insert P");
    if (auto ok = screen.SohnyuAt(*p); !ok) return Failed(ctx, ok.error());
    ctx.out << "ページ " << *p << " に空のページを挿入しました（全 " << screen.pageCount() << " ページ）。\n";
    return 0;
  }
  if (auto ok = screen.ShowPage(*p); !ok) return Failed(ctx, ok.error());
  if (sub == "show") {
    if (!args.empty()) return UsageError(ctx, "pages show P");
    ShowPage(ctx, screen);
    return 0;
  }
  if (sub == "delete") {
    if (!args.empty()) return UsageError(ctx, "pages delete P");
    if (auto ok = screen.Sakujo(); !ok) return Failed(ctx, ok.error());
    ctx.out << "ページ " << *p << " を削除しました（全 " << screen.pageCount() << " ページ）。\n";
    return 0;
  }
  // set: the page becomes R1 … Rn with the later slots empty: the boxes past
  // the last race given are cleared, then each given value is typed into its
  // box and Enter pressed with the caret at its end.
  if (args.empty() || args.size() > static_cast<size_t>(kPageBoxes))
    return UsageError(ctx, "pages set P R1 … R8（1～8個のレース番号。指定しない欄は空になります）");
  // Every value is checked before the first box is entered, so a bad one
  // leaves the page as it was.
  for (const std::string& race : args)
    if (auto n = NumberInRange(race, "レース番号", 0, race_layout::kMaxRace); !n) return Failed(ctx, n.error());
  for (size_t box = args.size() + 1; box <= static_cast<size_t>(kPageBoxes); ++box) screen.txtRace()[box].clear();
  for (size_t i = 0; i < args.size(); ++i) {
    const int box = static_cast<int>(i) + 1;
    screen.txtRace()[static_cast<size_t>(box)] = args[i];
    if (auto ok = screen.RaceEnter(box, CharCount(args[i])); !ok) return Failed(ctx, ok.error());
  }
  ShowPage(ctx, screen);
  return 0;
}

int Pages(const std::string& sub, Context& ctx, std::vector<std::string>& args) { return PagesVerb(ctx, sub, args); }

VerbRegistration listVerb("pages list", "pages list", [](Context& c, std::vector<std::string>& a) { return Pages("list", c, a); });
VerbRegistration showVerb("pages show", "pages show P", [](Context& c, std::vector<std::string>& a) { return Pages("show", c, a); });
VerbRegistration setVerb("pages set", "pages set P R1 … R8（指定しない欄は空）",
                         [](Context& c, std::vector<std::string>& a) { return Pages("set", c, a); });
VerbRegistration insertVerb("pages insert", "pages insert P",
                            [](Context& c, std::vector<std::string>& a) { return Pages("insert", c, a); });
VerbRegistration deleteVerb("pages delete", "pages delete P",
                            [](Context& c, std::vector<std::string>& a) { return Pages("delete", c, a); });
VerbRegistration printVerb("pages print", "pages print",
                           [](Context& c, std::vector<std::string>& a) { return Pages("print", c, a); });
VerbRegistration buildVerb("pages build", "pages build [--pattern 0|1] [--no-stage-break] [--no-day-break]",
                           [](Context& c, std::vector<std::string>& a) { return Pages("build", c, a); });

}  // namespace
}  // namespace meet::cli
