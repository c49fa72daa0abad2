#include "program/frm_proj_shoki_screen.h"

#include <algorithm>

#include "core/cp932.h"
#include "core/numbers.h"
#include "program/projun_file.h"

namespace meet {

int DistanceRow(int eventCode) {
  switch (eventCode) {
    case 1: case 8: case 12: case 16:
      return 0;
    case 2: case 9: case 13: case 17:
      return 1;
    case 4: case 11: case 15: case 19: case 21: case 24: case 27:
      return 3;
    case 5: case 22: case 25: case 28:
      return 4;
    case 6: case 29:
      return 5;
    case 7:
      return 6;
    default:
      return 2;
  }
}

namespace {

// The text right-aligned in `width` characters; a longer text keeps its last
// characters.
std::string RightAlignedChars(const std::string& text, int width) {
  int n = CharCount(text);
  if (n >= width) return MidChars(text, n - width, width);
  return std::string(static_cast<size_t>(width - n), ' ') + text;
}

std::string WithoutDots(std::string_view text) {
  std::string s(text);
  s.erase(std::remove(s.begin(), s.end(), '.'), s.end());
  return s;
}

int32_t ClampedI32(int64_t v) { return ClampToInt32(v); }

}  // namespace

std::string UnitTimeText(std::string_view typed) {
  std::string s = RightAlignedChars(WithoutDots(typed), 4);
  return MidChars(s, 0, 2) + "." + MidChars(s, 2, 2);
}

int32_t UnitTimeValue(std::string_view boxText) {
  std::string text(boxText);
  if (text.find('.') == std::string::npos) text = UnitTimeText(text);
  std::string s = RightAlignedChars(text, 5);
  return LeadingInt32(MidChars(s, 0, 2) + MidChars(s, 3, 2));
}

FrmProjShokiScreen::FrmProjShokiScreen(std::filesystem::path meetFolder, std::string classMode, int startPosition,
                                       bool showAll)
    : meetFolder_(std::move(meetFolder)), classMode_(std::move(classMode)), start_(startPosition), showAll_(showAll) {}

int FrmProjShokiScreen::TankaEnter(int box, int caret) {
  if (box < 0 || box >= kTankaBoxes) return -1;
  std::string& text = txtTanka[static_cast<size_t>(box)];
  text = UnitTimeText(LeftChars(text, std::max(caret, 0)));
  return TankaDown(box);
}

int FrmProjShokiScreen::TankaUp(int box) { return box >= 1 && box < kTankaBoxes ? box - 1 : -1; }
int FrmProjShokiScreen::TankaDown(int box) { return box >= 0 && box < kTankaBoxes - 1 ? box + 1 : -1; }

Status FrmProjShokiScreen::Zikko() {
  auto order = ProgramOrder::Load(meetFolder_);
  if (!order) return std::unexpected(order.error());
  const int n = order->count();
  auto pass = [&](int from, auto change) -> Status {
    for (int k = std::max(from, 1); k <= n; ++k) {
      ProgramEntry e = order->Read(k);
      if (!change(e)) continue;
      if (auto ok = order->Write(k, e); !ok) return ok;
    }
    return {};
  };

  if (chkKohmoku[kItemUnitTime]) {
    std::array<int32_t, kTankaBoxes> unit{};
    for (int i = 0; i < kTankaBoxes; ++i) unit[static_cast<size_t>(i)] = UnitTimeValue(txtTanka[static_cast<size_t>(i)]);
    if (auto ok = pass(1, [&](ProgramEntry& e) {
          int row = DistanceRow(e.eventCode);
          e.perHeatTime = unit[static_cast<size_t>(e.stageCode == "1" ? row : row + 7)];
          return true;
        });
        !ok)
      return ok;
  }
  if (chkKohmoku[kItemSchedule]) {
    int64_t s = HhmmssToSeconds(LeadingNumber(txtYotei));
    if (auto ok = pass(start_, [&](ProgramEntry& e) {
          if (e.orderNo == 0) return false;
          int64_t d = MmssToSeconds(e.perHeatTime) * (static_cast<int64_t>(e.heatCount) - e.excludedHeats);
          e.totalTime = ClampedI32(SecondsToHhmmss(d));
          e.startTime = ClampedI32(SecondsToHhmmss(s));
          s += d;
          return true;
        });
        !ok)
      return ok;
  }
  if (chkKohmoku[kItemDay]) {
    std::string day = LeftChars(txtNiti, 1);
    if (auto ok = pass(start_, [&](ProgramEntry& e) {
          e.dayNo = day;
          return true;
        });
        !ok)
      return ok;
  }
  if (chkKohmoku[kItemBand]) {
    int16_t from = LeadingInt16(txtKubun[0]);
    int16_t to = LeadingInt16(txtKubun[1]);
    if (auto ok = pass(1, [&](ProgramEntry& e) {
          e.ageFrom = from;
          e.ageTo = to;
          return true;
        });
        !ok)
      return ok;
  }
  if (chkKohmoku[kItemRenumber]) {
    int count = 0;
    int64_t next = 1;
    if (auto ok = pass(1, [&](ProgramEntry& e) {
          if (e.orderNo != 0 || showAll_) {
            ++count;
            e.orderNo = ClampToInt16(count);
            e.firstRace = ClampToInt16(next);
            next += e.heatCount;
          }
          e.seedFlag = "1";
          e.excludedHeats = 0;
          if (classMode_ == "0") {
            e.ageFrom = 1;
            e.ageTo = 100;
          }
          return true;
        });
        !ok)
      return ok;
  }
  if (auto ok = order->Save(); !ok) return ok;
  closed_ = true;
  return {};
}

}  // namespace meet
