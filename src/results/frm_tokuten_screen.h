// The points screen frmTokuten ("得点") without its widgets: the 44 event
// frames with optSuru / optSinai, the 34 bonus fields txtTKiro with optBou,
// the club limit txtSeigen, the tallied range txtNenrei with lblNenrei, the
// list check boxes, and the commands 集計, 得点ランク, 入賞者数 and 記録一覧.
#pragma once

#include <array>
#include <filesystem>
#include <string>

#include "core/error.h"
#include "core/platform.h"
#include "data/hub.h"
#include "results/points_print.h"
#include "results/points_tally.h"

namespace meet {

inline constexpr const char* kTokutenCaption = "得点";
inline constexpr const char* kShukeiCaption = "集   計";
inline constexpr const char* kRankCaption = "得点ランク";
inline constexpr const char* kNyushoCaption = "入賞者数";
inline constexpr const char* kBikoCaption = "記録一覧";
inline constexpr const char* kTokutenOwariCaption = "終";
inline constexpr std::array<const char*, 4> kListCaptions = {"男子", "女子", "混合", "総計"};
inline constexpr const char* kZenbuCaption = "全部";
inline constexpr const char* kSeigenFrame = "クラブ制限";
inline constexpr const char* kNenreiFrame = "集計区分";
inline constexpr const char* kBouFrame = "ボーナス点(掛け率・加算)";
inline constexpr std::array<const char*, 2> kBouCaptions = {"掛率", "加算"};
inline constexpr const char* kShuHeader = "（集   計）  有  無";
inline constexpr std::array<const char*, 29> kShuNames = {
    "25m自由形", "50m自由形", "100m自由形", "200m自由形", "400m自由形", "800m自由形", "1500m自由形", "25m背泳ぎ",
    "50m背泳ぎ", "100m背泳ぎ", "200m背泳ぎ", "25m平泳ぎ",  "50m平泳ぎ",  "100m平泳ぎ", "200m平泳ぎ", "25mフライ",
    "50mフライ", "100mフライ", "200mフライ", "100m個人メ", "200m個人メ", "400m個人メ", "100mメドレ", "200mメドレ",
    "400mメドレ", "100mリレー", "200mリレー", "400mリレー", "800mリレー"};
// The bonus grid: columns by rows, index = column × 5 + row; then 30–33.
inline constexpr std::array<const char*, 6> kBonusColumns = {"世界", "アジア", "日本", "地域", "県", "地区"};
inline constexpr std::array<const char*, 5> kBonusRows = {"無差別", "大学", "高校", "中学", "学童"};
inline constexpr std::array<const char*, 4> kBonusExtra = {"大  会  記  録 ", "標準１(年齢別)", "標準２(学年別)",
                                                           "標準４(大会別)"};
inline constexpr std::array<const char*, 4> kBonusExtraTips = {"", "年齢別の標準記録", "学年別の標準記録",
                                                               "大会区分による標準記録"};
inline constexpr const char* kNotTalliedMessage = "まだ集計されていません。先に「集   計」を実行してください。";
inline constexpr const char* kSaturatedMessage =
    "得点または入賞数が 32767 を超えるチームがあります。32767 で止めてあります。";

struct ShukeiSummary {
  int teams = 0;
  int records = 0;
  int credited = 0;
  bool saturated = false;
  // Results the tallied range left out, and the range that would count them;
  // empty when none was left out.
  std::string leftOutNote;
  // What the tally did, in one line, as the screen shows it after 集計 and
  // meetctl prints it: "集計しました: チーム 12、入賞 40 件、新記録等 3 件
  // （集計区分 1 --> 100、クラブ制限 99 名）".
  std::string line;
};

class FrmTokutenScreen {
 public:
  // Load: the spare events named from the entry file, every event tallied,
  // 掛率 with every bonus "1", limit "99", range "1" → "100"; the print
  // commands enabled when nyusho.dat holds a tally.
  FrmTokutenScreen(std::filesystem::path meetFolder, const HubState& state);

  const std::string& txtShu(int i) const { return txtShu_.at(static_cast<size_t>(i)); }
  bool optSuru(int i) const { return suru_.at(static_cast<size_t>(i)); }
  void ClickSuru(int i, bool tallied) { suru_.at(static_cast<size_t>(i)) = tallied; }

  int optBou() const { return bou_; }
  // 掛率 (0) sets every bonus field to "1", 加算 (1) to "0".
  void ClickBou(int option);
  std::string& txtTKiro(int i) { return tkiro_.at(static_cast<size_t>(i)); }
  const std::string& txtTKiro(int i) const { return tkiro_.at(static_cast<size_t>(i)); }

  std::string& txtSeigen() { return seigen_; }
  const std::string& txtSeigen() const { return seigen_; }
  const std::string& txtNenrei(int i) const { return nenrei_.at(static_cast<size_t>(i)); }
  const std::string& lblNenrei(int i) const { return lblNenrei_.at(static_cast<size_t>(i)); }
  // A change of txtNenrei(i): the range in words by the meet's class scheme
  // (age: "12才"; grade: the grade name); the open scheme resets the fields
  // to "0" and "100".
  void ChangeNenrei(int i, const std::string& text);

  bool chkList(int list) const { return lists_.at(static_cast<size_t>(list)); }
  void ClickList(int list, bool ticked) { lists_.at(static_cast<size_t>(list)) = ticked; }
  bool chkZenbu() const { return zenbu_; }
  void ClickZenbu(bool ticked) { zenbu_ = ticked; }

  bool printEnabled() const { return printEnabled_; }

  // The options as the controls stand (numbers by the leading-digits rule).
  TallyOptions Options() const;

  // 集   計: rebuilds biko.dat and nyusho.dat.
  Result<ShukeiSummary> Shukei(const Clock& clock);
  // 得点ランク, 入賞者数, 記録一覧; refused while nyusho.dat holds no tally.
  Result<RankOutcome> Rank(Printer& printer) const;
  Result<int> Nyusho(Printer& printer) const;
  Result<int> Biko(Printer& printer) const;

 private:
  void ShowNenrei();
  Status RequireTally() const;

  std::filesystem::path meetFolder_;
  Settings settings_;
  int classScheme_ = 0;
  std::array<std::string, kTallyEvents> txtShu_;
  std::array<bool, kTallyEvents> suru_;
  int bou_ = 0;
  std::array<std::string, kBonusClasses> tkiro_;
  std::string seigen_ = "99";
  std::array<std::string, 2> nenrei_ = {"1", "100"};
  std::array<std::string, 2> lblNenrei_;
  std::array<bool, 4> lists_ = {true, true, true, true};
  bool zenbu_ = false;
  bool printEnabled_ = false;
};

}  // namespace meet
