#include "interchange/lenex_check.h"

#include <algorithm>
#include <array>
#include <climits>
#include <cstring>
#include <optional>
#include <string_view>
#include <unordered_map>
#include <unordered_set>

#include "interchange/lenex_time.h"
#include "interchange/lxf_read.h"

namespace meet {

namespace {

using std::string;
using std::string_view;

enum class Kind { Number, Date, Daytime, SwimTime, ReactionTime, Nation, Course, Enum };

struct AttrType {
  Kind kind;
  std::vector<string_view> values = {};  // Kind::Enum
};

// The nation codes of the Lenex code list (Lenex_Nation.txt).
const std::unordered_set<string_view>& Nations() {
  static const std::unordered_set<string_view> codes = [] {
    static constexpr string_view kCodes =
        "AFG AHO ALB ALG AND ANG ANT ARG ARM ARU ASA AUS AUT AZE BAH BAN BAR BDI BEL BEN BER BHU BIH BIZ BLR BOL BOT "
        "BRA BRN BRU BUL BUR CAF CAM CAN CAY CGO CHA CHI CHN CIV CMR COD COK COL COM CPV CRC CRO CUB CYP CZE DEN DJI "
        "DMA DOM ECU EGY ERI ESA ESP EST ETH FIJ FIN FRA FRO FSM GAB GAM GBR GBS GEO GEQ GER GHA GIB GRE GRN GUA GUI "
        "GUM GUY HAI HKG HON HUN INA IND IRI IRL IRQ ISL ISR ISV ITA IVB JAM JOR JPN KAZ KEN KGZ KIR KOR KSA KUW LAO "
        "LAT LBA LBN LBR LCA LES LIE LTU LUX MAC MAD MAR MAS MAW MDA MDV MEX MGL MHL MKD MLI MLT MNE MON MOZ MRI MTN "
        "MYA NAM NCA NED NEP NGR NIG NMA NOR NRU NZL OMA PAK PAN PAR PER PHI PLE PLW PNG POL POR PRK PUR QAT ROU RSA "
        "RUS RWA SAM SEN SEY SGP SKN SLE SLO SMR SOL SOM SRB SRI STP SUD SUI SUR SVK SWE SWZ SYR TAH TAN TGA THA TJK "
        "TKM TLS TOG TPE TRI TUN TUR TUV UAE UGA UKR URU USA UZB VAN VEN VIE VIN YEM ZAM ZIM";
    std::unordered_set<string_view> set;
    for (size_t i = 0; i + 3 <= kCodes.size(); i += 4) set.insert(kCodes.substr(i, 3));
    return set;
  }();
  return codes;
}

// The type of an attribute: by element and name first, then by name alone.
// Attributes not named here (strings, and codes left unchecked such as the
// handicap classes) are not checked.
const AttrType* TypeOf(string_view element, string_view attr) {
  static const std::unordered_map<string, AttrType> byElement = {
      {"MEET.number", {Kind::Enum}},  // a string (sanction number): no check, see below
      {"MEET.swrid", {Kind::Enum}},   // a unique id of its own form
      {"FACILITY.nation", {Kind::Enum}},  // a country code
      {"AGEDATE.value", {Kind::Date}},
      {"FEE.value", {Kind::Number}},
      {"SESSION.number", {Kind::Number}},
      {"EVENT.number", {Kind::Number}},
      {"HEAT.number", {Kind::Number}},
      {"CLUB.number", {Kind::Number}},
      {"RELAY.number", {Kind::Number}},
      {"RELAYPOSITION.number", {Kind::Number}},
      {"JUDGE.number", {Kind::Number}},
      {"ATHLETE.gender", {Kind::Enum, {"M", "F"}}},
      {"OFFICIAL.gender", {Kind::Enum, {"M", "F"}}},
      {"EVENT.gender", {Kind::Enum, {"A", "M", "F", "X"}}},
      {"AGEGROUP.gender", {Kind::Enum, {"A", "M", "F", "X"}}},
      {"RELAY.gender", {Kind::Enum, {"M", "F", "X"}}},
      {"RECORDLIST.gender", {Kind::Enum, {"M", "F", "X"}}},
      {"TIMESTANDARDLIST.gender", {Kind::Enum, {"M", "F", "X"}}},
      // EXTRAHEATS is no value of the documentation's list but other meet
      // programs write it (the official samples do).
      {"EVENT.round",
       {Kind::Enum,
        {"TIM", "FHT", "FIN", "SEM", "QUA", "PRE", "SOP", "SOS", "SOQ", "TIMETRIAL", "EXTRAHEATS"}}},
      {"EVENT.type", {Kind::Enum, {"MASTERS"}}},
      {"SWIMSTYLE.stroke",
       {Kind::Enum,
        {"APNEA", "BACK", "BIFINS", "MIXEDFINS", "BREAST", "DYNAMIC", "DYNAMIC_BIFINS", "DYNAMIC_NOFINS", "FLY", "FREE",
         "IMMERSION", "IMRELAY", "MEDLEY", "SPEED_APNEA", "SPEED_ENDURANCE", "STATIC", "SURFACE", "UNKNOWN"}}},
      {"SWIMSTYLE.technique", {Kind::Enum, {"DIVE", "GLIDE", "KICK", "PULL", "START", "TURN"}}},
      // Results marked RJC and entries marked DNS are written by other meet
      // programs (the official samples hold both); they are taken.
      {"RESULT.status", {Kind::Enum, {"EXH", "DSQ", "DNS", "DNF", "SICK", "WDR", "RJC"}}},
      {"ENTRY.status", {Kind::Enum, {"EXH", "RJC", "SICK", "WDR", "DNS"}}},
      {"RELAYPOSITION.status", {Kind::Enum, {"DSQ", "DNF"}}},
      {"HEAT.status", {Kind::Enum, {"SCHEDULED", "SEEDED", "INOFFICIAL", "OFFICIAL"}}},
      {"HEAT.final", {Kind::Enum, {"A", "B", "C", "D"}}},
      {"ATHLETE.status", {Kind::Enum, {"EXHIBITION", "FOREIGNER", "ROOKIE"}}},
      {"RECORD.status",
       {Kind::Enum, {"APPROVED", "PENDING", "INVALID", "APPROVED.HISTORY", "PENDING.HISTORY", "TARGETTIME"}}},
      {"AGEDATE.type", {Kind::Enum, {"YEAR", "DATE", "POR", "CAN.FNQ", "LUX"}}},
      {"AGEGROUP.calculate", {Kind::Enum, {"SINGLE", "TOTAL"}}},
      {"CLUB.type", {Kind::Enum, {"CLUB", "NATIONALTEAM", "REGIONALTEAM", "UNATTACHED"}}},
      {"FEE.type",
       {Kind::Enum, {"CLUB", "ATHLETE", "RELAY", "TEAM", "LATEENTRY.INDIVIDUAL", "LATEENTRY.RELAY"}}},
      {"POOL.type", {Kind::Enum, {"INDOOR", "OUTDOOR", "LAKE", "OCEAN"}}},
      {"TIMESTANDARDLIST.type", {Kind::Enum, {"DEFAULT", "MAXIMUM", "MINIMUM"}}},
      {"MEET.entrytype", {Kind::Enum, {"OPEN", "INVITATION"}}},
      {"MEET.startmethod", {Kind::Enum, {"1", "2"}}},
      {"JUDGE.role",
       {Kind::Enum, {"OTH", "MDR", "TDG", "REF", "STA", "ANN", "JOS", "CTIK", "TIK", "CFIN", "FIN", "CIOT", "IOT",
                     "FSR", "COC", "CREC", "REC", "CRS", "CR", "MED"}}},
  };
  static const AttrType kTiming{Kind::Enum, {"AUTOMATIC", "SEMIAUTOMATIC", "MANUAL3", "MANUAL2", "MANUAL1"}};
  static const AttrType kTouchpad{Kind::Enum, {"ONESIDE", "BOTHSIDE"}};
  static const std::unordered_map<string_view, AttrType> byName = {
      {"eventid", {Kind::Number}},       {"heatid", {Kind::Number}},
      {"athleteid", {Kind::Number}},     {"resultid", {Kind::Number}},
      {"clubid", {Kind::Number}},        {"relayid", {Kind::Number}},
      {"officialid", {Kind::Number}},    {"agegroupid", {Kind::Number}},
      {"preveventid", {Kind::Number}},   {"timestandardlistid", {Kind::Number}},
      {"swimstyleid", {Kind::Number}},   {"lane", {Kind::Number}},
      {"points", {Kind::Number}},        {"place", {Kind::Number}},
      {"order", {Kind::Number}},         {"distance", {Kind::Number}},
      {"relaycount", {Kind::Number}},    {"agemin", {Kind::Number}},
      {"agemax", {Kind::Number}},        {"agetotalmin", {Kind::Number}},
      {"agetotalmax", {Kind::Number}},   {"run", {Kind::Number}},
      {"maxentries", {Kind::Number}},    {"maxentriesathlete", {Kind::Number}},
      {"maxentriesrelay", {Kind::Number}}, {"reservecount", {Kind::Number}},
      {"altitude", {Kind::Number}},      {"lanemax", {Kind::Number}},
      {"lanemin", {Kind::Number}},       {"temperature", {Kind::Number}},
      {"swimdistance", {Kind::Number}},  {"entrydistance", {Kind::Number}},
      {"percent", {Kind::Number}},       {"license_ipc", {Kind::Number}},
      {"swrid", {Kind::Number}},
      {"date", {Kind::Date}},            {"birthdate", {Kind::Date}},
      {"deadline", {Kind::Date}},        {"entrystartdate", {Kind::Date}},
      {"withdrawuntil", {Kind::Date}},   {"from", {Kind::Date}},
      {"until", {Kind::Date}},           {"updated", {Kind::Date}},
      {"daytime", {Kind::Daytime}},      {"endtime", {Kind::Daytime}},
      {"officialmeeting", {Kind::Daytime}}, {"teamleadermeeting", {Kind::Daytime}},
      {"warmupfrom", {Kind::Daytime}},   {"warmupuntil", {Kind::Daytime}},
      {"deadlinetime", {Kind::Daytime}},
      {"swimtime", {Kind::SwimTime}},    {"entrytime", {Kind::SwimTime}},
      {"qualificationtime", {Kind::SwimTime}},
      {"reactiontime", {Kind::ReactionTime}},
      {"nation", {Kind::Nation}},
      {"course", {Kind::Course}},        {"entrycourse", {Kind::Course}},
      {"timing", kTiming},               {"touchpadmode", kTouchpad},
  };
  static thread_local string key;
  key.assign(element).append(1, '.').append(attr);
  if (auto it = byElement.find(key); it != byElement.end()) {
    // Kind::Enum with no values marks an attribute that is not checked.
    if (it->second.kind == Kind::Enum && it->second.values.empty()) return nullptr;
    return &it->second;
  }
  if (auto it = byName.find(attr); it != byName.end()) return &it->second;
  return nullptr;
}

constexpr std::array<string_view, 11> kCourses = {"LCM",   "SCM",   "SCY",   "SCM16", "SCM20", "SCM33",
                                                  "SCY20", "SCY27", "SCY33", "SCY36", "OPEN"};

bool AllDigits(string_view s) {
  if (s.empty()) return false;
  for (char c : s)
    if (c < '0' || c > '9') return false;
  return true;
}

std::optional<long long> Number(string_view s) {
  const bool negative = s.starts_with('-');
  const string_view digits = negative ? s.substr(1) : s;
  if (!AllDigits(digits) || digits.size() > 10) return std::nullopt;
  long long v = 0;
  for (char c : digits) v = v * 10 + (c - '0');
  if (negative) v = -v;
  if (v < INT_MIN || v > INT_MAX) return std::nullopt;
  return v;
}

bool IsDate(string_view s) {
  if (s.size() != 10 || s[4] != '-' || s[7] != '-') return false;
  if (!AllDigits(s.substr(0, 4)) || !AllDigits(s.substr(5, 2)) || !AllDigits(s.substr(8, 2))) return false;
  const int y = (s[0] - '0') * 1000 + (s[1] - '0') * 100 + (s[2] - '0') * 10 + (s[3] - '0');
  const int m = (s[5] - '0') * 10 + (s[6] - '0');
  const int d = (s[8] - '0') * 10 + (s[9] - '0');
  if (m < 1 || m > 12 || d < 1) return false;
  static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  const bool leap = (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
  return d <= kDays[m - 1] + (m == 2 && leap ? 1 : 0);
}

bool IsDaytime(string_view s) {
  if (s.size() != 5 || s[2] != ':' || !AllDigits(s.substr(0, 2)) || !AllDigits(s.substr(3, 2))) return false;
  return (s[0] - '0') * 10 + (s[1] - '0') <= 24 && (s[3] - '0') * 10 + (s[4] - '0') <= 59;
}

bool IsReactionTime(string_view s) {
  return s.empty() || s == "0" || ((s[0] == '+' || s[0] == '-') && AllDigits(s.substr(1)));
}

// A federation's own value: its nation code, a dot and a name ("GER.RES").
bool IsNationalExtension(string_view s) {
  return s.size() > 4 && s[3] == '.' && Nations().contains(s.substr(0, 3));
}

// A value as it is quoted in a message: on one line, at most 40 bytes.
string Shown(string_view value) {
  string out;
  for (size_t i = 0; i < value.size(); ++i) {
    if (out.size() >= 40) {
      // Never cut a character in two.
      while (i < value.size() && (static_cast<unsigned char>(value[i]) & 0xC0) == 0x80) out += value[i++];
      if (i < value.size()) out += "…";
      break;
    }
    const char c = value[i];
    out += static_cast<unsigned char>(c) < 0x20 ? ' ' : c;  // line ends and controls (from &#10; …)
  }
  return "\"" + out + "\"";
}

string Joined(const std::vector<string_view>& values) {
  string out;
  for (string_view v : values) out.append(out.empty() ? "" : ", ").append(v);
  return out;
}

bool IsCollectionOf(string_view parent, string_view child) {
  if (parent.size() == child.size() + 1 && parent.starts_with(child) && parent.back() == 'S') return true;
  return child.ends_with('Y') && parent.size() == child.size() + 2 &&
         parent.substr(0, child.size() - 1) == child.substr(0, child.size() - 1) && parent.ends_with("IES");
}

// The documented elements that are no item of a collection: each is allowed
// once where it stands. Elements the documentation does not name (a program's
// own) are not counted.
bool IsOnceOnlyElement(string_view name) {
  static const std::unordered_set<string_view> names = {
      "AGEDATE",  "AGEGROUP", "ATHLETE",  "BANK",    "CLUB",    "CONSTRUCTOR", "CONTACT",    "FACILITY",
      "FEE",      "HANDICAP", "MEETINFO", "POINTTABLE", "POOL", "QUALIFY",     "RELAY",      "SWIMSTYLE",
      "MEETS",    "SESSIONS", "EVENTS",   "AGEGROUPS", "RANKINGS", "HEATS",    "CLUBS",      "ATHLETES",
      "ENTRIES",  "RESULTS",  "SPLITS",   "RELAYS",  "RELAYPOSITIONS", "OFFICIALS", "JUDGES", "FEES",
      "RECORDLISTS", "RECORDS", "TIMESTANDARDLISTS", "TIMESTANDARDS", "TIMESTANDARDREFS"};
  return names.contains(name);
}

// Id spaces of one meet.
enum IdSpace { kEvent, kHeat, kAthlete, kResult, kClub, kRelay, kOfficial, kSessionNumber, kIdSpaces };

struct Reference {
  IdSpace space;
  string attr, value, path;
};

struct MeetScope {
  std::array<std::unordered_map<string, string>, kIdSpaces> ids;  // value → path of its first holder
  std::vector<Reference> references;
  bool hasCourse = false;
};

struct Context {
  string_view parent;
  bool inMeet = false;
  bool inRecord = false;  // inside a RECORD
};

class Checker {
 public:
  std::vector<LenexFinding> findings;

  void Run(pugi::xml_node root) {
    Visit(root, "/LENEX", Context{}, 1);
  }

 private:
  std::unordered_map<string, string> timeStandardLists_;  // file-wide ids
  MeetScope* meet_ = nullptr;

  void Add(const string& path, string message) { findings.push_back({path, std::move(message)}); }

  // Registers an id; a finding when the space already holds it.
  void Unique(std::unordered_map<string, string>& space, const char* attr, pugi::xml_node node, const string& path) {
    const pugi::xml_attribute a = node.attribute(attr);
    if (!a || !Number(a.value())) return;
    auto [it, fresh] = space.emplace(a.value(), path);
    if (!fresh) Add(path, string(attr) + " " + a.value() + " が重複しています（最初は " + it->second + "）");
  }

  void UniqueAmong(pugi::xml_node collection, const char* element, const char* attr, const string& path) {
    std::unordered_map<string, string> space;
    int index = 0;
    for (pugi::xml_node item : collection.children(element))
      Unique(space, attr, item, path + "/" + element + "[" + std::to_string(++index) + "]");
  }

  void Refer(IdSpace space, const char* attr, pugi::xml_node node, const string& path) {
    const pugi::xml_attribute a = node.attribute(attr);
    if (!a || !meet_ || !Number(a.value())) return;
    if (space == kEvent && string_view(attr) == "preveventid" && string_view(a.value()) == "-1") return;
    meet_->references.push_back({space, attr, a.value(), path});
  }

  void CheckValue(string_view element, pugi::xml_attribute a, bool required, const string& path) {
    const AttrType* type = TypeOf(element, a.name());
    if (!type) return;
    const string_view v = a.value();
    const string name = a.name();
    switch (type->kind) {
      case Kind::Number:
        if (!Number(v)) Add(path, name + " " + Shown(v) + " は整数ではありません");
        break;
      case Kind::Date:
        if (!IsDate(v)) Add(path, name + " " + Shown(v) + " は日付（YYYY-MM-DD）ではありません");
        break;
      case Kind::Daytime:
        if (!IsDaytime(v)) Add(path, name + " " + Shown(v) + " は時刻（HH:MM）ではありません");
        break;
      case Kind::SwimTime:
        if (!ParseLenexSwimTime(v)) Add(path, name + " " + Shown(v) + " は競泳タイム（HH:MM:SS.ss か NT）ではありません");
        break;
      case Kind::ReactionTime:
        if (!IsReactionTime(v)) Add(path, name + " " + Shown(v) + " は反応時間（+14、-3、0 の形）ではありません");
        break;
      case Kind::Nation:
        if ((required || !v.empty()) && !Nations().contains(v)) Add(path, name + " " + Shown(v) + " は国コードではありません");
        break;
      case Kind::Course:
        if ((required || !v.empty()) && std::find(kCourses.begin(), kCourses.end(), v) == kCourses.end())
          Add(path, name + " " + Shown(v) + " は使える値ではありません（" +
                        Joined(std::vector<string_view>(kCourses.begin(), kCourses.end())) + "）");
        break;
      case Kind::Enum:
        if (v.empty() && !required) break;
        if (std::find(type->values.begin(), type->values.end(), v) == type->values.end() && !IsNationalExtension(v))
          Add(path, name + " " + Shown(v) + " は使える値ではありません（" + Joined(type->values) + "）");
        break;
    }
  }

  // The attributes the element needs where it stands.
  static std::vector<string_view> RequiredAttributes(string_view element, const Context& ctx, pugi::xml_node node) {
    struct Rule {
      string_view element;
      std::initializer_list<string_view> attrs;
    };
    static const Rule kRules[] = {
        {"LENEX", {"version"}},
        {"CONSTRUCTOR", {"registration", "version"}},
        {"MEET", {"city", "name", "nation"}},
        {"SESSION", {"date", "number"}},
        {"EVENT", {"eventid", "number"}},
        {"SWIMSTYLE", {"distance", "relaycount", "stroke"}},
        {"AGEGROUP", {"agemax", "agemin"}},
        {"RANKING", {"place", "resultid"}},
        {"HEAT", {"heatid", "number"}},
        {"ATHLETE", {"birthdate", "firstname", "gender", "lastname"}},
        {"ENTRY", {"eventid"}},
        {"RESULT", {"resultid", "swimtime"}},
        {"SPLIT", {"distance", "swimtime"}},
        {"RELAYPOSITION", {"number"}},
        {"FACILITY", {"city", "nation"}},
        {"FEE", {"value"}},
        {"BANK", {"iban"}},
        {"AGEDATE", {"type"}},
        {"JUDGE", {"officialid"}},
        {"OFFICIAL", {"firstname", "lastname", "officialid"}},
        {"POINTTABLE", {"name", "version"}},
        {"QUALIFY", {"from"}},
        {"RECORD", {"swimtime"}},
        {"RECORDLIST", {"course", "gender", "name"}},
        {"TIMESTANDARD", {"swimtime"}},
        {"TIMESTANDARDLIST", {"course", "gender", "name", "timestandardlistid"}},
        {"TIMESTANDARDREF", {"timestandardlistid"}},
    };
    std::vector<string_view> required;
    for (const Rule& r : kRules)
      if (r.element == element) required.assign(r.attrs.begin(), r.attrs.end());
    // The attributes a context makes required.
    if (element == "CONTACT" && ctx.parent == "CONSTRUCTOR") required.push_back("email");
    if (element == "AGEGROUP" && ctx.parent == "AGEGROUPS") required.insert(required.begin(), "agegroupid");
    if (element == "ATHLETE" && ctx.inMeet) required.insert(required.begin(), "athleteid");
    if (element == "CLUB" && string_view(node.attribute("type").value()) != "UNATTACHED") required.push_back("name");
    if (element == "RELAY" && ctx.inMeet) required = {"agemax", "agemin", "agetotalmax", "agetotalmin", "gender"};
    if (element == "MEETINFO" && ctx.parent == "RECORD") required = {"city", "date", "nation"};
    if (element == "FEE" && ctx.parent == "FEES") required.insert(required.begin(), "type");
    return required;
  }

  void CheckAttributes(pugi::xml_node node, string_view element, const string& path, const Context& ctx) {
    const std::vector<string_view> required = RequiredAttributes(element, ctx, node);
    for (string_view a : required)
      if (!node.attribute(string(a).c_str())) Add(path, string(a) + " がありません");
    for (pugi::xml_attribute a : node.attributes())
      CheckValue(element, a, std::find(required.begin(), required.end(), a.name()) != required.end(), path);
  }

  void CheckElement(pugi::xml_node node, string_view element, const string& path, const Context& ctx) {
    if (element == "MEET") {
      // Without a course of the meet, every session names its own.
      meet_->hasCourse = !string_view(node.attribute("course").value()).empty();
    } else if (element == "SESSION") {
      if (meet_ && !meet_->hasCourse && !node.attribute("course")) Add(path, "course がありません（MEET にも course がありません）");
      if (meet_) Unique(meet_->ids[kSessionNumber], "number", node, path);
    } else if (element == "SWIMSTYLE") {
      if (string_view(node.attribute("stroke").value()) == "UNKNOWN" && !node.attribute("name"))
        Add(path, "name がありません（stroke が UNKNOWN の泳法です）");
      for (const char* a : {"distance", "relaycount"}) {
        const auto v = Number(node.attribute(a).value());
        if (node.attribute(a) && v && *v < 1) Add(path, string(a) + " " + node.attribute(a).value() + " は 1 以上のはずです");
      }
    } else if (element == "HANDICAP") {
      // The documentation requires all three classes, but an athlete classed
      // for one stroke only is written with that class alone (the official
      // samples do): one of them is enough.
      if (!node.attribute("breast") && !node.attribute("free") && !node.attribute("medley"))
        Add(path, "breast、free、medley のどれもありません");
    } else if (element == "TIMESTANDARDLIST") {
      Unique(timeStandardLists_, "timestandardlistid", node, path);
    }
    if (!meet_ || !ctx.inMeet) return;
    if (element == "EVENT") {
      Unique(meet_->ids[kEvent], "eventid", node, path);
      Refer(kEvent, "preveventid", node, path);
    } else if (element == "HEAT") {
      Unique(meet_->ids[kHeat], "heatid", node, path);
    } else if (element == "ATHLETE") {
      Unique(meet_->ids[kAthlete], "athleteid", node, path);
    } else if (element == "RESULT") {
      Unique(meet_->ids[kResult], "resultid", node, path);
      Refer(kEvent, "eventid", node, path);
      Refer(kHeat, "heatid", node, path);
    } else if (element == "ENTRY") {
      Refer(kEvent, "eventid", node, path);
      Refer(kHeat, "heatid", node, path);
    } else if (element == "CLUB") {
      Unique(meet_->ids[kClub], "clubid", node, path);
    } else if (element == "RELAY") {
      Unique(meet_->ids[kRelay], "relayid", node, path);
    } else if (element == "OFFICIAL") {
      Unique(meet_->ids[kOfficial], "officialid", node, path);
    } else if (element == "RELAYPOSITION") {
      Refer(kAthlete, "athleteid", node, path);
    } else if (element == "RANKING") {
      Refer(kResult, "resultid", node, path);
    } else if (element == "JUDGE") {
      Refer(kOfficial, "officialid", node, path);
    }
  }

  // The element a parent needs exactly once, or null.
  static const char* RequiredChild(string_view element, const Context& ctx) {
    if (element == "LENEX") return "CONSTRUCTOR";
    if (element == "CONSTRUCTOR") return "CONTACT";
    if (element == "MEET") return "SESSIONS";
    if (element == "SESSION") return "EVENTS";
    if (element == "EVENT" || element == "RECORD" || element == "TIMESTANDARD") return "SWIMSTYLE";
    if (element == "RECORDLIST") return "RECORDS";
    if (element == "TIMESTANDARDLIST") return "TIMESTANDARDS";
    if (element == "RELAYPOSITION" && ctx.inRecord) return "ATHLETE";
    return nullptr;
  }

  // Splits are kept cumulative: each one further and later than the one before.
  void CheckSplits(pugi::xml_node splits, const string& path) {
    std::optional<long long> lastDistance;
    std::optional<long> lastTime;
    string lastTimeText;
    int index = 0;
    for (pugi::xml_node split : splits.children("SPLIT")) {
      const string at = path + "/SPLIT[" + std::to_string(++index) + "]";
      const auto distance = Number(split.attribute("distance").value());
      if (split.attribute("distance") && distance) {
        if (lastDistance && *distance <= *lastDistance)
          Add(at, "distance " + std::to_string(*distance) + " が前の SPLIT（" + std::to_string(*lastDistance) +
                      "）より大きくありません");
        lastDistance = distance;
      }
      const auto time = ParseLenexSwimTime(split.attribute("swimtime").value());
      if (split.attribute("swimtime") && time && *time > 0) {
        if (lastTime && *time <= *lastTime)
          Add(at, string("swimtime ") + split.attribute("swimtime").value() + " が前の SPLIT（" + lastTimeText +
                      "）より大きくありません");
        lastTime = time;
        lastTimeText = split.attribute("swimtime").value();
      }
    }
  }

  void ResolveReferences(MeetScope& scope) {
    static constexpr const char* kTargets[] = {"EVENT", "HEAT", "ATHLETE", "RESULT", "CLUB", "RELAY", "OFFICIAL", "SESSION"};
    for (const Reference& r : scope.references)
      if (!scope.ids[r.space].contains(r.value))
        Add(r.path, r.attr + " " + r.value + " に当たる " + kTargets[r.space] + " がありません");
  }

  void Visit(pugi::xml_node node, const string& path, Context ctx, int depth) {
    const string_view element = node.name();
    std::optional<MeetScope> scope;
    MeetScope* outer = meet_;
    if (element == "MEET") {
      scope.emplace();
      meet_ = &*scope;
      ctx.inMeet = true;
    }
    CheckAttributes(node, element, path, ctx);
    CheckElement(node, element, path, ctx);

    // Children: how many of each name, for the path and the once-only rules.
    std::unordered_map<string_view, int> counts;
    for (pugi::xml_node child : node.children())
      if (child.type() == pugi::node_element) ++counts[child.name()];
    if (const char* required = RequiredChild(element, ctx); required && !counts.contains(required))
      Add(path, string(required) + " がありません");
    // Said once per name, in the order the children come.
    std::unordered_set<string_view> said;
    for (pugi::xml_node child : node.children()) {
      const string_view name = child.name();
      if (child.type() != pugi::node_element || counts[name] < 2 || IsCollectionOf(element, name) ||
          !IsOnceOnlyElement(name) || !said.insert(name).second)
        continue;
      Add(path, string(name) + " が " + std::to_string(counts[name]) + " 個あります（一つだけです）");
    }
    if (element == "SPLITS") CheckSplits(node, path);
    // Unique within their collection only.
    if (element == "AGEGROUPS") UniqueAmong(node, "AGEGROUP", "agegroupid", path);
    if (element == "HEATS") UniqueAmong(node, "HEAT", "number", path);

    Context inner = ctx;
    inner.parent = element;
    if (element == "RECORD") inner.inRecord = true;
    // The reader refuses deeper files; this keeps the walk bounded whatever it is given.
    if (depth < kMaxLenexDepth) {
      std::unordered_map<string_view, int> seen;
      for (pugi::xml_node child : node.children()) {
        if (child.type() != pugi::node_element) continue;
        const string_view name = child.name();
        const int n = ++seen[name];
        string childPath = path;
        childPath.append(1, '/').append(name);
        if (IsCollectionOf(element, name) || counts[name] > 1) childPath.append("[" + std::to_string(n) + "]");
        Visit(child, childPath, inner, depth + 1);
      }
    }
    if (scope) {
      ResolveReferences(*scope);
      meet_ = outer;
    }
  }
};

}  // namespace

std::vector<LenexFinding> CheckLenex(const LenexDocument& document) {
  Checker checker;
  checker.Run(document.root());
  return std::move(checker.findings);
}

std::string LenexCheckSummary(size_t findings) {
  if (findings == 0) return "点検: 問題は見つかりませんでした。";
  return "点検: 問題が " + std::to_string(findings) + " 件見つかりました。";
}

}  // namespace meet
