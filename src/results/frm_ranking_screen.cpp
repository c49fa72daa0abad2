#include "results/frm_ranking_screen.h"

#include <memory>

#include "core/file_names.h"
#include "core/numbers.h"
#include "results/wa_points.h"

namespace meet {

const std::array<RankingFrame, 7>& RankingFrames() {
  static const std::array<RankingFrame, 7> frames = {{
      {"打出順", "optJun", {"競技順", "種目順", "プロ"}},
      {"性別", "optSei", {"全部", "男子", "女子"}},
      {"種目", "optShu", {"全部", "自由", "背泳", "平泳", "バタ", "個メ", "ＭＲ", "ＦＲ"}},
      {"距離", "optKyori", {"全部", "25", "50", "100", "200", "400", "800", "1500"}},
      {"予決", "optYoketu", {"全部", "予選", "決勝", "コン", "準決", "結合", "申込"}},
      {"備考", "optBiko", {"無視", "該当"}},
      {"標準", "optHyo", {"無視", "該当"}},
  }};
  return frames;
}

FrmRankingScreen::FrmRankingScreen(MeetFiles meet) : meet_(std::move(meet)) {
  for (size_t i = 0; i < kRankingRanges.size(); ++i) ranges_[i] = {kRankingRanges[i].from, kRankingRanges[i].to};
}

void FrmRankingScreen::ClickOption(int frame, int index) {
  if (frame < 0 || frame >= static_cast<int>(options_.size())) return;
  const auto& options = RankingFrames()[static_cast<size_t>(frame)].options;
  if (index < 0 || index >= static_cast<int>(options.size())) return;
  options_[static_cast<size_t>(frame)] = index;
  if (frame == kFrameJun && index == kOrderProgram) {
    insatu_ = false;
    html_ = true;
  }
}

void FrmRankingScreen::ClickInsatu(bool ticked) {
  if (chkInsatuEnabled()) insatu_ = ticked;
}

void FrmRankingScreen::ClickHtml(bool ticked) {
  if (chkHtmlEnabled()) html_ = ticked;
}

RankingOptions FrmRankingScreen::Options() const {
  RankingOptions o;
  o.order = option(kFrameJun);
  o.sex = option(kFrameSei);
  o.stroke = option(kFrameShu);
  o.distance = option(kFrameKyori);
  o.stage = option(kFrameYoketu);
  o.records = option(kFrameBiko) == 1;
  o.standards = option(kFrameHyo) == 1;
  auto n = [this](int range, int end) { return LeadingInt32(txtRange(range, end)); };
  o.openFrom = n(kRangeMkyu, 0);
  o.openTo = n(kRangeMkyu, 1);
  o.ageLevelFrom = n(kRangeNkyu, 0);
  o.ageLevelTo = n(kRangeNkyu, 1);
  o.ageFrom = n(kRangeNenrei, 0);
  o.ageTo = n(kRangeNenrei, 1);
  o.gradeFrom = n(kRangeGakunen, 0);
  o.gradeTo = n(kRangeGakunen, 1);
  o.maxRank = LeadingInt32(txtJun_);
  o.regPrefix = txtQBan_;
  o.unmask = hiroshima_;
  return o;
}

Status FrmRankingScreen::Begin(Platform& platform, std::function<void(const std::string&)> lines) {
  runOptions_ = Options();
  // The list file of the event order is written as the run starts; the HTML
  // at its end must be writable before then.
  if (html_)
    if (auto ok = CheckWritable(RankingHtmlPath(meet_.meetFolder, meet_.settings.meetAbbrev, runOptions_.order,
                                                runOptions_.stage));
        !ok) {
      txtHyoji_ = ok.error().message;
      return ok;
    }
  auto run = RankingRun::Start(meet_, runOptions_);
  if (!run) {
    txtHyoji_ = run.error().message;
    return std::unexpected(run.error());
  }
  run_.emplace(std::move(*run));
  printout_.reset();
  htmlOut_.reset();
  if (insatu_) printout_.emplace(platform.printer, platform.clock, meet_.settings);
  if (html_) {
    htmlOut_.emplace();
    // The points column, when the meet holds a points table and the lists rank results.
    if (runOptions_.stage != kStageEntry) {
      auto points = ResultPoints::Load(meet_);
      if (!points) {
        run_.reset();
        htmlOut_.reset();
        txtHyoji_ = points.error().message;
        return std::unexpected(points.error());
      }
      if (*points)
        htmlOut_->ShowPoints([p = std::make_shared<ResultPoints>(std::move(**points))](int race, int slot) {
          return p->Of(race, slot);
        });
    }
  }
  lines_ = std::move(lines);
  outcome_ = RankingOutcome{};
  ShowProgress();
  return {};
}

void FrmRankingScreen::ShowProgress() {
  if (!run_) return;
  if (run_->finished()) {
    txtHyoji_ = "終了 " + NumberText(run_->count()) + " 種目";
    return;
  }
  txtHyoji_ = NumberText(run_->done() + 1) + " / " + NumberText(run_->count()) + " " + run_->NextTitle();
}

bool FrmRankingScreen::Step() {
  if (!run_ || run_->finished()) return false;
  for (const RankingBlock& block : run_->Step()) {
    ++outcome_.lists;
    for (const RankingRow& row : block.rows)
      if (!row.member) ++outcome_.lines;
    if (printout_) printout_->List(block);
    if (htmlOut_) htmlOut_->List(block);
    if (lines_) lines_(RankingTextLines(block));
  }
  ++outcome_.events;
  ShowProgress();
  return !run_->finished();
}

Result<RankingOutcome> FrmRankingScreen::Finish() {
  if (!run_) return Fail(ErrorKind::Invalid, "ランキングは実行されていません。");
  while (Step()) {
  }
  RankingOutcome outcome = outcome_;
  outcome.leftOutNote = run_->LeftOutNote();
  Status written;
  if (printout_) {
    // A printout the printer refused leaves the HTML file as it was.
    written = printout_->End();
    outcome.pages = printout_->pages();
  }
  if (htmlOut_ && written) {
    const auto path = RankingHtmlPath(meet_.meetFolder, meet_.settings.meetAbbrev, runOptions_.order, runOptions_.stage);
    written = htmlOut_->Write(path);
    if (written) outcome.html = path;
  }
  run_.reset();
  printout_.reset();
  htmlOut_.reset();
  lines_ = nullptr;
  if (!written) {
    txtHyoji_ = written.error().message;
    return std::unexpected(written.error());
  }
  outcome.closeScreen = insatu_ || html_;
  txtHyoji_ = "終了 " + NumberText(outcome.events) + " 種目 " + NumberText(outcome.lines) + " 名";
  if (!outcome.leftOutNote.empty()) txtHyoji_ += "　" + outcome.leftOutNote;
  return outcome;
}

Result<RankingOutcome> FrmRankingScreen::Run(Platform& platform, std::function<void(const std::string&)> lines) {
  if (auto ok = Begin(platform, std::move(lines)); !ok) return std::unexpected(ok.error());
  return Finish();
}

}  // namespace meet
