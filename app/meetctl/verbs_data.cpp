// race show N / entry show N / entry header / relay show B: one record of the
// race, entry or relay file as field=value lines in layout order.
#include <charconv>
#include <iostream>
#include <string_view>

#include "core/cp932.h"
#include "core/file_names.h"
#include "core/record_file.h"
#include "data/entry_file.h"
#include "data/race_file.h"
#include "data/relay_file.h"
#include "meetctl/cli.h"

namespace meet::cli {
namespace {

void Line(std::ostream& out, std::string_view name, const std::string& value) {
  out << name << '=' << TrimRight(value) << '\n';
}
void Line(std::ostream& out, std::string_view name, int64_t value) { out << name << '=' << value << '\n'; }

template <class T, size_t N>
void Lines(std::ostream& out, std::string_view name, const std::array<T, N>& values) {
  for (size_t k = 0; k < N; ++k) out << name << '.' << k << '=' << static_cast<int64_t>(values[k]) << '\n';
}

// One-byte fields shown one by one, each decoded on its own.
void ByteLines(std::ostream& out, std::string_view name, std::string_view bytes) {
  for (size_t k = 0; k < bytes.size(); ++k)
    out << name << '.' << k << '=' << TrimRight(DecodeCp932(bytes.substr(k, 1))) << '\n';
}

template <size_t N>
std::string_view AsBytes(const std::array<char, N>& chars) {
  return std::string_view(chars.data(), N);
}

int RaceShowVerb(Context& ctx, std::vector<std::string>& args) {
  if (args.size() != 1) return UsageError(ctx, "race show N");
  auto meet = ctx.MeetFolder();
  if (!meet) return Failed(ctx, meet.error());
  auto n = NumberInRange(args[0], "レース番号", 1, race_layout::kMaxRace);
  if (!n) return Failed(ctx, n.error());
  const int count = ReadRaceCount(*meet);
  if (count <= 0) return Failed(ctx, Error{ErrorKind::NotFound, "レースファイルにレースがありません。"});
  if (n = NumberInRange(args[0], "レース番号", 1, count); !n) return Failed(ctx, n.error());
  auto race = LoadRace(*meet, *n);
  if (!race) return Failed(ctx, race.error());
  // The spare bytes are not part of the race buffer: read them from the record.
  auto file = RecordFile::Open(FindFile(*meet, kRaceFileName), race_layout::kRecordLength, RecordFile::Mode::ReadOnly);
  if (!file) return Failed(ctx, file.error());
  Record record = file->Read(*n + 10);

  std::ostream& out = ctx.out;
  const Race& r = *race;
  Line(out, "raceCount", r.raceCount);
  Line(out, "eventNo", r.eventNo);
  Line(out, "heatNo", r.heatNo);
  Line(out, "heatTotal", r.heatTotal);
  Line(out, "sexCode", r.sexCode);
  Line(out, "classFrom", r.classFrom);
  Line(out, "classTo", r.classTo);
  Line(out, "eventCode", r.eventCode);
  Line(out, "roundCode", r.roundCode);
  Line(out, "startTime", r.startTime);
  Line(out, "relayRec", r.relayRec);
  Lines(out, "laneNo", r.laneNo);
  Lines(out, "laneTime", r.laneTime);
  Lines(out, "laneEntryTime", r.laneEntryTime);
  Lines(out, "laneRank", r.laneRank);
  Lines(out, "openLevel", r.openLevel);
  Lines(out, "ageLevel", r.ageLevel);
  Lines(out, "laneRecordClass", r.laneRecordClass);
  ByteLines(out, "standardFlags", AsBytes(r.standardFlags));
  Line(out, "raceSpare1", record.Text(race_layout::kRaceSpare1, 1));
  Line(out, "raceSpare2", record.Text(race_layout::kRaceSpare2, race_layout::kRaceSpare2Width));
  return 0;
}

// The entry file: --entry FILE, else the one named by the meet's settings.
Result<EntryFile> OpenEntryFileForVerb(Context& ctx, std::vector<std::string>& args) {
  auto named = TakeOption(args, "--entry");
  if (!named) return std::unexpected(named.error());
  std::filesystem::path path;
  if (*named) {
    path = **named;
  } else {
    auto settings = ctx.LoadedSettings();
    if (!settings) return std::unexpected(settings.error());
    path = EntryFilePath((*settings)->entryFolder, (*settings)->entryFileName);
  }
  std::error_code ec;
  if (!std::filesystem::exists(path, ec))
    return Fail(ErrorKind::NotFound, "エントリーファイル " + path.string() + " がありません。");
  return EntryFile::OpenForReading(path);
}

void ShowEntry(std::ostream& out, const Entry& e) {
  Line(out, "entryNo", e.entryNo);
  Line(out, "entryCode7", e.entryCode7);
  Line(out, "regNo", e.regNo);
  Line(out, "swimmerName", e.swimmerName);
  Line(out, "swimmerKana", e.swimmerKana);
  Line(out, "prefName", e.prefName);
  Line(out, "entryText6a", e.entryText6a);
  Line(out, "affiliation", e.affiliation);
  Line(out, "entryText6b", e.entryText6b);
  Line(out, "gradeCode", e.gradeCode);
  Line(out, "age", e.age);
  Line(out, "sexCode", e.sexCode);
  Line(out, "entryFlag", e.entryFlag);
  Lines(out, "entryTimes", e.entryTimes);
  Line(out, "entryText6c", e.entryText6c);
  Line(out, "entryLong", e.entryLong);
  ByteLines(out, "entryEventFlags", e.entryEventFlags);
  ByteLines(out, "entryEventFlags2", e.entryEventFlags2);
}

void ShowEntryHeader(std::ostream& out, const EntryHeader& h, const EventDefinitions& d) {
  Line(out, "entryCount", h.entryCount);
  Line(out, "entryCourse", h.entryCourse);
  Line(out, "entryCreated", h.entryCreated);
  Line(out, "entryMeetAbbrev", h.entryMeetAbbrev);
  Line(out, "entryVenue", h.entryVenue);
  Line(out, "entryDateFrom", h.entryDateFrom);
  Line(out, "entryDateTo", h.entryDateTo);
  Line(out, "entryMeetCode", h.entryMeetCode);
  Line(out, "classScheme", h.classScheme);
  Line(out, "entryHeaderSpare", h.entryHeaderSpare);
  Lines(out, "entryDays", h.entryDays);
  for (size_t k = 0; k < d.extraClassNames.size(); ++k)
    out << "extraClassNames." << k << '=' << TrimRight(d.extraClassNames[k]) << '\n';
  for (size_t k = 0; k < d.extraEventNames.size(); ++k)
    out << "extraEventNames." << k << '=' << TrimRight(d.extraEventNames[k]) << '\n';
  ByteLines(out, "extraRelayFlags", AsBytes(d.extraRelayFlags));
}

constexpr const char* kEntryUsage = "entry show N [--entry FILE] または entry header [--entry FILE]";

int EntryVerb(Context& ctx, std::vector<std::string>& args) {
  if (args.empty()) return UsageError(ctx, kEntryUsage);
  std::string command = args[0];
  args.erase(args.begin());
  auto file = OpenEntryFileForVerb(ctx, args);
  if (!file) return Failed(ctx, file.error());
  if (command == "show" && args.size() == 1) {
    int32_t held = file->entriesHeld();
    if (held == 0) return Failed(ctx, Error{ErrorKind::NotFound, "エントリーファイルにエントリーがありません。"});
    auto n = NumberInRange(args[0], "エントリー番号", 1, held);
    if (!n) return Failed(ctx, n.error());
    ShowEntry(ctx.out, file->Load(*n));
    return 0;
  }
  if (command == "header" && args.empty()) {
    ShowEntryHeader(ctx.out, file->header(), file->Events());
    return 0;
  }
  return UsageError(ctx, kEntryUsage);
}

int RelayVerb(Context& ctx, std::vector<std::string>& args) {
  if (args.size() != 2 || args[0] != "show") return UsageError(ctx, "relay show B");
  auto meet = ctx.MeetFolder();
  if (!meet) return Failed(ctx, meet.error());
  auto b = NumberInRange(args[1], "リレーブロック番号", 1, relay_layout::kMaxBlock);
  if (!b) return Failed(ctx, b.error());
  auto file = RelayFile::OpenForReading(*meet);
  if (!file) return Failed(ctx, file.error());
  if (file->relayCount() <= 0) return Failed(ctx, Error{ErrorKind::NotFound, "リレーファイルにブロックがありません。"});
  if (b = NumberInRange(args[1], "リレーブロック番号", 1, file->relayCount()); !b) return Failed(ctx, b.error());
  RelayBlock block = file->Read(*b);
  std::ostream& out = ctx.out;
  Line(out, "relayCount", file->relayCount());
  Line(out, "relayBlockNo", block.relayBlockNo);
  Lines(out, "legMembers", block.legMembers);
  Line(out, "relayRace", block.relayRace);
  Lines(out, "splitTimes", block.splitTimes);
  return 0;
}

VerbRegistration raceShowVerb("race show", "race show N", RaceShowVerb);
VerbRegistration entryVerb("entry", "entry show N [--entry FILE] | entry header [--entry FILE]", EntryVerb);
VerbRegistration relayVerb("relay", "relay show B", RelayVerb);

}  // namespace
}  // namespace meet::cli
