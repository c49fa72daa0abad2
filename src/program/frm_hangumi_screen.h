// The seeding screen frmHangumi ("競技ファイル作成") without its widgets: the
// check boxes, cboPattern, "初期化" (cmdShoki) and "作成" (cmdZikko). The
// widgets and meetctl's `seed` verb call these methods.
#pragma once

#include <array>
#include <filesystem>
#include <string>

#include "core/error.h"
#include "core/platform.h"
#include "program/seeding.h"
#include "settings/settings.h"

namespace meet {

inline constexpr const char* kHangumiCaption = "競技ファイル作成";

// The check boxes in screen order: control name and caption.
struct HangumiCheckBox {
  const char* name;
  const char* caption;
  bool SeedingOptions::*field;
};
extern const std::array<HangumiCheckBox, 7> kHangumiCheckBoxes;

inline constexpr const char* kCboPatternLabel = "組合せパターン";
inline constexpr std::array<const char*, 2> kCboPatternItems = {"標準", "予決同頁"};
inline constexpr const char* kCmdShokiCaption = "初期化";
inline constexpr const char* kCmdZikkoCaption = "作成";

class FrmHangumiScreen {
 public:
  FrmHangumiScreen(std::filesystem::path meetFolder, Settings settings, Platform& platform);

  // The controls: every box unticked and "標準" chosen when the screen opens.
  SeedingOptions& options() { return options_; }
  const SeedingOptions& options() const { return options_; }
  // cboPattern's list position; anything but 0 and 1 is ignored.
  void SetCboPattern(int position);
  int cboPattern() const { return options_.cboPattern; }

  // cmdShoki "初期化": the number of program entries reset.
  Result<int> Shoki();
  // cmdZikko "作成": seeds and rebuilds; the screen then closes. A refusal or
  // a Cancel answer leaves it open with nothing written.
  Result<SeedingSummary> Zikko();

  bool closed() const { return closed_; }
  // The number of races of the last run (0 before a run).
  int raceCount() const { return raceCount_; }

  const std::filesystem::path& meetFolder() const { return meetFolder_; }
  const Settings& settings() const { return settings_; }

 private:
  std::filesystem::path meetFolder_;
  Settings settings_;
  Platform& platform_;
  SeedingOptions options_;
  bool closed_ = false;
  int raceCount_ = 0;
};

}  // namespace meet
