#include "print/program_pages.h"

#include <algorithm>

#include "core/file_names.h"
#include "core/numbers.h"
#include "data/race_layout.h"

namespace meet {

namespace RL = race_layout;
namespace HL = hpro_layout;

// ---------------------------------------------------------------- race file

Result<RaceFileImage> RaceFileImage::Load(const std::filesystem::path& meetFolder) {
  auto bytes = ReadFileHead(FindFile(meetFolder, kRaceFileName), race_layout::kMaxFileBytes);
  if (!bytes) {
    if (bytes.error().kind == ErrorKind::NotFound) return FromBytes({});
    return std::unexpected(bytes.error());
  }
  return FromBytes(std::move(*bytes));
}

RaceFileImage RaceFileImage::FromBytes(std::string bytes) {
  RaceFileImage image;
  image.bytes_ = std::move(bytes);
  if (image.bytes_.size() > RL::kEmptyFileSize) {
    const int64_t records = static_cast<int64_t>((image.bytes_.size() + RL::kRecordLength - 1) / RL::kRecordLength);
    const int64_t held = std::max<int64_t>(0, records - (RL::kFirstRaceRecord - 1));
    const int64_t stored = Record(image.bytes_.substr(0, RL::kRecordLength), RL::kRecordLength).I16(RL::kRaceCount);
    image.raceCount_ = static_cast<int>(std::clamp<int64_t>(stored, 0, std::min<int64_t>(held, RL::kMaxRace)));
  }
  return image;
}

Record RaceFileImage::RecordOf(int n) const {
  if (n < 1 || n > RL::kMaxRace) return Record(RL::kRecordLength);
  const size_t offset = static_cast<size_t>(n + RL::kFirstRaceRecord - 2) * RL::kRecordLength;
  if (offset >= bytes_.size()) return Record(RL::kRecordLength);
  return Record(bytes_.substr(offset, RL::kRecordLength), RL::kRecordLength);
}

Race RaceFileImage::race(int n) const {
  Race race = RaceFromRecord(RecordOf(n), true);
  race.raceCount = static_cast<int16_t>(raceCount_);
  return race;
}

// ---------------------------------------------------------------- list line

std::string PageListLine(int pageNo, const ProgramPage& page, const RaceFileImage& races, const NamingContext& naming) {
  std::string line = RightAligned(pageNo, 3) + " ";
  const int first = page.pageRace[0];
  if (first == 0) return line;
  const Race r = races.race(first);
  line += RightAligned(r.eventNo, 3) + " " + RoundName(r.roundCode) + RightAligned(r.heatNo, 3) + "組 " +
          SexName(r.sexCode) + " " + EventName(r.eventCode, naming);
  return line;
}

// ---------------------------------------------------------------- building

int RaceSizeClass(int eventCode, const std::array<char, 15>& extraRelayFlags) {
  if (eventCode >= 23 && eventCode <= 29) return 2;
  if (eventCode >= 30 && eventCode <= 44) {
    const char flag = extraRelayFlags[static_cast<size_t>(eventCode - 30)];
    return 1 + (flag >= '0' && flag <= '9' ? flag - '0' : 0);
  }
  return 1;
}

namespace {

// Races of a size class that fill a standard page: three relay blocks, or
// the eight slots for every other class (a class above 2, from an undefined
// relay flag, would otherwise never fill a page).
int StandardCapacity(int sizeClass) { return sizeClass == 2 ? 3 : HL::kSlots; }

// The pages being built, written into the page file as each one closes.
class PageWriter {
 public:
  PageWriter(PageFile& file, int16_t pattern) : file_(file), pattern_(pattern) {}

  ProgramPage& page() { return page_; }
  int pages() const { return pages_; }

  // Closes the current page: its slotCount, the page as the next page number,
  // the header with the pages so far; then an empty page.
  Status Close() {
    if (pages_ >= HL::kMaxPage)
      return Fail(ErrorKind::Refused, "ページ数が上限（" + std::to_string(HL::kMaxPage) + "）を超えます。");
    ++pages_;
    page_.slotCount = static_cast<int16_t>(page_.FilledSlots());
    if (auto ok = file_.Write(pages_, page_); !ok) return ok;
    if (auto ok = file_.WriteHeader(pages_, pattern_); !ok) return ok;
    page_ = ProgramPage{};
    return {};
  }

 private:
  PageFile& file_;
  int16_t pattern_;
  ProgramPage page_;
  int pages_ = 0;
};

std::string StageType(const Race& r) { return r.roundCode == "1" ? "1" : "2"; }

Status BuildStandard(const RaceFileImage& races, const std::array<char, 15>& flags, const PageBuildOptions& options,
                     PageWriter& out) {
  int c = 0;
  int previousClass = 0;
  std::string previousStage;
  char previousDay = '\0';
  for (int r = 1; r <= races.raceCount(); ++r) {
    const Race race = races.race(r);
    const int k = RaceSizeClass(race.eventCode, flags);
    const std::string stage = StageType(race);
    const char day = static_cast<size_t>(r) <= options.raceDays.size() ? options.raceDays[static_cast<size_t>(r - 1)] : '\0';
    if (r > 1) {
      const bool stageBreak = stage != previousStage && !options.noStageBreak;
      const bool dayBreak = day != previousDay && !options.noDayBreak;
      const bool full = c >= StandardCapacity(previousClass);
      if (stageBreak || k != previousClass || dayBreak || full) {
        if (auto ok = out.Close(); !ok) return ok;
        c = 0;
      }
    }
    ++c;
    out.page().pageRace[static_cast<size_t>(c - 1)] = static_cast<int16_t>(r);
    previousClass = k;
    previousStage = stage;
    previousDay = day;
  }
  if (c > 0) return out.Close();
  return {};
}

Status BuildWithFinals(const RaceFileImage& races, PageWriter& out) {
  int c = 0;
  int previous = 0;  // the race last placed
  Race last;
  // Puts the next race of the last placed race's event (same sex, class bounds
  // and event) on the page: slot 3 for a relay, slot 4 for an individual
  // event; then closes the page.
  auto closeWithNextRace = [&]() -> Status {
    for (int s = previous + 1; s <= races.raceCount(); ++s) {
      const Race next = races.race(s);
      if (next.sexCode == last.sexCode && next.classFrom == last.classFrom && next.classTo == last.classTo &&
          next.eventCode == last.eventCode) {
        out.page().pageRace[next.eventCode > 22 ? 2 : 3] = static_cast<int16_t>(s);
        break;
      }
    }
    return out.Close();
  };

  for (int r = 1; r <= races.raceCount(); ++r) {
    const Race race = races.race(r);
    if (race.roundCode != "1") continue;
    if (previous > 0 && (race.sexCode != last.sexCode || race.eventCode != last.eventCode)) {
      if (auto ok = closeWithNextRace(); !ok) return ok;
      c = 0;
    }
    if (c > 0 && c >= (last.eventCode < 23 ? 6 : 2)) {
      if (auto ok = out.Close(); !ok) return ok;
      c = 0;
    }
    ++c;
    out.page().pageRace[static_cast<size_t>(c <= 3 ? c - 1 : c)] = static_cast<int16_t>(r);
    previous = r;
    last = race;
  }
  if (c > 0) return closeWithNextRace();
  return {};
}

}  // namespace

Status BuildProgramPages(const std::filesystem::path& meetFolder, const std::array<char, 15>& extraRelayFlags,
                         const PageBuildOptions& options) {
  if (options.pattern != 0 && options.pattern != 1)
    return Fail(ErrorKind::Invalid, "ページのパターンは「標準」か「予決同頁」を選んでください。");
  auto races = RaceFileImage::Load(meetFolder);
  if (!races) return std::unexpected(races.error());
  auto file = PageFile::Load(meetFolder);
  if (!file) return std::unexpected(file.error());

  const auto pattern = static_cast<int16_t>(options.pattern);
  PageWriter out(*file, pattern);
  Status built = options.pattern == 0 ? BuildStandard(*races, extraRelayFlags, options, out)
                                      : BuildWithFinals(*races, out);
  if (!built) return built;
  if (out.pages() == 0)
    if (auto ok = file->WriteHeader(0, pattern); !ok) return ok;
  return file->Save();
}

}  // namespace meet
