#pragma once
// A Lenex file read into its XML tree (pugixml), after lxf_read's checks, and
// what `meetctl lenex show` lists of it: the meets, their sessions and events,
// and counts of clubs, athletes, entries, results and relays.

#include <filesystem>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include <pugixml.hpp>

#include "core/error.h"

namespace meet {

struct LenexDocument {
  std::string text;  // the .lef text the tree was parsed from in place
  pugi::xml_document xml;
  pugi::xml_node root() const { return xml.document_element(); }
};

// Parses .lef text (already checked by CheckLenexText). Refused: XML that does
// not parse ("NAME は XML として読めません（12 行目: …）"), several top-level
// elements, a top-level element other than LENEX.
Result<std::unique_ptr<LenexDocument>> ParseLenex(std::string text, std::string_view name);

// ReadLenexText then ParseLenex.
Result<std::unique_ptr<LenexDocument>> ReadLenexFile(const std::filesystem::path& path);

struct LenexEventSummary {
  std::string number, gender, round, daytime;
  std::string distance, relayCount, stroke, styleName;  // of its SWIMSTYLE
  int heats = 0;
};

struct LenexSessionSummary {
  std::string number, date, daytime, name;
  std::vector<LenexEventSummary> events;
};

struct LenexMeetSummary {
  std::string name, city, nation, course;
  std::vector<LenexSessionSummary> sessions;
  int clubs = 0, athletes = 0, relays = 0;
  int entries = 0, results = 0;            // of athletes
  int relayEntries = 0, relayResults = 0;  // of relays
};

struct LenexSummary {
  std::string version;
  std::string software, softwareVersion;  // CONSTRUCTOR name and version
  std::vector<LenexMeetSummary> meets;
  int recordLists = 0, timeStandardLists = 0;
};

LenexSummary SummarizeLenex(const LenexDocument& document);

// The summary as `lenex show` prints it, one line each.
std::vector<std::string> LenexShowLines(const LenexSummary& summary);

}  // namespace meet
