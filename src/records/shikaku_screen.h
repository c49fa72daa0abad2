// The standards and records screen frmShikaku ("大会記録等") without its
// widgets: the kind chosen, the record shown and its 87 field texts, the
// group list, the group and initialise commands, the previous meet and the
// copy from it, and the record check. The screen's widgets and meetctl's
// `standards` verbs call these methods. Every command reads the table from
// its file and writes back what it changed before it returns.
#pragma once

#include <array>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "core/error.h"
#include "core/naming.h"
#include "core/platform.h"
#include "records/shikaku_file.h"
#include "settings/settings.h"

namespace meet {

inline constexpr const char* kShikakuCaption = "大会記録等";
inline constexpr const char* kTimeFieldInitialText = "99:99.99";
inline constexpr int kTimeFields = shikaku_layout::kUsedCells;  // txtKiroku(0–86)
inline constexpr int kTimeFieldRows = shikaku_layout::kEventsPerSex;

// The question "初期化" asks before it changes anything.
std::string InitialiseQuestion(int kind, bool keepTimes, RecordRange range);

class FrmShikakuScreen {
 public:
  FrmShikakuScreen(std::filesystem::path meetFolder, Settings settings, Platform& platform);

  // Opening: 大会 is chosen, record 171 shown, its groups listed.
  Status Open();

  // optKubun(kind): shows the kind's first record and lists its groups.
  Status ChooseKind(int kind);
  // A line of lstGroup: shows the first record of that group.
  Status ChooseGroupLine(int line);
  // Shows any record 1–570 (its kind becomes the chosen one when it differs).
  Status ShowRecord(int recordNo);

  // Enter in txtKiroku(k): the field becomes FormatTime of the number typed
  // before the cursor, then the 87 fields are written into every record of
  // the shown record's group. Returns the records written.
  Result<RecordRange> EnterField(int field, std::string_view textBeforeCaret);
  // Typing changes a field's text without committing it.
  void SetFieldText(int field, std::string text);

  // The cursor keys: the field they move to (the same field at an edge).
  static int FieldAbove(int field);
  static int FieldBelow(int field);
  static int FieldLeft(int field);
  static int FieldRight(int field);

  // txtGroup(0), txtGroup(1) and "ｸﾞﾙｰﾌﾟ".
  void SetGroupText(int index, std::string text);
  Result<RecordRange> MakeGroupFromFields();

  // chkShoki and "初期化": asks first; keeps a time-stamped copy of the table
  // under backup/ before anything is changed. Cancel changes nothing and
  // gives ErrorKind::Cancelled. Returns the records initialised (none for 級).
  void SetKeepTimes(bool keep) { keepTimes_ = keep; }
  Result<RecordRange> Initialise();

  // Dir1 and "↓": the previous meet folder and what it offers.
  void ChoosePreviousFolder(std::string folder) { chosenFolder_ = std::move(folder); }
  Status TakePreviousMeet();

  // optTarget and chkKiroku, then "読み込み". A copy of the table is kept
  // under backup/ before it is changed.
  void SetCopyMode(CopyMode mode) { copyMode_ = mode; }
  void SetPart(int part, bool ticked);
  Result<CopyOutcome> Copy();

  // "個人記録確認(最高大会)": the record check to the printer. Returns the
  // number of findings.
  Result<int> Check();

  // What the screen shows.
  int kind() const { return kind_; }
  int shownRecord() const { return shownRecord_; }
  const std::array<std::string, kTimeFields>& fields() const { return fields_; }
  const std::string& field(int k) const;
  const std::string& naiyoLabel() const { return naiyo_; }    // lblNaiyo
  const std::string& recordLabel() const { return recordNoText_; }  // lblRecord
  const GroupList& groups() const { return groups_; }        // lstGroup and its map
  int groupLine() const { return groupLine_; }               // the line of the shown record, or -1
  const std::array<std::string, 2>& groupTexts() const { return groupTexts_; }
  bool keepTimes() const { return keepTimes_; }
  const std::string& chosenFolder() const { return chosenFolder_; }
  const std::string& previousFolder() const { return previousFolder_; }
  const std::array<std::string, 2>& targetLabels() const { return targetLabels_; }  // lblTarget(0), (1)
  const std::array<bool, 2>& targetEnabled() const { return targetEnabled_; }      // optTarget(0), (1)
  CopyMode copyMode() const { return copyMode_; }
  const CopyParts& parts() const { return parts_; }
  const std::string& lastBackup() const { return lastBackup_; }
  const std::filesystem::path& meetFolder() const { return meetFolder_; }
  const NamingContext& namingContext() const { return ctx_; }

 private:
  Result<ShikakuTable> Load() const;
  Status Save(ShikakuTable& table) const;
  Status KeepCopy();
  void Show(const ShikakuTable& table, int recordNo);
  void Relist(const ShikakuTable& table);

  std::filesystem::path meetFolder_;
  Settings settings_;
  Platform& platform_;
  NamingContext ctx_;

  int kind_ = kKindMeet;
  int shownRecord_ = 171;
  std::array<std::string, kTimeFields> fields_;
  std::string naiyo_;
  std::string recordNoText_;
  GroupList groups_;
  int groupLine_ = -1;
  std::array<std::string, 2> groupTexts_;
  bool keepTimes_ = false;

  std::string chosenFolder_;
  std::string previousFolder_;
  std::array<std::string, 2> targetLabels_;
  std::array<bool, 2> targetEnabled_{false, false};
  CopyMode copyMode_ = CopyMode::Original;
  CopyParts parts_{};
  std::string lastBackup_;
};

}  // namespace meet
