#include "interchange/lenex_read.h"

#include <cstring>

#include "interchange/lxf_read.h"

namespace meet {

namespace {

// An attribute's text on one line (a value may hold line ends, written as &#10;).
std::string Attr(pugi::xml_node node, const char* name) {
  std::string text = node.attribute(name).value();
  for (char& c : text)
    if (static_cast<unsigned char>(c) < 0x20) c = ' ';
  return text;
}

size_t LineAt(std::string_view text, size_t offset) {
  size_t line = 1;
  for (size_t i = 0; i < offset && i < text.size(); ++i) line += text[i] == '\n';
  return line;
}

const char* ParseProblem(pugi::xml_parse_status status) {
  switch (status) {
    case pugi::status_no_document_element:
      return "要素がありません";
    case pugi::status_end_element_mismatch:
      return "終わりのタグが合いません。途中で切れているかもしれません";
    case pugi::status_bad_attribute:
      return "属性の書き方が正しくありません";
    case pugi::status_bad_start_element:
    case pugi::status_bad_end_element:
    case pugi::status_unrecognized_tag:
      return "タグの書き方が正しくありません";
    case pugi::status_bad_comment:
    case pugi::status_bad_cdata:
    case pugi::status_bad_pi:
    case pugi::status_bad_doctype:
    case pugi::status_bad_pcdata:
      return "書き方が正しくありません";
    default:
      return "読めません";
  }
}

int CountChildren(pugi::xml_node parent, const char* collection, const char* element) {
  int n = 0;
  for (pugi::xml_node c : parent.children(collection))
    for (pugi::xml_node e : c.children(element)) {
      (void)e;
      ++n;
    }
  return n;
}

}  // namespace

Result<std::unique_ptr<LenexDocument>> ParseLenex(std::string text, std::string_view name) {
  auto document = std::make_unique<LenexDocument>();
  document->text = std::move(text);
  std::string& t = document->text;
  // The byte order mark is no part of the XML.
  const size_t start = t.starts_with("\xEF\xBB\xBF") ? 3 : 0;
  const pugi::xml_parse_result parsed = document->xml.load_buffer_inplace(
      t.data() + start, t.size() - start, pugi::parse_default | pugi::parse_doctype, pugi::encoding_utf8);
  const std::string who(name);
  if (!parsed) {
    const size_t at = start + static_cast<size_t>(parsed.offset);
    return Fail(ErrorKind::Format, who + " は XML として読めません（" + std::to_string(LineAt(t, at)) + " 行目: " +
                                       ParseProblem(parsed.status) + "）。");
  }
  int elements = 0;
  for (pugi::xml_node n : document->xml.children()) elements += n.type() == pugi::node_element;
  if (elements == 0) return Fail(ErrorKind::Format, who + " は XML として読めません（要素がありません）。");
  if (elements > 1) return Fail(ErrorKind::Format, who + " は XML として読めません（最上位の要素が複数あります）。");
  if (std::strcmp(document->root().name(), "LENEX") != 0)
    return Fail(ErrorKind::Format, who + " は Lenex ファイルではありません（最上位の要素が " +
                                       document->root().name() + " です。LENEX のはずです）。");
  return document;
}

Result<std::unique_ptr<LenexDocument>> ReadLenexFile(const std::filesystem::path& path) {
  auto text = ReadLenexText(path);
  if (!text) return std::unexpected(text.error());
  return ParseLenex(std::move(*text), path.string());
}

LenexSummary SummarizeLenex(const LenexDocument& document) {
  LenexSummary s;
  const pugi::xml_node root = document.root();
  s.version = Attr(root, "version");
  s.software = Attr(root.child("CONSTRUCTOR"), "name");
  s.softwareVersion = Attr(root.child("CONSTRUCTOR"), "version");
  s.recordLists = CountChildren(root, "RECORDLISTS", "RECORDLIST");
  s.timeStandardLists = CountChildren(root, "TIMESTANDARDLISTS", "TIMESTANDARDLIST");
  for (pugi::xml_node meetNode : root.child("MEETS").children("MEET")) {
    LenexMeetSummary m;
    m.name = Attr(meetNode, "name");
    m.city = Attr(meetNode, "city");
    m.nation = Attr(meetNode, "nation");
    m.course = Attr(meetNode, "course");
    for (pugi::xml_node sessionNode : meetNode.child("SESSIONS").children("SESSION")) {
      LenexSessionSummary session;
      session.number = Attr(sessionNode, "number");
      session.date = Attr(sessionNode, "date");
      session.daytime = Attr(sessionNode, "daytime");
      session.name = Attr(sessionNode, "name");
      for (pugi::xml_node eventNode : sessionNode.child("EVENTS").children("EVENT")) {
        LenexEventSummary e;
        e.number = Attr(eventNode, "number");
        e.gender = Attr(eventNode, "gender");
        e.round = Attr(eventNode, "round");
        e.daytime = Attr(eventNode, "daytime");
        const pugi::xml_node style = eventNode.child("SWIMSTYLE");
        e.distance = Attr(style, "distance");
        e.relayCount = Attr(style, "relaycount");
        e.stroke = Attr(style, "stroke");
        e.styleName = Attr(style, "name");
        e.heats = CountChildren(eventNode, "HEATS", "HEAT");
        session.events.push_back(std::move(e));
      }
      m.sessions.push_back(std::move(session));
    }
    for (pugi::xml_node club : meetNode.child("CLUBS").children("CLUB")) {
      ++m.clubs;
      for (pugi::xml_node athlete : club.child("ATHLETES").children("ATHLETE")) {
        ++m.athletes;
        m.entries += CountChildren(athlete, "ENTRIES", "ENTRY");
        m.results += CountChildren(athlete, "RESULTS", "RESULT");
      }
      for (pugi::xml_node relay : club.child("RELAYS").children("RELAY")) {
        ++m.relays;
        m.relayEntries += CountChildren(relay, "ENTRIES", "ENTRY");
        m.relayResults += CountChildren(relay, "RESULTS", "RESULT");
      }
    }
    s.meets.push_back(std::move(m));
  }
  return s;
}

std::vector<std::string> LenexShowLines(const LenexSummary& s) {
  using std::to_string;
  std::vector<std::string> lines;
  std::string head = "Lenex " + (s.version.empty() ? std::string("（版なし）") : s.version);
  if (!s.software.empty()) head += "（作成: " + s.software + (s.softwareVersion.empty() ? "" : " " + s.softwareVersion) + "）";
  lines.push_back(head);
  if (s.meets.empty()) lines.push_back("大会: なし");
  for (const LenexMeetSummary& m : s.meets) {
    lines.push_back("大会: " + m.name + "（" + m.city + ", " + m.nation + (m.course.empty() ? "" : ", " + m.course) + "）");
    for (const LenexSessionSummary& session : m.sessions) {
      std::string line = "  セッション " + session.number + ": " + session.date;
      if (!session.daytime.empty()) line += " " + session.daytime;
      if (!session.name.empty()) line += " " + session.name;
      lines.push_back(line + "（種目 " + to_string(session.events.size()) + "）");
      for (const LenexEventSummary& e : session.events) {
        std::string style = e.relayCount.empty() || e.relayCount == "1" ? e.distance + "m"
                                                                         : e.relayCount + "×" + e.distance + "m";
        style += " " + (e.stroke == "UNKNOWN" && !e.styleName.empty() ? e.styleName : e.stroke);
        std::string eventLine = "    種目 " + e.number + ": " + (e.gender.empty() ? "A" : e.gender) + " " +
                                (e.round.empty() ? "TIM" : e.round) + " " + style + "（組 " + to_string(e.heats) + "）";
        if (!e.daytime.empty()) eventLine += " " + e.daytime;
        lines.push_back(eventLine);
      }
    }
    lines.push_back("  クラブ " + to_string(m.clubs) + "、選手 " + to_string(m.athletes) + "、エントリー " +
                    to_string(m.entries) + "、結果 " + to_string(m.results) + "、リレー " + to_string(m.relays) +
                    "（エントリー " + to_string(m.relayEntries) + "、結果 " + to_string(m.relayResults) + "）");
  }
  if (s.recordLists > 0 || s.timeStandardLists > 0)
    lines.push_back("記録表 " + to_string(s.recordLists) + "、標準記録表 " + to_string(s.timeStandardLists));
  return lines;
}

}  // namespace meet
