// The result file screen frmKekka ("結果ファイル作成") without its widgets:
// the result file name txtFile, the entry folder lblPath, the stage options
// optYoketu, the places txtNin, the check boxes chkKubun and chkTochu, the
// standard options optKiroku, their enabling rules, and "実行" (Command1).
#pragma once

#include <array>
#include <filesystem>
#include <string>

#include "core/error.h"
#include "core/platform.h"
#include "data/hub.h"
#include "results/result_file.h"

namespace meet {

inline constexpr const char* kKekkaCaption = "結果ファイル作成";
inline constexpr std::array<const char*, 2> kYoketuCaptions = {"全体", "決勝のみ"};
inline constexpr std::array<const char*, 3> kKubunCaptions = {"無該当者削除", "結果記録の書出", "標準突破記録の書出"};
inline constexpr const char* kKubunDropTip = "入賞あるいは標準突破していない者の削除（該当記録のない者）";
inline constexpr std::array<const char*, 3> kKirokuCaptions = {"標準1", "標準2", "標準4"};
inline constexpr std::array<const char*, 2> kTochuCaptions = {"1500m途中記録(800m)を含む", "リレー第一泳者記録を含む"};
inline constexpr const char* kNinLabel = "位";
inline constexpr const char* kRunCaption = "実行";

enum KekkaKubun { kDropEmpty = 0, kWriteResults = 1, kWriteStandards = 2 };

class FrmKekkaScreen {
 public:
  // On load: txtFile from the entry file's name, lblPath the entry folder;
  // "全体" selected, both stage options and txtNin ("0") disabled until
  // "結果記録の書出" is ticked, the standard options until "標準突破記録の書出" is.
  FrmKekkaScreen(std::filesystem::path meetFolder, const HubState& state);

  std::string& txtFile() { return txtFile_; }
  const std::string& txtFile() const { return txtFile_; }
  const std::string& lblPath() const { return lblPath_; }
  std::string& txtNin() { return txtNin_; }
  const std::string& txtNin() const { return txtNin_; }

  int optYoketu() const { return yoketu_; }
  bool optYoketuEnabled() const { return yoketuEnabled_; }
  bool txtNinEnabled() const { return ninEnabled_; }
  bool chkKubun(int i) const { return kubun_.at(static_cast<size_t>(i)); }
  int optKiroku() const { return kiroku_; }  // -1: none selected
  bool optKirokuEnabled() const { return kirokuEnabled_; }
  bool chkTochu(int i) const { return tochu_.at(static_cast<size_t>(i)); }
  bool chkTochuEnabled() const { return tochuEnabled_; }

  // optYoketu click: "決勝のみ" (1) unticks and disables both chkTochu and
  // enables txtNin with the lane count; "全体" (0) enables chkTochu and sets
  // txtNin to "0", disabled.
  void ClickYoketu(int option);
  // chkKubun(i) set to `ticked` by a click.
  void ClickKubun(int i, bool ticked);
  void ClickKiroku(int option);
  void ClickTochu(int i, bool ticked);

  // The options as the controls stand (txtNin by the leading-digits rule).
  ResultFileOptions Options() const;
  // "実行": writes ind2.dat and the result file. The screen closes after a
  // run that succeeded; on an error nothing is written and it stays open.
  Result<ResultFileOutcome> Run() const;

 private:
  std::filesystem::path meetFolder_;
  HubState state_;
  std::string txtFile_, lblPath_, txtNin_ = "0";
  int yoketu_ = 0;
  bool yoketuEnabled_ = false, ninEnabled_ = false;
  std::array<bool, 3> kubun_{};
  int kiroku_ = -1;
  bool kirokuEnabled_ = false;
  std::array<bool, 2> tochu_{};
  bool tochuEnabled_ = true;
};

}  // namespace meet
