// A JSON reader and the part of JSON Schema the live API's schema uses
// (type, const, enum, required, properties, additionalProperties: false,
// items, allOf, $ref to "#/$defs/…", minimum, maximum, pattern), so that a
// test checks every answer against docs/live-api/schema.json.
#pragma once

#include <cctype>
#include <cstdlib>
#include <cstring>
#include <map>
#include <memory>
#include <regex>
#include <string>
#include <vector>

namespace meet::test {

struct Json {
  enum Kind { Null, Bool, Number, String, Array, Object } kind = Null;
  bool boolean = false;
  double number = 0;
  bool integer = false;
  std::string text;
  std::vector<Json> items;
  std::vector<std::pair<std::string, Json>> members;
  const Json* get(const std::string& key) const {
    for (const auto& [k, v] : members)
      if (k == key) return &v;
    return nullptr;
  }
};

// Reads one JSON text; false with `error` set when it is no JSON.
class JsonReader {
 public:
  explicit JsonReader(const std::string& text) : s_(text) {}
  bool Read(Json& out, std::string& error) {
    ok_ = true;
    out = Value();
    Blanks();
    if (ok_ && i_ != s_.size()) Fail("text after the value");
    error = error_;
    return ok_;
  }

 private:
  void Fail(const std::string& why) {
    if (ok_) error_ = why + " at " + std::to_string(i_);
    ok_ = false;
  }
  void Blanks() {
    while (i_ < s_.size() && (s_[i_] == ' ' || s_[i_] == '\n' || s_[i_] == '\r' || s_[i_] == '\t')) ++i_;
  }
  bool Take(char c) {
    Blanks();
    if (i_ < s_.size() && s_[i_] == c) {
      ++i_;
      return true;
    }
    return false;
  }
  std::string Text() {
    std::string out;
    if (!Take('"')) {
      Fail("a string expected");
      return out;
    }
    while (i_ < s_.size() && s_[i_] != '"') {
      const char c = s_[i_++];
      if (static_cast<unsigned char>(c) < 0x20) Fail("a control character in a string");
      if (c != '\\') {
        out += c;
        continue;
      }
      if (i_ >= s_.size()) break;
      const char e = s_[i_++];
      switch (e) {
        case 'n': out += '\n'; break;
        case 't': out += '\t'; break;
        case 'r': out += '\r'; break;
        case 'b': out += '\b'; break;
        case 'f': out += '\f'; break;
        case '/': case '\\': case '"': out += e; break;
        case 'u': {
          if (i_ + 4 > s_.size()) return Fail("a short \\u"), out;
          const unsigned cp = static_cast<unsigned>(std::strtoul(s_.substr(i_, 4).c_str(), nullptr, 16));
          i_ += 4;
          if (cp < 0x80) out += static_cast<char>(cp);
          else if (cp < 0x800) {
            out += static_cast<char>(0xC0 | (cp >> 6));
            out += static_cast<char>(0x80 | (cp & 0x3F));
          } else {
            out += static_cast<char>(0xE0 | (cp >> 12));
            out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (cp & 0x3F));
          }
          break;
        }
        default: Fail("a bad escape");
      }
    }
    if (!Take('"')) Fail("an unfinished string");
    return out;
  }
  Json Value() {
    Json v;
    Blanks();
    if (!ok_ || i_ >= s_.size()) {
      Fail("a value expected");
      return v;
    }
    const char c = s_[i_];
    if (c == '{') {
      ++i_;
      v.kind = Json::Object;
      if (Take('}')) return v;
      do {
        std::string key = Text();
        if (!Take(':')) Fail("':' expected");
        v.members.emplace_back(std::move(key), Value());
      } while (ok_ && Take(','));
      if (!Take('}')) Fail("'}' expected");
    } else if (c == '[') {
      ++i_;
      v.kind = Json::Array;
      if (Take(']')) return v;
      do v.items.push_back(Value());
      while (ok_ && Take(','));
      if (!Take(']')) Fail("']' expected");
    } else if (c == '"') {
      v.kind = Json::String;
      v.text = Text();
    } else if (s_.compare(i_, 4, "true") == 0 || s_.compare(i_, 5, "false") == 0) {
      v.kind = Json::Bool;
      v.boolean = s_[i_] == 't';
      i_ += v.boolean ? 4 : 5;
    } else if (s_.compare(i_, 4, "null") == 0) {
      i_ += 4;
    } else {
      const size_t from = i_;
      if (s_[i_] == '-') ++i_;
      while (i_ < s_.size() && std::isdigit(static_cast<unsigned char>(s_[i_]))) ++i_;
      v.integer = true;
      if (i_ < s_.size() && (s_[i_] == '.' || s_[i_] == 'e' || s_[i_] == 'E')) {
        v.integer = false;
        while (i_ < s_.size() && std::strchr("0123456789.eE+-", s_[i_])) ++i_;
      }
      if (i_ == from || (i_ == from + 1 && s_[from] == '-')) {
        Fail("a value expected");
        return v;
      }
      v.kind = Json::Number;
      v.number = std::strtod(s_.substr(from, i_ - from).c_str(), nullptr);
    }
    return v;
  }
  const std::string& s_;
  size_t i_ = 0;
  bool ok_ = true;
  std::string error_;
};

inline Json ParseJson(const std::string& text, std::string* error = nullptr) {
  Json out;
  std::string e;
  JsonReader(text).Read(out, e);
  if (error) *error = e;
  return out;
}

// Checks `value` against `schema` (whose $defs live in `root`); each
// mismatch as "PATH: why".
inline void CheckSchema(const Json& root, const Json& schema, const Json& value, const std::string& path,
                        std::vector<std::string>& errors) {
  auto fail = [&](const std::string& why) { errors.push_back(path + ": " + why); };
  if (const Json* ref = schema.get("$ref")) {
    const std::string name = ref->text.substr(ref->text.rfind('/') + 1);
    const Json* defs = root.get("$defs");
    const Json* def = defs ? defs->get(name) : nullptr;
    if (!def) return fail("no definition " + ref->text);
    CheckSchema(root, *def, value, path, errors);
  }
  if (const Json* all = schema.get("allOf"))
    for (const Json& s : all->items) CheckSchema(root, s, value, path, errors);
  if (const Json* type = schema.get("type")) {
    auto is = [&](const std::string& t) {
      if (t == "null") return value.kind == Json::Null;
      if (t == "boolean") return value.kind == Json::Bool;
      if (t == "integer") return value.kind == Json::Number && value.integer;
      if (t == "number") return value.kind == Json::Number;
      if (t == "string") return value.kind == Json::String;
      if (t == "array") return value.kind == Json::Array;
      if (t == "object") return value.kind == Json::Object;
      return false;
    };
    bool any = false;
    if (type->kind == Json::String) any = is(type->text);
    for (const Json& t : type->items) any = any || is(t.text);
    if (!any) return fail("not of the type the schema says");
  }
  if (const Json* c = schema.get("const"))
    if (!(c->kind == value.kind && c->number == value.number && c->text == value.text)) fail("not the constant");
  if (const Json* e = schema.get("enum")) {
    bool found = false;
    for (const Json& option : e->items) found = found || (option.kind == value.kind && option.text == value.text);
    if (!found) fail("\"" + value.text + "\" is none of the values the schema lists");
  }
  if (value.kind == Json::Number) {
    if (const Json* m = schema.get("minimum"); m && value.number < m->number) fail("below the minimum");
    if (const Json* m = schema.get("maximum"); m && value.number > m->number) fail("above the maximum");
  }
  if (value.kind == Json::String)
    if (const Json* p = schema.get("pattern"); p && !std::regex_search(value.text, std::regex(p->text)))
      fail("\"" + value.text + "\" does not match " + p->text);
  if (value.kind == Json::Object) {
    if (const Json* req = schema.get("required"))
      for (const Json& key : req->items)
        if (!value.get(key.text)) fail("no \"" + key.text + "\"");
    const Json* props = schema.get("properties");
    for (const auto& [k, v] : value.members) {
      const Json* p = props ? props->get(k) : nullptr;
      if (p) CheckSchema(root, *p, v, path + "." + k, errors);
      else if (const Json* extra = schema.get("additionalProperties"); extra && extra->kind == Json::Bool && !extra->boolean)
        fail("\"" + k + "\" is not in the schema");
    }
  }
  if (value.kind == Json::Array)
    if (const Json* items = schema.get("items"))
      for (size_t i = 0; i < value.items.size(); ++i) CheckSchema(root, *items, value.items[i], path + "[" + std::to_string(i) + "]", errors);
}

}  // namespace meet::test
