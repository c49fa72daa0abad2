#include "core/jsonl_printer.h"

#include <cmath>
#include <cstdio>

#include "core/numbers.h"

namespace meet {

std::string JsonEscape(std::string_view s) {
  std::string out;
  out.reserve(s.size() + 2);
  for (char c : s) {
    switch (c) {
      case '"': out += "\\\""; break;
      case '\\': out += "\\\\"; break;
      case '\n': out += "\\n"; break;
      case '\r': out += "\\r"; break;
      case '\t': out += "\\t"; break;
      default:
        if (static_cast<unsigned char>(c) < 0x20) {
          char buf[8];
          std::snprintf(buf, sizeof buf, "\\u%04x", static_cast<unsigned char>(c));
          out += buf;
        } else {
          out.push_back(c);
        }
    }
  }
  return out;
}

namespace {
std::string NumberJson(double v) {
  if (std::floor(v) == v && std::fabs(v) < 1e9) return NumberText(static_cast<int64_t>(v));
  char buf[32];
  std::snprintf(buf, sizeof buf, "%g", v);
  return buf;
}
}  // namespace

JsonlPrinter::JsonlPrinter(std::filesystem::path path) : path_(std::move(path)) {
  std::ofstream probe(path_, std::ios::app | std::ios::binary);
  ok_ = static_cast<bool>(probe);
}

void JsonlPrinter::Append(std::string line) {
  // The document's file name, when it has one, closes every object.
  if (!documentName().file.empty()) {
    line.pop_back();
    line += ",\"name\":\"" + JsonEscape(documentName().file) + "\"}";
  }
  std::ofstream out(path_, std::ios::app | std::ios::binary);
  out << line << '\n';
  out.flush();
  if (!out) {
    ok_ = false;
    FailDocument("印刷ファイル " + path_.string() + " に書けません");
  }
}

void JsonlPrinter::DrawText(int x, int y, const PrintFont& font, std::string_view text) {
  Append("{\"doc\":" + NumberText(doc_) + ",\"page\":" + NumberText(page_) + ",\"x\":" + NumberText(x) +
         ",\"y\":" + NumberText(y) + ",\"font\":\"" + JsonEscape(font.name) + "\",\"size\":" +
         NumberJson(font.size) + ",\"bold\":" + (font.bold ? "true" : "false") + ",\"text\":\"" +
         JsonEscape(text) + "\"}");
}

void JsonlPrinter::DrawLine(int x1, int y1, int x2, int y2) {
  Append("{\"doc\":" + NumberText(doc_) + ",\"page\":" + NumberText(page_) + ",\"line\":[" + NumberText(x1) +
         "," + NumberText(y1) + "," + NumberText(x2) + "," + NumberText(y2) + "]}");
}

}  // namespace meet
