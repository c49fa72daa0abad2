#include "results/meet_check.h"

#include <algorithm>
#include <map>
#include <optional>
#include <string_view>
#include <system_error>

#include "core/cp932.h"
#include "core/file_names.h"
#include "core/record_file.h"
#include "core/time_code.h"
#include "data/entry_layout.h"
#include "data/optional_categories.h"
#include "data/race_file.h"
#include "data/race_states.h"
#include "data/relay_file.h"
#include "print/hpro_file.h"
#include "program/projun_file.h"
#include "race/next_stage.h"
#include "race/timing_files.h"
#include "records/biko_layout.h"
#include "records/shikaku_file.h"
#include "results/nyusho_file.h"
#include "settings/settings.h"

namespace meet {

namespace {

namespace fs = std::filesystem;

std::string N(int64_t v) { return std::to_string(v); }

// Collects the findings of one file after another; past kMaxListedPerFile a
// file's findings are counted, and one line says how many more there are.
class Findings {
 public:
  explicit Findings(MeetCheckReport& report) : report_(report) {}
  ~Findings() { End(); }

  void Begin(std::string file) {
    End();
    file_ = std::move(file);
  }
  void Add(const std::string& where, const std::string& message) {
    ++report_.findings;
    if (++count_ > kMaxListedPerFile) return;
    report_.lines.push_back(file_ + (where.empty() ? "" : " " + where) + ": " + message);
  }

 private:
  void End() {
    if (count_ > kMaxListedPerFile)
      report_.lines.push_back(file_ + ": ほかに " + N(count_ - kMaxListedPerFile) + " 件あります。");
    count_ = 0;
  }
  MeetCheckReport& report_;
  std::string file_;
  int count_ = 0;
};

// A number of a record against the values it may take.
void InRange(Findings& f, const std::string& where, std::string_view label, int64_t value, int64_t low, int64_t high) {
  if (value < low || value > high)
    f.Add(where, std::string(label) + " " + N(value) + " が " + N(low) + "～" + N(high) + " の外です。");
}

// A one-character code against the codes it may be.
void InCodes(Findings& f, const std::string& where, std::string_view label, std::string_view raw, std::string_view codes) {
  if (raw.size() != 1 || codes.find(raw[0]) == std::string_view::npos) {
    const unsigned char u = raw.empty() ? 0 : static_cast<unsigned char>(raw[0]);
    char hex[8];
    std::snprintf(hex, sizeof hex, "0x%02X", u);
    f.Add(where, std::string(label) + " " + (u > 0x20 && u < 0x7F ? "\"" + std::string(raw) + "\"" : std::string(hex)) +
                     " は " + std::string(codes) + " のどれでもありません。");
  }
}

bool Decodes(std::string_view raw) {
  if (std::all_of(raw.begin(), raw.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; })) return true;
  return DecodeCp932(raw).find("\xEF\xBF\xBD") == std::string::npos;
}

void CheckText(Findings& f, const std::string& where, std::string_view label, std::string_view raw) {
  if (!Decodes(raw)) f.Add(where, std::string(label) + " に CP932 として読めないバイトがあります。");
}

void CheckTime(Findings& f, const std::string& where, std::string_view label, int32_t code) {
  if (!IsTimeCode(code)) f.Add(where, std::string(label) + " " + N(code) + " はタイムコードではありません。");
}

// An entry number of a lane or a relay leg against the entries the entry file
// holds (nullopt: the entry file could not be read, nothing to compare).
void CheckEntryNo(Findings& f, const std::string& where, int64_t entryNo, std::optional<int64_t> entries) {
  if (entryNo < 0) {
    f.Add(where, "申込番号 " + N(entryNo) + " は負の数です。");
  } else if (entries && entryNo > *entries) {
    f.Add(where, "申込番号 " + N(entryNo) + " は申込ファイルの件数 " + N(*entries) + " を超えています。");
  }
}

std::string LaneName(int slot) {
  if (slot == 10) return "補欠１";
  if (slot == 11) return "補欠２";
  return "第 " + N(slot + 1) + " レーン";
}

std::string RaceRange(int64_t first, int64_t last) {
  return first == last ? "レース " + N(first) : "レース " + N(first) + "～" + N(last);
}

bool Missing(const fs::path& path) {
  std::error_code ec;
  return fs::symlink_status(path, ec).type() == fs::file_type::not_found;
}

std::string HugeMessage(uint64_t size, uint64_t most) {
  return "ファイルが " + N(static_cast<int64_t>(size)) + " バイトあり、この形式で使える " +
         N(static_cast<int64_t>(most)) + " バイトを超えています。その先は読みません。";
}

// Opens a file of the meet for reading. A missing file gives nothing and no
// finding; one that is there but cannot be opened (a pipe, a folder, a broken
// link) is one finding with the reader's message; one larger than its format
// can use is one finding and is read no further than that.
std::optional<RecordFile> OpenForCheck(Findings& f, const fs::path& path, size_t recordLength, uint64_t mostBytes) {
  if (Missing(path)) return std::nullopt;
  auto file = RecordFile::Open(path, recordLength, RecordFile::Mode::ReadOnly);
  if (!file) {
    f.Add("", file.error().message);
    return std::nullopt;
  }
  if (file->byteSize() > mostBytes) f.Add("", HugeMessage(file->byteSize(), mostBytes));
  return std::move(*file);
}

// The records a file holds whole after its first `before` records.
int64_t WholeRecordsAfter(const RecordFile& file, int64_t before) {
  return std::max<int64_t>(0, static_cast<int64_t>(file.byteSize() / file.recordLength()) - before);
}

// A header count against the records present and the format's limit; the
// count that can be used.
int64_t CheckCount(Findings& f, std::string_view label, std::string_view unit, int64_t count, int64_t room,
                   int64_t limit) {
  if (count < 0) {
    f.Add("ヘッダー", std::string(label) + " " + N(count) + " は負の数です。");
    return 0;
  }
  if (count > limit) f.Add("ヘッダー", std::string(label) + " " + N(count) + " はこの形式の上限 " + N(limit) + " を超えています。");
  if (count > room)
    f.Add("ヘッダー", std::string(label) + " " + N(count) + " に対し、ファイルには " + N(room) + " " +
                          std::string(unit) + "分しかありません。");
  return std::min({count, room, limit});
}

// What the other files are checked against.
struct MeetCounts {
  std::optional<int64_t> entries;  // entries the entry file holds; nullopt when it can't be read
  // Races of taikai.dat that can be used (0 when it is missing); nullopt when
  // it is there but cannot be read: nothing is compared with it then.
  std::optional<int64_t> races = 0;
  // relayRace of blocks 1..relayCount (index b − 1); nullopt likewise.
  std::optional<std::vector<int16_t>> blockRaces = std::vector<int16_t>{};
};

// A race number against the races of taikai.dat (nothing when it can't be read).
void CheckRaceNo(Findings& f, const std::string& where, int64_t race, const MeetCounts& counts) {
  if (counts.races && (race < 1 || race > *counts.races))
    f.Add(where, "レース " + N(race) + " は taikai.dat（" + N(*counts.races) + " レース）にありません。");
}

// ------------------------------------------------------------------ files

void CheckSettingsFile(Findings& f, const fs::path& meetFolder) {
  const fs::path path = FindFile(meetFolder, kSettingsFileName);
  f.Begin(kSettingsFileName);
  if (Missing(path)) {
    f.Add("", "ありません。大会フォルダーではないか、基準がまだ保存されていません。");
    return;
  }
  auto bytes = ReadFileHead(path, kMaxSettingsFileBytes + 1);
  if (!bytes) {
    f.Add("", bytes.error().message);
    return;
  }
  if (bytes->size() > kMaxSettingsFileBytes) {
    f.Add("", "ファイルが " + N(kMaxSettingsFileBytes) + " バイトを超えています。その先は読みません。");
    bytes->resize(kMaxSettingsFileBytes);
  }
  // One line of values; a comma, CR and LF are never part of a CP932
  // double-byte character, so the raw bytes split safely.
  const std::string_view line = std::string_view(*bytes).substr(0, bytes->find_first_of("\r\n"));
  const auto& names = SettingsValueNames();
  size_t start = 0;
  for (size_t i = 0; i < names.size() && start <= line.size(); ++i) {
    size_t comma = line.find(',', start);
    if (comma == std::string_view::npos) comma = line.size();
    const std::string_view raw = line.substr(start, comma - start);
    const std::string where = "値 " + N(static_cast<int64_t>(i + 1)) + "（" + names[i] + "）";
    if (!Decodes(raw)) {
      f.Add(where, "CP932 として読めないバイトがあります。");
    } else if (auto ok = CheckSettingText(names[i], DecodeCp932(raw)); !ok) {
      f.Add(where, ok.error().message);
    }
    start = comma + 1;
  }
  Settings s;
  ParseSettings(*bytes, meetFolder, s);
  if (std::string notice = PrintCopiesNotice(s); !notice.empty()) f.Add("", notice);
}

void CheckEntryFile(Findings& f, const fs::path& path, MeetCounts& counts) {
  namespace L = entry_layout;
  f.Begin(path.filename().empty() ? std::string("申込ファイル") : path.filename().string());
  if (path.filename().empty() || Missing(path)) {
    f.Add("", "申込ファイル " + path.string() + " がありません。");
    return;
  }
  // Lanes hold entry numbers as 16-bit numbers: no more entries can be used.
  constexpr int64_t kMaxEntries = 32767;
  auto file = OpenForCheck(f, path, L::kRecordLength, (kMaxEntries + L::kFirstEntryRecord - 1) * L::kRecordLength);
  if (!file) return;
  if (file->byteSize() <= L::kEmptyFileSize) {
    counts.entries = 0;
    return;
  }
  const Record header = file->Read(1);
  const int64_t entries = CheckCount(f, "件数", "件", header.I32(L::kEntryCount),
                                     WholeRecordsAfter(*file, L::kFirstEntryRecord - 1), kMaxEntries);
  counts.entries = entries;
  const struct { size_t at, width; const char* label; } headerTexts[] = {
      {L::kEntryCreated, 10, "作成日"},  {L::kEntryMeetAbbrev, 8, "大会略"}, {L::kEntryVenue, 12, "場所"},
      {L::kEntryDateFrom, 10, "開始日"}, {L::kEntryDateTo, 10, "終了日"},    {L::kEntryMeetCode, 7, "大会コード"},
  };
  for (const auto& t : headerTexts) CheckText(f, "ヘッダー", t.label, header.Raw(t.at, t.width));
  const Record events = file->Read(L::kEventRecord);
  for (int s = 0; s < L::kExtraEvents; ++s) {
    const std::string where = "種目定義 " + N(30 + s);
    CheckText(f, where, "区分名", events.Raw(L::kExtraClassNames + s * L::kExtraClassNameWidth, L::kExtraClassNameWidth));
    CheckText(f, where, "種目名", events.Raw(L::kExtraEventNames + s * L::kExtraEventNameWidth, L::kExtraEventNameWidth));
  }
  const struct { size_t at, width; const char* label; } texts[] = {
      {L::kEntryCode7, 7, "コード"},   {L::kRegNo, 14, "登録番号"},     {L::kSwimmerName, 16, "名前"},
      {L::kSwimmerKana, 16, "ﾌﾘｶﾅ"}, {L::kPrefName, 8, "県名"},         {L::kAffiliation, 12, "所属"},
      {L::kGradeCode, 2, "学年"},      {L::kSexCode, 1, "性別"},
  };
  for (int64_t n = 1; n <= entries; ++n) {
    const Record e = file->Read(n + L::kFirstEntryRecord - 1);
    const std::string where = "申込番号 " + N(n);
    for (const auto& t : texts) CheckText(f, where, t.label, e.Raw(t.at, t.width));
    for (int k = 0; k < L::kEvents; ++k)
      CheckTime(f, where, "種目 " + N(k + 1) + " の申込記録", e.I32(L::kEntryTimes + 4 * k));
  }
}

// The counts taikai.dat and relay.dat give the other files, read quietly:
// their own findings come in their turn.
void PeekRaceAndRelayFiles(const fs::path& meetFolder, MeetCounts& counts) {
  namespace R = race_layout;
  namespace B = relay_layout;
  if (auto file = RecordFile::Open(FindFile(meetFolder, kRaceFileName), R::kRecordLength, RecordFile::Mode::ReadOnly); !file) {
    counts.races.reset();
  } else if (file->byteSize() > R::kEmptyFileSize) {
    counts.races = std::clamp<int64_t>(file->Read(1).I16(R::kRaceCount), 0,
                                       std::min<int64_t>(WholeRecordsAfter(*file, R::kFirstRaceRecord - 1), R::kMaxRace));
  }
  if (auto file = RecordFile::Open(FindFile(meetFolder, kRelayFileName), B::kRecordLength, RecordFile::Mode::ReadOnly); !file) {
    counts.blockRaces.reset();
  } else if (file->byteSize() > B::kEmptyFileSize) {
    const int64_t blocks = std::clamp<int64_t>(file->Read(1).I16(B::kRelayCount), 0,
                                               std::min<int64_t>(WholeRecordsAfter(*file, B::kFirstBlockRecord - 1), B::kMaxBlock));
    for (int64_t b = 1; b <= blocks; ++b)
      counts.blockRaces->push_back(file->Read(b + B::kFirstBlockRecord - 1).I16(B::kRelayRace));
  }
}

void CheckRaceFile(Findings& f, const fs::path& meetFolder, const MeetCounts& counts) {
  namespace R = race_layout;
  f.Begin(kRaceFileName);
  auto file = OpenForCheck(f, FindFile(meetFolder, kRaceFileName), R::kRecordLength, R::kMaxFileBytes);
  if (!file || file->byteSize() <= R::kEmptyFileSize) return;
  const int64_t races = CheckCount(f, "レース数", "レース", file->Read(1).I16(R::kRaceCount),
                                   WholeRecordsAfter(*file, R::kFirstRaceRecord - 1), R::kMaxRace);
  for (int64_t r = 1; r <= races; ++r) {
    const Record rec = file->Read(r + R::kFirstRaceRecord - 1);
    const std::string where = "レース " + N(r);
    CheckText(f, where, "性別", rec.Raw(R::kSexCode, 1));
    CheckText(f, where, "予決", rec.Raw(R::kRoundCode, 1));
    CheckText(f, where, "開始時刻", rec.Raw(R::kStartTime, R::kStartTimeWidth));
    if (const int16_t relayRec = rec.I16(R::kRelayRec); counts.blockRaces) {
      const std::vector<int16_t>& blocks = *counts.blockRaces;
      if (relayRec < 0 || relayRec > static_cast<int64_t>(blocks.size())) {
        f.Add(where, "リレーブロック " + N(relayRec) + " が relay.dat（" + N(static_cast<int64_t>(blocks.size())) +
                         " ブロック）にありません。");
      } else if (relayRec > 0 && blocks[static_cast<size_t>(relayRec - 1)] != r) {
        f.Add(where, "リレーブロック " + N(relayRec) + " はこのレースではなくレース " +
                         N(blocks[static_cast<size_t>(relayRec - 1)]) + " のものです。");
      }
    }
    bool anyLane = false;
    for (int k = 0; k < R::kSlots; ++k) {
      const std::string lane = where + " " + LaneName(k);
      CheckEntryNo(f, lane, rec.I16(R::kLaneNo + 2 * k), counts.entries);
      CheckTime(f, lane, "記録", rec.I32(R::kLaneTime + 4 * k));
      CheckTime(f, lane, "申込記録", rec.I32(R::kLaneEntryTime + 4 * k));
      CheckText(f, lane, "標準", rec.Raw(R::kStandardFlags + k, 1));
      if (rec.I16(R::kLaneNo + 2 * k) == 0) continue;
      anyLane = true;
      // Values that change places, points and records when they are wrong.
      InRange(f, lane, "順位", rec.I16(R::kLaneRank + 2 * k), 0, 10);
      InRange(f, lane, "級（無）", rec.I16(R::kOpenLevel + 2 * k), 0, 14);
      InRange(f, lane, "級（年）", rec.I16(R::kAgeLevel + 2 * k), 0, 14);
      if (const int16_t c = rec.I16(R::kLaneRecordClass + 2 * k); c != 99) InRange(f, lane, "記録区分", c, 0, 34);
      if (const char flag = rec.Byte(R::kStandardFlags + k); flag != '\0' && flag != ' ' && (flag < '1' || flag > '7'))
        f.Add(lane, "標準の印が 1～7 ではありません。");
    }
    // A race with no event and no lane is a heat reserved and never written.
    if (rec.I16(R::kEventNo) != 0 || anyLane) {
      const int16_t heat = rec.I16(R::kHeatNo), heats = rec.I16(R::kHeatTotal);
      InRange(f, where, "総組", heats, 1, races);
      InRange(f, where, "組", heat, 1, std::max<int64_t>(heats, 1));
      InRange(f, where, "種目", rec.I16(R::kEventCode), 1, 44);
      InCodes(f, where, "性別", rec.Raw(R::kSexCode, 1), "123");
      InCodes(f, where, "予決", rec.Raw(R::kRoundCode, 1), "1234");
    }
  }
}

void CheckRaceStates(Findings& f, const fs::path& meetFolder, const MeetCounts& counts) {
  f.Begin(kRaceStateFileName);
  const fs::path path = FindFile(meetFolder, kRaceStateFileName);
  const int64_t races = counts.races.value_or(0);
  if (Missing(path)) {
    if (races > 0) f.Add("", "ありません。taikai.dat の " + N(races) + " レースに状態がありません。");
    return;
  }
  auto file = OpenForCheck(f, path, kRaceStateRecordLength, kRaceStateMaxBytes);
  if (!file) return;
  const int64_t held = static_cast<int64_t>(std::min<uint64_t>(file->byteSize(), kRaceStateMaxBytes));
  const std::string states = file->ReadBytesAt(0, static_cast<size_t>(std::min<int64_t>(held, races)));
  if (races > held)
    f.Add("", "taikai.dat の" + RaceRange(held + 1, races) + " の状態がありません（ファイルは " + N(held) +
                  " バイト）。");
  for (size_t i = 0; i < states.size(); ++i) {
    const char c = states[i];
    if (c == kStateNoRace || c == kStateSeeded || c == kStateTimingWaiting || c == kStateChanged || c == kStatePrinted)
      continue;
    const unsigned char u = static_cast<unsigned char>(c);
    char hex[8];
    std::snprintf(hex, sizeof hex, "0x%02X", u);
    const std::string shown = u > 0x20 && u < 0x7F ? "\"" + std::string(1, c) + "\"" : std::string(hex);
    f.Add("レース " + N(static_cast<int64_t>(i + 1)), "状態 " + shown + " は 0・1・6・7・8 のどれでもありません。");
  }
}

void CheckRelayFile(Findings& f, const fs::path& meetFolder, const MeetCounts& counts) {
  namespace B = relay_layout;
  f.Begin(kRelayFileName);
  auto file = OpenForCheck(f, FindFile(meetFolder, kRelayFileName), B::kRecordLength,
                           static_cast<uint64_t>(B::kMaxBlock + B::kFirstBlockRecord - 1) * B::kRecordLength);
  if (!file || file->byteSize() <= B::kEmptyFileSize) return;
  const int64_t blocks = CheckCount(f, "ブロック数", "ブロック", file->Read(1).I16(B::kRelayCount),
                                    WholeRecordsAfter(*file, B::kFirstBlockRecord - 1), B::kMaxBlock);
  for (int64_t b = 1; b <= blocks; ++b) {
    const Record rec = file->Read(b + B::kFirstBlockRecord - 1);
    const std::string where = "ブロック " + N(b);
    if (const int16_t no = rec.I16(B::kRelayBlockNo); no != b) f.Add(where, "ブロック番号が " + N(no) + " になっています。");
    CheckRaceNo(f, where, rec.I16(B::kRelayRace), counts);
    for (int k = 0; k < 12; ++k)
      for (int leg = 0; leg < 4; ++leg)
        CheckEntryNo(f, where + " " + LaneName(k) + " 第 " + N(leg + 1) + " 泳者", rec.I16(B::kLegMembers + 2 * (leg * 12 + k)),
                     counts.entries);
    for (int k = 0; k < 10; ++k) CheckTime(f, where + " " + LaneName(k), "途中計時", rec.I32(B::kSplitTimes + 4 * k));
  }
}

void CheckProgramFile(Findings& f, const fs::path& meetFolder, const MeetCounts& counts) {
  namespace P = projun_layout;
  f.Begin(kProgramFileName);
  auto file = OpenForCheck(f, FindFile(meetFolder, kProgramFileName), P::kRecordLength, P::kMaxFileBytes);
  if (!file || file->byteSize() <= P::kEmptyFileSize) return;
  const int64_t entries = CheckCount(f, "項目数", "項目", file->Read(1).I16(P::kProgramCount),
                                     WholeRecordsAfter(*file, P::kFirstEntryRecord - 1), P::kMaxEntries);
  for (int64_t n = 1; n <= entries; ++n) {
    const Record rec = file->Read(n + P::kFirstEntryRecord - 1);
    const int16_t orderNo = rec.I16(P::kOrderNo), heats = rec.I16(P::kHeatCount), first = rec.I16(P::kFirstRace);
    const std::string where = "項目 " + N(n) + (orderNo != 0 ? "（順 " + N(orderNo) + "）" : "");
    if (heats < 0) {
      f.Add(where, "組数 " + N(heats) + " は負の数です。");
    } else if (orderNo != 0 && heats > 0) {
      const int64_t last = static_cast<int64_t>(first) + heats - 1;
      if (counts.races && (first < 1 || last > *counts.races))
        f.Add(where, RaceRange(first, last) + " が taikai.dat（" + N(*counts.races) + " レース）にありません。");
    }
  }
}

void CheckPageFile(Findings& f, const fs::path& meetFolder, const MeetCounts& counts) {
  namespace H = hpro_layout;
  f.Begin(kPageFileName);
  auto file = OpenForCheck(f, FindFile(meetFolder, kPageFileName), H::kRecordLength, H::kMaxFileBytes);
  if (!file || file->byteSize() <= H::kEmptyFileSize) return;
  const int64_t pages = CheckCount(f, "ページ数", "ページ", file->Read(1).I16(H::kPageCount),
                                   WholeRecordsAfter(*file, H::kFirstPageRecord - 1), H::kMaxPage);
  for (int64_t p = 1; p <= pages; ++p) {
    const Record rec = file->Read(p + H::kFirstPageRecord - 1);
    int filled = 0;
    for (int k = 0; k < H::kSlots; ++k) {
      const int16_t race = rec.I16(H::kPageRace + 2 * k);
      if (race == 0) continue;
      ++filled;
      CheckRaceNo(f, "ページ " + N(p) + " 枠 " + N(k + 1), race, counts);
    }
    if (const int16_t slots = rec.I16(H::kSlotCount); slots != filled)
      f.Add("ページ " + N(p), "枠数 " + N(slots) + " が、レースの入った枠の数 " + N(filled) + " と合いません。");
  }
}

void CheckStandardsFile(Findings& f, const fs::path& meetFolder) {
  namespace S = shikaku_layout;
  f.Begin(kShikakuFileName);
  const fs::path path = ShikakuFilePath(meetFolder);
  constexpr uint64_t kTableBytes = static_cast<uint64_t>(S::kRecordCount) * S::kRecordLength;
  auto file = OpenForCheck(f, path, S::kRecordLength, kTableBytes);
  if (!file || file->byteSize() <= S::kEmptyFileSize) return;
  const int64_t held = WholeRecordsAfter(*file, 0);
  if (held < S::kRecordCount)
    f.Add("", "レコードが " + N(held) + " 件しかありません（表は " + N(S::kRecordCount) + " 件）。");
  auto table = LoadShikakuTable(path);
  if (!table) {
    f.Add("", table.error().message);
    return;
  }
  static const char* const kSexes[] = {"男子", "女子", "混合"};
  for (int r = 1; r <= std::min<int64_t>(held, S::kRecordCount); ++r) {
    const std::string where = "レコード " + N(r);
    const ShikakuRecord& rec = table->record(r);
    if (!table->GroupKeyValid(r))
      f.Add(where, "グループ番号 " + N(rec.groupKey) + " が同じ区分のレコードを指していません。");
    for (int cell = 0; cell < S::kUsedCells; ++cell)
      CheckTime(f, where, std::string(kSexes[cell / S::kEventsPerSex]) + " 種目 " + N(cell % S::kEventsPerSex + 1) + " の記録",
                rec.cellTimes[static_cast<size_t>(cell)]);
  }
}

void CheckRecordsList(Findings& f, const fs::path& meetFolder, const MeetCounts& counts) {
  namespace B = biko_layout;
  f.Begin(kBikoFileName);
  constexpr int64_t kMaxList = 32767;
  auto file = OpenForCheck(f, FindFile(meetFolder, kBikoFileName), B::kRecordLength,
                           (kMaxList + B::kFirstEntryRecord - 1) * B::kRecordLength);
  if (!file || file->byteSize() <= B::kEmptyFileSize) return;
  const int64_t entries = CheckCount(f, "件数", "件", file->Read(1).I16(B::kRecordCount),
                                     WholeRecordsAfter(*file, B::kFirstEntryRecord - 1), kMaxList);
  for (int64_t n = 1; n <= entries; ++n) {
    const Record rec = file->Read(n + B::kFirstEntryRecord - 1);
    const std::string where = "記録 " + N(n);
    CheckTime(f, where, "記録", rec.I32(B::kTime));
    for (int k = 0; k < B::kMemberCount; ++k)
      CheckEntryNo(f, where + " 第 " + N(k + 1) + " 泳者", rec.I16(B::kMembers + 2 * k), counts.entries);
    CheckText(f, where, "チームコード", rec.Raw(B::kTeamCode, B::kTeamCodeWidth));
    InRange(f, where, "種目", rec.I16(B::kEventCode), 1, 44);
    InRange(f, where, "記録区分", rec.I16(B::kRecordClass), 1, 34);
    InRange(f, where, "順位", rec.I16(B::kPlace), 1, 20);
    InCodes(f, where, "性別", rec.Raw(B::kSexCode, 1), "123");
    InCodes(f, where, "予決", rec.Raw(B::kStageCode, 1), "1234");
  }
}

void CheckCategoryFile(Findings& f, const fs::path& meetFolder) {
  namespace O = optkubun_layout;
  f.Begin(kOptionalCategoryFileName);
  constexpr int64_t kMaxCategories = 32767;
  auto file = OpenForCheck(f, FindFile(meetFolder, kOptionalCategoryFileName), O::kRecordLength,
                           (kMaxCategories + 1) * O::kRecordLength);
  if (!file || file->byteSize() < 2) return;
  const int64_t categories = CheckCount(f, "区分数", "区分", file->Read(1).I16(O::kCategoryCount),
                                        WholeRecordsAfter(*file, 1), kMaxCategories);
  for (int64_t n = 1; n <= categories; ++n) {
    const Record rec = file->Read(n + 1);
    const std::string where = "区分 " + N(n);
    CheckText(f, where, "区分名", rec.Raw(O::kCatName, O::kCatNameWidth));
    InCodes(f, where, "性別", rec.Raw(O::kCatSex, 1), "1234");
    if (rec.I16(O::kCatFrom) > rec.I16(O::kCatTo))
      f.Add(where, "区分の下限 " + N(rec.I16(O::kCatFrom)) + " が上限 " + N(rec.I16(O::kCatTo)) + " より大きくなっています。");
    const int16_t from = rec.I16(O::kCatEventFrom), to = rec.I16(O::kCatEventTo);
    if (from < 1 || to > 44 || from > to)
      f.Add(where, "種目の範囲 " + N(from) + "～" + N(to) + " が 1～44 の中の範囲ではありません。");
  }
}

void CheckPointsFile(Findings& f, const fs::path& meetFolder) {
  namespace T = nyusho_layout;
  f.Begin(kNyushoFileName);
  constexpr int64_t kMaxTeams = 32767;
  auto file = OpenForCheck(f, FindFile(meetFolder, kNyushoFileName), T::kRecordLength,
                           (kMaxTeams + T::kFirstTeamRecord - 1) * T::kRecordLength);
  if (!file || file->byteSize() < T::kTalliedFromSize) return;
  const Record header = file->Read(1);
  CheckText(f, "ヘッダー", "集計日", header.Raw(T::kTallyDate, T::kTallyDateWidth));
  CheckText(f, "ヘッダー", "集計時刻", header.Raw(T::kTallyTime, T::kTallyTimeWidth));
  const int64_t teams = CheckCount(f, "チーム数", "チーム", header.I16(T::kTeamCount),
                                   WholeRecordsAfter(*file, T::kFirstTeamRecord - 1), kMaxTeams);
  for (int64_t n = 1; n <= teams; ++n) {
    const Record rec = file->Read(n + T::kFirstTeamRecord - 1);
    const std::string where = "チーム " + N(n);
    CheckText(f, where, "チームコード", rec.Raw(T::kTeamCode, T::kTeamCodeWidth));
    CheckText(f, where, "チーム名", rec.Raw(T::kTeamName, T::kTeamNameWidth));
    CheckText(f, where, "県名", rec.Raw(T::kTeamPrefName, T::kTeamPrefNameWidth));
  }
}

bool AllDigits(std::string_view v) {
  return !v.empty() && std::all_of(v.begin(), v.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// The timing files of one folder ("goal" with G + race number, "lap" with R),
// found whatever their letter case, by race number.
std::map<int64_t, fs::path> TimingFiles(const fs::path& meetFolder, std::string_view folder, char letter) {
  std::map<int64_t, fs::path> files;
  std::error_code ec;
  const fs::path dir = FindFile(meetFolder, folder);
  if (!fs::is_directory(dir, ec)) return files;
  for (fs::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec)) {
    const std::string name = it->path().filename().string();
    if (name.size() < 2 || name.size() > 6 || (name[0] != letter && name[0] != letter + ('a' - 'A'))) continue;
    if (!AllDigits(std::string_view(name).substr(1))) continue;
    files.emplace(std::stoll(name.substr(1)), it->path());
  }
  return files;
}

void CheckTimingFiles(Findings& f, const fs::path& meetFolder, const MeetCounts& counts, std::string_view folder,
                      char letter) {
  for (const auto& [race, path] : TimingFiles(meetFolder, folder, letter)) {
    f.Begin(std::string(folder) + "/" + path.filename().string());
    CheckRaceNo(f, "", race, counts);
    auto bytes = ReadFileHead(path, kMaxTimingFileBytes + 1);
    if (!bytes) {
      f.Add("", bytes.error().message);
      continue;
    }
    if (bytes->size() > kMaxTimingFileBytes) {
      f.Add("", "ファイルが " + N(static_cast<int64_t>(kMaxTimingFileBytes)) + " バイトを超えています。その先は読みません。");
      bytes->resize(kMaxTimingFileBytes);
    }
    const std::string_view text = *bytes;
    int64_t lineNo = 0;
    for (size_t start = 0; start < text.size();) {
      size_t end = text.find('\n', start);
      if (end == std::string_view::npos) end = text.size();
      std::string_view line = text.substr(start, end - start);
      start = end + 1;
      ++lineNo;
      if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
      const std::string where = N(lineNo) + " 行目";
      if (!Decodes(line)) f.Add(where, "CP932 として読めないバイトがあります。");
      const std::vector<std::string> v = SplitTimingLine(line);
      if (v.size() == 1 && v[0].empty()) continue;  // a blank line
      if (letter == 'G') {
        if (lineNo > 10) continue;  // only lanes 1–10 are read
        if (v.size() < 2 || !AllDigits(v[1])) {
          f.Add(where, "記録が数ではありません。");
        } else if (v[1].size() > 9 || !IsTimeCode(static_cast<int32_t>(std::stoll(v[1])))) {
          f.Add(where, "記録 " + v[1] + " はタイムコードではありません。");
        }
      } else if (!AllDigits(v[0]) || v[0].size() > 2 || std::stoi(v[0]) < 1 || std::stoi(v[0]) > 10) {
        f.Add(where, "レーン「" + v[0] + "」が 1～10 ではありません。");
      }
    }
  }
}

// What corrections after posting can leave behind, across taikai.dat,
// projun.dat, Race.dat and the goal files: a swimmer twice in one event's
// heats, heat numbers that are not 1..n of n, program entries whose heats
// are not their races, races no program entry covers, a race at "6" without
// its goal file, a next stage that no longer agrees with its heats, an
// exhibition swim holding a place.
void CheckCorrections(Findings& f, const fs::path& meetFolder, const MeetCounts& counts) {
  if (!counts.races || *counts.races == 0) return;
  const int races = static_cast<int>(*counts.races);
  std::vector<Race> all(1);  // all[r] is race r
  {
    auto file = RecordFile::Open(FindFile(meetFolder, kRaceFileName), race_layout::kRecordLength,
                                 RecordFile::Mode::ReadOnly);
    if (!file) return;
    for (int r = 1; r <= races; ++r) all.push_back(RaceFromRecord(file->Read(r + 10), false));
  }
  auto raceName = [](int r) { return "レース " + N(r); };

  f.Begin(kRaceFileName);
  std::map<int16_t, std::vector<int>> byEvent;  // event number → its races in file order
  for (int r = 1; r <= races; ++r)
    if (all[static_cast<size_t>(r)].eventNo != 0) byEvent[all[static_cast<size_t>(r)].eventNo].push_back(r);
  for (const auto& [eventNo, list] : byEvent) {
    const std::string where = "競技 " + N(eventNo);
    std::map<int16_t, int> seenIn;
    for (int r : list) {
      const Race& race = all[static_cast<size_t>(r)];
      for (size_t k = 0; k < race.laneNo.size(); ++k) {
        const int16_t no = race.laneNo[k];
        if (no <= 0) continue;
        if (auto [it, fresh] = seenIn.emplace(no, r); !fresh)
          f.Add(where, "申込 " + N(no) + " が" + (it->second == r ? raceName(r) + " に 2 度" : raceName(it->second) + " と" + raceName(r) + " の両方に") + "います。");
      }
    }
    bool numbered = true;
    for (size_t i = 0; i < list.size(); ++i) {
      const Race& race = all[static_cast<size_t>(list[i])];
      numbered = numbered && race.heatNo == static_cast<int>(i + 1) && race.heatTotal == static_cast<int>(list.size());
    }
    if (!numbered)
      f.Add(where, "組番号と総組が、" + N(static_cast<int64_t>(list.size())) + " レース（" +
                       RaceRange(list.front(), list.back()) + "）の 1～" + N(static_cast<int64_t>(list.size())) +
                       " 組 (" + N(static_cast<int64_t>(list.size())) + ") になっていません。");
  }
  for (int r = 1; r <= races; ++r) {
    const Race& race = all[static_cast<size_t>(r)];
    for (size_t k = 0; k < 10; ++k)
      if (race.laneNo[k] != 0 && race.laneRecordClass[k] == 99 && race.laneRank[k] != 0)
        f.Add(raceName(r) + " " + LaneName(static_cast<int>(k)),
              "オープン（OP）の選手に順位 " + N(race.laneRank[k]) + " がついています。");
  }
  // A next stage seeded from heats that have changed since.
  Settings settings;
  LoadSettings(meetFolder, settings);
  const int lanes = std::clamp<int>(settings.laneCount, 4, 10);
  for (const auto& [eventNo, list] : byEvent) {
    const int last = list.back();
    if (all[static_cast<size_t>(last)].roundCode == "2") continue;
    auto stage = PlanNextStage(meetFolder, settings, last);
    if (!stage || !stage->heatsNotConfirmed.empty()) continue;
    const auto& lanesOf = stage->current.laneNo;
    if (std::all_of(lanesOf.begin(), lanesOf.end(), [](int16_t no) { return no == 0; })) continue;
    if (!NextStageAgrees(*stage, lanes, settings.laneCountUsed))
      f.Add(raceName(stage->race), "次ラウンドの組分けが予選の結果と一致しません（" +
                                       RaceRange(stage->firstHeat, stage->lastHeat) + " から）。");
  }

  // Program entries against the races of their event.
  auto program = ProgramOrder::Load(meetFolder);
  if (program) {
    f.Begin(kProgramFileName);
    std::vector<bool> covered(static_cast<size_t>(races) + 1, false);
    int numbered = 0;
    for (int n = 1; n <= program->count(); ++n) {
      const ProgramEntry e = program->Read(n);
      if (e.orderNo == 0 || e.heatCount <= 0) continue;
      ++numbered;
      const int first = e.firstRace, lastRace = e.firstRace + e.heatCount - 1;
      bool written = false;  // heats reserved for a later stage and never written hold no event
      for (int r = std::max(first, 1); r <= std::min(lastRace, races); ++r) {
        const int16_t eventNo = all[static_cast<size_t>(r)].eventNo;
        written = written || eventNo != 0;
        if (eventNo == e.orderNo) covered[static_cast<size_t>(r)] = true;
      }
      if (!written) continue;
      const std::string where = "項目 " + N(n) + "（順 " + N(e.orderNo) + "）";
      const auto it = byEvent.find(e.orderNo);
      const std::vector<int> none;
      const std::vector<int>& list = it == byEvent.end() ? none : it->second;
      const bool inside = std::all_of(list.begin(), list.end(), [&](int r) { return r >= first && r <= lastRace; });
      if (!inside || static_cast<int>(list.size()) != e.heatCount)
        f.Add(where, "組数 " + N(e.heatCount) + "（" + RaceRange(first, lastRace) + "）ですが、競技 " + N(e.orderNo) +
                         " のレースは " + N(static_cast<int64_t>(list.size())) + " 組" +
                         (list.empty() ? "" : "（" + RaceRange(list.front(), list.back()) + "）") + "です。");
    }
    if (numbered > 0) {
      f.Begin(kRaceFileName);
      for (int r = 1; r <= races; ++r)
        if (!covered[static_cast<size_t>(r)] && all[static_cast<size_t>(r)].eventNo != 0)
          f.Add(raceName(r), "競技 " + N(all[static_cast<size_t>(r)].eventNo) + " のこのレースは、どの競技順（" +
                                 std::string(kProgramFileName) + "）にも入っていません。");
    }
  }

  // A race the timing system marked "6" needs its goal file.
  f.Begin(kRaceStateFileName);
  auto states = RaceStates::Read(meetFolder);
  if (!states) return;
  const auto goals = TimingFiles(meetFolder, "goal", 'G');
  for (int r = 1; r <= races; ++r)
    if (states->state(r) == kStateTimingWaiting && !goals.contains(r))
      f.Add(raceName(r), "状態 6 ですが、ゴールファイル " + GoalFilePath(meetFolder, r).filename().string() +
                             " がありません。");
}

}  // namespace

std::string MeetCheckReport::Summary() const {
  if (clean()) return "点検: 問題は見つかりませんでした。";
  return "点検: 問題が " + N(findings) + " 件見つかりました。";
}

MeetCheckReport CheckMeetFolder(const fs::path& meetFolder, const fs::path& entryFile) {
  MeetCheckReport report;
  {
    Findings f(report);
    MeetCounts counts;
    CheckSettingsFile(f, meetFolder);
    CheckEntryFile(f, entryFile, counts);
    PeekRaceAndRelayFiles(meetFolder, counts);
    CheckRaceFile(f, meetFolder, counts);
    CheckRaceStates(f, meetFolder, counts);
    CheckRelayFile(f, meetFolder, counts);
    CheckProgramFile(f, meetFolder, counts);
    CheckPageFile(f, meetFolder, counts);
    CheckStandardsFile(f, meetFolder);
    CheckRecordsList(f, meetFolder, counts);
    CheckCategoryFile(f, meetFolder);
    CheckPointsFile(f, meetFolder);
    CheckTimingFiles(f, meetFolder, counts, "goal", 'G');
    CheckTimingFiles(f, meetFolder, counts, "lap", 'R');
    CheckCorrections(f, meetFolder, counts);
  }
  return report;
}

}  // namespace meet
