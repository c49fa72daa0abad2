// The race title dialog frmmKkyogi ("競技ﾀｲﾄﾙ変更") without its widgets: the
// heading of the race shown on the race screen in ten boxes, and "実行"
// (cmdZikko), which rewrites that heading and, with "種目" or "組" chosen in
// optSohnyu, first inserts a race at that position. The dialog and meetctl's
// `race title` call these methods.
//
// An insertion moves races currentRace..raceCount one place up. Everything
// that names those races by number moves with them: their states in Race.dat
// (the new race gets "1"), the race numbers on the program pages (hpro.dat),
// the race of each relay block (relay.dat) and the first race of each program
// entry (projun.dat). The new race is on no page until it is added there.
#pragma once

#include <filesystem>
#include <string>

#include "core/error.h"

namespace meet {

inline constexpr const char* kMkkyogiCaption = "競技ﾀｲﾄﾙ変更";
inline constexpr const char* kMkkyogiHeading =
    "Ｎｏ   性別   区分 -> 区分  種目   予決   総組   組     時間        ﾘﾚｰ";
inline constexpr const char* kSohnyuFrame = "レースの挿入";
inline constexpr const char* kZikkoCaption = "実行";

// optSohnyu: (0) "なし", (1) "種目" a race that starts a new event, (2) "組"
// a heat of the same event.
enum class Insertion { None = 0, Event = 1, Heat = 2 };
inline constexpr const char* kSohnyuCaptions[] = {"なし", "種目", "組"};

// The ten boxes, as typed.
struct TitleBoxes {
  std::string txtNo;      // eventNo
  std::string txtSei;     // sexCode
  std::string txtKubun1;  // classFrom
  std::string txtKubun2;  // classTo
  std::string txtShu;     // eventCode
  std::string txtYoketu;  // roundCode
  std::string txtTKumi;   // heatTotal
  std::string txtKumi;    // heatNo
  std::string txtJikan;   // startTime, hhmmss
  std::string txtRirei;   // relayRec
  bool operator==(const TitleBoxes&) const = default;
};

// What cmdZikko did besides the heading.
struct TitleChange {
  bool inserted = false;
  int raceCount = 0;     // after the change
  int statesMoved = 0;   // Race.dat characters rewritten
  int pageSlotsMoved = 0;
  int relayBlocksMoved = 0;
  int programEntriesMoved = 0;
};

class FrmmKkyogiScreen {
 public:
  FrmmKkyogiScreen(std::filesystem::path meetFolder, int currentRace);

  // Opening: race currentRace into the boxes; a race the file does not hold
  // is refused.
  Status Open();
  // "実行". Nothing is written when the race is not in the file or an
  // insertion would pass the largest race number.
  Result<TitleChange> cmdZikko();

  TitleBoxes boxes;
  Insertion optSohnyu = Insertion::None;

  int currentRace() const { return currentRace_; }
  // The last cmdZikko wrote the race file (even when a later file failed).
  bool wroteRaceFile() const { return wroteRaceFile_; }

 private:
  bool wroteRaceFile_ = false;
  std::filesystem::path meetFolder_;
  int currentRace_;
};

}  // namespace meet
