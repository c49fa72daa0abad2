// What the document printers read besides the race: the entry file (names,
// readings, affiliations), the relay file (members), the naming context and
// the settings, opened once per printout and closed when it ends. Also the
// text rules the printed columns share.
#pragma once

#include <array>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "core/naming.h"
#include "core/print_columns.h"
#include "data/entry_file.h"
#include "data/relay_file.h"
#include "settings/settings.h"

namespace meet {

// The meet a printout is made from.
struct MeetFiles {
  std::filesystem::path meetFolder;
  Settings settings;
};

class PrintSources {
 public:
  // Never fails: a missing entry or relay file reads as empty.
  explicit PrintSources(const MeetFiles& meet);

  const Settings& settings() const { return settings_; }
  const NamingContext& naming() const { return naming_; }
  // Entry n, or nothing for 0 and for a number the entry file does not hold.
  std::optional<Entry> entry(int n) const;
  // The relay block of a race (its relayRec); an empty block when the race
  // has none or the number is outside the file.
  RelayBlock block(int relayRec) const;
  // Event codes 23–29, or a meet's own event (30–44) whose relay flag reads
  // as a non-zero number.
  bool IsRelay(int eventCode) const;
  // The grade text of an entry's grade code under the entry file's scheme.
  std::string GradeText(std::string_view gradeCode) const;
  // The band label of a race.
  std::string BandLabel(int classFrom, int classTo, int eventCode) const;
  std::string EventText(int eventCode) const;

 private:
  Settings settings_;
  NamingContext naming_;
  std::optional<EntryFile> entries_;
  std::optional<RelayFile> relays_;
  std::array<char, 15> relayFlags_{};
};

// A field as printed: control characters (the NULs of a field written from
// an empty value) become blanks, trailing blanks go.
std::string PrintedText(std::string_view field);
// A name field as the results and race sheets print it: NULs turned into
// blanks, then CleanName in mode 1.
std::string PrintedName(std::string_view field);
// The standardFlags character of a slot ("" for a blank or control byte).
std::string FlagText(char flag);
// A number right-aligned in `width`, or blanks when it is 0.
std::string NumberOrBlank(int value, int width);


}  // namespace meet
