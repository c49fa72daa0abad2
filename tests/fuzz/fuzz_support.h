// What every fuzz target shares: a meet folder made once per process from the
// seed corpus (one file of each kind), into which each input is written as
// the one file the target reads, and a platform that prints nothing and
// answers every question with No.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "core/platform.h"
#include "core/printer.h"
#include "settings/settings.h"

namespace meet::fuzz {

// The meet folder (kijun.dat, taikai.dat, Race.dat, … from the corpus) and the
// folder holding its entry file fz.Mos; the folder configuration ctl/dr_kyo.ctl
// names both.
const std::filesystem::path& Meet();
const std::filesystem::path& EntryFolder();
const std::filesystem::path& FolderConfig();
std::filesystem::path EntryFile();

// Replaces the file with the input's bytes.
void Put(const std::filesystem::path& file, const uint8_t* data, size_t size);
// Puts the seed file of that kind back (corpus/<kind>/<name>).
void Restore(const std::string& kind, const std::string& name, const std::filesystem::path& file);

// The meet's settings as the screens load them, the entry folder pointing at
// EntryFolder().
Settings MeetSettings();

class FixedClock : public Clock {
 public:
  DateTime Now() const override { return DateTime{2024, 7, 1, 9, 30, 0}; }
};
struct QuietPlatform {
  NullPrinter printer;
  FixedAnswerDialogs dialogs{false};
  FixedClock clock;
  NoLauncher launcher;
  Platform platform{printer, dialogs, clock, launcher};
};

}  // namespace meet::fuzz
