// The relay order dialog frmOhda ("オーダー入力") without its widgets: for
// the relay race shown on the race screen, the lane chosen in txtKousu, the
// team's affiliation, and the entry numbers of the four legs in txtBango
// with their names. Every Enter on a member box rewrites the lane's four
// members in the race's relay block at once. The dialog and meetctl's
// `relay order` call these methods.
#pragma once

#include <array>
#include <optional>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "core/error.h"
#include "data/race_file.h"
#include "race/frm_kyogi_screen.h"
#include "settings/settings.h"

namespace meet {

inline constexpr const char* kOhdaCaption = "オーダー入力";
inline constexpr const char* kOhdaButtonCaption = "オーダ";
inline constexpr int kLegs = 4;
inline constexpr int kMaxMemberNumber = 32767;

class FrmOhdaScreen {
 public:
  // The race screen as it stands when "オーダ" is pressed: its race, its lane
  // rows (for the first lane and the affiliations) and its meet.
  explicit FrmOhdaScreen(const FrmKyogiScreen& kyogi);

  // Form_Load: refuses a race that is not a relay or whose relay block the
  // relay file does not hold; otherwise the first of rows 1 to 10 whose
  // number field holds a non-zero number (row 11 when none does) is shown.
  Status Form_Load();
  // Shows lane L (1..12): affiliation, the four members and their names.
  Status ShowLane(int lane);

  // txtKousu: Enter with the text before the caret, Up and Down.
  Result<FocusTarget> KousuKey(NavKey key, std::string_view textBeforeCaret);
  // txtBango(leg): Enter with the text before the caret stores the lane's
  // four members from the four boxes (set them first with SetBango); Up and
  // Down move between the boxes.
  Result<FocusTarget> BangoKey(int leg, NavKey key, std::string_view textBeforeCaret);
  void SetBango(int leg, std::string text);

  // What the order window warns of for the shown lane's boxes: a member of
  // the other sex than the race (a 混合 race takes both), a member of another
  // affiliation than the team's (lblShozoku), a member named in two legs.
  // The order is stored as typed all the same. One line each; empty: none.
  std::vector<std::string> LaneWarnings() const;

  // The shown lane (the number in txtKousu when it was shown).
  int lane() const { return lane_; }
  int lanes() const { return lanes_; }
  const std::string& txtKousu() const { return txtKousu_; }
  const std::string& lblShozoku() const { return lblShozoku_; }
  const std::array<std::string, kLegs>& txtBango() const { return txtBango_; }
  const std::array<std::string, kLegs>& lblNamae() const { return lblNamae_; }
  int currentRace() const { return currentRace_; }
  const Race& race() const { return race_; }

 private:
  // The entries the entry file holds; nothing when it cannot be read.
  std::optional<int64_t> EntriesHeld() const;
  std::string MemberName(int64_t member) const;
  Status CheckRelayBlock() const;
  Status StoreLane();

  std::filesystem::path meetFolder_;
  Settings settings_;
  int currentRace_ = 0;
  Race race_;
  bool isRelay_ = false;
  std::array<LaneRow, kLaneRows> rows_;
  int lanes_ = 4;

  int lane_ = 1;
  std::string txtKousu_;
  std::string lblShozoku_;
  std::array<std::string, kLegs> txtBango_;
  std::array<std::string, kLegs> lblNamae_;
};

}  // namespace meet
