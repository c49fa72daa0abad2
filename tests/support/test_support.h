// Test doubles of the platform interfaces and small helpers for tests.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "core/platform.h"
#include "core/printer.h"

namespace meet::test {

// A fresh, empty folder under the system's temporary folder, removed when the
// object goes out of scope.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  const std::filesystem::path& path() const { return path_; }
  std::string str() const { return path_.string() + "/"; }
  std::filesystem::path operator/(const std::string& name) const { return path_ / name; }

 private:
  std::filesystem::path path_;
};

std::string ReadFile(const std::filesystem::path& path);
void WriteFile(const std::filesystem::path& path, const std::string& bytes);
// Bytes from a list of byte values, for hand-built files.
std::string Bytes(std::initializer_list<int> values);
// Little-endian bytes of a 16-bit and a 32-bit number.
std::string Le16(int value);
std::string Le32(int64_t value);
// CP932 bytes of a UTF-8 text, blank-filled to width (for golden records).
std::string Sjis(const std::string& utf8, size_t width);

// What a printer was asked to print.
struct PrintedItem {
  int doc = 0, page = 0;
  int x = 0, y = 0;
  std::string font;
  double size = 0;
  bool bold = false;
  std::string text;  // empty for a rule
  bool isLine = false;
  int x2 = 0, y2 = 0;
};

class RecordingPrinter : public Printer {
 public:
  std::vector<PrintedItem> items;
  int documentsEnded = 0;
  // The file name of every document begun, in order ("results-r0015").
  std::vector<std::string> documents;
  // The texts printed, in order.
  std::vector<std::string> Texts() const;

 protected:
  void DrawText(int x, int y, const PrintFont& font, std::string_view text) override;
  void DrawLine(int x1, int y1, int x2, int y2) override;
  void BeginDocument(int) override { documents.push_back(documentName().file); }
  void FinishDocument(int) override { ++documentsEnded; }
};

// A printer with no paper, as the system target without a printer: it
// records as RecordingPrinter does but cannot print a document whose file
// name starts with one of `refused` ("" refuses every document).
class RefusingPrinter : public RecordingPrinter {
 public:
  RefusingPrinter() { SetTargetName("system"); }
  std::vector<std::string> refused = {""};

 protected:
  void BeginDocument(int doc) override {
    RecordingPrinter::BeginDocument(doc);
    for (const std::string& prefix : refused)
      if (documentName().file.starts_with(prefix)) FailDocument("プリンターがありません");
  }
};

// Answers questions from a script (true = OK / Yes) and records what was asked.
class ScriptedDialogs : public Dialogs {
 public:
  std::vector<bool> answers;        // taken from the front; when empty, `fallback`
  bool fallback = false;
  std::vector<std::string> asked;   // every question and notice text, in order
  std::vector<std::string> notices;
  std::optional<std::string> folderToPick;
  std::optional<std::string> fileToPick;

  bool AskOkCancel(std::string_view text) override;
  bool AskYesNo(std::string_view text) override;
  void Notify(std::string_view text) override;
  std::optional<std::string> PickFolder(std::string_view, std::string_view) override { return folderToPick; }
  std::optional<std::string> PickFile(std::string_view, std::string_view, std::string_view) override {
    return fileToPick;
  }

 private:
  bool Next(std::string_view text);
};

class FixedClock : public Clock {
 public:
  DateTime now;
  DateTime Now() const override { return now; }
};

class RecordingLauncher : public Launcher {
 public:
  std::vector<std::string> started;
  bool succeed = true;
  bool Start(const std::string& program) override {
    started.push_back(program);
    return succeed;
  }
};

// All four doubles together, with a Platform view of them.
struct FakePlatform {
  RecordingPrinter printer;
  ScriptedDialogs dialogs;
  FixedClock clock;
  RecordingLauncher launcher;
  Platform platform{printer, dialogs, clock, launcher};
};

}  // namespace meet::test
