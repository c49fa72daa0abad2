// The meet as a Lenex 3.0 element tree: the meet and its sessions (one per
// meet day), an event per program entry with its swim style, age groups and
// heats, and the clubs with their athletes and relay teams, their entries
// and (for a results file) their results, splits and points, and the
// rankings of each age group as the results printout places them. Swimmers
// the live pages mask are masked here too unless `unmask`.
#pragma once

#include <filesystem>
#include <string>

#include <pugixml.hpp>

#include "core/error.h"
#include "print/print_sources.h"

namespace meet {

enum class LenexKind {
  Results,    // entries, heats, results with splits and points, rankings
  StartList,  // the seeded heats and lanes with their entry times
  Entries,    // the entry file's entry times, before any seeding
};

// CONSTRUCTOR's CONTACT email: the system has no setting for it, so every
// file names this address (README).
inline constexpr const char* kLenexContactEmail = "meetdesk@example.invalid";
// The build's version (CONSTRUCTOR version).
const char* MeetdeskBuildVersion();

struct LenexExportOptions {
  LenexKind kind = LenexKind::Results;
  bool unmask = false;
};

// What was written, for the operator's summary.
struct LenexCounts {
  int sessions = 0, events = 0, heats = 0, clubs = 0, athletes = 0, relays = 0, entries = 0, results = 0;
  int points = 0;  // results with points
};

// Builds the tree of the meet into `doc` (emptied first). `meet.settings`
// carries the entry file to read (its entryFolder and entryFileName). A file
// the tree needs that is there but cannot be used is an error; missing
// files read as empty, as everywhere.
Result<LenexCounts> BuildLenexDocument(pugi::xml_document& doc, const MeetFiles& meet, const LenexExportOptions& options);

// The document as the UTF-8 text of a .lef file.
std::string LenexText(const pugi::xml_document& doc);

}  // namespace meet
