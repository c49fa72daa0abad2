// The race title dialog frmmKkyogi ("競技ﾀｲﾄﾙ変更") without its widgets: the
// heading of the race shown on the race screen in ten boxes, and "実行"
// (cmdZikko), which rewrites that heading and, with "種目" or "組" chosen in
// optSohnyu, first inserts a race at that position. The dialog and meetctl's
// `race title` call these methods.
//
// An insertion moves races currentRace..raceCount one place up, and
// everything that names those races by number moves with them: their states
// in Race.dat (the new race gets "1"), the race numbers on the program pages
// (hpro.dat), the race of each relay block (relay.dat), the first race of
// each program entry (projun.dat) and the goal and lap files of the timing
// system (goal/G####, lap/R####). The new race has empty lanes; a relay or
// 1500m race gets a fresh relay block of its own.
//   - "組" adds a heat to the event of the race that stood there: the event's
//     races are numbered heats 1..n of n again and its program entry gets n
//     heats.
//   - "種目" starts a new event of one heat there: every later race and
//     program entry moves up one event number, and a program entry for the
//     new event is inserted before the entry of the race that stood there.
// The whole change is planned in memory and checked (files writable, timing
// files free to take their new names) before the first write; each file
// changed is kept under backup/ first; a write that still fails puts back
// what was written. The new race is on no program page until it is added
// there.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "core/error.h"
#include "core/platform.h"
#include "data/race_states.h"

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
  Insertion insertion = Insertion::None;
  int race = 0;                // the race whose heading was written (the new race)
  int raceCount = 0;           // after the change
  int racesMoved = 0;          // races that moved one place up
  int eventNo = 0;             // the new race's event number
  int statesMoved = 0;         // Race.dat characters rewritten
  int pageSlotsMoved = 0;
  int relayBlocksMoved = 0;
  int programEntriesMoved = 0; // program entries whose first race moved
  int eventNumbersRaised = 0;  // "種目": races whose event number went up by one
  int programNumbersRaised = 0;// "種目": program entries whose orderNo went up by one
  int timingFilesRenamed = 0;
  int newRelayBlock = 0;       // the block made for the new race, 0 = none
  // "組": the event's heats as numbered again (races heatsFrom..heatsFrom + heats − 1).
  int heatsFrom = 0;
  int heats = 0;
  int heatsRenumbered = 0;     // races whose heat number or heat count changed
  // "種目": the program entry inserted (its position in projun.dat).
  int programEntryInserted = 0;
  std::vector<std::filesystem::path> backups;
};

// One clear summary of what an insertion did, in lines, for the race screen
// and `race title`; empty when nothing was inserted.
std::string InsertionSummary(const TitleChange& change);

// The writes of cmdZikko, one call each, so that a test can make one of them
// fail; the plain one uses WriteWholeFile, a rename and RaceStates::Write.
class TitleWrites {
 public:
  virtual ~TitleWrites() = default;
  virtual Status WriteWhole(const std::filesystem::path& path, std::string_view bytes);
  virtual Status Remove(const std::filesystem::path& path);
  virtual Status Rename(const std::filesystem::path& from, const std::filesystem::path& to);
  virtual Status WriteStates(const std::filesystem::path& meetFolder, RaceStates& states);
};

// The question "実行" asks before an insertion moves races
// raceCount..race up: OK inserts, Cancel changes nothing.
std::string InsertionQuestion(Insertion insertion, int race, int raceCount);
// txtJikan as the race record holds it: a time of day typed as hhmmss (or
// h:mm:ss) is checked (hours 0–23, minutes and seconds 0–59) and written
// right-aligned ("93000" → " 93000", shown 9:30:00); a blank box stays
// blank.
Result<std::string> StartTimeField(const std::string& typed);

class FrmmKkyogiScreen {
 public:
  // `dialogs` asks before an insertion.
  FrmmKkyogiScreen(std::filesystem::path meetFolder, int currentRace, const Clock& clock, Dialogs& dialogs);

  // Opening: race currentRace into the boxes; a race the file does not hold
  // is refused.
  Status Open();
  // "実行". A start time typed into txtJikan is checked (StartTimeField); an
  // insertion asks first (InsertionQuestion). Nothing is written when the
  // change is refused or cancelled (the race is not in
  // the file, an insertion would pass the largest race number, a file is not
  // writable, a timing file's new name is taken, …), and a write that fails
  // midway puts back what was written.
  Result<TitleChange> cmdZikko();

  TitleBoxes boxes;
  Insertion optSohnyu = Insertion::None;

  int currentRace() const { return currentRace_; }
  // The race file on disk differs from before the last cmdZikko (it
  // succeeded, or a failed write could not be put back).
  bool wroteRaceFile() const { return wroteRaceFile_; }
  // The writes cmdZikko makes go through `writes` (tests).
  void UseWrites(TitleWrites& writes) { writes_ = &writes; }

 private:
  bool wroteRaceFile_ = false;
  std::filesystem::path meetFolder_;
  int currentRace_;
  const Clock& clock_;
  Dialogs& dialogs_;
  std::string openedJikan_;  // txtJikan as Open showed it
  TitleWrites* writes_ = nullptr;
};

}  // namespace meet
