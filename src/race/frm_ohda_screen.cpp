#include "race/frm_ohda_screen.h"

#include "core/cp932.h"
#include "core/naming.h"
#include "core/numbers.h"
#include "data/entry_file.h"
#include "data/relay_file.h"
#include "race/lane_move.h"

namespace meet {

namespace {

FocusTarget Kousu() { return {"txtKousu", -1}; }
FocusTarget Bango(int leg) { return {"txtBango", leg}; }
// The box after leg i: the next leg, or txtKousu after leg 4.
FocusTarget AfterLeg(int leg) { return leg + 1 < kLegs ? Bango(leg + 1) : Kousu(); }

std::string Shown(std::string text) {
  for (char& c : text)
    if (static_cast<unsigned char>(c) < 0x20) c = ' ';
  return TrimRight(text);
}

// A member is 0 (none) or an entry of the entry file; when the entry file
// cannot be read, any number the field holds.
Status CheckMember(int64_t member, std::optional<int64_t> entries) {
  if (member < 0 || member > kMaxMemberNumber)
    return Fail(ErrorKind::Invalid, "選手番号 " + NumberText(member) + " は使えません（0～" +
                                        NumberText(kMaxMemberNumber) + "）。");
  if (entries && member > *entries)
    return Fail(ErrorKind::Invalid, "選手番号 " + NumberText(member) + " は申込ファイル（" + NumberText(*entries) +
                                        " 件）にありません。");
  return {};
}

}  // namespace

FrmOhdaScreen::FrmOhdaScreen(const FrmKyogiScreen& kyogi)
    : meetFolder_(kyogi.meetFolder()),
      settings_(kyogi.settings()),
      currentRace_(kyogi.currentRace()),
      race_(kyogi.race()),
      isRelay_(kyogi.isRelay()),
      rows_(kyogi.rows()),
      lanes_(PoolLanes(kyogi.settings())) {}

Status FrmOhdaScreen::CheckRelayBlock() const {
  if (currentRace_ < 1 || currentRace_ > ReadRaceCount(meetFolder_))
    return Fail(ErrorKind::NotFound, "レース " + NumberText(currentRace_) + " はレースファイルにありません。");
  auto relays = RelayFile::OpenForReading(meetFolder_);
  if (!relays) return std::unexpected(relays.error());
  if (race_.relayRec < 1 || race_.relayRec > relays->relayCount())
    return Fail(ErrorKind::NotFound, "レース " + NumberText(currentRace_) + " のリレー記録 " +
                                         NumberText(race_.relayRec) + " はリレーファイルにありません（" +
                                         NumberText(relays->relayCount()) + " 件）。");
  return {};
}

Status FrmOhdaScreen::Form_Load() {
  if (!isRelay_)
    return Fail(ErrorKind::Refused, "レース " + NumberText(currentRace_) + " はリレー種目ではありません。");
  if (auto ok = CheckRelayBlock(); !ok) return ok;
  int lane = 11;
  for (int row = 0; row < 10; ++row)
    if (LeadingNumber(rows_[static_cast<size_t>(row)].txtNo) != 0) {
      lane = row + 1;
      break;
    }
  return ShowLane(lane);
}

std::string FrmOhdaScreen::MemberName(int64_t member) const {
  if (member <= 0 || member > kMaxMemberNumber) return {};
  auto entries = EntryFile::OpenForReading(EntryFilePath(settings_.entryFolder, settings_.entryFileName));
  if (!entries) return {};
  return Shown(entries->Load(static_cast<int32_t>(member)).swimmerName);
}

Status FrmOhdaScreen::ShowLane(int lane) {
  if (lane < 1 || lane > kLaneRows)
    return Fail(ErrorKind::Invalid, "コース " + NumberText(lane) + " は範囲外です。");
  lane_ = lane;
  txtKousu_ = NumberText(lane);
  const size_t slot = static_cast<size_t>(lane - 1);
  lblShozoku_ = rows_[slot].txtSho;
  auto relays = RelayFile::OpenForReading(meetFolder_);
  if (!relays) return std::unexpected(relays.error());
  const RelayBlock block = race_.relayRec >= 1 && race_.relayRec <= relays->relayCount()
                               ? relays->Read(race_.relayRec)
                               : RelayBlock{};
  for (int leg = 0; leg < kLegs; ++leg) {
    const int16_t member = block.member(leg, lane - 1);
    txtBango_[static_cast<size_t>(leg)] = NumberText(member);
    lblNamae_[static_cast<size_t>(leg)] = MemberName(member);
  }
  return {};
}

Result<FocusTarget> FrmOhdaScreen::KousuKey(NavKey key, std::string_view textBeforeCaret) {
  switch (key) {
    case NavKey::Enter: {
      if (textBeforeCaret.empty()) return Bango(0);
      int64_t lane = LeadingNumber(textBeforeCaret);
      // Above the pool's lanes the first lane is meant; a lane below 1 has no slot.
      if (lane > lanes_ || lane < 1) lane = 1;
      if (auto ok = ShowLane(static_cast<int>(lane)); !ok) return std::unexpected(ok.error());
      return Bango(0);
    }
    case NavKey::Up:
      if (lane_ > 1 && lane_ <= lanes_)
        if (auto ok = ShowLane(lane_ - 1); !ok) return std::unexpected(ok.error());
      return Kousu();
    case NavKey::Down:
      if (lane_ < lanes_)
        if (auto ok = ShowLane(lane_ + 1); !ok) return std::unexpected(ok.error());
      return Kousu();
    default: return Kousu();
  }
}

void FrmOhdaScreen::SetBango(int leg, std::string text) {
  if (leg >= 0 && leg < kLegs) txtBango_[static_cast<size_t>(leg)] = std::move(text);
}

Result<FocusTarget> FrmOhdaScreen::BangoKey(int leg, NavKey key, std::string_view textBeforeCaret) {
  if (leg < 0 || leg >= kLegs) return Fail(ErrorKind::Invalid, "泳者 " + NumberText(leg + 1) + " は範囲外です（1～4）。");
  switch (key) {
    case NavKey::Enter: {
      if (textBeforeCaret.empty()) return AfterLeg(leg);
      const int64_t typed = LeadingNumber(textBeforeCaret);
      if (auto ok = CheckMember(typed, EntriesHeld()); !ok) return std::unexpected(ok.error());
      lblNamae_[static_cast<size_t>(leg)] = MemberName(typed);
      if (auto ok = StoreLane(); !ok) return std::unexpected(ok.error());
      return AfterLeg(leg);
    }
    case NavKey::Up: return leg > 0 ? Bango(leg - 1) : Kousu();
    case NavKey::Down: return AfterLeg(leg);
    default: return Bango(leg);
  }
}

std::vector<std::string> FrmOhdaScreen::LaneWarnings() const {
  std::vector<std::string> warnings;
  auto entries = EntryFile::OpenForReading(EntryFilePath(settings_.entryFolder, settings_.entryFileName));
  if (!entries) return warnings;
  const int64_t held = entries->entriesHeld();
  std::array<int64_t, kLegs> members{};
  for (int leg = 0; leg < kLegs; ++leg) members[static_cast<size_t>(leg)] = LeadingNumber(txtBango_[static_cast<size_t>(leg)]);
  auto known = [&](int64_t m) { return m > 0 && m <= held && m <= kMaxMemberNumber; };
  auto who = [&](int leg) {
    const int64_t m = members[static_cast<size_t>(leg)];
    const std::string name = known(m) ? Shown(entries->Load(static_cast<int32_t>(m)).swimmerName) : std::string();
    return NumberText(leg + 1) + "泳者 " + NumberText(m) + (name.empty() ? "" : " " + name);
  };
  const std::string raceSex = Shown(race_.sexCode);
  const std::string team = Shown(lblShozoku_);
  for (int leg = 0; leg < kLegs; ++leg) {
    const int64_t m = members[static_cast<size_t>(leg)];
    if (m <= 0) continue;
    for (int earlier = 0; earlier < leg; ++earlier)
      if (members[static_cast<size_t>(earlier)] == m) {
        warnings.push_back(NumberText(earlier + 1) + "泳者と" + who(leg) + " が同じ選手です。");
        break;
      }
    if (!known(m)) continue;
    const Entry e = entries->Load(static_cast<int32_t>(m));
    const std::string sex = Shown(e.sexCode);
    if ((raceSex == "1" || raceSex == "2") && (sex == "1" || sex == "2") && sex != raceSex)
      warnings.push_back(who(leg) + " は" + SexName(sex) + "です（レースは" + SexName(raceSex) + "）。");
    const std::string club = Shown(e.affiliation);
    if (!team.empty() && club != team)
      warnings.push_back(who(leg) + " の所属は " + (club.empty() ? std::string("（なし）") : club) + " です（チームは " +
                         team + "）。");
  }
  return warnings;
}

std::optional<int64_t> FrmOhdaScreen::EntriesHeld() const {
  auto entries = EntryFile::OpenForReading(EntryFilePath(settings_.entryFolder, settings_.entryFileName));
  if (!entries || entries->entriesHeld() == 0) return std::nullopt;
  return entries->entriesHeld();
}

Status FrmOhdaScreen::StoreLane() {
  std::array<int16_t, kLegs> members{};
  const std::optional<int64_t> held = EntriesHeld();
  for (int leg = 0; leg < kLegs; ++leg) {
    const int64_t member = LeadingNumber(txtBango_[static_cast<size_t>(leg)]);
    if (auto ok = CheckMember(member, held); !ok) return ok;
    members[static_cast<size_t>(leg)] = static_cast<int16_t>(member);
  }
  if (auto ok = CheckRelayBlock(); !ok) return ok;
  auto relays = RelayFile::Open(meetFolder_);
  if (!relays) return std::unexpected(relays.error());
  RelayBlock block = relays->Read(race_.relayRec);
  for (int leg = 0; leg < kLegs; ++leg)
    block.legMembers[static_cast<size_t>(leg * 12 + lane_ - 1)] = members[static_cast<size_t>(leg)];
  return relays->Write(race_.relayRec, block);
}

}  // namespace meet
