#include "support/test_support.h"

#include <fstream>
#include <random>
#include <sstream>

#include "core/cp932.h"

namespace meet::test {

TempDir::TempDir() {
  std::random_device rd;
  std::mt19937_64 gen(rd());
  for (;;) {
    path_ = std::filesystem::temp_directory_path() / ("meetdesk-test-" + std::to_string(gen()));
    if (std::filesystem::create_directory(path_)) break;
  }
}

TempDir::~TempDir() {
  std::error_code ec;
  std::filesystem::remove_all(path_, ec);
}

std::string ReadFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

void WriteFile(const std::filesystem::path& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::string Bytes(std::initializer_list<int> values) {
  std::string s;
  for (int v : values) s.push_back(static_cast<char>(v));
  return s;
}

std::string Le16(int value) {
  auto v = static_cast<uint16_t>(value);
  return Bytes({v & 0xFF, v >> 8});
}

std::string Le32(int64_t value) {
  auto v = static_cast<uint32_t>(value);
  return Bytes({static_cast<int>(v & 0xFF), static_cast<int>((v >> 8) & 0xFF), static_cast<int>((v >> 16) & 0xFF),
                static_cast<int>(v >> 24)});
}

std::string Sjis(const std::string& utf8, size_t width) {
  std::string s = EncodeCp932(utf8);
  s.resize(width, ' ');
  return s;
}

std::vector<std::string> RecordingPrinter::Texts() const {
  std::vector<std::string> out;
  for (const auto& item : items)
    if (!item.isLine) out.push_back(item.text);
  return out;
}

void RecordingPrinter::DrawText(int x, int y, const PrintFont& font, std::string_view text) {
  items.push_back(PrintedItem{doc_, page_, x, y, font.name, font.size, font.bold, std::string(text), false, 0, 0});
}

void RecordingPrinter::DrawLine(int x1, int y1, int x2, int y2) {
  items.push_back(PrintedItem{doc_, page_, x1, y1, {}, 0, false, {}, true, x2, y2});
}

bool ScriptedDialogs::Next(std::string_view text) {
  asked.emplace_back(text);
  if (answers.empty()) return fallback;
  bool a = answers.front();
  answers.erase(answers.begin());
  return a;
}

bool ScriptedDialogs::AskOkCancel(std::string_view text) { return Next(text); }
bool ScriptedDialogs::AskYesNo(std::string_view text) { return Next(text); }
void ScriptedDialogs::Notify(std::string_view text) {
  asked.emplace_back(text);
  notices.emplace_back(text);
}

}  // namespace meet::test
