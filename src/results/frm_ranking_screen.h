// The ranking screen frmRanking ("ランキング") without its widgets: the option
// frames, the range and filter text boxes, the check boxes and their enabling
// rules, the progress display txtHyoji and "実行" (cmdZikko), run one event
// at a time so that the window can stay responsive between events.
#pragma once

#include <array>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "core/error.h"
#include "core/platform.h"
#include "print/print_sources.h"
#include "results/ranking_list.h"
#include "results/ranking_output.h"

namespace meet {

inline constexpr const char* kRankingCaption = "ランキング";

// One option frame: its caption, its control name and its options.
struct RankingFrame {
  const char* caption;
  const char* control;
  std::vector<const char*> options;
};
enum RankingFrameIndex { kFrameJun, kFrameSei, kFrameShu, kFrameKyori, kFrameYoketu, kFrameBiko, kFrameHyo };
const std::array<RankingFrame, 7>& RankingFrames();

// The range boxes: control name, label, defaults.
struct RankingRange {
  const char* control;
  const char* label;
  const char* from;
  const char* to;
};
enum RankingRangeIndex { kRangeMkyu, kRangeNkyu, kRangeNenrei, kRangeGakunen };
inline constexpr std::array<RankingRange, 4> kRankingRanges = {{{"txtMkyu", "無差別級", "0", "14"},
                                                                 {"txtNkyu", "年齢別級", "0", "14"},
                                                                 {"txtNenrei", "年齢", "0", "100"},
                                                                 {"txtGakunen", "学年", "0", "100"}}};
inline constexpr const char* kJunLabel = "順位";
inline constexpr const char* kJunDefault = "1000";
inline constexpr const char* kQBanLabel = "登録番号";
inline constexpr const char* kInsatuCaption = "印刷";
inline constexpr const char* kHtmlCaption = "HTML";
inline constexpr const char* kHiroshimaCaption = "広島の選手名を表示";
inline constexpr const char* kHiroshimaTip = "広島県の選手の個人情報を表示";
inline constexpr const char* kZikkoCaption = "実行";
inline constexpr const char* kRankingOwariCaption = "終";

struct RankingOutcome {
  int events = 0;  // events (races under "プロ") gone through
  int lists = 0;   // lists with at least one line
  int lines = 0;   // swimmer and team lines
  int pages = 0;   // printed pages
  std::optional<std::filesystem::path> html;  // the HTML file written
  bool closeScreen = false;  // "印刷" or "HTML" was ticked: back to the hub
  // The results the age or grade range left off the lists, with the ranges
  // that would list them; empty when none was left out.
  std::string leftOutNote;
};

class FrmRankingScreen {
 public:
  explicit FrmRankingScreen(MeetFiles meet);

  int option(int frame) const { return options_.at(static_cast<size_t>(frame)); }
  // An option click; "プロ" unticks and disables "印刷" and ticks and locks
  // "HTML"; the other orders enable both again.
  void ClickOption(int frame, int index);

  std::string& txtRange(int range, int end) { return ranges_.at(static_cast<size_t>(range)).at(static_cast<size_t>(end)); }
  const std::string& txtRange(int range, int end) const {
    return ranges_.at(static_cast<size_t>(range)).at(static_cast<size_t>(end));
  }
  std::string& txtJun() { return txtJun_; }
  std::string& txtQBan() { return txtQBan_; }
  const std::string& txtHyoji() const { return txtHyoji_; }

  bool chkInsatu() const { return insatu_; }
  bool chkHtml() const { return html_; }
  bool chkHiroshima() const { return hiroshima_; }
  bool chkInsatuEnabled() const { return option(kFrameJun) != kOrderProgram; }
  bool chkHtmlEnabled() const { return option(kFrameJun) != kOrderProgram; }
  void ClickInsatu(bool ticked);
  void ClickHtml(bool ticked);
  void ClickHiroshima(bool ticked) { hiroshima_ = ticked; }

  // The options as the controls stand (numbers by the leading-digits rule).
  RankingOptions Options() const;

  // "実行" in steps: Begin reads the files, Step lists, prints and writes
  // into the HTML file one event and returns false when none is left, Finish
  // ends the printout and writes the HTML file. `lines` gets each list as
  // text lines (meetctl). txtHyoji shows the event being listed, n of m, and
  // at the end what was listed and what the ranges left out.
  Status Begin(Platform& platform, std::function<void(const std::string&)> lines = {});
  bool Step();
  Result<RankingOutcome> Finish();
  bool running() const { return run_.has_value(); }
  // The whole run at once.
  Result<RankingOutcome> Run(Platform& platform, std::function<void(const std::string&)> lines = {});

 private:
  void ShowProgress();

  MeetFiles meet_;
  std::array<int, 7> options_{};
  std::array<std::array<std::string, 2>, 4> ranges_;
  std::string txtJun_ = kJunDefault, txtQBan_, txtHyoji_;
  bool insatu_ = false, html_ = false, hiroshima_ = false;

  // The run in progress.
  std::optional<RankingRun> run_;
  std::optional<RankingPrintout> printout_;
  std::optional<RankingHtml> htmlOut_;
  std::function<void(const std::string&)> lines_;
  RankingOutcome outcome_;
  RankingOptions runOptions_;
};

}  // namespace meet
